#include "tests/support/HttpsOpener.h"

namespace {

const char kKey[] = "https\\shell\\open\\command";

}  // namespace

HttpsOpener::HttpsOpener(const std::string& program) {
    m_bHad = RegGetValueA(HKEY_CLASSES_ROOT, kKey, nullptr, RRF_RT_REG_SZ, nullptr, m_szOld, &m_cbOld) == ERROR_SUCCESS;
    Set("\"" + program + "\" \"%1\"");
}

HttpsOpener::~HttpsOpener() {
    if (m_bHad) Set(m_szOld);
}

void HttpsOpener::Set(const std::string& command) {
    RegSetKeyValueA(HKEY_CLASSES_ROOT, kKey, nullptr, REG_SZ, command.c_str(), static_cast<DWORD>(command.size() + 1));
}
