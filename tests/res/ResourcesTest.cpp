// Version resource, string table, bitmaps and icon, read back from the test exe itself,
// which carries the program's resources.
#include "platform/CDC.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

std::vector<char> OwnVersionInfo() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(path, &handle));
    if (block.empty() || !GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data())) block.clear();
    return block;
}

std::string VersionString(std::vector<char>& block, const std::string& name) {
    char* value = nullptr;
    UINT length = 0;
    std::string query = "\\StringFileInfo\\040704e4\\" + name;
    if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return "<missing>";
    return std::string(value, strnlen(value, length));
}

// The DIB header of a bitmap resource as it is stored (the loaded bitmap has the display's depth).
const BITMAPINFOHEADER* StoredBitmap(int id) {
    HRSRC resource = FindResourceA(Module(), MAKEINTRESOURCEA(id), RT_BITMAP);
    HGLOBAL loaded = resource ? LoadResource(Module(), resource) : nullptr;
    return loaded ? static_cast<const BITMAPINFOHEADER*>(LockResource(loaded)) : nullptr;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    return {info.bmWidth, info.bmHeight};
}

TEST(VersionResource, FixedVersionsAndTranslation) {
    std::vector<char> block = OwnVersionInfo();
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

    WORD* translation = nullptr;
    ASSERT_TRUE(
        VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u) << "exactly one translation";
    EXPECT_EQ(translation[0], 0x0407);
    EXPECT_EQ(translation[1], 1252);
}

TEST(VersionResource, GermanStringTable) {
    std::vector<char> block = OwnVersionInfo();
    ASSERT_FALSE(block.empty());
    const std::pair<const char*, const char*> fixedValues[] = {{"FileDescription", "UMBRIX MFC Application"},
                                                               {"FileVersion", "1, 0, 0, 1"},
                                                               {"InternalName", "UMBRIX"},
                                                               {"OriginalFilename", "UMBRIX.EXE"},
                                                               {"PrivateBuild", "1"},
                                                               {"ProductName", "UMBRIX Application"},
                                                               {"ProductVersion", "1, 0, 0, 1"},
                                                               {"SpecialBuild", "1"}};
    for (const auto& [name, value] : fixedValues) EXPECT_EQ(VersionString(block, name), value) << name;
    for (const char* name : {"Comments", "CompanyName", "LegalCopyright", "LegalTrademarks"})
        EXPECT_NE(VersionString(block, name).find("Umbrix"), std::string::npos) << name;
    EXPECT_NE(VersionString(block, "LegalCopyright").find("\xA9 2026"), std::string::npos);
}

TEST(StringTable, AboutItemTextInCodePage1252) {
    char text[64] = {};
    int length = LoadStringA(Module(), IDS_ABOUTBOX, text, sizeof(text));
    EXPECT_EQ(std::string(text, length),
              "Inf&o \xFC"
              "ber Umbrix...");
    EXPECT_EQ(static_cast<unsigned char>(text[6]), 0xFC);
}

// The splash at 100, 150 and 200 %, each drawn at its size.
TEST(Bitmaps, SplashAtThreeScalesWith256Colours) {
    const struct {
        int id, width, height;
    } splashes[] = {{IDB_SPLASH, 520, 317}, {IDB_SPLASH_150, 780, 476}, {IDB_SPLASH_200, 1040, 634}};
    for (const auto& splash : splashes) {
        SCOPED_TRACE(splash.id);
        const BITMAPINFOHEADER* stored = StoredBitmap(splash.id);
        ASSERT_NE(stored, nullptr);
        EXPECT_EQ(stored->biWidth, splash.width);
        EXPECT_EQ(stored->biHeight, splash.height);
        EXPECT_EQ(stored->biBitCount, 8);
        EXPECT_EQ(stored->biCompression, DWORD(BI_RGB));
        EXPECT_TRUE(stored->biClrUsed == 0 || stored->biClrUsed == 256) << stored->biClrUsed;

        HBITMAP bitmap = LoadBitmapA(Module(), MAKEINTRESOURCEA(splash.id));
        ASSERT_NE(bitmap, nullptr);
        SIZE size = BitmapSize(bitmap);
        EXPECT_EQ(size.cx, splash.width);
        EXPECT_EQ(size.cy, splash.height);
        DeleteObject(bitmap);
    }
}

