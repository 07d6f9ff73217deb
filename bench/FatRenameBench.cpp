// Times RenameFilesToCase on a FAT32 or exFAT volume (an image mounted through FUSE, with a
// drive letter) against the cheapest correct case change there, a bare loop of two exact
// MoveFileExW calls per file through a temporary name, in the same run on the same volume. The
// volume refuses a change of case in one step, so both go in two steps. Every run is checked on
// disk afterwards.
//
//   fat_rename_bench.exe      FAT32, 300 files (fusefat gets slow beyond a few hundred)
//   exfat_rename_bench.exe    exFAT, 2,000 files, mounted as users mount it
// Arguments are ignored: the sizes are fixed.
#include "app/RenameFilesToCase.h"
#include "bench/Stopwatch.h"
#include "filesystem/DirectoryListing.h"
#include "filesystem/ExtendedPath.h"
#include "platform/AfxMessageBox.h"
#include "tests/support/FatDrive.h"
#include "wine/WineHost.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

struct Volume {
    FatDrive::Kind kind;
    FatDrive::Caches caches;
    int nFiles;
    int nRounds;
    const char* name;
};

#ifdef UMBRIX_BENCH_EXFAT
const Volume kVolume{FatDrive::Kind::ExFat, FatDrive::Caches::Default, 2000, 3, "exFAT"};
#else
const Volume kVolume{FatDrive::Kind::Fat32, FatDrive::Caches::Off, 300, 5, "FAT32"};
#endif
const int kFiles = kVolume.nFiles;
const char kFolder[] = "Bench";

enum class Spelling { Mixed, Lower, Upper };

