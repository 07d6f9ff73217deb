#include "bench/WineProcessStats.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string ReadProcFile(int nPid, const char* pszFile) {
    std::string path = "Z:\\proc\\" + std::to_string(nPid) + "\\" + pszFile;
    std::string text;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), file)) > 0;) text.append(buffer, n);
        std::fclose(file);
    }
    return text;
}

bool IsOurs(int nPid) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix) return false;
    std::string wanted = std::string("WINEPREFIX=") + prefix;
    std::string variables = ReadProcFile(nPid, "environ");
    for (size_t start = 0; start < variables.size();) {
        size_t end = variables.find('\0', start);
        if (end == std::string::npos) end = variables.size();
        if (variables.compare(start, end - start, wanted) == 0) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

namespace WineProcessStats {

std::set<int> ProcessesOf(const char* pszCommandText) {
    std::set<int> found;
    WIN32_FIND_DATAA data;
    HANDLE hSearch = FindFirstFileA("Z:\\proc\\*", &data);
    if (hSearch == INVALID_HANDLE_VALUE) return found;
    do {
        int nPid = std::atoi(data.cFileName);
        if (nPid <= 0) continue;
        std::string command = ReadProcFile(nPid, "cmdline");
        for (char& ch : command)
            if (ch == '\0') ch = ' ';
        if (command.find(pszCommandText) != std::string::npos && IsOurs(nPid)) found.insert(nPid);
    } while (FindNextFileA(hSearch, &data));
    FindClose(hSearch);
    return found;
}

int NewProcess(const char* pszCommandText, const std::set<int>& before) {
    int nFound = 0;
    for (int nPid : ProcessesOf(pszCommandText)) {
        if (before.count(nPid)) continue;
        if (nFound) return 0;
        nFound = nPid;
    }
    return nFound;
}

double CpuSeconds(int nUnixPid) {
    std::string stat = ReadProcFile(nUnixPid, "stat");
    size_t end = stat.rfind(')');
    if (end == std::string::npos) return -1;
    // After the command's closing parenthesis: field 3 (state) on; utime and stime are 14 and 15.
    unsigned long long utime = 0, stime = 0;
    if (std::sscanf(stat.c_str() + end + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                    &stime) != 2)
        return -1;
    return double(utime + stime) / 100.0;  // USER_HZ
}

size_t PeakResidentBytes(int nUnixPid) {
    std::string status = ReadProcFile(nUnixPid, "status");
    size_t at = status.find("VmHWM:");
    return at == std::string::npos ? 0 : std::strtoull(status.c_str() + at + 6, nullptr, 10) * 1024;
}

}  // namespace WineProcessStats
