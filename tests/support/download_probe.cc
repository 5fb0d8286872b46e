// Runs one download through the installer's downloader and prints what came
// of it, for the integration tests:
//   download_probe.exe [--resume] [--stop] [--request] [--log PATH] URL OUTPUT
// --resume   keep OUTPUT's bytes and continue after them (the sink's total
//            is the file's length), as a later download attempt does;
// --stop     signal the stop event before the download starts;
// --stop-after-ms N  signal it N ms after the download started;
// --request  go through Download() into a StringSink, as statistics do, and
//            write the body to OUTPUT afterwards.
// Prints key=value lines: ok, error, redirect, content_length, total,
// progress_calls, progress_first, progress_last, progress_monotonic and one
// time_left line per OnTimeLeft call.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "install/downloader.h"
#include "installer/environment.h"
#include "installer/log.h"
#include "installer/text.h"
#include "installer/unique_handle.h"

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
  DWORD stop_after_ms = 0;
  std::vector<std::wstring> positional;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--resume") resume = true;
    else if (arg == L"--stop") stop = true;
    else if (arg == L"--request") request = true;
    else if (arg == L"--stop-after-ms" && i + 1 < argc) stop_after_ms = _wtoi(argv[++i]);
    else if (arg == L"--log" && i + 1 < argc) lite_installer::SetLogPath(argv[++i]);
    else positional.push_back(arg);
  }
  if (positional.size() != 2) {
    std::fprintf(stderr, "usage: download_probe [--resume] [--stop] [--request] [--log PATH] URL OUTPUT\n");
    return 2;
  }
  const std::wstring& url = positional[0];
  const std::wstring& output = positional[1];

  bool ok = false;
  std::wstring error_text = L"<unset>", redirect_url = L"<unset>";
  uint32_t content_length = 0xFFFFFFFF;
  uint32_t total = 0;
  PrintingProgress progress;
  if (request) {
    lite_installer::StringSink sink;
    sink.Write("stale", 5);  // Download must start the sink afresh
    ok = lite_installer::Download(url, &sink, &error_text, &redirect_url);
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
    ok = lite_installer::DownloadToSink(url.c_str(), &sink, &error_text, &redirect_url,
                                        &content_length, stop_event.Get(), &progress);
    total = sink.total;
    if (timer.IsValid()) WaitForSingleObject(timer.Get(), INFINITE);
  }
  bool monotonic = true;
  for (size_t i = 1; i < progress.fractions.size(); ++i) {
    if (progress.fractions[i] < progress.fractions[i - 1]) monotonic = false;
  }
  std::printf("ok=%d\n", ok ? 1 : 0);
  std::printf("error=%s\n", Narrow(error_text).c_str());
  std::printf("redirect=%s\n", Narrow(redirect_url).c_str());
  std::printf("content_length=%u\n", static_cast<unsigned>(content_length));
  std::printf("total=%u\n", static_cast<unsigned>(total));
  std::printf("progress_calls=%u\n", static_cast<unsigned>(progress.fractions.size()));
  if (!progress.fractions.empty()) {
    std::printf("progress_first=%.4f\n", progress.fractions.front());
    std::printf("progress_last=%.4f\n", progress.fractions.back());
  }
  std::printf("progress_monotonic=%d\n", monotonic ? 1 : 0);
  std::printf("slow=%d\n", progress.slow);
  std::fflush(stdout);
  return 0;
}
