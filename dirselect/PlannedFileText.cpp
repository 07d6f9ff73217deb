#include "dirselect/PlannedFileText.h"

#include "dirselect/FileCountText.h"

std::wstring PlannedFileNote(const CaseChange& change, const PlannedFile& file) {
    switch (file.plan.fate) {
    case FileFate::Renamed:
        return file.bWaiting ? AfxToWide(
                                   "kommt aus einem abgebrochenen Lauf zur\xFC"
                                   "ck")
                             : std::wstring();
    case FileFate::Twin:
        return file.twin.empty() ? AfxToWide("Zwilling einer anderen Datei") : AfxToWide("Zwilling von ") + file.twin;
    case FileFate::Unaddressable:
        return AfxToWide("Name f\xFCr Windows nicht ansprechbar");
    case FileFate::NoCaseForm:
        return AfxToWide("in " + CaseLettersText(change.direction) + " nicht zu schreiben");
    case FileFate::Waiting:
        return AfxToWide("wartet auf ein Aufr\xE4umen");
    case FileFate::InCase:
        break;
    }
    return std::wstring();
}
