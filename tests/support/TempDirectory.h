#pragma once
// A fresh directory under the Wine prefix's temporary folder (a case-sensitive Linux disk),
// removed with everything in it at the end of the test.
#include "filesystem/CUniqueHandle.h"

#include <map>
#include <string>
#include <vector>

class TempDirectory {
public:
    TempDirectory();
    explicit TempDirectory(const std::wstring& existingRoot);  // adopt, e.g. a test drive's root
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::string AnsiPath() const;

    // Relative names; contents default to the name itself, so that files stay identifiable.
    void AddFile(const std::wstring& name, const std::string& contents = std::string());
    // Made on the Linux side, for names Win32 refuses (a case twin of an existing file).
    void AddFileOnLinux(const std::wstring& name, const std::string& contents);
    // Many at once, each holding its own name.
    void AddFilesOnLinux(const std::vector<std::wstring>& names);
    void AddDirectory(const std::wstring& name);
    // The file opened as another program holds it: others may read it, not rename or delete it.
    CFileHandle HoldOpen(const std::wstring& name) const;
    // The path that names exactly this directory: Wine's Unix namespace, else the extended form.
    std::wstring ExactPath() const;

    // The names as the disk holds them, sorted, without "." and "..".
    std::vector<std::wstring> Names(const std::wstring& sub = std::wstring()) const;
    std::string Contents(const std::wstring& name) const;

private:
    std::wstring m_path;
    bool m_remove = true;
};

// Names for readable test failures.
std::string Utf8(const std::wstring& wide);
// What a program wrote in UTF-8, as text.
std::wstring FromUtf8(const std::string& utf8);
void RemoveTree(const std::wstring& path);
