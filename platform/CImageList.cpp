#include "platform/CImageList.h"

#include "platform/CGdiObject.h"
#include "platform/TempObjects.h"

#include <utility>

CImageList::~CImageList() {
    if (m_bOwned) DeleteImageList();
}

CImageList* CImageList::FromHandle(HIMAGELIST hImageList) {
    if (!hImageList) return nullptr;
    CImageList* pList = AfxMakeTempObject<CImageList>();
    pList->m_hImageList = hImageList;
    return pList;
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
    if (m_hImageList) return FALSE;
    m_hImageList = ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
    m_bOwned = m_hImageList != nullptr;
    return m_bOwned;
}

BOOL CImageList::DeleteImageList() {
    if (!m_hImageList) return FALSE;
    BOOL ok = m_bOwned ? ImageList_Destroy(m_hImageList) : TRUE;
    m_hImageList = nullptr;
    m_bOwned = false;
    return ok;
}

BOOL CImageList::Attach(HIMAGELIST hImageList) {
    if (m_hImageList || !hImageList) return FALSE;
    m_hImageList = hImageList;
    m_bOwned = true;
    return TRUE;
}

HIMAGELIST CImageList::Detach() {
    m_bOwned = false;
    return std::exchange(m_hImageList, nullptr);
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) {
    HBITMAP hMask = pbmMask ? static_cast<HBITMAP>(pbmMask->m_hObject) : nullptr;
    return ImageList_Add(m_hImageList, static_cast<HBITMAP>(pbmImage->m_hObject), hMask);
}

int CImageList::GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
