#pragma once
// The folders of one run, in the order they are renamed: the one it was started for, then those
// that other copies of the program hand over to it while it lasts (FolderHandover). The run's
// thread takes them one after the other, the progress window reads where the run is, the end
// box how each folder went. Folders are added from another thread than the one that takes them.
#include "renaming/ChangeCaseOnDisk.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

enum class FolderState {
    Waiting,  // not begun yet
    Running,
    Done,    // its outcome is known
    NotRun,  // the run stopped before it
};

class CRunFolders {
public:
    // Told when the folder's state changes, on the run's thread.
    using Teller = std::function<void(FolderState)>;

    struct Folder {
        std::wstring directory;  // as the user named it
        FolderState state = FolderState::Waiting;
        CaseRunOutcome outcome;  // when done
        Teller tell;
    };

    explicit CRunFolders(std::wstring first);

    void Add(std::wstring directory, Teller tell = {});
    // The next folder to rename, now running; none when there is none left.
    std::optional<size_t> Begin();
    void End(size_t nIndex, CaseRunOutcome outcome);
    // The run stops: no folder that has not begun will, nor any handed over from now on.
    void GiveUpTheRest();

    std::wstring Directory(size_t nIndex) const;
    size_t Count() const;
    // The folder that runs now, or ran last, counted from 1 (0 before the first).
    size_t Position() const;
    // How the folders went, once the run has ended.
    std::vector<Folder> Folders() const;

private:
    void Tell(const Teller& tell, FolderState state) const;

    mutable std::mutex m_mutex;
    std::vector<Folder> m_folders;
    size_t m_nBegun = 0;
    bool m_bGivenUp = false;
};
