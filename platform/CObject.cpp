#include "platform/CObject.h"

#include <cstring>
#include <vector>

namespace {

std::vector<const CRuntimeClass*>& Registry() {
    static std::vector<const CRuntimeClass*> s_classes;
    return s_classes;
}

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", nullptr};

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
        if (p == pBaseClass) return true;
    return false;
}

AFX_CLASSINIT::AFX_CLASSINIT(const CRuntimeClass* pClass) { Registry().push_back(pClass); }

const CRuntimeClass* AfxFindRuntimeClass(const char* pszClassName) {
    for (const CRuntimeClass* p : Registry())
        if (std::strcmp(p->m_lpszClassName, pszClassName) == 0) return p;
    return nullptr;
}
