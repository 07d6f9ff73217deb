#include "app/CQuietReport.h"

CQuietReport::CQuietReport() {
    m_previous = AfxSetMessageBoxHandler([this](const MessageBoxRequest& box) { return Write(box); });
}

CQuietReport::~CQuietReport() { AfxSetMessageBoxHandler(std::move(m_previous)); }

int CQuietReport::Write(const MessageBoxRequest& box) {
    bool bError = (box.flags & MB_ICONMASK) == MB_ICONHAND;
    (bError ? m_error : m_output).WriteLines(box.text);
    return IDOK;
}
