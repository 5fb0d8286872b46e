// Times one download of URL into OUTPUT for scripts/bench_download.sh:
//   download_bench.exe ours URL OUTPUT       DownloadToSink into a FileSink, with
//                                            a stop event and progress, as the
//                                            installer downloads its package
//   download_bench.exe ours-nostop URL OUTPUT  the same without a stop event
//   download_bench.exe bare URL OUTPUT       a bare WinINet loop writing the file
//   download_bench.exe bare-read URL OUTPUT  a bare WinINet loop, nothing written
// Prints "seconds=", "bytes=", "ok=", "cpu_seconds=", "chunks=" (reads that
// gave data) and "peak_working_set=" (bytes) lines.
#include <windows.h>
#include <wininet.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "net/downloader.h"
#include "base/unique_handle.h"

namespace {

// What the controller's progress adapter costs: a virtual call per chunk.
class CountingProgress : public lite_installer::DownloadProgress {
 public:
  void OnDownloadProgress(float fraction) override { last = fraction; ++calls; }
  void OnSlowDownload() override {}
  void OnTimeLeft(int, int) override {}
  float last = 0;
  unsigned calls = 0;
};

// The platform's limit: open, read 32 KiB at a time, optionally write.
bool BareLoop(const wchar_t* url, HANDLE file, unsigned long long* bytes, unsigned* chunks) {
  HINTERNET internet = InternetOpenW(L"bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  HINTERNET request = InternetOpenUrlW(internet, url, nullptr, 0, INTERNET_FLAG_RELOAD, 0);
  static char buffer[32768];
  DWORD read = 0;
  while (request != nullptr && InternetReadFile(request, buffer, sizeof(buffer), &read) && read != 0) {
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) WriteFile(file, buffer, read, &written, nullptr);
    *bytes += read;
    ++*chunks;
  }
  if (request != nullptr) InternetCloseHandle(request);
  InternetCloseHandle(internet);
  return request != nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: download_bench ours|ours-nostop|bare|bare-read URL OUTPUT\n");
    return 2;
  }
  const std::wstring mode = argv[1];
  lite_installer::ScopedFile file(CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return 2;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  bool ok = false;
  unsigned long long bytes = 0;
  unsigned chunks = 0;
  if (mode == L"ours" || mode == L"ours-nostop") {
    lite_installer::FileSink sink(file.Get());
    CountingProgress progress;
    lite_installer::ScopedHandle stop_event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ok = lite_installer::DownloadToSink(argv[2], &sink, nullptr, nullptr, nullptr,
                                        mode == L"ours" ? stop_event.Get() : nullptr, &progress);
    bytes = sink.total;
    chunks = progress.calls;
  } else {
    ok = BareLoop(argv[2], mode == L"bare" ? file.Get() : INVALID_HANDLE_VALUE, &bytes, &chunks);
  }
  QueryPerformanceCounter(&end);
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const double cpu_seconds =
      ((static_cast<unsigned long long>(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime) +
       (static_cast<unsigned long long>(user.dwHighDateTime) << 32 | user.dwLowDateTime)) / 1e7;
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  std::printf("ok=%d\nbytes=%llu\nseconds=%.4f\ncpu_seconds=%.4f\nchunks=%u\npeak_working_set=%lu\n",
              ok ? 1 : 0, bytes, static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart,
              cpu_seconds, chunks, static_cast<unsigned long>(memory.PeakWorkingSetSize));
  std::fflush(stdout);
  return ok ? 0 : 1;
}
