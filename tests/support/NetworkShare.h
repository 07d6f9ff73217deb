#pragma once
// A network share for one test: Wine maps \\server\share\... to the prefix's
// dosdevices/unc/server/share/..., so a link made there to a local folder is reached by its
// network path. The server's name is this process's own; the link goes at the end.
#include <string>

class NetworkShare {
public:
    // folder: the Windows path of the local folder the share shows.
    explicit NetworkShare(const std::wstring& folder);
    ~NetworkShare();
    NetworkShare(const NetworkShare&) = delete;
    NetworkShare& operator=(const NetworkShare&) = delete;

    // "\\server\share"
    const std::wstring& Path() const { return m_path; }

private:
    std::string m_server;  // the Linux path of the server's folder
    std::wstring m_path;
};
