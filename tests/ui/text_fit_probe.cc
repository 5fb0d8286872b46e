// Measures every visible text of the installer, in each of its fifteen
// languages, against the box it is shown in: with the font that box's control
// uses, the DrawTextW flags its drawing uses (the painters' own flags; for
// statics the flags the system's static control derives from the style in
// the dialog template), and the boxes the windows compute from the same
// layout functions and image sizes. One line per box:
//
//   fit slack=S box=NAME lang=CODE string=ID value=V lines=U/A size=WxH text=TEXT
//
// S is how many pixels narrower the box could be with the text still inside
// its A lines; negative means the text does not fit (it needs -S more
// pixels). For the time-left templates V is the number (of all it can
// receive) that leaves the least slack; -1 elsewhere.
//
//   geometry box=NAME line=L height=H
//
// marks a box lower than one line of its font: no text can fit it, so it is
// measured for one line. The program judges nothing; its caller does.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "brand/brand_package_info.h"
#include "base/text.h"
#include "resources/resource_ids.h"
#include "ui/checkbox_painter.h"
#include "ui/fonts.h"
#include "ui/image_button_painter.h"
#include "ui/link_text.h"
#include "ui/link_text_layout.h"
#include "ui/main_window.h"
#include "ui/main_window_layout.h"
#include "ui/main_window_look.h"
#include "ui/message_dialog.h"
#include "ui/message_dialog_layout.h"
#include "ui/progress_protocol.h"
#include "ui/resource_image.h"
#include "ui/string_table.h"
#include "ui/ui_environment.h"

namespace lite_installer {
namespace {

const char* const kLanguageCodes[] = {"zh-TW", "cs", "de", "en", "fr", "it", "ja", "pt-BR",
                                      "ru",    "tr", "uk", "kk", "zh-CN", "pt-PT", "es"};
constexpr uint32_t kLargestMinutes = 999;  // digits are equally wide, so 999 stands for every 3-digit value

// How the system's static control draws its text for `style`.
UINT StaticTextFormat(DWORD style) {
  UINT format = 0;
  switch (style & SS_TYPEMASK) {
    case SS_LEFT:
      format = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK;
      break;
    case SS_CENTER:
      format = DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK;
      break;
    case SS_RIGHT:
      format = DT_RIGHT | DT_EXPANDTABS | DT_WORDBREAK;
      break;
    case SS_SIMPLE:
      format = DT_LEFT | DT_SINGLELINE;
      break;
    case SS_LEFTNOWORDWRAP:
      format = DT_LEFT | DT_EXPANDTABS;
      break;
    default:
      break;
  }
  if ((style & SS_NOPREFIX) != 0) format |= DT_NOPREFIX;
  if ((style & SS_TYPEMASK) != SS_SIMPLE && (style & SS_CENTERIMAGE) != 0) format |= DT_SINGLELINE | DT_VCENTER;
  return format;
}

// Reads the style of control `id` from dialog template `template_id` of the
// program (an extended template, as windres writes DIALOGEX).
bool TemplateControlStyle(int template_id, int id, DWORD* style) {
  HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(template_id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
  if (info == nullptr) return false;
  const auto* base = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, info)));
  const DWORD size = SizeofResource(nullptr, info);
  if (base == nullptr || size < 26) return false;
  const BYTE* end = base + size;
  auto word = [](const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); };
  auto dword = [&](const BYTE* p) { return static_cast<DWORD>(word(p) | (word(p + 2) << 16)); };
  // Skips a string or an ordinal (0xFFFF and a word).
  auto skip_sz_or_ord = [&](const BYTE* p) -> const BYTE* {
    if (p + 2 > end) return end;
    if (word(p) == 0xFFFF) return p + 4;
    while (p + 2 <= end && word(p) != 0) p += 2;
    return p + 2;
  };
  if (word(base + 2) != 0xFFFF) return false;  // not DIALOGEX
  const DWORD dialog_style = dword(base + 12);
  const int count = word(base + 16);
  const BYTE* p = base + 26;
  p = skip_sz_or_ord(p);  // menu
  p = skip_sz_or_ord(p);  // class
  p = skip_sz_or_ord(p);  // title
  if ((dialog_style & DS_SETFONT) != 0) p = skip_sz_or_ord(p + 6);
  for (int i = 0; i < count && p < end; ++i) {
    p = base + ((p - base + 3) & ~3);
    if (p + 24 > end) return false;
    const DWORD item_style = dword(p + 8);
    const int item_id = static_cast<int>(dword(p + 20));
    p = skip_sz_or_ord(p + 24);  // class
    p = skip_sz_or_ord(p);       // text
    if (p + 2 > end) return false;
    p += 2 + word(p);  // creation data
    if (item_id == id) {
      *style = item_style;
      return true;
    }
  }
  return false;
}

