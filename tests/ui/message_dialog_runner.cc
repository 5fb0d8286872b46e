// Shows the installer's message dialogs (and a checkbox bench) on their own,
// for the UI tests that drive them from outside:
//   message_dialog_runner.exe error LANGUAGE URL
//   message_dialog_runner.exe notice LANGUAGE TITLE_ID TEXT_ID BUTTON_ID
//   message_dialog_runner.exe checkbox INITIALLY_CHECKED
//   message_dialog_runner.exe welcome LANGUAGE POSITION   the link text of
//       string IDS_LICENSE_SENTENCE and an image progress bar at POSITION of 0..100 on the
//       main background; its title counts clicks on the link
// Prints "dpi=N" and "pid=N" at start and "result=N" (and the checkbox counters) at the
// end; the exit code is the dialog result.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "resources/resource_ids.h"
#include "ui/checkbox_painter.h"
#include "ui/child_controls.h"
#include "ui/fonts.h"
#include "ui/hand_cursor_link.h"
#include "ui/image_progress_bar.h"
#include "ui/link_text.h"
#include "ui/message_dialog.h"
#include "ui/resource_image.h"
#include "ui/string_table.h"
#include "ui/ui_environment.h"

namespace {

constexpr int kCheckboxId = 1001;  // the benches' own controls
constexpr int kBenchProgressBarId = 1030;

// A popup painted from the main background, with one image checkbox; its
// title reports the painter's state ("checked=0" or "checked=1").
struct CheckboxBench {
  lite_installer::ResourceImage background;
  std::unique_ptr<lite_installer::CheckboxPainter> painter;
  HFONT font = nullptr;
  int custom_draws = 0;
  int draw_items = 0;
  bool final_checked = false;  // read before the checkbox is destroyed
};
CheckboxBench* g_bench = nullptr;

// Both benches: a popup window of their own class, painted with the main
// background as the installer window paints it.
HWND CreateBenchWindow(const wchar_t* class_name, WNDPROC procedure, const wchar_t* title, RECT bounds) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = UiEnvironment::ModuleInstance();
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = class_name;
  RegisterClassExW(&window_class);
  return CreateWindowExW(0, class_name, title, WS_POPUP, bounds.left, bounds.top, bounds.right - bounds.left,
                         bounds.bottom - bounds.top, nullptr, nullptr, window_class.hInstance, nullptr);
}

// What both benches' procedures leave to the end: closing ends the message loop.
LRESULT BenchDefaultProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void PaintBackground(HWND window, const lite_installer::ResourceImage& background) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  background.Draw(dc, 0, 0, client.right, client.bottom, 21, 21, client.right, client.bottom);
  EndPaint(window, &paint);
}

void ShowState(HWND window) {
  const std::wstring title = std::wstring(L"checkbox-bench checked=") +
                             (g_bench->painter->IsChecked() ? L"1" : L"0");
  SetWindowTextW(window, title.c_str());
}

LRESULT CALLBACK BenchProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      PaintBackground(window, g_bench->background);
      return 0;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->idFrom == kCheckboxId && header->code == NM_CUSTOMDRAW && g_bench->painter) {
        ++g_bench->custom_draws;
        return g_bench->painter->OnCustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(lparam));
      }
      break;
    }
    case WM_DRAWITEM:
      if (wparam == kCheckboxId && g_bench->painter) {
        ++g_bench->draw_items;
        g_bench->painter->OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
        return TRUE;
      }
      break;
    case WM_COMMAND:
      if (LOWORD(wparam) == kCheckboxId && HIWORD(wparam) == BN_CLICKED) {
        g_bench->painter->Toggle();
        InvalidateRect(reinterpret_cast<HWND>(lparam), nullptr, FALSE);
        ShowState(window);
        return 0;
      }
      break;
    case WM_CLOSE:
      g_bench->final_checked = g_bench->painter->IsChecked();
      break;
    default:
      break;
  }
  return BenchDefaultProcedure(window, message, wparam, lparam);
}

int RunCheckboxBench(bool initially_checked) {
  UiEnvironment::Startup();
  CheckboxBench bench;
  g_bench = &bench;
  bench.background.Load(IDR_IMAGE_MAIN_BACKGROUND);
  bench.font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH, L"Arial");
  HWND window = CreateBenchWindow(L"LiteCheckboxBench", &BenchProcedure, L"checkbox-bench",
                                  RECT{200, 200, 520, 260});
  HWND checkbox = CreateWindowExW(0, L"Button", L"&Make default browser",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 20, 20,
                                  260, 15, window, reinterpret_cast<HMENU>(kCheckboxId),
                                  UiEnvironment::ModuleInstance(), nullptr);
  SendMessageW(checkbox, WM_SETFONT, reinterpret_cast<WPARAM>(bench.font), FALSE);
  bench.painter.reset(
      new lite_installer::CheckboxPainter(checkbox, bench.font, initially_checked, bench.background));
  // Resize the box to the measured height of its text.
  RECT reference = {0, 0, 260, 100};
  SetWindowPos(checkbox, nullptr, 0, 0, 260, bench.painter->MeasureHeight(reference),
               SWP_NOMOVE | SWP_NOZORDER);
  ShowState(window);
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  std::printf("custom_draw=%d draw_item=%d unthemed=%d checked=%d\n", bench.custom_draws,
              bench.draw_items, bench.painter->unthemed ? 1 : 0,
              bench.final_checked ? 1 : 0);
  bench.painter.reset();
  DeleteObject(bench.font);
  g_bench = nullptr;
  return 0;
}

