// Runs downloads through the installer's downloader and prints what came of
// them, for the integration tests:
//   download_probe.exe [options] URL OUTPUT
// --resume   keep OUTPUT's bytes and continue after them (the sink's total
//            is the file's length), as a later download attempt does;
// --attempts N  up to N attempts into OUTPUT, one package identity carried
//            from one to the next and the tenth rule applied after a failed
//            one, as the controller does; prints one "attempt=" line each;
// --validator V, --length N  the identity known before the first attempt;
// --silence-ms N  the longest wait for an answer or for bytes;
// --connect-ms N  the longest wait for the connection and its handshake;
// --stop     signal the stop event before the download starts;
// --stop-after-ms N  signal it N ms after the download started;
// --request  go through Download() into a StringSink, as statistics do, and
//            write what the sink kept to OUTPUT afterwards;
// --limit-ms N  with --request: DownloadWithin that limit.
// Prints key=value lines: ok, error, redirect, content_length, total,
// progress_calls, progress_first, progress_last, progress_monotonic,
// elapsed_ms, peak_working_set and one time_left line per OnTimeLeft call.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "install/download_attempts.h"
#include "net/downloader.h"
#include "base/environment.h"
#include "base/log.h"
#include "base/text.h"
#include "base/unique_handle.h"

namespace {

using lite_installer::Narrow;

class PrintingProgress : public lite_installer::DownloadProgress {
 public:
  void OnDownloadProgress(float fraction) override { fractions.push_back(fraction); }
  void OnSlowDownload() override { ++slow; }
  void OnTimeLeft(int seconds, int state) override {
    std::printf("time_left=%d %d\n", seconds, state);
  }
  std::vector<float> fractions;
  int slow = 0;
};

struct DelayedStop {
  HANDLE event;
  DWORD delay_ms;
};

DWORD WINAPI SignalLater(void* parameter) {
  const DelayedStop* stop = static_cast<const DelayedStop*>(parameter);
  Sleep(stop->delay_ms);
  SetEvent(stop->event);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool resume = false, stop = false, request = false;
  DWORD stop_after_ms = 0, limit_ms = 0;
  int attempts = 1;
  lite_installer::PackageIdentity identity;
  lite_installer::RequestLimits limits = lite_installer::kPackageRequestLimits;
  std::vector<std::wstring> positional;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == L"--resume") resume = true;
    else if (arg == L"--stop") stop = true;
    else if (arg == L"--request") request = true;
    else if (arg == L"--stop-after-ms" && has_value) stop_after_ms = _wtoi(argv[++i]);
    else if (arg == L"--limit-ms" && has_value) limit_ms = _wtoi(argv[++i]);
    else if (arg == L"--silence-ms" && has_value) limits.silence_ms = _wtoi(argv[++i]);
    else if (arg == L"--connect-ms" && has_value) limits.connect_ms = _wtoi(argv[++i]);
    else if (arg == L"--attempts" && has_value) attempts = _wtoi(argv[++i]);
    else if (arg == L"--validator" && has_value) identity.validator = argv[++i];
    else if (arg == L"--length" && has_value) identity.length = _wcstoui64(argv[++i], nullptr, 10);
    else if (arg == L"--log" && has_value) lite_installer::SetLogPath(argv[++i]);
    else positional.push_back(arg);
  }
  if (positional.size() != 2) {
    std::fprintf(stderr, "usage: download_probe [options] URL OUTPUT\n");
    return 2;
  }
  const std::wstring& url = positional[0];
  const std::wstring& output = positional[1];

  bool ok = false;
  std::wstring error_text = L"<unset>", redirect_url = L"<unset>";
  uint64_t content_length = 0xFFFFFFFF;
  uint32_t total = 0;
  PrintingProgress progress;
  const DWORD started = GetTickCount();
  if (request) {
    lite_installer::StringSink sink;
    sink.Write("stale", 5);  // Download must start the sink afresh
    ok = limit_ms != 0
             ? lite_installer::DownloadWithin(url, &sink, &error_text, &redirect_url, limit_ms)
             : lite_installer::Download(url, &sink, &error_text, &redirect_url);
    total = sink.total;
    SaveBytesToFile(output, sink.data());
  } else {
    lite_installer::ScopedFile file(CreateFileW(output.c_str(), GENERIC_WRITE, 0, nullptr,
                                                resume ? OPEN_ALWAYS : CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
      std::fprintf(stderr, "cannot open output\n");
      return 2;
    }
    lite_installer::FileSink sink(file.Get());
    if (resume) {
      LARGE_INTEGER size = {};
      GetFileSizeEx(file.Get(), &size);
      SetFilePointer(file.Get(), 0, nullptr, FILE_END);
      sink.total = static_cast<uint32_t>(size.QuadPart);
    }
    lite_installer::ScopedHandle stop_event(CreateEventW(nullptr, TRUE, stop, nullptr));
    DelayedStop delayed = {stop_event.Get(), stop_after_ms};
    lite_installer::ScopedHandle timer;
    if (stop_after_ms != 0) timer.Reset(CreateThread(nullptr, 0, SignalLater, &delayed, 0, nullptr));
    for (int attempt = 1; attempt <= attempts; ++attempt) {
      content_length = 0;
      ok = lite_installer::DownloadToSink(url.c_str(), &sink, &error_text, &redirect_url,
                                          &content_length, stop_event.Get(), &progress,
                                          &identity, limits);
      const uint32_t kept = sink.total;
      if (!ok && lite_installer::ShouldRestartDownload(sink.total, content_length)) sink.Reset();
      if (attempts > 1) {
        std::printf("attempt=%d ok=%d error=%s kept=%u total=%u\n", attempt, ok ? 1 : 0,
                    Narrow(error_text).c_str(), static_cast<unsigned>(kept),
                    static_cast<unsigned>(sink.total));
      }
      if (ok) break;
    }
    total = sink.total;
    if (timer.IsValid()) WaitForSingleObject(timer.Get(), INFINITE);
  }
  const DWORD elapsed = GetTickCount() - started;
  bool monotonic = true;
  for (size_t i = 1; i < progress.fractions.size(); ++i) {
    if (progress.fractions[i] < progress.fractions[i - 1]) monotonic = false;
  }
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  std::printf("ok=%d\n", ok ? 1 : 0);
  std::printf("error=%s\n", Narrow(error_text).c_str());
  std::printf("redirect=%s\n", Narrow(redirect_url).c_str());
  std::printf("content_length=%llu\n", static_cast<unsigned long long>(content_length));
  std::printf("total=%u\n", static_cast<unsigned>(total));
  std::printf("progress_calls=%u\n", static_cast<unsigned>(progress.fractions.size()));
  if (!progress.fractions.empty()) {
    std::printf("progress_first=%.4f\n", progress.fractions.front());
    std::printf("progress_last=%.4f\n", progress.fractions.back());
  }
  std::printf("progress_monotonic=%d\n", monotonic ? 1 : 0);
  std::printf("slow=%d\n", progress.slow);
  std::printf("elapsed_ms=%lu\n", static_cast<unsigned long>(elapsed));
  std::printf("validator=%s\n", Narrow(identity.validator).c_str());
  std::printf("peak_working_set=%lu\n", static_cast<unsigned long>(memory.PeakWorkingSetSize));
  std::fflush(stdout);
  return 0;
}
