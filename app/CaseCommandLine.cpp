#include "app/CaseCommandLine.h"

#include "platform/CString.h"

#include <windows.h>

namespace {

bool IsBlank(wchar_t ch) { return ch == L' ' || ch == L'\t'; }

// The program's own name ends at the first blank outside quotes, as the system reads it.
size_t SkipProgramName(const std::wstring& commandLine) {
    size_t i = 0;
    bool bQuoted = false;
    for (; i < commandLine.size(); ++i) {
        if (commandLine[i] == L'"')
            bQuoted = !bQuoted;
        else if (!bQuoted && IsBlank(commandLine[i]))
            break;
    }
    return i;
}

bool SameSwitch(const std::wstring& given, const wchar_t* pszName) {
    return CompareStringOrdinal(given.c_str(), static_cast<int>(given.size()), pszName, -1, TRUE) == CSTR_EQUAL;
}

std::wstring Quoted(const std::wstring& argument) { return L"\"" + argument + L"\""; }

std::wstring Text(const char* pszText) { return AfxToWide(pszText); }

enum class Switch { Lower, Upper, Quiet, Extension, Stem, Preview, NoLogo, Unknown };

Switch ReadSwitch(const std::wstring& name) {
    if (SameSwitch(name, L"klein")) return Switch::Lower;
    if (SameSwitch(name, L"gross") || SameSwitch(name, L"gro\u00DF")) return Switch::Upper;
    if (SameSwitch(name, L"still")) return Switch::Quiet;
    if (SameSwitch(name, L"endung")) return Switch::Extension;
    if (SameSwitch(name, L"name")) return Switch::Stem;
    if (SameSwitch(name, L"vorschau")) return Switch::Preview;
    if (SameSwitch(name, L"nologo")) return Switch::NoLogo;
    return Switch::Unknown;
}

bool IsSwitch(const std::wstring& argument) {
    return !argument.empty() && (argument[0] == L'/' || argument[0] == L'-');
}

// The first switch given that only goes with a direction, by its name; empty when none is.
std::wstring FirstWithoutDirection(const std::vector<std::wstring>& arguments) {
    for (const std::wstring& argument : arguments) {
        Switch given = IsSwitch(argument) ? ReadSwitch(argument.substr(1)) : Switch::Unknown;
        if (given == Switch::Quiet) return L"/still";
        if (given == Switch::Extension) return L"/endung";
        if (given == Switch::Stem) return L"/name";
        if (given == Switch::Preview) return L"/vorschau";
    }
    return {};
}

bool Has(const std::vector<std::wstring>& arguments, Switch wanted) {
    for (const std::wstring& argument : arguments)
        if (IsSwitch(argument) && ReadSwitch(argument.substr(1)) == wanted) return true;
    return false;
}

// What is wrong with the command line, once it is known to be a run's; empty when nothing is.
std::wstring CheckRun(const std::vector<std::wstring>& arguments, bool bLower, bool bUpper) {
    std::vector<std::wstring> directories;
    for (const std::wstring& argument : arguments) {
        if (!IsSwitch(argument)) {
            directories.push_back(argument);
        } else if (ReadSwitch(argument.substr(1)) == Switch::Unknown) {
            return Text("Unbekannter Schalter: ") + Quoted(argument) + L".";
        }
    }
    if (bLower && bUpper) return Text("/klein und /gross schlie\xDF" "en einander aus: nur eines von beiden.");
    if (Has(arguments, Switch::Extension) && Has(arguments, Switch::Stem))
        return Text("/endung und /name schlie\xDF" "en einander aus: nur eines von beiden.");
    if (!bLower && !bUpper)
        return FirstWithoutDirection(arguments) + Text(" gilt nur zusammen mit /klein oder /gross.");
    if (directories.empty()) return Text("Es fehlt das Verzeichnis.");
    if (directories.size() > 1)
        return Text("Nur ein Verzeichnis, bitte: ") + Quoted(directories[0]) + L" und " + Quoted(directories[1]) +
               L" sind zwei.";
    if (directories[0].empty()) return Text("Es fehlt das Verzeichnis: \"\" nennt keines.");
    return {};
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine) {
    std::vector<std::wstring> arguments;
    std::wstring current;
    bool bInArgument = false;
    bool bQuoted = false;
    for (size_t i = SkipProgramName(commandLine); i < commandLine.size(); ++i) {
        wchar_t ch = commandLine[i];
        if (!bQuoted && IsBlank(ch)) {
            if (bInArgument) arguments.push_back(std::move(current));
            current.clear();
            bInArgument = false;
            continue;
        }
        bInArgument = true;  // "" is an argument of its own, an empty one
        if (ch == L'"')
            bQuoted = !bQuoted;
        else
            current += ch;
    }
    if (bInArgument) arguments.push_back(std::move(current));
    return arguments;
}

CaseCommand ReadCaseCommand(const std::vector<std::wstring>& arguments) {
    CaseCommand command;
    bool bLower = false, bUpper = false;
    for (const std::wstring& argument : arguments) {
        if (!IsSwitch(argument)) continue;
        Switch given = ReadSwitch(argument.substr(1));
        bLower = bLower || given == Switch::Lower;
        bUpper = bUpper || given == Switch::Upper;
        command.bQuiet = command.bQuiet || given == Switch::Quiet || given == Switch::Preview;
        command.bPreview = command.bPreview || given == Switch::Preview;
        if (given == Switch::Extension) command.part = NamePart::Extension;
        if (given == Switch::Stem) command.part = NamePart::Stem;
    }
    command.bGiven = bLower || bUpper || !FirstWithoutDirection(arguments).empty();
    if (!command.bGiven) return command;
    command.direction = bUpper ? CaseDirection::Upper : CaseDirection::Lower;
    command.error = CheckRun(arguments, bLower, bUpper);
    if (command.error.empty())
        for (const std::wstring& argument : arguments)
            if (!IsSwitch(argument)) command.directory = argument;
    return command;
}

const char* CaseCommandUsage() {
    return "Aufruf:\n"
           "    umbrix.exe /klein Verzeichnis\n"
           "    umbrix.exe /gross Verzeichnis\n"
           "    umbrix.exe /still /klein Verzeichnis\n"
           "    umbrix.exe /klein /endung Verzeichnis\n"
           "    umbrix.exe /vorschau /gross Verzeichnis\n\n"
           "/klein benennt jede Datei direkt im Verzeichnis in Kleinbuchstaben um, /gross in "
           "Gro\xDF" "buchstaben; Unterverzeichnisse bleiben, wie sie sind. Ein Verzeichnis mit "
           "Leerzeichen im Namen steht in Anf\xFChrungszeichen.\n\n"
           "/endung \xE4ndert nur die Dateiendungen, /name nur die Namen ohne Endung. /vorschau benennt "
           "nichts um und schreibt ohne Fenster, was der Lauf t\xE4te (Exit-Code wie beim Lauf).\n\n"
           "/still: kein Fenster. Das Ergebnis steht im Exit-Code (0: alle Dateien umbenannt, "
           "1: einige behielten ihren Namen, 2: nichts getan, 3: abgebrochen) und als Text in der "
           "Standardausgabe.";
}
