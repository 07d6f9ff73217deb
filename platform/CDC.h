#pragma once
// Device contexts. A CDC deletes only a context it created; CPaintDC brackets painting,
// CClientDC borrows a window's context and gives it back, CObjectSelection puts back what a
// selection replaced.
#include "platform/CGdiObject.h"

class CWnd;

class CDC : public CObject {
public:
    CDC() = default;
    ~CDC() override;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    operator HDC() const { return m_hDC; }

    // A temporary, non-owning wrapper (freed after the current message).
    static CDC* FromHandle(HDC hDC);

    BOOL Attach(HDC hDC);
    HDC Detach();
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    // Selects the object and gives back a temporary wrapper of the one it replaced.
    CGdiObject* SelectGdiObject(CGdiObject* pObject);
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

protected:
    bool m_bOwned = false;  // made by CreateCompatibleDC or attached
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// A window's client-area context (GetDC), given back with ReleaseDC when it goes. A null
// window means the screen.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};

// Selects a drawing object (font, bitmap, pen, brush) into a context for one scope; the
// object it replaced goes back in when the selection goes, before either is deleted.
class CObjectSelection {
public:
    CObjectSelection(HDC hDC, HGDIOBJ hObject);
    ~CObjectSelection();
    CObjectSelection(const CObjectSelection&) = delete;
    CObjectSelection& operator=(const CObjectSelection&) = delete;

    // Null when the selection failed; then nothing is put back.
    HGDIOBJ Previous() const { return m_hPrevious; }

private:
    HDC m_hDC;
    HGDIOBJ m_hPrevious;
};
