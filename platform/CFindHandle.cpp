#include "platform/CFindHandle.h"

#include <utility>

CFindHandle::~CFindHandle() { Close(); }

CFindHandle::CFindHandle(CFindHandle&& other) noexcept
    : m_hSearch(std::exchange(other.m_hSearch, INVALID_HANDLE_VALUE)) {}

CFindHandle& CFindHandle::operator=(CFindHandle&& other) noexcept {
    if (this != &other) {
        Close();
        m_hSearch = std::exchange(other.m_hSearch, INVALID_HANDLE_VALUE);
    }
    return *this;
}

void CFindHandle::Close() {
    if (m_hSearch != INVALID_HANDLE_VALUE) FindClose(std::exchange(m_hSearch, INVALID_HANDLE_VALUE));
}
