#pragma once
// Where a file waits between the two steps of a case change that the platform does not make in
// one step. Beside the other files under its own name and the folder's suffix, "Name" ->
// "Name~<8 hex digits>" -> "name", where the name leaves room for the suffix;
// otherwise in the folder, "Name" -> "<staging>\files\Name" -> "name". The folder is hidden
// and carries a marker file that holds the suffix, so that the program only ever empties or
// removes folders of its own, and only ever takes back files under a suffix that one of its
// own folders names, never a user's file or folder that happens to look alike. Should the
// program be ended between the two steps, the next run finds the file and returns it.
//
// A run holds the marker of each folder it works with open without delete sharing: another
// run cannot take that folder for an ended run's and leaves it and its waiting files alone. A
// folder is only ever a plain folder of the directory's own volume, never a link: a planted
// link must not lead a run into another folder.
#include "renaming/NameCensus.h"
#include "renaming/PlainEntry.h"

#include <optional>
#include <string>
#include <vector>

class CStagingFolder {
public:
    // A new staging folder in the directory, under a name that no entry answers to; it appears
    // under that name only with its marker and files folder in it, and is held by this run.
    static std::optional<CStagingFolder> Create(const std::wstring& directory, const CNameCensus& census);
    // The staging folder that this program made, if the entry of the directory is one: held by
    // this run, or seen as held by another (IsHeldElsewhere).
    static std::optional<CStagingFolder> Open(const std::wstring& directory, const ListingEntry& entry);
    // The same, looked at only: nothing held, nothing removed, as a run looks at a folder that
    // another run holds (IsHeldElsewhere is true).
    static std::optional<CStagingFolder> Peek(const std::wstring& directory, const ListingEntry& entry);

    // Another run is working with it: neither it nor its waiting files may be touched.
    bool IsHeldElsewhere() const { return !m_marker; }

    // In the folder: the path, and for messages the path relative to the directory.
    std::wstring PathOf(const std::wstring& fileName) const;
    std::wstring RelativePathOf(const std::wstring& fileName) const;
    // Beside the other files: the name the file waits under, empty when the suffix does not fit.
    std::wstring WaitingNameOf(const std::wstring& fileName) const;
    // The name a file waiting beside the others had before; empty for every other name.
    std::wstring OwnNameOf(const std::wstring& waitingName) const;
    // The files waiting in the folder (none when its files folder is not a plain folder).
    std::vector<ListingEntry> WaitingFiles() const;
    // Whether a waiting file in the folder, or beside the others, is a plain file of this
    // volume that may be moved (not a link).
    bool MayMoveFromFolder(const std::wstring& fileName) const;
    bool MayMoveFromDirectory(const std::wstring& waitingName) const;
    // The same, for a folder that is only looked at: whether the run that holds it would move it.
    bool IsPlainInFolder(const std::wstring& fileName) const;
    bool IsPlainBeside(const std::wstring& waitingName) const;
    // Removes the folder once no file waits in it, never through a link. The caller must know
    // that no file waits beside the others: the marker is what the next run finds them by.
    // dwPatienceMs: how long the caller, who knows no file is left in it, lets the volume go on
    // showing one that has just left (exFAT and FAT32 through FUSE do for a moment).
    void RemoveIfEmpty(DWORD dwPatienceMs = 0);

private:
    CStagingFolder(std::wstring directory, std::wstring name, std::wstring suffix);
    static bool Furnish(const std::wstring& path, const std::wstring& suffix);
    static void Unfurnish(const std::wstring& path);
    bool Hold();
    bool Look();
    std::optional<CStagingFolder> Claimed(bool bHeld);
    bool HoldMarker();
    void LetGo();
    static bool ShowsEmpty(const std::wstring& folder, DWORD dwPatienceMs);
    static bool RemoveHeld(PlainEntry& held, const PlainEntry& parent, const std::wstring& parentPath,
                           const std::wstring& name);

    std::wstring FolderPath() const;
    std::wstring FilesPath() const;

    std::wstring m_strDirectory;
    std::wstring m_strName;
    std::wstring m_strSuffix;
    PlainEntry m_directory;  // the reference the entries below are checked against
    PlainEntry m_folder;
    PlainEntry m_files;
    PlainEntry m_marker;  // held: the run's claim on the folder
};
