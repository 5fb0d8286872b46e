// The log file written for real: layout, byte-order mark, rotation, two
// processes at once, and a mutex held by another process.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "base/environment.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/system_error_text.h"
#include "base/unique_handle.h"

namespace lite_installer {
namespace {

const std::wstring& TestLogPath() {
  static const std::wstring path = GetTemporaryPath() + L"log_sink_wintest.log";
  return path;
}

std::wstring ReadLogText(const std::wstring& path) {
  const std::string bytes = LoadFileBytes(path);
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

std::wstring PeerPath() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"log_peer.exe";
}

ScopedHandle StartPeer(const std::wstring& arguments) {
  std::wstring line = L"\"" + PeerPath() + L"\" " + arguments;
  STARTUPINFOW startup = {sizeof(startup)};
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return ScopedHandle();
  }
  CloseHandle(process.hThread);
  return ScopedHandle(process.hProcess);
}

class LogSinkTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { SetLogPath(TestLogPath()); }
  void SetUp() override {
    DeleteFileW(TestLogPath().c_str());
    DeleteFileW((TestLogPath() + L".old").c_str());
  }
};

TEST_F(LogSinkTest, RecordsHaveTheExactLayoutAndOnlyTheFirstHasAByteOrderMark) {
  SetLogPath(L"C:\\elsewhere.log");  // only the first path counts
  Log(kInfo, L"wWinMain", 27, L"Lite installer mode.");
  LogFormat(kWarning, log_tag::kInstallerGetModule, 1234, L"attempt %d", 2);
  const std::string bytes = LoadFileBytes(TestLogPath());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ('\xFF', bytes[0]);
  EXPECT_EQ('\xFE', bytes[1]);
  const std::wstring text = ReadLogText(TestLogPath()).substr(1);
  EXPECT_EQ(std::wstring::npos, text.find(L'\xFEFF'));
  const std::wregex layout(
      L"\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} <" + std::to_wstring(GetCurrentThreadId()) +
      L"> INFO: wWinMain \\(27\\): Lite installer mode\\.\n"
      L"\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} <\\d+> WARNING: Installer::GetModule \\(1234\\): "
      L"attempt 2\n");
  EXPECT_TRUE(std::regex_match(text, layout)) << std::string(text.begin(), text.end());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"C:\\elsewhere.log"));
}

TEST_F(LogSinkTest, ErrorRecordsCarryTheSystemTextOfTheLastError) {
  SetLastError(ERROR_ACCESS_DENIED);
  Log(kError, L"f", 1, L"denied");
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError()) << "logging keeps it";
  SetLastError(0x2000FFFF);
  Log(kError, L"f", 2, L"odd");
  const std::wstring text = ReadLogText(TestLogPath());
  const std::wstring denied = SystemErrorText(ERROR_ACCESS_DENIED);
  ASSERT_GT(denied.size(), 2u);
  EXPECT_EQ(L"\r\n", denied.substr(denied.size() - 2)) << "system texts keep their line ending";
  EXPECT_NE(std::wstring::npos, denied.find(L"ccess")) << "English text for error 5";
  EXPECT_NE(std::wstring::npos, text.find(L"ERROR: f (1): denied Last error: " + denied));
  EXPECT_NE(std::wstring::npos, text.find(L"odd Last error: unknown error 0x2000ffff\n"));
}

void WriteFileOfSize(const std::wstring& path, size_t bytes, char fill) {
  std::string content(bytes, fill);
  content[0] = '\xFF';
  content[1] = '\xFE';
  ASSERT_TRUE(SaveBytesToFile(path, content));
}

TEST_F(LogSinkTest, RotatesAtExactlyOneMebibyte) {
  WriteFileOfSize(TestLogPath(), 1048575, 'a');
  Log(kInfo, L"f", 1, L"appended");
  EXPECT_GT(LoadFileBytes(TestLogPath()).size(), 1048575u);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((TestLogPath() + L".old").c_str()));

  WriteFileOfSize(TestLogPath(), 1048576, 'b');
  ASSERT_TRUE(SaveBytesToFile(TestLogPath() + L".old", "previous rotation"));
  Log(kInfo, L"f", 2, L"rotated");
  const std::string old_bytes = LoadFileBytes(TestLogPath() + L".old");
  EXPECT_EQ(1048576u, old_bytes.size()) << "the earlier .old file is replaced";
  EXPECT_EQ('b', old_bytes[2]);
  const std::wstring fresh = ReadLogText(TestLogPath());
  ASSERT_FALSE(fresh.empty());
  EXPECT_EQ(L'\xFEFF', fresh[0]);
  EXPECT_NE(std::wstring::npos, fresh.find(L"rotated\n"));
}

TEST_F(LogSinkTest, TwoProcessesWritingAtOnceLoseAndInterleaveNothing) {
  const int kRecords = 1500;
  const std::wstring arguments = L"\"" + TestLogPath() + L"\" " + std::to_wstring(kRecords) + L" ";
  ScopedHandle first = StartPeer(L"write " + arguments + L"first");
  ScopedHandle second = StartPeer(L"write " + arguments + L"second");
  ASSERT_TRUE(first.IsValid() && second.IsValid()) << "log_peer.exe beside the tests";
  HANDLE both[] = {first.Get(), second.Get()};
  ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, TRUE, 120000));

  const std::wstring text = ReadLogText(TestLogPath());
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(L'\xFEFF', text[0]);
  EXPECT_EQ(std::wstring::npos, text.find(L'\xFEFF', 1)) << "exactly one byte-order mark";
  const std::wregex record(
      L"\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} <\\d+> INFO: LogPeer::Write \\(\\d+\\): "
      L"(first|second) record (\\d+) of 1500\n");
  int next[2] = {0, 0};
  auto it = std::wsregex_iterator(text.begin() + 1, text.end(), record);
  size_t covered = 1;
  for (; it != std::wsregex_iterator(); ++it) {
    EXPECT_EQ(covered, static_cast<size_t>(it->position(0) + 1)) << "records are contiguous";
    covered = static_cast<size_t>(it->position(0) + 1 + it->length(0));
    const int writer = (*it)[1] == L"first" ? 0 : 1;
    EXPECT_EQ(next[writer], std::stoi((*it)[2].str())) << "each writer's records in order";
    next[writer] = std::stoi((*it)[2].str()) + 1;
  }
  EXPECT_EQ(kRecords, next[0]);
  EXPECT_EQ(kRecords, next[1]);
  EXPECT_EQ(text.size(), covered) << "nothing but whole records";
}

TEST_F(LogSinkTest, AMutexHeldElsewhereDropsTheRecordAfterOneSecond) {
  ScopedHandle holding(CreateEventW(nullptr, TRUE, FALSE, L"lite_log_peer_holding"));
  ScopedHandle peer = StartPeer(L"hold 4000");
  ASSERT_TRUE(peer.IsValid());
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(holding.Get(), 30000));

  const DWORD start = GetTickCount();
  Log(kInfo, L"f", 1, L"dropped while held");
  const DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, 900u);
  EXPECT_LT(waited, 2500u) << "the writer does not block longer than the wait";

  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(peer.Get(), 30000));
  Log(kInfo, L"f", 2, L"written after release");
  const std::wstring text = ReadLogText(TestLogPath());
  EXPECT_EQ(std::wstring::npos, text.find(L"dropped while held"));
  EXPECT_NE(std::wstring::npos, text.find(L"written after release"));
}

}  // namespace
}  // namespace lite_installer
