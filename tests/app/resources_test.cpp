// The resources linked into this test program are the ones Keyvane.exe
// carries: icon group 1, the manifest and the version block.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

#ifdef _WIN64
const char kArch[] = "amd64";
#else
const char kArch[] = "x86";
#endif

// Resource directory records, as the resource compiler lays them out.
#pragma pack(push, 2)
struct GroupIconHeader {
  WORD reserved, type, count;
};
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bit_count;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

std::string ResourceBytes(LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(nullptr, name, type);
  if (!found) return {};
  auto data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  return data ? std::string(data, SizeofResource(nullptr, found)) : std::string();
}

// Every image is a 32-bit bitmap (not PNG), of one of the seven sizes,
// each size once, and the system picks the matching image for each size.
TEST(ResourcesTest, IconGroupHoldsSevenBitmapsOfThirtyTwoBits) {
  std::string group = ResourceBytes(MAKEINTRESOURCEA(1), RT_GROUP_ICON);
  ASSERT_GE(group.size(), sizeof(GroupIconHeader));
  auto header = reinterpret_cast<const GroupIconHeader*>(group.data());
  ASSERT_EQ(header->count, 7);
  ASSERT_EQ(group.size(), sizeof(GroupIconHeader) + 7 * sizeof(GroupIconEntry));
  auto entries = reinterpret_cast<const GroupIconEntry*>(header + 1);

  const std::set<int> want = {16, 24, 32, 48, 64, 96, 128};
  std::set<int> sizes;
  for (int i = 0; i < header->count; ++i) {
    const GroupIconEntry& e = entries[i];
    SCOPED_TRACE("image " + std::to_string(e.width));
    EXPECT_EQ(e.width, e.height);
    EXPECT_EQ(e.bit_count, 32);
    sizes.insert(e.width);
    std::string image = ResourceBytes(MAKEINTRESOURCEA(e.id), RT_ICON);
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
    auto bitmap = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
    EXPECT_EQ(bitmap->biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(bitmap->biWidth, e.width);
    EXPECT_EQ(bitmap->biBitCount, 32);

    int picked = LookupIconIdFromDirectoryEx(
        reinterpret_cast<PBYTE>(const_cast<char*>(group.data())), TRUE, e.width, e.width, LR_DEFAULTCOLOR);
    EXPECT_EQ(picked, e.id);
  }
  EXPECT_EQ(sizes, want);

  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  EXPECT_NE(icon, nullptr);
}

// The manifest names the version 6 common controls for this target's
// architecture, and the loader honours it.
TEST(ResourcesTest, ManifestSelectsCommonControlsSix) {
  std::string manifest = ResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_FALSE(manifest.empty());
  for (const std::string& part :
       {std::string("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
        std::string("publicKeyToken=\"6595b64144ccf1df\""), std::string("language=\"*\"")})
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  int arches = 0;
  for (size_t at = 0; (at = manifest.find("processorArchitecture=\"", at)) != std::string::npos; ++arches) {
    at += 23;
    EXPECT_EQ(manifest.substr(at, manifest.find('"', at) - at), kArch);
  }
  EXPECT_EQ(arches, 2);

  // The loader takes comctl32.dll from the side-by-side store only when it
  // honours the dependency, under a folder named by architecture and name.
  HMODULE controls = LoadLibraryA("comctl32.dll");
  ASSERT_NE(controls, nullptr);
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(controls, path, MAX_PATH), 0u);
  std::string folder = CharLowerA(path);
  EXPECT_NE(folder.find(std::string("\\winsxs\\") + kArch +
                        "_microsoft.windows.common-controls_6595b64144ccf1df_6."),
            std::string::npos)
      << folder;
}

TEST(ResourcesTest, VersionBlockNamesProductAndVersion) {
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  std::string block(GetFileVersionInfoSizeA(path, &ignored), '\0');
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, block.size(), &block[0]));

  const struct {
    const char* key;
    const char* value;
  } strings[] = {
      {"ProductName", "Keyvane Lite"},
      {"ProductVersion", KEYVANE_VERSION},
      {"FileVersion", KEYVANE_VERSION},
  };
  for (const auto& s : strings) {
    char* value = nullptr;
    UINT length = 0;
    std::string query = std::string("\\StringFileInfo\\040904E4\\") + s.key;
    ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << s.key;
    EXPECT_STREQ(value, s.value) << s.key;
  }

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  char numbers[64];
  snprintf(numbers, sizeof numbers, "%lu.%lu.%lu", HIWORD(fixed->dwProductVersionMS) + 0ul,
           LOWORD(fixed->dwProductVersionMS) + 0ul, HIWORD(fixed->dwProductVersionLS) + 0ul);
  EXPECT_STREQ(numbers, KEYVANE_VERSION);
  EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
  EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
}

}  // namespace
