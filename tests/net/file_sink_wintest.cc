#include "net/file_sink.h"

#include <gtest/gtest.h>

#include <string>

#include "base/environment.h"
#include "base/unique_handle.h"

namespace lite_installer {
namespace {

std::wstring TestFilePath(const wchar_t* name) { return GetTemporaryPath() + name; }

TEST(FileSinkTest, WritesAtThePositionAndResetTruncatesTheFile) {
  const std::wstring path = TestFilePath(L"file_sink_test.bin");
  {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.IsValid());
    FileSink sink(file.Get());
    ASSERT_TRUE(sink.Write("hello ", 6));
    ASSERT_TRUE(sink.Write("world", 5));
    EXPECT_EQ(11u, sink.total);
    sink.Reset();
    EXPECT_EQ(0u, sink.total);
    ASSERT_TRUE(sink.Write("again", 5));
  }
  EXPECT_EQ("again", LoadFileBytes(path));
  DeleteFileW(path.c_str());
}

TEST(FileSinkTest, AFailedWriteIsNotCounted) {
  const std::wstring path = TestFilePath(L"file_sink_readonly.bin");
  ASSERT_TRUE(SaveBytesToFile(path, "x"));
  {
    // Opened for reading only: WriteFile fails for real.
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.IsValid());
    FileSink sink(file.Get());
    EXPECT_FALSE(sink.Write("abc", 3));
    EXPECT_EQ(0u, sink.total);
  }
  EXPECT_EQ("x", LoadFileBytes(path));
  DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace lite_installer
