#include "ui/message_dialog.h"

#include <shellapi.h>

#include "base/log.h"
#include "base/log_tags.h"
#include "ui/center_window.h"
#include "ui/child_controls.h"
#include "ui/message_dialog_layout.h"
#include "ui/string_table.h"
#include "ui/ui_environment.h"

namespace lite_installer {

namespace {

constexpr COLORREF kTextColor = RGB(0x46, 0x46, 0x46);
constexpr POINT kBackgroundOffset = {5, 3};
constexpr RECT kShadowMargins = {5, 3, 5, 7};

}  // namespace

MessageDialog::MessageDialog(const std::string& url, int language_id)
    : url(url), language_id(language_id) {}

MessageDialog::~MessageDialog() = default;

INT_PTR MessageDialog::DoModal(HWND owner) {
  const INT_PTR result = RunModal(IDD_MESSAGE_DIALOG, owner);
  if (result == -1) {
    Log(kError, log_tag::kMessageDialogDoModal, __LINE__, L"Message dialog not shown.");
  }
  return result;
}

bool MessageDialog::ProcessMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_INITDIALOG:
      *result = OnInitDialog();
      return true;
    case WM_PAINT:
      OnPaint();
      *result = 0;
      return true;
    case WM_ERASEBKGND:
      *result = OnEraseBackground();
      return true;
    case WM_CTLCOLORDLG:
      *result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      return true;
    case WM_CTLCOLORSTATIC:
      *result = OnCtlColorStatic(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
      return true;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->code == NM_CUSTOMDRAW &&
          (header->idFrom == IDC_OK_BUTTON || header->idFrom == IDC_CANCEL_BUTTON)) {
        *result = OnCustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(lparam));
        return true;
      }
      return false;
    }
    case WM_COMMAND:
      // Escape arrives as command 2 and is deliberately not handled.
      if (HIWORD(wparam) != 0) return false;
      if (LOWORD(wparam) == IDC_OK_BUTTON) {
        OnOk();
        *result = 0;
        return true;
      }
      if (LOWORD(wparam) == IDC_CANCEL_BUTTON) {
        OnCancel();
        *result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void MessageDialog::OnOk() {
  OpenUrl();
  EndDialog(window_, IDC_OK_BUTTON);
}

void MessageDialog::OnCancel() { EndDialog(window_, IDC_CANCEL_BUTTON); }

LRESULT MessageDialog::OnInitDialog() {
  Initialise();
  return TRUE;
}

LRESULT MessageDialog::OnEraseBackground() { return TRUE; }

LRESULT MessageDialog::OnCtlColorStatic(HDC dc, HWND control) {
  const int id = ControlId(control);
  if (id == IDC_TITLE) {
    SelectObject(dc, title_font.Get());
    SetTextColor(dc, kTextColor);
  } else if (id == IDC_STATIC) {
    SelectObject(dc, text_font.Get());
    SetTextColor(dc, kTextColor);
  }
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

void MessageDialog::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  PaintBackground(dc);
  EndPaint(window_, &paint);
}

LRESULT MessageDialog::OnCustomDraw(const NMCUSTOMDRAW& notification) {
  ImageButtonPainter* painter =
      notification.hdr.idFrom == IDC_OK_BUTTON ? ok_button.get() : cancel_button.get();
  if (painter == nullptr) return CDRF_DODEFAULT;
  return painter->OnCustomDraw(notification);
}

void MessageDialog::Initialise() {
  UiEnvironment::Startup();
  title_font.Reset(CreateUiFont(kMessageTitleFont));
  text_font.Reset(CreateUiFont(kMessageTextFont));
  button_font.Reset(CreateUiFont(kMessageButtonFont));
  SetTexts();
  // The statics also get their fonts directly, so that their own font
  // selection cannot override the colour handler's.
  SendDlgItemMessageW(window_, IDC_TITLE, WM_SETFONT,
                      reinterpret_cast<WPARAM>(title_font.Get()), FALSE);
  SendMessageW(GetWindow(GetDlgItem(window_, IDC_TITLE), GW_HWNDNEXT), WM_SETFONT,
               reinterpret_cast<WPARAM>(text_font.Get()), FALSE);
  ResizeAndCenter();
  CreateButtons();
  RECT client;
  GetClientRect(window_, &client);
  LayoutButtons(client, ok_button->ButtonSize(), cancel_button->ButtonSize());
  LayoutTexts(client);
  CreateShadow();
}

void MessageDialog::SetControlText(int id, int string_id) {
  const std::wstring text = LoadStringIn(string_id, language_id);
  if (id == IDC_STATIC) {
    // The text static has no unique id; it is the second child.
    HWND control = GetWindow(GetDlgItem(window_, IDC_TITLE), GW_HWNDNEXT);
    if (control != nullptr) SetWindowTextW(control, text.c_str());
    return;
  }
  SetDlgItemTextW(window_, id, text.c_str());
}

void MessageDialog::SetTexts() {
  background.Load(IDR_IMAGE_MESSAGE_BACKGROUND);
  SetControlText(IDC_TITLE, IDS_ERROR_TITLE);
  SetControlText(IDC_STATIC, IDS_DOWNLOAD_MANUALLY_TEXT);
  SetControlText(IDC_OK_BUTTON, IDS_DOWNLOAD_BUTTON);
  SetControlText(IDC_CANCEL_BUTTON, IDS_MESSAGE_CANCEL_BUTTON);
}

void MessageDialog::ResizeAndCenter() {
  const SIZE size = background.LogicalSize();
  const SIZE window_size = {size.cx - kMessageImageBorder, size.cy - kMessageImageBorder};
  CenterWindow(window_, &window_size);
}

void MessageDialog::CreateButtons() {
  ok_button.reset(new ImageButtonPainter(GetDlgItem(window_, IDC_OK_BUTTON), IDR_IMAGE_MESSAGE_OK, kTextColor,
                                         button_font.Get(), background, kBackgroundOffset));
  cancel_button.reset(new ImageButtonPainter(GetDlgItem(window_, IDC_CANCEL_BUTTON), IDR_IMAGE_MESSAGE_CANCEL,
                                             kTextColor, button_font.Get(), background,
                                             kBackgroundOffset));
}

void MessageDialog::LayoutButtons(const RECT& client, SIZE ok_size, SIZE cancel_size) {
  LayoutRect ok;
  LayoutRect cancel;
  MessageButtonRects(client.right - client.left, client.bottom - client.top, ok_size.cx, ok_size.cy,
                     cancel_size.cx, cancel_size.cy, &ok, &cancel);
  SetWindowPos(GetDlgItem(window_, IDC_OK_BUTTON), nullptr, ok.left, ok.top, ok.Width(), ok.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(GetDlgItem(window_, IDC_CANCEL_BUTTON), nullptr, cancel.left, cancel.top, cancel.Width(),
               cancel.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void MessageDialog::LayoutTexts(const RECT& client) {
  RECT button;
  GetWindowRect(GetDlgItem(window_, IDC_OK_BUTTON), &button);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&button), 2);
  LayoutRect ok;
  ok.left = button.left;
  ok.top = button.top;
  ok.right = button.right;
  ok.bottom = button.bottom;
  LayoutRect title_rect;
  LayoutRect text_rect;
  MessageTextRects(client.right - client.left, client.bottom - client.top, ok, &title_rect, &text_rect);
  HWND title = GetDlgItem(window_, IDC_TITLE);
  HWND text = GetWindow(title, GW_HWNDNEXT);
  SetWindowPos(text, nullptr, text_rect.left, text_rect.top, text_rect.Width(), text_rect.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(title, nullptr, title_rect.left, title_rect.top, title_rect.Width(), title_rect.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void MessageDialog::OpenUrl() {
  ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOW);
}

void MessageDialog::PaintBackground(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  background.Draw(dc, 0, 0, client.right, client.bottom, kBackgroundOffset.x, kBackgroundOffset.y,
                  client.right, client.bottom);
}

void MessageDialog::CreateShadow() {
  shadow.reset(new ShadowWindow());
  shadow->Create(window_, background, kShadowMargins);
}

NoticeDialog::NoticeDialog(int language_id, int title_id, int text_id, int button_id)
    : MessageDialog(std::string(), language_id),
      title_id(title_id),
      text_id(text_id),
      button_id(button_id) {}

void NoticeDialog::OnOk() { EndDialog(window_, IDC_OK_BUTTON); }

void NoticeDialog::SetTexts() {
  MessageDialog::SetTexts();
  SetControlText(IDC_TITLE, title_id);
  SetControlText(IDC_STATIC, text_id);
  SetControlText(IDC_OK_BUTTON, button_id);
}

void NoticeDialog::LayoutButtons(const RECT& client, SIZE ok_size, SIZE cancel_size) {
  MessageDialog::LayoutButtons(client, ok_size, cancel_size);
  ShowWindow(GetDlgItem(window_, IDC_CANCEL_BUTTON), SW_HIDE);
}

}  // namespace lite_installer
