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

enum class Switch { Lower, Upper, Undo, Quiet, Extension, Stem, Preview, Help, NoLogo, Unknown };

// name: the switch without its first '/' or '-' ("--help" comes as "-help").
Switch ReadSwitch(const std::wstring& name) {
    if (SameSwitch(name, L"klein")) return Switch::Lower;
    if (SameSwitch(name, L"gross") || SameSwitch(name, L"gro\u00DF")) return Switch::Upper;
    if (SameSwitch(name, L"r\u00FCckg\u00E4ngig") || SameSwitch(name, L"rueckgaengig")) return Switch::Undo;
    if (SameSwitch(name, L"still")) return Switch::Quiet;
    if (SameSwitch(name, L"endung")) return Switch::Extension;
    if (SameSwitch(name, L"name")) return Switch::Stem;
    if (SameSwitch(name, L"vorschau")) return Switch::Preview;
    for (const wchar_t* help : {L"?", L"h", L"hilfe", L"help", L"-help"})
        if (SameSwitch(name, help)) return Switch::Help;
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

// What is wrong with the command line of an undo; empty when nothing is. It takes the last run
// back as it was: no direction, part or dry run goes with it.
std::wstring CheckUndo(const std::vector<std::wstring>& arguments, size_t nDirectories, bool bLower, bool bUpper) {
    if (bLower || bUpper)
        return Text("/r\xFC" "ckg\xE4ngig steht ohne /klein und /gross: es nimmt die letzte Umbenennung zur\xFC" "ck.");
    for (Switch alone : {Switch::Extension, Switch::Stem, Switch::Preview})
        if (Has(arguments, alone))
            return Text("/r\xFC" "ckg\xE4ngig steht ohne /endung, /name und /vorschau: es nimmt die letzte "
                        "Umbenennung zur\xFC" "ck, wie sie war.");
    if (nDirectories > 0)
        return Text("/r\xFC" "ckg\xE4ngig nimmt kein Verzeichnis: die letzte Umbenennung wird dort "
                    "zur\xFC" "ckgenommen, wo sie war.");
    return {};
}

// What is wrong with the command line, once it is known to be a run's; empty when nothing is.
std::wstring CheckRun(const std::vector<std::wstring>& arguments, bool bLower, bool bUpper, bool bUndo) {
    std::vector<std::wstring> directories;
    for (const std::wstring& argument : arguments) {
        if (!IsSwitch(argument)) {
            directories.push_back(argument);
        } else if (ReadSwitch(argument.substr(1)) == Switch::Unknown) {
            return Text("Unbekannter Schalter: ") + Quoted(argument) + L".";
        }
    }
    if (bUndo) return CheckUndo(arguments, directories.size(), bLower, bUpper);
    if (bLower && bUpper) return Text("/klein und /gross schlie\xDF" "en einander aus: nur eines von beiden.");
    if (Has(arguments, Switch::Extension) && Has(arguments, Switch::Stem))
        return Text("/endung und /name schlie\xDF" "en einander aus: nur eines von beiden.");
    if (!bLower && !bUpper) {
        std::wstring alone = FirstWithoutDirection(arguments);
        if (alone == L"/still") return Text("/still gilt nur zusammen mit /klein, /gross oder /r\xFC" "ckg\xE4ngig.");
        return alone + Text(" gilt nur zusammen mit /klein oder /gross.");
    }
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
        command.bUndo = command.bUndo || given == Switch::Undo;
        command.bQuiet = command.bQuiet || given == Switch::Quiet || given == Switch::Preview;
        command.bPreview = command.bPreview || given == Switch::Preview;
        command.bHelp = command.bHelp || given == Switch::Help;
        if (given == Switch::Extension) command.part = NamePart::Extension;
        if (given == Switch::Stem) command.part = NamePart::Stem;
    }
    command.bGiven = bLower || bUpper || command.bUndo || command.bHelp || !FirstWithoutDirection(arguments).empty();
    // Asked for help, the program shows it whatever else the line holds, and does nothing more.
    if (!command.bGiven || command.bHelp) return command;
    command.direction = bUpper ? CaseDirection::Upper : CaseDirection::Lower;
    command.error = CheckRun(arguments, bLower, bUpper, command.bUndo);
    if (command.error.empty() && !command.bUndo)
        for (const std::wstring& argument : arguments)
            if (!IsSwitch(argument)) command.directory = argument;
    return command;
}

// Lines shorter than a console's 80 columns.
const char* CaseCommandUsage() {
    return "Aufruf:\n"
           "    umbrix.exe /klein Verzeichnis\n"
           "    umbrix.exe /gross Verzeichnis\n"
           "    umbrix.exe /r\xFC" "ckg\xE4ngig\n\n"
           "/klein        jede Datei direkt im Verzeichnis in Kleinbuchstaben umbenennen\n"
           "/gross        ebenso in Gro\xDF" "buchstaben (auch /gro\xDF)\n"
           "              Unterverzeichnisse bleiben, wie sie sind.\n"
           "/endung       nur die Dateiendungen umbenennen\n"
           "/name         nur die Namen ohne Endung umbenennen\n"
           "/vorschau     nichts umbenennen, nur ohne Fenster schreiben, was der Lauf\n"
           "              t\xE4te (Exit-Code wie beim Lauf)\n"
           "/r\xFC" "ckg\xE4ngig   die letzte Umbenennung zur\xFC" "cknehmen (auch /rueckgaengig)\n"
           "/still        kein Fenster, keine Frage: das Ergebnis als Text in der\n"
           "              Standardausgabe, Fehler in der Standardfehlerausgabe\n"
           "/?            diese Hilfe (auch /h, /hilfe, --help)\n\n"
           "Ein Verzeichnis mit Leerzeichen im Namen steht in Anf\xFChrungszeichen.\n\n"
           "Exit-Code:\n"
           "    0  alle Dateien haben die verlangte Schreibung\n"
           "    1  einige Dateien behielten ihren Namen\n"
           "    2  nichts getan: Verzeichnis fehlt, Aufruf falsch, nichts zur\xFC" "ckzunehmen\n"
           "    3  abgebrochen\n\n"
           "Beispiele:\n"
           "    umbrix /still /klein .\n"
           "    umbrix /vorschau /klein /endung \"D:\\Fotos\\Urlaub 2026\"";
}
