// The resources Keyvane.exe carries, linked into this test program.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>

namespace {

std::string Resource(LPCSTR name, LPCSTR type)
{
    HRSRC found = FindResourceA(nullptr, name, type);
    auto data = found ? static_cast<const char*>(LockResource(LoadResource(nullptr, found))) : nullptr;
    return data ? std::string(data, SizeofResource(nullptr, found)) : std::string();
}

// Icon group 1: seven sizes, each a 32-bit bitmap (not PNG) that the system
// picks for its size.
TEST(Resources, IconGroupManifestAndVersionBlock)
{
    std::string group = Resource(MAKEINTRESOURCEA(1), RT_GROUP_ICON);
    EXPECT_EQ(group.size(), 6 + 7 * 14u);  // a 6-byte header, then 14 bytes an image
    std::set<int> sizes;
    for (size_t at = 6; at + 14 <= group.size(); at += 14) {
        const BYTE width = group[at];
        const WORD id = *reinterpret_cast<const WORD*>(&group[at + 12]);
        std::string image = Resource(MAKEINTRESOURCEA(id), RT_ICON);
        image.resize(std::max(image.size(), sizeof(BITMAPINFOHEADER)));
        auto bitmap = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
        EXPECT_EQ(std::make_tuple(bitmap->biSize, bitmap->biWidth, bitmap->biBitCount),
                  std::make_tuple(DWORD(sizeof(BITMAPINFOHEADER)), LONG(width), WORD(32)));
        EXPECT_EQ(LookupIconIdFromDirectoryEx(reinterpret_cast<PBYTE>(&group[0]), TRUE, width, width, 0), id);
        sizes.insert(width);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 96, 128}));

    // The manifest, for this target's architecture, and honoured: the loader
    // takes comctl32.dll 6 from the side-by-side store.
    const std::string arch = sizeof(void*) == 8 ? "amd64" : "x86";
    const std::string manifest = Resource(MAKEINTRESOURCEA(1), RT_MANIFEST);
    int arches = 0;
    for (size_t at = 0; (at = manifest.find("processorArchitecture=\"", at)) != std::string::npos; ++arches) {
        at += 23;
        EXPECT_EQ(manifest.substr(at, manifest.find('"', at) - at), arch);
    }
    EXPECT_EQ(arches, 2);
    char path[MAX_PATH] = "";
    GetModuleFileNameA(LoadLibraryA("comctl32.dll"), path, MAX_PATH);
    const std::string folder = "\\winsxs\\" + arch + "_microsoft.windows.common-controls_6595b64144ccf1df_6.";
    EXPECT_NE(std::string(CharLowerA(path)).find(folder), std::string::npos) << path;

    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string block(GetFileVersionInfoSizeA(path, nullptr), '\0');
    ASSERT_TRUE(!block.empty() && GetFileVersionInfoA(path, 0, block.size(), &block[0]));
    const char* const strings[][2] = {
        {"ProductName", "Keyvane Lite"}, {"ProductVersion", KEYVANE_VERSION}, {"FileVersion", KEYVANE_VERSION}};
    UINT length = 0;
    for (const auto& s : strings) {
        char* value = nullptr;
        VerQueryValueA(block.data(), (std::string("\\StringFileInfo\\040904E4\\") + s[0]).c_str(),
                       reinterpret_cast<void**>(&value), &length);
        EXPECT_STREQ(value, s[1]) << s[0];
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    char numbers[32];
    snprintf(numbers, sizeof numbers, "%u.%u.%u.%u", HIWORD(fixed->dwProductVersionMS),
             LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS));
    EXPECT_EQ(numbers, std::string(KEYVANE_VERSION) + ".0");
}

}  // namespace