// Names of 14 characters or more, none of them 8.3; ASCII only, as fusefat takes no other.
Names MakeNames(Spelling spelling) {
    static const char* const kStems[][3] = {
        {"Report-", "report-", "REPORT-"}, {"Photo_", "photo_", "PHOTO_"}, {"Notes ", "notes ", "NOTES "}};
    static const char* const kExtensions[][3] = {{".Txt", ".txt", ".TXT"}, {".jpG", ".jpg", ".JPG"}};
    int n = static_cast<int>(spelling);
    Names names;
    for (int i = 0; i < kFiles; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%05d", i);
        names.push_back(std::string(kStems[i % 3][n]) + number + kExtensions[i % 2][n]);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

[[noreturn]] void Fail(const std::string& what) {
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
    std::exit(1);
}

// Made on the Linux side, in batches that each finish within the shell helper's wait.
void CreateFiles(const FatDrive& fat, const Names& names) {
    if (fat.OnLinux(std::string("mkdir ") + kFolder) != "") Fail("cannot make the folder on the volume");
    for (size_t start = 0; start < names.size(); start += 40) {
        std::string script = std::string("cd ") + kFolder + " || exit 1\n";
        for (size_t i = start; i < names.size() && i < start + 40; ++i) script += ": > '" + names[i] + "'\n";
        std::string out = fat.OnLinux(script);
        if (!out.empty()) Fail("creating the files: " + out);
    }
}

// Sorted in byte order, as `LC_ALL=C ls` lists; the staging folder must be gone too.
void Verify(const FatDrive& fat, const Names& expected, const char* step) {
    Names actual = fat.Ls(kFolder);
    if (actual == expected) return;
    Fail(std::string(step) + ": " + std::to_string(actual.size()) + " names on disk, first \"" +
         (actual.empty() ? std::string() : actual.front()) + "\", expected \"" + expected.front() + "\"");
}

double TimeRenameFilesToCase(const FatDrive& fat, CaseDirection direction) {
    const wchar_t* expected = direction == CaseDirection::Lower ? L"Ok, alle Dateien in kleinbuchstaben umbenannt."
                                                                : L"Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.";
    std::vector<std::wstring> texts;
    MessageBoxHandler previous = AfxSetMessageBoxHandler([&texts](const MessageBoxRequest& request) {
        texts.push_back(request.text);
        return IDOK;
    });
    std::wstring path = fat.Root() + Wide(kFolder);
    Stopwatch watch;
    RenameFilesToCase(direction, path);
    double seconds = watch.Seconds();
    AfxSetMessageBoxHandler(previous);
    // Leave the volume's folder, as the program would on the next choice: the bare loops and
    // the checks on the Linux side must not find it held.
    SetCurrentDirectoryW(L"C:\\");
    if (texts != std::vector<std::wstring>{expected})
        Fail("RenameFilesToCase showed " + std::to_string(texts.size()) + " boxes, first \"" +
             (texts.empty() ? std::string() : Utf8(texts.front())) + "\"");
    return seconds;
}

// Where the temporary name lies: beside the file, or in a folder of its own (as the program's
// staging folder lies).
enum class Temporary { InDirectory, InSubfolder };

// Two exact renames per file, Name -> temporary -> name, every path built before the clock
// starts; no listing, no checks, no bookkeeping.
double TimeBareTwoStepLoop(const FatDrive& fat, const Names& from, const Names& to, Temporary where) {
    std::wstring directory = AfxJoinPath(wine::ExactPath(fat.Root()), Wide(kFolder));
    std::wstring subfolder = AfxJoinPath(directory, L"tmp");
    if (where == Temporary::InSubfolder && !CreateDirectoryW(subfolder.c_str(), nullptr))
        Fail("cannot make the temporary folder");
    std::vector<std::wstring> fromPaths, tmpPaths, toPaths;
    for (size_t i = 0; i < from.size(); ++i) {
        fromPaths.push_back(AfxJoinPath(directory, Wide(from[i])));
        tmpPaths.push_back(where == Temporary::InSubfolder ? AfxJoinPath(subfolder, Wide(from[i]))
                                                           : AfxJoinPath(directory, Wide(from[i] + ".tmp~")));
        toPaths.push_back(AfxJoinPath(directory, Wide(to[i])));
    }
    Stopwatch watch;
    for (size_t i = 0; i < fromPaths.size(); ++i) {
        MoveFileExW(fromPaths[i].c_str(), tmpPaths[i].c_str(), 0);
        MoveFileExW(tmpPaths[i].c_str(), toPaths[i].c_str(), 0);
    }
    double seconds = watch.Seconds();
    if (where == Temporary::InSubfolder) RemoveDirectoryW(subfolder.c_str());
    return seconds;
}

// For reference: one listing of the folder, as a run reads it before and after its renames.
double TimeListing(const FatDrive& fat, ListingDetail detail) {
    std::wstring directory = AfxJoinPath(wine::ExactPath(fat.Root()), Wide(kFolder));
    Stopwatch watch;
    DirectoryListing listing = ReadDirectoryListing(directory, detail);
    double seconds = watch.Seconds();
    if (listing.entries.size() != size_t{kFiles})
        Fail("the listing held " + std::to_string(listing.entries.size()) + " entries");
    return seconds;
}

void Report(const char* what, double seconds, double bare) {
    std::printf("%6d files  %-34s %7.2f s %7.0f files/s %6.2fx bare loop\n", kFiles, what, seconds, kFiles / seconds,
                seconds / bare);
    std::fflush(stdout);
}

struct Best {
    double lower = 1e9, upper = 1e9, beside = 1e9, subfolder = 1e9, listing = 1e9, listingNames = 1e9;
};

// One round: both directions of RenameFilesToCase, then both kinds of bare loop, each
// followed by a look at the disk.
void Round(const FatDrive& fat, Best& best) {
    const Names mixed = MakeNames(Spelling::Mixed), lower = MakeNames(Spelling::Lower),
                upper = MakeNames(Spelling::Upper);
    best.lower = std::min(best.lower, TimeRenameFilesToCase(fat, CaseDirection::Lower));
    Verify(fat, lower, "RenameFilesToCase to lower case");
    best.upper = std::min(best.upper, TimeRenameFilesToCase(fat, CaseDirection::Upper));
    Verify(fat, upper, "RenameFilesToCase to upper case");
    best.beside = std::min(best.beside, TimeBareTwoStepLoop(fat, upper, lower, Temporary::InDirectory));
    Verify(fat, lower, "bare loop (temporary name beside) to lower case");
    best.subfolder = std::min(best.subfolder, TimeBareTwoStepLoop(fat, lower, upper, Temporary::InSubfolder));
    Verify(fat, upper, "bare loop (temporary name in a subfolder) to upper case");
    best.listing = std::min(best.listing, TimeListing(fat, ListingDetail::ShortNames));
    best.listingNames = std::min(best.listingNames, TimeListing(fat, ListingDetail::Names));
    // Back to mixed case for the next round, untimed, so that every round starts alike.
    TimeBareTwoStepLoop(fat, upper, mixed, Temporary::InDirectory);
    Verify(fat, mixed, "back to mixed case");
}

}  // namespace

int main() {
    const double kTarget = 1.2;
    std::printf(
        "%s rename benchmark: RenameFilesToCase against a bare two-step loop of exact renames "
        "(target %.1fx)\n",
        kVolume.name, kTarget);
    std::string why = FatDrive::Unavailable(kVolume.kind);
    if (!why.empty()) {
        std::printf("skipped: %s\n", why.c_str());
        return 0;
    }
    FatDrive fat(kVolume.kind, kVolume.caches);
    CreateFiles(fat, MakeNames(Spelling::Mixed));
    Verify(fat, MakeNames(Spelling::Mixed), "creating the files");
    Best best;
    for (int round = 0; round < kVolume.nRounds; ++round) {
        Round(fat, best);
        std::printf("%6d files  (round %d of %d done)\n", kFiles, round + 1, kVolume.nRounds);
        std::fflush(stdout);
    }
    double bare = std::min(best.beside, best.subfolder);
    Report("RenameFilesToCase lower", best.lower, bare);
    Report("RenameFilesToCase upper", best.upper, bare);
    Report("bare loop, temporary name beside", best.beside, bare);
    Report("bare loop, temporary name in folder", best.subfolder, bare);
    Report("one listing, with short names", best.listing, bare);
    Report("one listing, names only", best.listingNames, bare);
    double ratio = std::max(best.lower, best.upper) / bare;
    std::printf("%6d files  slower direction %.2fx bare loop: target %s\n", kFiles, ratio,
                ratio <= kTarget ? "met" : "MISSED");
    return 0;
}
