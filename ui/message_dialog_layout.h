// Geometry of the message dialogs, in client pixels, kept pure so that it is
// tested natively and shared with the text-fit measurement.
#ifndef UI_MESSAGE_DIALOG_LAYOUT_H_
#define UI_MESSAGE_DIALOG_LAYOUT_H_

#include "ui/layout_math.h"

namespace lite_installer {

// The shadow band of the dialog's background image, both sides together:
// the client size is the image's size minus this.
constexpr int kMessageImageBorder = 10;

// The two buttons at the bottom left, OK first.
void MessageButtonRects(int client_width, int client_height, int ok_width, int ok_height,
                        int cancel_width, int cancel_height, LayoutRect* ok, LayoutRect* cancel);

// The title and the text above the OK button `ok` (the text is 50 pixels
// high just above the buttons' row; the title fills the space above it).
void MessageTextRects(int client_width, int client_height, const LayoutRect& ok, LayoutRect* title,
                      LayoutRect* text);

}  // namespace lite_installer

#endif  // UI_MESSAGE_DIALOG_LAYOUT_H_
