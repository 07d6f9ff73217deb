#include "platform/AfxMessageBox.h"

#include "platform/AfxModuleState.h"

#include <utility>

namespace {

MessageBoxHandler& CurrentHandler() {
    static MessageBoxHandler s_handler;
    return s_handler;
}

}  // namespace

MessageBoxHandler AfxSetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(CurrentHandler(), std::move(handler));
}

int AfxShowMessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT nFlags) {
    if (CurrentHandler()) return CurrentHandler()(MessageBoxRequest{hOwner, pszText, pszCaption, nFlags});
    return MessageBoxA(hOwner, pszText, pszCaption, nFlags);
}

int AfxMessageBox(const char* pszText, UINT nType, UINT /*nIDHelp: no help file*/) {
    HWND hOwner = GetActiveWindow();
    return AfxShowMessageBox(hOwner, pszText, AfxGetAppName(), nType);
}