// The folder images go through CreateMappedBitmap's default colour map, which maps colour-table
// entries: each size must have a table, its white background must come out as the button
// highlight colour, and no pixel may be 192-grey, which would turn into the button face.
TEST(Bitmaps, FolderImagesAtEverySizeMapToButtonColours) {
    const struct {
        int size;
        int ids[4];
    } sets[] = {{16, {IDB_DIR, IDB_DIR_SELECTED, IDB_PATH, IDB_PATH_SELECTED}},
                {20, {IDB_DIR_20, IDB_DIR_SELECTED_20, IDB_PATH_20, IDB_PATH_SELECTED_20}},
                {24, {IDB_DIR_24, IDB_DIR_SELECTED_24, IDB_PATH_24, IDB_PATH_SELECTED_24}},
                {32, {IDB_DIR_32, IDB_DIR_SELECTED_32, IDB_PATH_32, IDB_PATH_SELECTED_32}}};
    for (const auto& set : sets) {
        for (int id : set.ids) {
            SCOPED_TRACE(id);
            const BITMAPINFOHEADER* stored = StoredBitmap(id);
            ASSERT_NE(stored, nullptr);
            ASSERT_TRUE(stored->biBitCount == 4 || stored->biBitCount == 8) << "a colour table is what is mapped";
            EXPECT_EQ(stored->biCompression, DWORD(BI_RGB));
            EXPECT_EQ(stored->biWidth, set.size);
            EXPECT_EQ(stored->biHeight, set.size);
            const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(stored + 1);
            int entries = stored->biClrUsed ? static_cast<int>(stored->biClrUsed) : 1 << stored->biBitCount;
            const BYTE* bits = reinterpret_cast<const BYTE*>(table + entries);
            // Rows of these widths need no padding.
            int bytes = set.size * set.size * stored->biBitCount / 8;
            for (int i = 0; i < bytes; ++i) {
                std::vector<int> indices = stored->biBitCount == 8 ? std::vector<int>{bits[i]}
                                                                   : std::vector<int>{bits[i] >> 4, bits[i] & 15};
                for (int index : indices) {
                    ASSERT_LT(index, entries);
                    EXPECT_FALSE(table[index].rgbRed == 192 && table[index].rgbGreen == 192 &&
                                 table[index].rgbBlue == 192)
                        << "byte " << i;
                }
            }

            CBitmap mapped;
            mapped.Attach(CreateMappedBitmap(Module(), id, 0, nullptr, 0));
            ASSERT_NE(mapped.m_hObject, nullptr);
            SIZE size = BitmapSize(mapped);
            EXPECT_EQ(size.cx, set.size);
            EXPECT_EQ(size.cy, set.size);
            CDC dc;
            dc.CreateCompatibleDC(nullptr);
            CObjectSelection selection(dc, mapped.m_hObject);
            EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
        }
    }
}

// One image for every size the program asks for, so that none is stretched; the largest
// as PNG, as Windows expects it.
TEST(Icon, GroupHoldsEverySizeAndLoadsEachUnstretched) {
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
    struct GroupHeader {
        WORD reserved, type, count;
        GroupEntry entries[8];
    };
#pragma pack(pop)
    HRSRC resource = FindResourceA(Module(), MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_NE(resource, nullptr);
    const auto* group = static_cast<const GroupHeader*>(LockResource(LoadResource(Module(), resource)));
    ASSERT_EQ(group->count, 8);
    const int sizes[8] = {16, 20, 24, 32, 40, 48, 64, 256};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(sizes[i]);
        const GroupEntry& entry = group->entries[i];
        EXPECT_EQ(entry.width, sizes[i] % 256) << "256 is written as 0";
        EXPECT_EQ(entry.height, sizes[i] % 256);
        EXPECT_EQ(entry.bitCount, 32);
        HRSRC image = FindResourceA(Module(), MAKEINTRESOURCEA(entry.id), RT_ICON);
        ASSERT_NE(image, nullptr);
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(Module(), image)));
        bool png = memcmp(data, "\x89PNG", 4) == 0;
        EXPECT_EQ(png, sizes[i] == 256);
        if (!png) {
            EXPECT_EQ(reinterpret_cast<const BITMAPINFOHEADER*>(data)->biWidth, sizes[i]);
        }

        HICON icon = static_cast<HICON>(
            LoadImageW(Module(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, sizes[i], sizes[i], 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_EQ(BitmapSize(info.hbmColor).cx, sizes[i]);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

}  // namespace

// The manifest is what a program gets from Windows: the side-by-side common controls of
// version 6 instead of the system folder's version 5 (Wine's version 6 still reports 5.81 from
// DllGetVersion, so the test looks at where it was loaded from), and no more than the user's
// rights. It declares DPI awareness per monitor (v2), system-wide on Windows before it.
TEST(Manifest, CommonControls6TheUsersRightsAndDpiAwareness) {
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(comctl, path, MAX_PATH);
    CharLowerA(path);
    EXPECT_NE(std::string(path).find("\\winsxs\\"), std::string::npos) << path;
    EXPECT_NE(std::string(path).find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos)
        << path;

    HRSRC resource = FindResourceA(Module(), CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_NE(resource, nullptr);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(Module(), resource))),
                         SizeofResource(Module(), resource));
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    // Windows 7, 8, 8.1 and 10/11.
    for (const char* os : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                           "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(manifest.find(os), std::string::npos) << os;
    EXPECT_NE(
        manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"),
        std::string::npos);
    EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                            "PerMonitorV2, System</dpiAwareness>"),
              std::string::npos);
}

// Deep directories: Windows lets the W functions take paths beyond 260 characters only for a
// program that declares itself long-path aware (and only where the system enables it).
TEST(Manifest, LongPathAware) {
    HRSRC resource = FindResourceA(Module(), CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_NE(resource, nullptr);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(Module(), resource))),
                         SizeofResource(Module(), resource));
    EXPECT_NE(manifest.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                            "true</longPathAware>"),
              std::string::npos);
}
