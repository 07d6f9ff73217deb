#pragma once
// Answers every message box of the program while it lives, and remembers what each showed.
#include "platform/AfxMessageBox.h"

#include <vector>

class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = IDOK);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<MessageBoxRequest>& Boxes() const { return m_boxes; }
    std::vector<std::wstring> Texts() const;  // as the boxes show them

private:
    std::vector<MessageBoxRequest> m_boxes;
    MessageBoxHandler m_previous;
};
