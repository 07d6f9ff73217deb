#include "tests/support/MessageBoxRecorder.h"

MessageBoxRecorder::MessageBoxRecorder(int answer) {
    m_previous = AfxSetMessageBoxHandler([this, answer](const MessageBoxRequest& request) {
        m_boxes.push_back(request);
        return answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { AfxSetMessageBoxHandler(m_previous); }

std::vector<std::wstring> MessageBoxRecorder::Texts() const {
    std::vector<std::wstring> texts;
    for (const MessageBoxRequest& box : m_boxes) texts.push_back(box.text);
    return texts;
}
