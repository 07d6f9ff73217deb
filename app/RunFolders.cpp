#include "app/RunFolders.h"

#include <utility>

CRunFolders::CRunFolders(std::wstring first) {
    m_folders.push_back(Folder{std::move(first), FolderState::Waiting, {}, {}});
}

void CRunFolders::Add(std::wstring directory, Teller tell) {
    FolderState state = FolderState::Waiting;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Handed over as the run was stopped: the stop was meant for it too.
        if (m_bGivenUp) state = FolderState::NotRun;
        m_folders.push_back(Folder{std::move(directory), state, {}, tell});
    }
    if (state == FolderState::NotRun) Tell(tell, state);
}

std::optional<size_t> CRunFolders::Begin() {
    Teller tell;
    size_t nIndex = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bGivenUp || m_nBegun == m_folders.size()) return std::nullopt;
        nIndex = m_nBegun++;
        m_folders[nIndex].state = FolderState::Running;
        tell = m_folders[nIndex].tell;
    }
    Tell(tell, FolderState::Running);
    return nIndex;
}

void CRunFolders::End(size_t nIndex, CaseRunOutcome outcome) {
    Teller tell;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_folders[nIndex].state = FolderState::Done;
        m_folders[nIndex].outcome = std::move(outcome);
        tell = m_folders[nIndex].tell;
    }
    Tell(tell, FolderState::Done);
}

void CRunFolders::GiveUpTheRest() {
    std::vector<Teller> tellers;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bGivenUp = true;
        for (size_t i = m_nBegun; i < m_folders.size(); ++i) {
            m_folders[i].state = FolderState::NotRun;
            tellers.push_back(m_folders[i].tell);
        }
    }
    for (const Teller& tell : tellers) Tell(tell, FolderState::NotRun);
}

std::wstring CRunFolders::Directory(size_t nIndex) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_folders[nIndex].directory;
}

size_t CRunFolders::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_folders.size();
}

size_t CRunFolders::Position() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nBegun;
}

std::vector<CRunFolders::Folder> CRunFolders::Folders() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_folders;
}

void CRunFolders::Tell(const Teller& tell, FolderState state) const {
    if (tell) tell(state);
}
