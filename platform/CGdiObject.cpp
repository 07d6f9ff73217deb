#include "platform/CGdiObject.h"

#include "platform/AfxModuleState.h"
#include "platform/TempObjects.h"

CGdiObject::~CGdiObject() {
    if (m_bOwned) DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (!hObject || m_hObject) return FALSE;
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ hObject = m_hObject;
    m_hObject = nullptr;
    return hObject;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }

CGdiObject* AfxTempGdiObject(HGDIOBJ hObject) {
    if (!hObject) return nullptr;
    CGdiObject* pObject = AfxMakeTempObject<CGdiObject>();
    pObject->m_bOwned = false;
    pObject->m_hObject = hObject;
    return pObject;
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCEA(nIDResource), RT_BITMAP);
    return Attach(::LoadBitmapA(hInst, MAKEINTRESOURCEA(nIDResource)));
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* lpLogFont) { return Attach(::CreateFontIndirectW(lpLogFont)); }
