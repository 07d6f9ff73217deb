// Only the extension, or only the name without it: each part in both directions, on names with
// one dot, several, none, a dot first or last, names outside the code page; twins under the
// chosen part; and the plan the list and the dry run show, against what the run then does.
#include "filesystem/ExtendedPath.h"
#include "renaming/CaseConversion.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "renaming/RunPreview.h"
#include "renaming/StagingFolder.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

const CaseChange kChanges[] = {
    {CaseDirection::Lower, NamePart::Whole},     {CaseDirection::Upper, NamePart::Whole},
    {CaseDirection::Lower, NamePart::Extension}, {CaseDirection::Upper, NamePart::Extension},
    {CaseDirection::Lower, NamePart::Stem},      {CaseDirection::Upper, NamePart::Stem},
};

std::string Describe(const CaseChange& change) {
    const char* parts[] = {"whole", "extension", "stem"};
    return std::string(change.direction == CaseDirection::Lower ? "lower " : "upper ") +
           parts[static_cast<int>(change.part)];
}

// Greek letters: outside code page 1252, converted by their Unicode case pairs.
const std::wstring kGreek = L"\u0391\u03B2\u03B3.\u0394\u03B5\u03B6";

Names Sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::map<std::wstring, std::string> Contents(const TempDirectory& dir) {
    std::map<std::wstring, std::string> contents;
    for (const std::wstring& name : dir.Names()) contents[name] = dir.Contents(name);
    return contents;
}

}  // namespace

TEST(NamePart, EachPartConvertsOnlyItsOwnCharacters) {
    const struct {
        std::wstring name;
        size_t extension;
        // whole lower, whole upper, extension lower, extension upper, stem lower, stem upper
        std::wstring converted[6];
    } cases[] = {
        {L"IMG_1234.JPG",
         8,
         {L"img_1234.jpg", L"IMG_1234.JPG", L"IMG_1234.jpg", L"IMG_1234.JPG", L"img_1234.JPG", L"IMG_1234.JPG"}},
        {L"Rechnung M\u00E4rz.PDF",
         13,
         {L"rechnung m\u00E4rz.pdf", L"RECHNUNG M\u00C4RZ.PDF", L"Rechnung M\u00E4rz.pdf", L"Rechnung M\u00E4rz.PDF",
          L"rechnung m\u00E4rz.PDF", L"RECHNUNG M\u00C4RZ.PDF"}},
        {L"Archiv.TAR.Gz",
         10,
         {L"archiv.tar.gz", L"ARCHIV.TAR.GZ", L"Archiv.TAR.gz", L"Archiv.TAR.GZ", L"archiv.tar.Gz", L"ARCHIV.TAR.Gz"}},
        {L"X..Yz", 2, {L"x..yz", L"X..YZ", L"X..yz", L"X..YZ", L"x..Yz", L"X..Yz"}},
        // No extension: "nur Endungen" leaves them alone, "ohne Endung" changes them whole.
        {L".Profil", std::wstring::npos, {L".profil", L".PROFIL", L".Profil", L".Profil", L".profil", L".PROFIL"}},
        {L"LiesMich",
         std::wstring::npos,
         {L"liesmich", L"LIESMICH", L"LiesMich", L"LiesMich", L"liesmich", L"LIESMICH"}},
        {L"Name.", std::wstring::npos, {L"name.", L"NAME.", L"Name.", L"Name.", L"name.", L"NAME."}},
        {kGreek,
         3,
         {L"\u03B1\u03B2\u03B3.\u03B4\u03B5\u03B6", L"\u0391\u0392\u0393.\u0394\u0395\u0396",
          L"\u0391\u03B2\u03B3.\u03B4\u03B5\u03B6", L"\u0391\u03B2\u03B3.\u0394\u0395\u0396",
          L"\u03B1\u03B2\u03B3.\u0394\u03B5\u03B6", L"\u0391\u0392\u0393.\u0394\u03B5\u03B6"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.name));
        EXPECT_EQ(ExtensionStart(c.name), c.extension);
        for (size_t i = 0; i < std::size(kChanges); ++i) {
            EXPECT_EQ(ConvertedName(kChanges[i], c.name), c.converted[i]) << Describe(kChanges[i]);
            EXPECT_EQ(HasRequestedCase(kChanges[i], c.name), c.converted[i] == c.name) << Describe(kChanges[i]);
        }
    }
}

