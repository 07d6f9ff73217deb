#pragma once
// Where a file waits between the two steps of a case change that the platform does not make in
// one step. Beside the other files under its own name and the folder's suffix, "Name" ->
// "Name~<8 hex digits>" -> "name", where the name leaves room for the suffix;
// otherwise in the folder, "Name" -> "<staging>\files\Name" -> "name". The folder is hidden
// and carries a marker file that holds the suffix, so that the program only ever empties or
// removes folders of its own, and only ever takes back files under a suffix that one of its
// own folders names, never a user's file or folder that happens to look alike. Should the
// program be ended between the two steps, the next run finds the file and returns it.
#include "renaming/NameCensus.h"

#include <optional>
#include <string>
#include <vector>

class CStagingFolder {
public:
    // A new staging folder in the directory, under a name that no entry answers to.
    static std::optional<CStagingFolder> Create(const std::wstring& directory, const CNameCensus& census);
    // The staging folder that this program made, if the entry of the directory is one.
    static std::optional<CStagingFolder> Open(const std::wstring& directory, const ListingEntry& entry);

    // suffix: empty for a folder that names none (files wait only inside it).
    CStagingFolder(std::wstring directory, std::wstring name, std::wstring suffix);

    // In the folder: the path, and for messages the path relative to the directory.
    std::wstring PathOf(const std::wstring& fileName) const;
    std::wstring RelativePathOf(const std::wstring& fileName) const;
    // Beside the other files: the name the file waits under, empty when the suffix does not fit.
    std::wstring WaitingNameOf(const std::wstring& fileName) const;
    // The name a file waiting beside the others had before; empty for every other name.
    std::wstring OwnNameOf(const std::wstring& waitingName) const;
    // The files waiting in the folder.
    std::vector<ListingEntry> WaitingFiles() const;
    // Removes the folder once no file waits in it. The caller must know that no file waits
    // beside the others: the marker is what the next run finds them by.
    void RemoveIfEmpty() const;

private:
    std::wstring FolderPath() const;
    std::wstring MarkerPath() const;
    std::wstring FilesPath() const;

    std::wstring m_strDirectory;
    std::wstring m_strName;
    std::wstring m_strSuffix;
};
