#pragma once
// Root of the framework's classes, with run-time class information for the classes that
// declare it: class name, base class and IsKindOf. Type identification only.
#include <windows.h>

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

// Classes declared with IMPLEMENT_DYNAMIC are registered during static initialisation.
const CRuntimeClass* AfxFindRuntimeClass(const char* pszClassName);

struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(const CRuntimeClass* pClass);
};

class CObject {
public:
    virtual ~CObject() = default;
    static const CRuntimeClass classCObject;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
    bool IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }
};

#define RUNTIME_CLASS(theClass) (&theClass::class##theClass)

#define DECLARE_DYNAMIC(theClass)               \
public:                                         \
    static const CRuntimeClass class##theClass; \
    const CRuntimeClass* GetRuntimeClass() const override { return &class##theClass; }

#define IMPLEMENT_DYNAMIC(theClass, baseClass)                                             \
    const CRuntimeClass theClass::class##theClass = {#theClass, RUNTIME_CLASS(baseClass)}; \
    static const AFX_CLASSINIT s_classInit##theClass(&theClass::class##theClass);
