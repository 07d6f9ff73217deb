#pragma once
// The picture shown over the main dialog while it starts. A borderless window owned by the
// dialog, centred before it is first shown, that takes itself away on its first timer tick.
// At most one exists; it lives on the heap and deletes itself once its window is gone.
#include "platform/AfxWin.h"

class CSplashWindow : public CWnd {
public:
    ~CSplashWindow() override;

    // Whether a splash may appear at all; decided once from the command line.
    static void SetAllowed(BOOL bAllowed);
    // Shows the splash over pParentWnd unless splashes are not allowed or one is showing.
    static void ShowSplash(CWnd* pParentWnd);

    BOOL CreateSplash(CWnd* pParentWnd);
    // The splash picture drawn nearest a DPI: 100, 150 or 200 % (halfway goes up).
    static UINT SplashPictureFor(UINT nDpi);
    void DismissSplash();

    static BOOL s_allowed;
    static CSplashWindow* s_instance;  // the one live splash, or null

    CBitmap m_splashBitmap;

protected:
    CSplashWindow() = default;  // only ShowSplash makes one

    void PostNcDestroy() override;
    // Holds the picture drawn nearest nDpi (the one held before is released); its size.
    BOOL LoadPicture(UINT nDpi, SIZE* pSize);

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