// One box of a window: where a text is shown and how it is drawn.
struct Box {
  std::string name;
  int width = 0;
  int lines = 1;  // lines the box has room for
  int height = 0;
  HFONT font = nullptr;
  UINT format = 0;
};

class Meter {
 public:
  Meter() : dc_(CreateCompatibleDC(nullptr)) {}
  ~Meter() { DeleteDC(dc_); }
  Meter(const Meter&) = delete;
  Meter& operator=(const Meter&) = delete;

  HDC dc() const { return dc_; }

  // The size DrawTextW(DT_CALCRECT) gives `text` in a box `width` wide.
  SIZE Measure(const std::wstring& text, HFONT font, UINT format, int width) {
    HGDIOBJ previous = SelectObject(dc_, font);
    RECT rect = {0, 0, width, 0};
    DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
    SelectObject(dc_, previous);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
  }

  int LineHeight(HFONT font) { return Measure(L"Ag", font, DT_SINGLELINE, 1000).cy; }

  // Lines `text` takes in `width`, or a large number when a line is wider
  // than the box.
  int LinesIn(const Box& box, const std::wstring& text, int width) {
    const SIZE size = Measure(text, box.font, box.format, width);
    if (size.cx > width) return 1000;
    const int line = LineHeight(box.font);
    return line > 0 ? (size.cy + line - 1) / line : 1000;
  }

 private:
  HDC dc_;
};

// Slack of a text whose fit at a given width `fits` answers, for a box
// `width` wide: width minus the narrowest width that still fits.
template <typename Fits>
int SlackOf(int width, Fits fits) {
  int low = 1;
  int high = width;
  if (!fits(width)) {
    low = width + 1;
    high = width * 4;
    if (!fits(high)) return -high;
  }
  while (low < high) {  // narrowest fitting width in low..high
    const int middle = low + (high - low) / 2;
    if (fits(middle)) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return width - low;
}

std::string Printable(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    if (c == L'\n') {
      out += "\\n";
      continue;
    }
    const wchar_t one[2] = {c, 0};
    char buffer[8] = {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, one, 1, buffer, sizeof(buffer), nullptr, nullptr);
    out.append(buffer, length > 0 ? static_cast<size_t>(length) : 0);
  }
  return out;
}

struct Row {
  int slack = 0;
  int lines = 0;
  int value = -1;
  std::wstring text;
};

class Probe {
 public:
  Probe() {
    main_title_.Reset(CreateUiFont(kMainTitleFont));
    main_small_.Reset(CreateUiFont(kMainSmallFont));
    main_small_link_.Reset(CreateUiFont(kMainSmallLinkFont));
    main_text_.Reset(CreateUiFont(kMainTextFont));
    message_title_.Reset(CreateUiFont(kMessageTitleFont));
    message_text_.Reset(CreateUiFont(kMessageTextFont));
    message_button_.Reset(CreateUiFont(kMessageButtonFont));
  }

  bool Run() {
    if (!LoadGeometry()) return false;
    for (const char* code : kLanguageCodes) {
      code_ = code;
      language_ = static_cast<int>(LanguageCodeToId(code));
      Welcome(false);
      Welcome(true);
      Dialogs();
      TimeLeft();
    }
    return !missing_;
  }

