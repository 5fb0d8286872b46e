// The registry store against the real registry of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/environment.h"
#include "base/registry_store.h"
#include "base/unique_handle.h"

namespace lite_installer {
namespace {

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteKeyW(HKEY_CURRENT_USER, kBrowserRegistryKey); }
  void TearDown() override { RegDeleteKeyW(HKEY_CURRENT_USER, kBrowserRegistryKey); }

  static ScopedRegKey OpenKey() {
    ScopedRegKey key;
    RegOpenKeyExW(HKEY_CURRENT_USER, kBrowserRegistryKey, 0, KEY_ALL_ACCESS, key.Receive());
    return key;
  }

  static void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    ScopedRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kBrowserRegistryKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size));
  }
};

TEST_F(RegistryStoreTest, AReadOfAMissingValueCreatesTheKey) {
  ASSERT_FALSE(OpenKey().IsValid());
  EXPECT_EQ(L"", ReadStringFromRegistry(L"lang"));
  EXPECT_TRUE(OpenKey().IsValid());
}

TEST_F(RegistryStoreTest, StoredTextsAreRegSzWithTheirTerminator) {
  StoreValueInRegistry(L"lang", L"tr");
  StoreValueInRegistry(L"Empty", L"");
  ScopedRegKey key = OpenKey();
  ASSERT_TRUE(key.IsValid());
  DWORD type = 0;
  DWORD size = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key.Get(), L"Empty", nullptr, &type, nullptr, &size));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(2u, size);
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key.Get(), L"lang", nullptr, &type, nullptr, &size));
  EXPECT_EQ(6u, size);
  EXPECT_EQ(L"tr", ReadStringFromRegistry(L"lang"));

  RemoveValueFromRegistry(L"lang");
  RemoveValueFromRegistry(L"NeverStored");  // a missing value is not an error
  EXPECT_EQ(L"", ReadStringFromRegistry(L"lang"));
  EXPECT_EQ(L"", ReadStringFromRegistry(L"Empty"));
}

TEST_F(RegistryStoreTest, ExpandableTextsAreExpandedAndOtherTypesReadAsEmpty) {
  const wchar_t expandable[] = L"%TEMP%\\x";
  SetRaw(L"Expand", REG_EXPAND_SZ, expandable, sizeof(expandable));
  wchar_t temp[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(std::wstring(temp, length) + L"\\x", ReadStringFromRegistry(L"Expand"));

  const DWORD number = 7;
  SetRaw(L"Number", REG_DWORD, &number, sizeof(number));
  EXPECT_EQ(L"", ReadStringFromRegistry(L"Number"));
}

TEST_F(RegistryStoreTest, OverlongAndUnterminatedTextsNeverReadPastTheBuffer) {
  // Exactly 2,048 bytes with no terminator: either the whole text (Windows
  // fills the buffer) or nothing (Wine asks for room for a terminator), but
  // never bytes from beyond the buffer.
  const std::wstring full(1024, L'a');
  SetRaw(L"Full", REG_SZ, full.data(), 2048);
  const std::wstring read = ReadStringFromRegistry(L"Full");
  EXPECT_TRUE(read.empty() || read == full) << read.size();
  // Longer than the buffer: empty.
  const std::wstring longer(2000, L'b');
  SetRaw(L"Long", REG_SZ, longer.c_str(), static_cast<DWORD>((longer.size() + 1) * 2));
  EXPECT_EQ(L"", ReadStringFromRegistry(L"Long"));
}

TEST_F(RegistryStoreTest, APathToADeletedFileReadsAsEmpty) {
  const std::wstring path = GetTemporaryPath() + L"registry_store_wintest.bin";
  ASSERT_TRUE(SaveBytesToFile(path, "x"));
  StoreValueInRegistry(L"BrandFile", path);
  EXPECT_EQ(path, ReadFilePathFromRegistry(L"BrandFile"));
  ASSERT_TRUE(DeleteFileW(path.c_str()));
  EXPECT_EQ(L"", ReadFilePathFromRegistry(L"BrandFile"));
  EXPECT_EQ(path, ReadStringFromRegistry(L"BrandFile")) << "the value itself stays";
}

TEST(WholeFileTest, SavesAndLoadsExactBytesAndReportsFailures) {
  const std::wstring path = GetTemporaryPath() + L"whole_file_wintest.bin";
  const std::string bytes("\x00\x01\xff zero inside", 15);
  ASSERT_TRUE(SaveBytesToFile(path, bytes));
  EXPECT_EQ(bytes, LoadFileBytes(path));
  ASSERT_TRUE(SaveBytesToFile(path, "short"));
  EXPECT_EQ("short", LoadFileBytes(path)) << "an existing file is truncated";
  DeleteFileW(path.c_str());
  EXPECT_EQ("", LoadFileBytes(path));
  EXPECT_FALSE(SaveBytesToFile(GetTemporaryPath() + L"no\\such\\folder\\file", "x"));
  const std::wstring temp = GetTemporaryPath();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(L'\\', temp.back());
  // A small file is read up to its bound and no further.
  std::string small;
  ASSERT_TRUE(SaveBytesToFile(path, std::string(256, 'g')));
  EXPECT_TRUE(LoadSmallFile(path, 256, &small));
  EXPECT_EQ(256u, small.size());
  EXPECT_FALSE(LoadSmallFile(path, 255, &small));
  EXPECT_EQ("", small);
  DeleteFileW(path.c_str());
  EXPECT_FALSE(LoadSmallFile(path, 256, &small));
  for (ShellFolder folder : {ShellFolder::kRoamingAppData, ShellFolder::kLocalAppData, ShellFolder::kProgramFiles}) {
    EXPECT_NE(L"", GetShellFolderPath(folder));
  }
}

TEST(WholeFileTest, LongTemporaryFoldersComeBackWholeOrNotAtAll) {
  wchar_t saved[MAX_PATH + 1] = {};
  ASSERT_NE(0u, GetEnvironmentVariableW(L"TMP", saved, MAX_PATH + 1));
  // Seven nested folders of 30 characters fit the system's limit for the
  // temporary folder (MAX_PATH + 1); ten do not, and the system refuses them.
  for (int depth : {7, 10}) {
    std::wstring folder = L"C:";
    for (int i = 0; i < depth; ++i) folder += L"\\" + std::wstring(29, static_cast<wchar_t>(L'a' + i));
    SetEnvironmentVariableW(L"TMP", folder.c_str());
    EXPECT_EQ(depth == 7 ? folder + L"\\" : L"", GetTemporaryPath()) << depth;
  }
  SetEnvironmentVariableW(L"TMP", saved);
}

}  // namespace
}  // namespace lite_installer
