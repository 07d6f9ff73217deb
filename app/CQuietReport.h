#pragma once
// A run started with /still shows no window at all: while this object lives, every message
// box the program would show is written as lines of text instead, a stop or error box's to
// standard error and any other to standard output, and is answered with OK
// (the program's boxes only tell, they ask nothing).
#include "app/CStandardStream.h"
#include "platform/AfxMessageBox.h"

class CQuietReport {
public:
    CQuietReport();
    // The boxes are shown again.
    ~CQuietReport();
    CQuietReport(const CQuietReport&) = delete;
    CQuietReport& operator=(const CQuietReport&) = delete;

private:
    int Write(const MessageBoxRequest& box);

    CStandardStream m_output{STD_OUTPUT_HANDLE};
    CStandardStream m_error{STD_ERROR_HANDLE};
    MessageBoxHandler m_previous;
};
