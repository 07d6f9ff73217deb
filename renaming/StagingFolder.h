#pragma once
// Where a file waits, under its own name, between the two steps of a case change that the
// platform does not make in one step: "Name" -> "<staging>\files\Name" -> "name". The folder
// is hidden and carries a marker file, so that the program only ever empties or removes
// folders of its own, never a user's folder that happens to have the same name. Should the
// program be ended between the two steps, the next run finds the file there and returns it.
#include "renaming/NameCensus.h"

#include <optional>
#include <string>
#include <vector>

class CStagingFolder {
public:
    // A new staging folder in the directory, under a name that no entry answers to.
    static std::optional<CStagingFolder> Create(const std::wstring& directory, const CNameCensus& census);
    // Whether the entry of the directory is a staging folder that this program made.
    static bool IsStagingFolder(const std::wstring& directory, const ListingEntry& entry);

    CStagingFolder(std::wstring directory, std::wstring name);

    std::wstring PathOf(const std::wstring& fileName) const;
    // For messages: where the file waits, relative to the directory.
    std::wstring RelativePathOf(const std::wstring& fileName) const;
    std::vector<ListingEntry> WaitingFiles() const;
    // Removes the folder once no file waits in it; a folder still holding one stays.
    void RemoveIfEmpty() const;

private:
    std::wstring FolderPath() const;
    std::wstring MarkerPath() const;
    std::wstring FilesPath() const;

    std::wstring m_strDirectory;
    std::wstring m_strName;
};
