#pragma once
// Drawing objects. An object deletes the handle it holds (created or attached) when it goes;
// wrappers from FromHandle hold without owning.
#include "platform/CObject.h"

class CGdiObject : public CObject {
public:
    CGdiObject() = default;
    ~CGdiObject() override;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int nCount, LPVOID lpObject) const;

protected:
    bool m_bOwned = true;
    friend CGdiObject* AfxTempGdiObject(HGDIOBJ hObject);
};

// A temporary, non-owning wrapper (freed after the current message).
CGdiObject* AfxTempGdiObject(HGDIOBJ hObject);

class CBitmap : public CGdiObject {
public:
    BOOL LoadBitmap(UINT nIDResource);
    int GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTW* lpLogFont);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};
