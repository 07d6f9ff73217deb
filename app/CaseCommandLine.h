#pragma once
// A run started from the command line: "umbrix.exe /klein DIR" or "/gross DIR", with "/still"
// for no window at all, "/endung" or "/name" for only the extensions or only the names without
// them, "/vorschau" for a dry run that only says what the run would do. Read from the process's
// wide command line, so that a directory of any script arrives exactly; the rest of the program
// reads its command line as before (only
// whether the splash may show) when none of the three switches is given.
#include "renaming/CaseChange.h"

#include <string>
#include <vector>

struct CaseCommand {
    bool bGiven = false;  // /klein, /gross or /still was named: the command line is a run's
    CaseDirection direction = CaseDirection::Lower;
    std::wstring directory;           // as given, without quotes
    bool bQuiet = false;              // /still
    NamePart part = NamePart::Whole;  // /endung, /name
    bool bPreview = false;            // /vorschau: renames nothing, implies /still
    std::wstring error;               // what does not make one run; empty when it does
};

// The arguments after the program's name. Blanks and tabs outside quotes separate them; a
// quote opens or closes a quoted part and is dropped. A backslash is always itself: no file
// name holds a quote, and the shell hands a drive's root over as "D:\" in quotes.
std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine);

// Switches begin with '/' or '-', in any case: klein, gross (or groß), still, endung, name,
// vorschau; nologo is allowed beside them. Any other argument is the directory.
CaseCommand ReadCaseCommand(const std::vector<std::wstring>& arguments);

// How the program is called, for the box that reports a wrong command line (code page 1252).
const char* CaseCommandUsage();
