#include "bench/BenchFiles.h"

#include "tests/support/UnixShell.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <sstream>

namespace {

struct Stem {
    const wchar_t* mixed;
    const wchar_t* lower;
    const wchar_t* upper;
};
const Stem kStems[] = {
    {L"Report-", L"report-", L"REPORT-"},
    {L"Photo_", L"photo_", L"PHOTO_"},
    {L"Notes ", L"notes ", L"NOTES "},
    {L"\u00DCbersicht-", L"\u00FCbersicht-", L"\u00DCBERSICHT-"},
};
const Stem kExtensions[] = {{L".Txt", L".txt", L".TXT"}, {L".jpG", L".jpg", L".JPG"}, {L".Doc", L".doc", L".DOC"}};

const wchar_t* Pick(const Stem& stem, Spelling spelling) {
    return spelling == Spelling::Upper ? stem.upper : spelling == Spelling::Mixed ? stem.mixed : stem.lower;
}

}  // namespace

// Names of 14 characters or more: none fits 8.3, as with most names people give files.
Names MakeNames(int count, Spelling spelling) {
    Names names;
    names.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        wchar_t number[16];
        swprintf(number, 16, L"%05d", i);
        names.push_back(Pick(kStems[i % 4], spelling) + std::wstring(number) + Pick(kExtensions[i % 3], spelling));
    }
    return names;
}

std::vector<int> BenchSizes(int argc, char** argv, const char* defaults) {
    std::string text;
    for (int i = 1; i < argc; ++i) text += std::string(argv[i]) + " ";
    if (text.empty() && std::getenv("UMBRIX_BENCH_SIZES")) text = std::getenv("UMBRIX_BENCH_SIZES");
    if (text.empty()) text = defaults;
    std::vector<int> sizes;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        int size = std::atoi(word.c_str());
        if (size <= 0) Fail("not a size: " + word);
        sizes.push_back(size);
    }
    return sizes;
}

void Fail(const std::string& what) {
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
    std::exit(1);
}

void CreateFiles(const TempDirectory& dir, const Names& names) {
    std::string script = "cd " + ShellQuote(UnixPath(dir.Path())) + " || exit 1\n";
    for (const std::wstring& name : names) script += ": > " + ShellQuote(Utf8(name)) + "\n";
    RunUnixShell(script, 600000);
}

void Verify(const TempDirectory& dir, Names expected, const char* step) {
    std::sort(expected.begin(), expected.end());
    Names actual = dir.Names();
    if (actual == expected) return;
    Names missing;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(), std::back_inserter(missing));
    std::ostringstream text;
    text << step << ": " << actual.size() << " names on disk, " << missing.size() << " of " << expected.size()
         << " expected names missing";
    if (!missing.empty()) text << ", e.g. \"" << Utf8(missing.front()) << "\"";
    // Fail ends the process without destructors, so the directory stays for a look.
    text << " (directory left in place: " << Utf8(dir.Path()) << ")";
    Fail(text.str());
}