 private:
  bool LoadGeometry() {
    UiEnvironment::Startup();
    ResourceImage main_background, install, cancel, checkbox, message_background, ok, message_cancel;
    const bool loaded = main_background.Load(IDR_IMAGE_MAIN_BACKGROUND) && install.Load(IDR_IMAGE_INSTALL_BUTTON) &&
                        cancel.Load(IDR_IMAGE_CANCEL_BUTTON) && checkbox.Load(IDR_IMAGE_CHECKBOX) &&
                        message_background.Load(IDR_IMAGE_MESSAGE_BACKGROUND) && ok.Load(IDR_IMAGE_MESSAGE_OK) &&
                        message_cancel.Load(IDR_IMAGE_MESSAGE_CANCEL);
    if (!loaded) {
      std::printf("error images not loaded\n");
      return false;
    }
    main_height_ = main_background.LogicalSize().cy;
    install_ = SIZE{install.LogicalSize().cx / 3, install.LogicalSize().cy};
    cancel_ = SIZE{cancel.LogicalSize().cx / 3, cancel.LogicalSize().cy};
    checkbox_text_left_ = checkbox.LogicalSize().cx / 6 + kCheckboxTextGap;
    checkbox_box_height_ = checkbox.LogicalSize().cy;
    message_client_ = SIZE{message_background.LogicalSize().cx - kMessageImageBorder,
                           message_background.LogicalSize().cy - kMessageImageBorder};
    ok_ = SIZE{ok.LogicalSize().cx / 3, ok.LogicalSize().cy};
    message_cancel_ = SIZE{message_cancel.LogicalSize().cx / 3, message_cancel.LogicalSize().cy};

    DWORD title = 0, time_left = 0, privacy = 0, message_title = 0, message_text = 0;
    if (!TemplateControlStyle(IDD_MAIN_WINDOW, IDC_TITLE, &title) ||
        !TemplateControlStyle(IDD_MAIN_WINDOW, IDC_TIME_LEFT, &time_left) ||
        !TemplateControlStyle(IDD_MAIN_WINDOW, IDC_PRIVACY_LINK, &privacy) ||
        !TemplateControlStyle(IDD_MESSAGE_DIALOG, IDC_TITLE, &message_title) ||
        !TemplateControlStyle(IDD_MESSAGE_DIALOG, IDC_STATIC, &message_text)) {
      std::printf("error dialog templates not read\n");
      return false;
    }
    title_format_ = StaticTextFormat(title);
    time_left_format_ = StaticTextFormat(time_left);
    privacy_format_ = StaticTextFormat(privacy);
    message_title_format_ = StaticTextFormat(message_title);
    message_text_format_ = StaticTextFormat(message_text);
    return true;
  }

  // A box of `width` x `height` whose lines are counted in `font`'s line
  // height; a box lower than one line is reported once and allowed one.
  Box MakeBox(const std::string& name, int width, int height, HFONT font, UINT format) {
    Box box;
    box.name = name;
    box.width = width;
    box.height = height;
    box.font = font;
    box.format = format;
    const int line = meter_.LineHeight(font);
    box.lines = (format & DT_SINGLELINE) != 0 ? 1 : height / line;
    if (box.lines == 0) {
      box.lines = 1;
      if (geometry_reported_.find("|" + name + "|") == std::string::npos) {
        geometry_reported_ += "|" + name + "|";
        std::printf("geometry box=%s line=%d height=%d\n", name.c_str(), line, height);
      }
    }
    return box;
  }

  Row Fit(const Box& box, const std::wstring& text) {
    Row row;
    row.text = text;
    row.lines = meter_.LinesIn(box, text, box.width);
    row.slack = SlackOf(box.width, [&](int width) { return meter_.LinesIn(box, text, width) <= box.lines; });
    return row;
  }

  void Print(const Box& box, int string_id, const Row& row) {
    std::printf("fit slack=%d box=%s lang=%s string=%d value=%d lines=%d/%d size=%dx%d text=%s\n", row.slack,
                box.name.c_str(), code_, string_id, row.value, row.lines, box.lines, box.width, box.height,
                Printable(row.text).c_str());
  }

