#pragma once
// One run or undo at a time for each Windows user, across every copy of the program in every
// session of that user: only the copy whose turn it is starts, reads, replaces or removes the
// journal. The turn is a file in the user's own folder of the program, beside the journal,
// held open for writing while sharing only reading: no other user can make or hold that file
// (the folder is the user's), two sessions of one user share it, and the system lets go of it
// when a copy is ended by force, so a killed copy never keeps the turn.
//
// The copy whose turn it is writes a notice into the file: which copy it is, the folder it is
// on, and what kind of folder it takes over from other copies (FolderHandover), if any.
#include "filesystem/CUniqueHandle.h"

#include <cstdint>
#include <optional>
#include <string>

struct RunTurnNotice {
    DWORD dwProcessId = 0;
    uint64_t nProcessStart = 0;  // the process's creation time: its number alone may be reused
    std::wstring runId;          // this run's, unique on this machine
    std::wstring handoverKind;   // the kind of folder it takes over; empty: none
    std::wstring directory;      // the folder it is on now, as the user named it
};

class CRunTurn {
public:
    // The turn, if no other copy has it. Where the file cannot be had at all (the folder is
    // missing or not writable) the run goes on alone with a turn that holds nothing: it cannot
    // keep a journal there either.
    static std::optional<CRunTurn> TryTake(const std::wstring& folder = DefaultFolder());
    // The user's folder of the program (where the journal lives); empty when there is none.
    static std::wstring DefaultFolder();

    CRunTurn(CRunTurn&&) noexcept = default;
    CRunTurn& operator=(CRunTurn&& other) noexcept;
    ~CRunTurn() { Release(); }

    // Tells the other copies where this run is and what it takes over.
    void Publish(const std::wstring& directory, const std::wstring& handoverKind = std::wstring());
    // The notice goes, then the turn: the next copy may go on.
    void Release();
    bool Holds() const { return static_cast<bool>(m_file); }
    const std::wstring& RunId() const { return m_runId; }

private:
    CRunTurn(CFileHandle file, std::wstring runId) : m_file(std::move(file)), m_runId(std::move(runId)) {}

    CFileHandle m_file;
    std::wstring m_runId;
};

// The notice of the copy whose turn it is now; none when no copy has the turn, the copy that
// has it has not written its notice yet, or the copy that wrote it has ended.
std::optional<RunTurnNotice> ReadRunTurnNotice(const std::wstring& folder = CRunTurn::DefaultFolder());

// Another copy of the program is renaming or taking a run back right now.
bool AnotherCopyHasTheTurn(const std::wstring& folder = CRunTurn::DefaultFolder());
