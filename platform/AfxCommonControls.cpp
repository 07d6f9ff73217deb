#include "platform/AfxCommonControls.h"

#include <windows.h>

#include <commctrl.h>

void AfxInitCommonControls() {
    static const bool s_registered = [] {
        INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)s_registered;
}
