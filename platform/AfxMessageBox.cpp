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

int AfxShowMessageBox(HWND hOwner, const std::wstring& text, const std::wstring& caption, UINT nFlags) {
    if (CurrentHandler()) return CurrentHandler()(MessageBoxRequest{hOwner, text, caption, nFlags});
    return MessageBoxW(hOwner, text.c_str(), caption.c_str(), nFlags);
}

int AfxShowMessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT nFlags) {
    return AfxShowMessageBox(hOwner, AfxToWide(pszText), AfxToWide(pszCaption), nFlags);
}

int AfxMessageBox(const std::wstring& text, UINT nType, UINT /*nIDHelp: no help file*/) {
    HWND hOwner = GetActiveWindow();
    return AfxShowMessageBox(hOwner, text, AfxToWide(AfxGetAppName()), nType);
}

int AfxMessageBox(const char* pszText, UINT nType, UINT nIDHelp) {
    return AfxMessageBox(AfxToWide(pszText), nType, nIDHelp);
}
