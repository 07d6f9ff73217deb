#include "dirselect/FileCountText.h"

#include "filesystem/SystemErrorText.h"
#include "platform/GermanCount.h"

namespace {

CString FilesText(size_t nFiles) { return nFiles == 1 ? CString("1 Datei") : GermanCount(nFiles) + " Dateien"; }

// What already has the requested case: the file or all files, or the part of them asked for.
const char* AlreadyText(NamePart part, size_t nFiles) {
    static const char* const texts[][2] = {{", bereits in ", ", alle bereits in "},
                                           {", Endung bereits in ", ", alle Endungen bereits in "},
                                           {", Name ohne Endung bereits in ", ", alle Namen ohne Endung bereits in "}};
    return texts[static_cast<int>(part)][nFiles == 1 ? 0 : 1];
}

}  // namespace

CString CaseLettersText(CaseDirection direction) {
    return direction == CaseDirection::Lower ? "Kleinbuchstaben" : "Gro\xDF" "buchstaben";
}

CString FileCountText(const CaseChange& change, const RunPreview& preview) {
    if (preview.listingError != ERROR_SUCCESS)
        return "Verzeichnis nicht lesbar: " + AfxFromWide(AfxSystemReason(preview.listingError));
    if (!preview.bListed) return "Verzeichnis nicht lesbar";
    if (preview.nFiles == 0) return "Keine Dateien";
    CString text = FilesText(preview.nFiles);
    if (preview.nToRename == 0 && preview.nKeepingName == 0)
        return text + AlreadyText(change.part, preview.nFiles) + CaseLettersText(change.direction);
    text = text + ", davon " + GermanCount(preview.nToRename) + " umzubenennen";
    if (preview.nKeepingName == 1) text = text + ", 1 davon beh\xE4lt ihren Namen";
    if (preview.nKeepingName > 1) text = text + ", " + GermanCount(preview.nKeepingName) + " davon behalten ihren Namen";
    return text;
}

CString CountingText() { return "Dateien werden gez\xE4hlt \x85"; }