  std::wstring Text(int string_id) {
    std::wstring text = LoadStringIn(string_id, language_);
    if (text.empty()) {
      std::printf("missing lang=%s string=%d\n", code_, string_id);
      missing_ = true;
    }
    return text;
  }

  void Measure(const Box& box, int string_id) { Print(box, string_id, Fit(box, Text(string_id))); }

  // The licence sentence is laid out by the code's own link-text layout,
  // in lines of 17 pixels between its origin and the make-default row.
  void Licence(int lines) {
    HGDIOBJ previous = SelectObject(meter_.dc(), main_text_.Get());
    DcTextMeasurer measurer(meter_.dc());
    const std::vector<LinkTextToken> tokens = TokenizeLinkText(Text(IDS_LICENSE_SENTENCE));
    auto used_lines = [&](int width) {
      int used = 0;
      for (const LinkTextPiece& piece : LayoutLinkText(tokens, measurer, width)) {
        if (piece.x + piece.width > width) return 1000;
        if (piece.line + 1 > used) used = piece.line + 1;
      }
      return used;
    };
    Box box;
    box.name = "welcome.licence";
    box.width = kLicenseMaxWidth;
    box.lines = lines;
    box.height = lines * kLicenseLineHeight;
    Row row;
    row.text = Text(IDS_LICENSE_SENTENCE);
    row.lines = used_lines(kLicenseMaxWidth);
    row.slack = SlackOf(kLicenseMaxWidth, [&](int width) { return used_lines(width) <= lines; });
    SelectObject(meter_.dc(), previous);
    Print(box, IDS_LICENSE_SENTENCE, row);
  }

  void Welcome(bool with_flash) {
    const std::string screen = with_flash ? "welcome+flash." : "welcome.";
    const UINT checkbox_format = kCheckboxTextFormat | DT_HIDEPREFIX;
    // The statistics text decides where the privacy link starts.
    const LayoutRect reference = StatisticsReferenceRect(with_flash);
    const std::wstring statistics = Text(IDS_SEND_STATISTICS);
    const int wrapped = meter_.Measure(statistics, main_small_.Get(), checkbox_format,
                                       reference.Width() - checkbox_text_left_).cy;
    const int statistics_height = wrapped > checkbox_box_height_ ? wrapped : checkbox_box_height_;
    const WelcomeLayout layout =
        ComputeWelcomeLayout(with_flash, statistics_height, install_.cx, install_.cy, cancel_.cx, cancel_.cy);

    if (!with_flash) {
      const Box title = MakeBox("welcome.title", layout.title.Width(), layout.title.Height(), main_title_.Get(),
                                title_format_);
      Measure(title, IDS_FAST_BROWSER_TITLE);
      Measure(title, IDS_SIMPLE_BROWSER_TITLE);
      Licence((layout.make_default.top - kLicenseTop) / kLicenseLineHeight);
      Measure(MakeBox("welcome.make_default", layout.make_default.Width() - checkbox_text_left_,
                      layout.make_default.Height(), main_small_.Get(), checkbox_format),
              IDS_MAKE_DEFAULT);
      Measure(MakeBox("welcome.install", install_.cx, install_.cy, main_text_.Get(), kButtonTextFormat),
              IDS_INSTALL_BUTTON);
      Measure(MakeBox("welcome.cancel", cancel_.cx, cancel_.cy, main_text_.Get(), kButtonTextFormat),
              IDS_CANCEL_BUTTON);
    } else {
      Measure(MakeBox("welcome+flash.flash", layout.flash.Width() - checkbox_text_left_, layout.flash.Height(),
                      main_small_.Get(), checkbox_format),
              IDS_INSTALL_FLASH);
    }
    // The statistics text may take the lines down to one privacy line above
    // the privacy row's bottom.
    const int privacy_bottom = layout.privacy.bottom;
    Measure(MakeBox(screen + "statistics", reference.Width() - checkbox_text_left_,
                    privacy_bottom - meter_.LineHeight(main_small_link_.Get()) - reference.top, main_small_.Get(),
                    checkbox_format),
            IDS_SEND_STATISTICS);
    Measure(MakeBox(screen + "privacy", layout.privacy.Width(), layout.privacy.Height(), main_small_link_.Get(),
                    privacy_format_),
            IDS_PRIVACY_POLICY);
  }

