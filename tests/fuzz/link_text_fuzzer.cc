// The link-text layout: the tokens give back the text without its markup,
// and the layout keeps every token's text, in order, within sane geometry.
#include "tests/fuzz/fuzz_support.h"
#include "ui/link_text_layout.h"

namespace {

class CharacterWidths : public lite_installer::TextMeasurer {
 public:
  int Width(const std::wstring& text) override {
    int width = 0;
    for (wchar_t c : text) width += 1 + static_cast<int>(c % 9);
    return width;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int max_width = data[0];
  const std::wstring text = lite_installer::fuzz::WideFromBytes(data + 1, size - 1);
  const std::vector<lite_installer::LinkTextToken> tokens = lite_installer::TokenizeLinkText(text);
  std::wstring joined;
  for (const auto& token : tokens) joined += token.text;
  FUZZ_CHECK(joined.size() <= text.size());

  CharacterWidths measurer;
  const std::vector<lite_installer::LinkTextPiece> pieces =
      lite_installer::LayoutLinkText(tokens, measurer, max_width);
  std::wstring laid_out;
  int line = 0;
  for (const auto& piece : pieces) {
    laid_out += piece.text;
    FUZZ_CHECK(piece.line >= line && piece.x >= 0 && piece.width >= 0);
    line = piece.line;
  }
  FUZZ_CHECK(laid_out == joined);
  return 0;
}
