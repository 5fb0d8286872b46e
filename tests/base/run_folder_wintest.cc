// The run's folder and the files it holds, against the real file system: a
// held file refuses writers, replacers and deleters until it is released.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/environment.h"
#include "base/run_folder.h"
#include "base/unique_handle.h"

namespace lite_installer {
namespace {

DWORD OpenForWriteError(const std::wstring& path) {
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.IsValid() ? 0 : GetLastError();
}

TEST(RunFolderTest, NewPrivateFolderPerRunAndHeldFilesRefuseChanges) {
  const std::wstring temp = GetTemporaryPath();
  const std::wstring first = CreateRunFolder(temp);
  const std::wstring second = CreateRunFolder(temp);
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(second, RunFolderPath());
  EXPECT_EQ(0u, first.compare(0, temp.size(), temp));
  EXPECT_EQ(temp.size() + 5 + 32 + 1, first.size()) << "lite-, 128 random bits in hex, separator";

  const std::wstring path = second + L"master_preferences";
  ASSERT_TRUE(SaveAndHoldFile(path, "genuine"));
  EXPECT_EQ("genuine", LoadFileBytes(path)) << "readers are welcome";
  EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), OpenForWriteError(path));
  EXPECT_FALSE(DeleteFileW(path.c_str()));
  EXPECT_FALSE(MoveFileExW(path.c_str(), (second + L"moved").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_FALSE(SaveBytesToFile(path, "attacker"));
  // This process may write its own file again; the new bytes are held.
  ASSERT_TRUE(SaveAndHoldFile(path, "second"));
  EXPECT_EQ("second", LoadFileBytes(path));
  EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), OpenForWriteError(path));

  // A file somebody else created first is never taken for ours.
  const std::wstring planted = second + L"clids.xml";
  ASSERT_TRUE(SaveBytesToFile(planted, "planted"));
  EXPECT_FALSE(SaveAndHoldFile(planted, "genuine"));
  EXPECT_EQ("planted", LoadFileBytes(planted));
  EXPECT_FALSE(AllHandedFilesHeld());

  ReleaseHeldFiles();
  EXPECT_EQ(0u, OpenForWriteError(path));
  EXPECT_EQ("second", LoadFileBytes(path)) << "released files stay";
  // The folder goes with the files this process made, never with another's.
  EXPECT_FALSE(RemoveRunFolder());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
  EXPECT_TRUE(DeleteFileW(planted.c_str()));
  EXPECT_TRUE(RemoveRunFolder());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(second.c_str()));
  EXPECT_TRUE(AllHandedFilesHeld());
  EXPECT_TRUE(RemoveDirectoryW(first.c_str()));

  // The package hold: the same sharing for a file this process did not write.
  ASSERT_TRUE(SaveBytesToFile(temp + L"run_folder_wintest.bin", "package"));
  {
    ScopedFile held = OpenHeldFile(temp + L"run_folder_wintest.bin");
    ASSERT_TRUE(held.IsValid());
    EXPECT_FALSE(DeleteFileW((temp + L"run_folder_wintest.bin").c_str()));
  }
  EXPECT_TRUE(DeleteFileW((temp + L"run_folder_wintest.bin").c_str()));
}

}  // namespace
}  // namespace lite_installer