// The same names on disk, with "Foto.JPG" beside "Foto.jpg": under "nur Endungen" in lower case
// the first keeps its name and is named, the second has its case already; under the two others
// both would take one name, and both keep theirs.
TEST(NamePart, RunsChangeOnlyThePartAskedForAndNameTheTwinsOfThatPart) {
    const Names names{L"IMG_1234.JPG",  L"Rechnung M\u00E4rz.PDF",
                      L"Archiv.TAR.GZ", L".Profil",
                      L"LIESMICH",      L"NAME.",
                      kGreek,           L"Foto.JPG",
                      L"Foto.jpg"};
    const struct {
        CaseChange change;
        Names after;
        Names kept;
    } cases[] = {
        {{CaseDirection::Lower, NamePart::Extension},
         {L"IMG_1234.jpg", L"Rechnung M\u00E4rz.pdf", L"Archiv.TAR.gz", L".Profil", L"LIESMICH", L"NAME.",
          L"\u0391\u03B2\u03B3.\u03B4\u03B5\u03B6", L"Foto.JPG", L"Foto.jpg"},
         {L"Foto.JPG"}},
        {{CaseDirection::Upper, NamePart::Extension},
         {L"IMG_1234.JPG", L"Rechnung M\u00E4rz.PDF", L"Archiv.TAR.GZ", L".Profil", L"LIESMICH", L"NAME.",
          L"\u0391\u03B2\u03B3.\u0394\u0395\u0396", L"Foto.JPG", L"Foto.jpg"},
         {L"Foto.jpg"}},
        {{CaseDirection::Lower, NamePart::Stem},
         {L"img_1234.JPG", L"rechnung m\u00E4rz.PDF", L"archiv.tar.GZ", L".profil", L"liesmich", L"name.",
          L"\u03B1\u03B2\u03B3.\u0394\u03B5\u03B6", L"Foto.JPG", L"Foto.jpg"},
         {L"Foto.JPG", L"Foto.jpg"}},
        {{CaseDirection::Upper, NamePart::Stem},
         {L"IMG_1234.JPG", L"RECHNUNG M\u00C4RZ.PDF", L"ARCHIV.TAR.GZ", L".PROFIL", L"LIESMICH", L"NAME.",
          L"\u0391\u0392\u0393.\u0394\u03B5\u03B6", L"Foto.JPG", L"Foto.jpg"},
         {L"Foto.JPG", L"Foto.jpg"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Describe(c.change));
        TempDirectory dir;
        dir.AddFilesOnLinux(names);
        dir.AddDirectory(L"Unterordner.ALT");
        CaseRunOutcome outcome = ChangeCaseOnDisk(c.change, dir.ExactPath());
        Names expected = c.after;
        expected.push_back(L"Unterordner.ALT");
        EXPECT_EQ(dir.Names(), Sorted(expected));
        EXPECT_EQ(outcome.kept, Sorted(c.kept));
        // Every file holds what it held: each name of the table is a file's own, moved along.
        for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(dir.Contents(c.after[i]), Utf8(names[i]));
    }
}

// What the list and the dry run show is what the run then does, row for row: renames, twins,
// a name no path can spell, names outside the code page, and a file an ended run left waiting,
// which the run brings back first.
TEST(NamePart, ThePlanIsWhatTheRunThenDoesRowForRow) {
    for (const CaseChange& change : kChanges) {
        SCOPED_TRACE(Describe(change));
        TempDirectory dir;
        dir.AddFilesOnLinux({L"IMG_1234.JPG", L"Brief.doc", kGreek, L".Profil", L"NAME.", L"Foto.JPG", L"Foto.jpg",
                             L"Pair.TXT", L"pair.txt", L"Waiting.Txt"});
        RunUnixShell("cd " + ShellQuote(UnixPath(dir.Path())) + " && printf x > \"$(printf 'Bad\\377Name.Txt')\"");
        {
            std::optional<CStagingFolder> staging = CStagingFolder::Create(
                dir.ExactPath(), CNameCensus(ReadDirectoryListing(dir.ExactPath()).entries));
            ASSERT_TRUE(staging);
            ASSERT_TRUE(MoveFileExW(AfxJoinPath(dir.ExactPath(), L"Waiting.Txt").c_str(),
                                    AfxJoinPath(dir.ExactPath(), staging->WaitingNameOf(L"Waiting.Txt")).c_str(), 0));
        }
        std::map<std::wstring, std::string> before = Contents(dir);
        std::atomic<bool> bStop{false};
        RunPlan plan = PlanRun(change, dir.ExactPath(), bStop);
        ASSERT_TRUE(plan.counts.bListed);
        EXPECT_EQ(Contents(dir), before) << "planning changed the directory";

        CaseRunOutcome outcome = ChangeCaseOnDisk(change, dir.ExactPath());
        std::map<std::wstring, std::string> after = Contents(dir);
        std::map<std::wstring, std::string> expected = before;
        for (const PlannedFile& file : plan.renamed) {
            SCOPED_TRACE(Utf8(file.name) + " -> " + Utf8(file.plan.target));
            EXPECT_EQ(file.plan.fate, FileFate::Renamed);
            expected[file.plan.target] = before[file.name];
            expected.erase(file.name);
        }
        for (auto it = expected.begin(); it != expected.end();)  // the staging folder goes with its file
            it = it->first.rfind(L".umbrix-staging", 0) == 0 ? expected.erase(it) : std::next(it);
        EXPECT_EQ(after, expected);
        Names kept;
        for (const PlannedFile& file : plan.kept) {
            kept.push_back(file.name);
            // A twin is named after another entry, one that answers to the name it would take.
            if (file.plan.fate != FileFate::Twin) continue;
            EXPECT_TRUE(before.count(file.twin) && file.twin != file.name)
                << Utf8(file.name) << ": " << Utf8(file.twin);
            EXPECT_EQ(CaseFoldKey(file.twin), CaseFoldKey(file.plan.target));
        }
        EXPECT_EQ(kept, outcome.kept);
        EXPECT_EQ(plan.counts.nToRename, outcome.nRenamed);
        // The waiting file is among the renames, and the unspellable name among the kept.
        EXPECT_TRUE(
            std::any_of(plan.renamed.begin(), plan.renamed.end(), [](const PlannedFile& f) { return f.bWaiting; }));
        EXPECT_TRUE(std::any_of(plan.kept.begin(), plan.kept.end(),
                                [](const PlannedFile& f) { return f.plan.fate == FileFate::Unaddressable; }));
    }
}