  void Dialogs() {
    LayoutRect ok, cancel, title, text;
    MessageButtonRects(message_client_.cx, message_client_.cy, ok_.cx, ok_.cy, message_cancel_.cx,
                       message_cancel_.cy, &ok, &cancel);
    MessageTextRects(message_client_.cx, message_client_.cy, ok, &title, &text);
    const Box title_box =
        MakeBox("dialog.title", title.Width(), title.Height(), message_title_.Get(), message_title_format_);
    const Box text_box =
        MakeBox("dialog.text", text.Width(), text.Height(), message_text_.Get(), message_text_format_);
    const Box ok_box = MakeBox("dialog.ok", ok.Width(), ok.Height(), message_button_.Get(), kButtonTextFormat);
    const Box cancel_box =
        MakeBox("dialog.cancel", cancel.Width(), cancel.Height(), message_button_.Get(), kButtonTextFormat);
    // Error dialog; disk-space notice; newer-version notice.
    for (int id : {IDS_ERROR_TITLE, IDS_NO_SPACE_TITLE, IDS_NEWER_VERSION_TITLE}) Measure(title_box, id);
    for (int id : {IDS_DOWNLOAD_MANUALLY_TEXT, IDS_NO_SPACE_TEXT, IDS_NEWER_VERSION_TEXT}) Measure(text_box, id);
    for (int id : {IDS_DOWNLOAD_BUTTON, IDS_OK_BUTTON}) Measure(ok_box, id);
    Measure(cancel_box, IDS_MESSAGE_CANCEL_BUTTON);
  }

  // Every number a template can receive: seconds 0 to 59 for the seconds
  // templates, minutes 1 to 999 for the minutes templates.
  void TimeLeft() {
    const LayoutRect line = TimeLeftRect(main_height_);
    const Box box = MakeBox("progress.time_left", line.Width(), line.Height(), main_small_.Get(), time_left_format_);
    const struct {
      int id;
      uint32_t first;
      uint32_t last;
    } templates[] = {{IDS_MINUTES_LEFT, 1, kLargestMinutes}, {IDS_LESS_THAN_MINUTES_LEFT, 1, kLargestMinutes},
                     {IDS_LESS_THAN_SECONDS_LEFT, 0, 59},     {IDS_UPPER_BOUND_SECONDS_LEFT, 0, 59}};
    for (const auto& each : templates) {
      // The line holds one line, so the widest formatted text is the
      // tightest; every value is measured to find it.
      const std::wstring pattern = Text(each.id);
      uint32_t widest_value = each.first;
      int widest = -1;
      for (uint32_t value = each.first; value <= each.last; ++value) {
        const int width =
            meter_.Measure(FormatWithInteger(pattern, value, 511), box.font, box.format | DT_SINGLELINE, 1000).cx;
        if (width > widest) {
          widest = width;
          widest_value = value;
        }
      }
      Row row = Fit(box, FormatWithInteger(pattern, widest_value, 511));
      row.value = static_cast<int>(widest_value);
      Print(box, each.id, row);
    }
  }

  Meter meter_;
  ScopedFont main_title_, main_small_, main_small_link_, main_text_;
  ScopedFont message_title_, message_text_, message_button_;
  UINT title_format_ = 0, time_left_format_ = 0, privacy_format_ = 0;
  UINT message_title_format_ = 0, message_text_format_ = 0;
  int main_height_ = 0;
  SIZE install_ = {}, cancel_ = {}, message_client_ = {}, ok_ = {}, message_cancel_ = {};
  int checkbox_text_left_ = 0;
  int checkbox_box_height_ = 0;
  const char* code_ = "";
  int language_ = 0;
  bool missing_ = false;
  std::string geometry_reported_;
};

}  // namespace
}  // namespace lite_installer

int wmain() {
  lite_installer::Probe probe;
  const bool complete = probe.Run();
  std::printf("done\n");
  return complete ? 0 : 1;
}
