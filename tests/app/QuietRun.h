#pragma once
// A command-line run with /still made in this process, as the program makes it, its standard
// streams caught in files.
#include "renaming/CaseDirection.h"

#include <string>

struct QuietEnd {
    int nExit = -1;
    std::string errors;  // what went to standard error, UTF-8
};

QuietEnd RunQuietly(CaseDirection direction, const std::wstring& directory);
