#pragma once
// What the shell is told about one directory, as an Explorer window showing it would hear it:
// each notice's event and the paths it names. Notices come as messages to a window of the
// thread that made this; Take handles them.
#include <windows.h>

#include <string>
#include <vector>

class CShellNotices {
public:
    struct Notice {
        LONG nEvent;
        std::wstring path;
        std::wstring second;  // a rename's new path
        bool operator==(const Notice&) const = default;
    };

    explicit CShellNotices(const std::wstring& directory);
    ~CShellNotices();
    CShellNotices(const CShellNotices&) = delete;
    CShellNotices& operator=(const CShellNotices&) = delete;

    bool Registered() const { return m_hWnd && m_nId; }
    // The notices that came since the last call, the messages in the queue handled first.
    std::vector<Notice> Take();

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    ULONG m_nId = 0;
    std::vector<Notice> m_notices;
};
