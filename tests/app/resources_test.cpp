// The resources Keyvane.exe carries: linked into this test program, and
// read from the built Keyvane.exe as Windows reads them.
#include <windows.h>

#include <gtest/gtest.h>

#include "harness/keyvane_process.h"

#include <algorithm>
#include <iterator>
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

    // The version as Explorer's Details page shows it, once: the product's
    // name and version, and the file version's numbers.
    const std::string keyvane = BesideThisProgram("Keyvane.exe");
    std::string block(GetFileVersionInfoSizeA(keyvane.c_str(), nullptr), '\0');
    ASSERT_TRUE(!block.empty() && GetFileVersionInfoA(keyvane.c_str(), 0, block.size(), &block[0]));
    void *name = nullptr, *version = nullptr, *fixedInfo = nullptr;
    UINT length = 0;
    VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\ProductName", &name, &length);
    VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\ProductVersion", &version, &length);
    ASSERT_TRUE(name && version && VerQueryValueA(block.data(), "\\", &fixedInfo, &length));
    auto fixed = static_cast<const VS_FIXEDFILEINFO*>(fixedInfo);
    char shown[128];
    snprintf(shown, sizeof shown, "%s %s, file %u.%u.%u.%u", static_cast<char*>(name), static_cast<char*>(version),
             HIWORD(fixed->dwFileVersionMS),
             LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    EXPECT_STREQ(shown, "Keyvane Lite " KEYVANE_VERSION ", file " KEYVANE_VERSION ".0");
}

// What the loader reads from Keyvane.exe's manifest: run with the user's
// own rights, and the Windows versions Keyvane was written for.
TEST(Resources, ManifestAsksToRunAsInvokerOnVistaTo11)
{
    const std::string keyvane = BesideThisProgram("Keyvane.exe");
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = keyvane.c_str();
    request.lpResourceName = MAKEINTRESOURCEA(1);
    const HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << GetLastError();
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
    EXPECT_TRUE(
        QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level, sizeof level, nullptr));
    EXPECT_EQ(std::make_tuple(level.RunLevel, level.UiAccess), std::make_tuple(ACTCTX_RUN_LEVEL_AS_INVOKER, DWORD(0)));

    // A count, then the ids; where each one sits differs between versions of
    // the answer (Windows 10 added a field to each), so they are looked for.
    char answer[512] = {};
    EXPECT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, answer, sizeof answer,
                             nullptr));
    const GUID systems[] = {{0xe2011457, 0x1546, 0x43c5, {0xa5, 0xfe, 0x00, 0x8d, 0xee, 0xe3, 0xd3, 0xf0}},   // Vista
                            {0x35138b9a, 0x5d96, 0x4fbd, {0x8e, 0x2d, 0xa2, 0x44, 0x02, 0x25, 0xf9, 0x3a}},   // 7
                            {0x4a2f28e3, 0x53b9, 0x4441, {0xba, 0x9c, 0xd6, 0x9d, 0x4a, 0x4a, 0x6e, 0x38}},   // 8
                            {0x1f676c76, 0x80e1, 0x4239, {0x95, 0xbb, 0x83, 0xd0, 0xf6, 0xd0, 0xda, 0x78}},   // 8.1
                            {0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}}};  // 10, 11
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(answer), std::size(systems));
    for (const GUID& id : systems) {
        const char* bytes = reinterpret_cast<const char*>(&id);
        EXPECT_TRUE(std::search(std::begin(answer), std::end(answer), bytes, bytes + sizeof id) != std::end(answer))
            << "no supportedOS " << std::hex << id.Data1;
    }
    ReleaseActCtx(context);
}

}  // namespace
