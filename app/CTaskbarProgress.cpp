#include "app/CTaskbarProgress.h"

CTaskbarProgress::CTaskbarProgress(HWND hWnd) { ShowOn(hWnd); }

void CTaskbarProgress::ShowOn(HWND hWnd) {
    m_hWnd = hWnd;
    if (!m_hWnd || m_bComStarted) return;
    // The user-interface thread is a single-threaded apartment; S_FALSE: it already was one.
    m_bComStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    if (!m_bComStarted) return;
    void* pTaskbar = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &pTaskbar)))
        return;
    m_pTaskbar = static_cast<ITaskbarList3*>(pTaskbar);
    if (FAILED(m_pTaskbar->HrInit())) {
        m_pTaskbar->Release();
        m_pTaskbar = nullptr;
    }
}

CTaskbarProgress::~CTaskbarProgress() {
    if (m_pTaskbar) {
        m_pTaskbar->SetProgressState(m_hWnd, TBPF_NOPROGRESS);
        m_pTaskbar->Release();
    }
    if (m_bComStarted) CoUninitialize();
}

void CTaskbarProgress::Show(size_t nDone, size_t nTotal) {
    if (m_pTaskbar) m_pTaskbar->SetProgressValue(m_hWnd, nDone, nTotal);
}

void CTaskbarProgress::ShowStopping() {
    if (m_pTaskbar) m_pTaskbar->SetProgressState(m_hWnd, TBPF_PAUSED);
}