// The welcome screen's pieces on their own: link text, hand cursor and the
// image progress bar, on the main background.
struct WelcomeBench {
  lite_installer::ResourceImage background;
  lite_installer::ScopedFont text_font;
  lite_installer::ScopedFont link_font;
  lite_installer::HandCursorLink hand;
  std::unique_ptr<lite_installer::ImageProgressBar> progress;
  int link_clicks = 0;
};
WelcomeBench* g_welcome = nullptr;

LRESULT CALLBACK WelcomeProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      PaintBackground(window, g_welcome->background);
      return 0;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      const bool link = lite_installer::ControlId(reinterpret_cast<HWND>(lparam)) == IDC_LICENSE_LINK;
      SelectObject(dc, link ? g_welcome->link_font.Get() : g_welcome->text_font.Get());
      SetTextColor(dc, RGB(0x66, 0x66, 0x66));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDC_LICENSE_LINK && HIWORD(wparam) == 0) {
        ++g_welcome->link_clicks;
        const std::wstring title = L"welcome-bench clicks=" +
                                   lite_installer::ToDecimal(static_cast<int64_t>(g_welcome->link_clicks));
        SetWindowTextW(window, title.c_str());
        return 0;
      }
      break;
    default:
      break;
  }
  return BenchDefaultProcedure(window, message, wparam, lparam);
}

int RunWelcomeBench(int language, int position) {
  UiEnvironment::Startup();
  WelcomeBench bench;
  g_welcome = &bench;
  bench.background.Load(IDR_IMAGE_MAIN_BACKGROUND);
  bench.text_font.Reset(lite_installer::CreateUiFont(L"Arial", 14, FW_NORMAL, false));
  bench.link_font.Reset(lite_installer::CreateUiFont(L"Arial", 14, FW_NORMAL, true));
  const SIZE size = bench.background.LogicalSize();
  HWND window = CreateBenchWindow(L"LiteWelcomeBench", &WelcomeProcedure, L"welcome-bench clicks=0",
                                  RECT{100, 100, 100 + size.cx - 42, 100 + size.cy - 42});
  const std::vector<HWND> pieces = lite_installer::CreateLinkText(
      window, lite_installer::LoadStringIn(IDS_LICENSE_SENTENCE, language), bench.text_font.Get(), POINT{180, 56},
      17, 360);
  for (HWND piece : pieces) {
    if (lite_installer::ControlId(piece) == IDC_LICENSE_LINK) {
      bench.hand.Subclass(piece);
      break;
    }
  }
  HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 180, 180, 130, 11,
                             window, reinterpret_cast<HMENU>(kBenchProgressBarId), UiEnvironment::ModuleInstance(),
                             nullptr);
  bench.progress.reset(new lite_installer::ImageProgressBar(IDR_IMAGE_PROGRESS_FILL, IDR_IMAGE_PROGRESS_TRACK));
  bench.progress->Subclass(bar);
  SendMessageW(bar, PBM_SETRANGE32, 0, 100);
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  // The control's own colours are never used.
  SendMessageW(bar, PBM_SETBARCOLOR, 0, RGB(0, 0, 255));
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  std::printf("link_clicks=%d\n", bench.link_clicks);
  g_welcome = nullptr;
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool owner = UiEnvironment::ClaimOwnership();
  HDC screen = GetDC(nullptr);
  std::printf("dpi=%d\n", GetDeviceCaps(screen, LOGPIXELSX));
  ReleaseDC(nullptr, screen);
  std::printf("pid=%lu\n", GetCurrentProcessId());
  std::fflush(stdout);
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  INT_PTR result = -2;
  if (mode == L"error" && argc >= 4) {
    lite_installer::ErrorDialog dialog(lite_installer::WideToUtf8(argv[3]), _wtoi(argv[2]));
    result = dialog.DoModal(GetActiveWindow());
  } else if (mode == L"notice" && argc >= 6) {
    lite_installer::NoticeDialog dialog(_wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]),
                                        _wtoi(argv[5]));
    result = dialog.DoModal(GetActiveWindow());
  } else if (mode == L"welcome" && argc >= 4) {
    result = RunWelcomeBench(_wtoi(argv[2]), _wtoi(argv[3]));
  } else if (mode == L"checkbox" && argc >= 3) {
    result = RunCheckboxBench(_wtoi(argv[2]) != 0);
  } else {
    std::fprintf(stderr, "usage: message_dialog_runner error|notice|checkbox ...\n");
  }
  std::printf("result=%d\n", static_cast<int>(result));
  std::fflush(stdout);
  UiEnvironment::ShutdownIfOwner(owner);
  return static_cast<int>(result);
}
