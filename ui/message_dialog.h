// Small modal message dialogs on template IDD_MESSAGE_DIALOG: the error
// dialog (Download and Cancel) and the notice dialog (one OK button), painted
// from the IDR_IMAGE_MESSAGE_* images with a drop shadow. Windows build only.
#ifndef UI_MESSAGE_DIALOG_H_
#define UI_MESSAGE_DIALOG_H_

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "resources/resource_ids.h"
#include "ui/dialog_base.h"
#include "ui/fonts.h"
#include "ui/image_button_painter.h"
#include "ui/resource_image.h"
#include "ui/shadow_window.h"

namespace lite_installer {

// Fonts of the message dialogs.
constexpr UiFontDescription kMessageTitleFont = {L"Arial", 16, FW_NORMAL, false};
constexpr UiFontDescription kMessageTextFont = {L"Arial", 13, FW_NORMAL, false};
constexpr UiFontDescription kMessageButtonFont = {L"Arial", 14, FW_NORMAL, false};

class MessageDialog : public DialogBase {
 public:
  MessageDialog(const std::string& url, int language_id);
  ~MessageDialog() override;

  // Runs the dialog modally; the id of the button that ended it
  // (IDC_OK_BUTTON after OK/Download, IDC_CANCEL_BUTTON after Cancel), or -1
  // when it cannot be shown.
  INT_PTR DoModal(HWND owner);

  std::string url;
  int language_id;
  ResourceImage background;
  std::unique_ptr<ImageButtonPainter> ok_button;
  std::unique_ptr<ImageButtonPainter> cancel_button;
  ScopedFont button_font;
  ScopedFont title_font;
  ScopedFont text_font;
  std::unique_ptr<ShadowWindow> shadow;

 protected:
  bool ProcessMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

  virtual void OnOk();
  virtual void OnCancel();
  virtual LRESULT OnInitDialog();
  virtual LRESULT OnEraseBackground();
  virtual LRESULT OnCtlColorStatic(HDC dc, HWND control);
  virtual void OnPaint();
  virtual LRESULT OnCustomDraw(const NMCUSTOMDRAW& notification);
  virtual void Initialise();
  virtual void SetTexts();
  virtual void ResizeAndCenter();
  virtual void LayoutButtons(const RECT& client, SIZE ok_size, SIZE cancel_size);
  virtual void LayoutTexts(const RECT& client);
  virtual void OpenUrl();
  virtual void PaintBackground(HDC dc);
  virtual void CreateButtons();
  virtual void CreateShadow();

  void SetControlText(int id, int string_id);
};

// The error dialog: a MessageDialog with the download page address.
class ErrorDialog : public MessageDialog {
 public:
  ErrorDialog(const std::string& url, int language_id) : MessageDialog(url, language_id) {}
};

class NoticeDialog : public MessageDialog {
 public:
  NoticeDialog(int language_id, int title_id, int text_id, int button_id);

  int title_id;
  int text_id;
  int button_id;

 protected:
  void OnOk() override;
  void SetTexts() override;
  void LayoutButtons(const RECT& client, SIZE ok_size, SIZE cancel_size) override;
};

}  // namespace lite_installer

#endif  // UI_MESSAGE_DIALOG_H_
