#include "platform/CDC.h"

#include "platform/CWnd.h"
#include "platform/TempObjects.h"

CDC* afx_detail::TempDC(HDC hDC) { return CDC::FromHandle(hDC); }

CDC::~CDC() {
    if (m_bOwned) DeleteDC();
}

CDC* CDC::FromHandle(HDC hDC) {
    if (!hDC) return nullptr;
    CDC* pDC = AfxMakeTempObject<CDC>();
    pDC->m_hDC = hDC;
    return pDC;
}

BOOL CDC::Attach(HDC hDC) {
    if (!hDC || m_hDC) return FALSE;
    m_hDC = hDC;
    m_bOwned = true;
    return TRUE;
}

HDC CDC::Detach() {
    HDC hDC = m_hDC;
    m_hDC = nullptr;
    m_bOwned = false;
    return hDC;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr)); }

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
}

CGdiObject* CDC::SelectGdiObject(CGdiObject* pObject) {
    return AfxTempGdiObject(::SelectObject(m_hDC, pObject ? pObject->m_hObject : nullptr));
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}

CClientDC::CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(m_hWnd); }

CClientDC::~CClientDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}

CObjectSelection::CObjectSelection(HDC hDC, HGDIOBJ hObject) : m_hDC(hDC), m_hPrevious(nullptr) {
    HGDIOBJ hPrevious = hDC && hObject ? ::SelectObject(hDC, hObject) : nullptr;
    if (hPrevious != HGDI_ERROR) m_hPrevious = hPrevious;
}

CObjectSelection::~CObjectSelection() {
    if (m_hPrevious) ::SelectObject(m_hDC, m_hPrevious);
}
