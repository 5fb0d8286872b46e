// Text with link markup: "((" opens a link and "))" closes it. The tokenizer
// and the line layout are pure; widths come through a measuring seam so that
// the Win32 layer measures with a real font and tests measure with a table.
#ifndef UI_LINK_TEXT_LAYOUT_H_
#define UI_LINK_TEXT_LAYOUT_H_

#include <string>
#include <vector>

namespace lite_installer {

struct LinkTextToken {
  std::wstring text;
  bool is_link = false;
};

// One piece of the laid-out text: a static control's text, kind and place.
struct LinkTextPiece {
  std::wstring text;
  bool is_link = false;
  int line = 0;   // from 0
  int width = 0;  // pixels
  int x = 0;      // pixels from the start of the line
};

// Measures the width in pixels of a text drawn on one line.
class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  virtual int Width(const std::wstring& text) = 0;
};

// Splits `text` into plain words (each keeping its trailing spaces) and link
// texts (never cut at spaces). An unclosed link runs to the end of the text.
// Tokens may be empty, e.g. the plain token before a leading "((".
std::vector<LinkTextToken> TokenizeLinkText(const std::wstring& text);

// Lays the tokens out in lines no wider than `max_width` where possible:
// consecutive tokens of one kind are merged while they fit; a token that does
// not fit starts a new line as a whole, even when it is wider than a line.
std::vector<LinkTextPiece> LayoutLinkText(const std::vector<LinkTextToken>& tokens,
                                          TextMeasurer& measurer, int max_width);

}  // namespace lite_installer

#endif  // UI_LINK_TEXT_LAYOUT_H_
