#include "dirselect/FileCountText.h"

#include "filesystem/SystemErrorText.h"
#include "platform/GermanCount.h"

namespace {

CString FilesText(size_t nFiles) { return nFiles == 1 ? CString("1 Datei") : GermanCount(nFiles) + " Dateien"; }

CString CaseName(CaseDirection direction) {
    return direction == CaseDirection::Lower ? "Kleinbuchstaben" : "Gro\xDF" "buchstaben";
}

}  // namespace

CString FileCountText(CaseDirection direction, const RunPreview& preview) {
    if (preview.listingError != ERROR_SUCCESS)
        return "Verzeichnis nicht lesbar: " + AfxFromWide(AfxSystemReason(preview.listingError));
    if (!preview.bListed) return "Verzeichnis nicht lesbar";
    if (preview.nFiles == 0) return "Keine Dateien";
    CString text = FilesText(preview.nFiles);
    if (preview.nToRename == 0 && preview.nKeepingName == 0)
        return text + (preview.nFiles == 1 ? ", bereits in " : ", alle bereits in ") + CaseName(direction);
    text = text + ", davon " + GermanCount(preview.nToRename) + " umzubenennen";
    if (preview.nKeepingName == 1) text = text + ", 1 davon beh\xE4lt ihren Namen";
    if (preview.nKeepingName > 1) text = text + ", " + GermanCount(preview.nKeepingName) + " davon behalten ihren Namen";
    return text;
}

CString CountingText() { return "Dateien werden gez\xE4hlt \x85"; }
