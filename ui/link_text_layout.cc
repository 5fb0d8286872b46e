#include "ui/link_text_layout.h"

namespace lite_installer {

std::vector<LinkTextToken> TokenizeLinkText(const std::wstring& text) {
  std::vector<LinkTextToken> tokens;
  size_t start = 0;
  bool in_link = false;
  size_t i = 0;
  const size_t size = text.size();
  while (i < size) {
    if (!in_link && text.compare(i, 2, L"((") == 0) {
      tokens.push_back({text.substr(start, i - start), false});
      i += 2;
      start = i;
      in_link = true;
      continue;
    }
    if (in_link && text.compare(i, 2, L"))") == 0) {
      tokens.push_back({text.substr(start, i - start), true});
      i += 2;
      start = i;
      in_link = false;
      continue;
    }
    // Plain text is cut where a word begins after a space, so that each word
    // keeps its trailing spaces.
    if (!in_link && i > 0 && text[i - 1] == L' ' && text[i] != L' ' && i > start) {
      tokens.push_back({text.substr(start, i - start), false});
      start = i;
    }
    ++i;
  }
  if (start < size) tokens.push_back({text.substr(start), in_link});
  return tokens;
}

std::vector<LinkTextPiece> LayoutLinkText(const std::vector<LinkTextToken>& tokens,
                                          TextMeasurer& measurer, int max_width) {
  std::vector<LinkTextPiece> pieces;
  LinkTextPiece current;
  bool have_current = false;
  int x = 0;
  int line = 0;
  auto emit = [&]() {
    current.line = line;
    current.x = x;
    pieces.push_back(current);
  };
  for (const LinkTextToken& token : tokens) {
    if (!have_current) {
      current = LinkTextPiece{token.text, token.is_link, 0, measurer.Width(token.text), 0};
      have_current = true;
      continue;
    }
    if (token.is_link == current.is_link) {
      const std::wstring joined = current.text + token.text;
      const int joined_width = measurer.Width(joined);
      if (joined_width + x > max_width) {
        emit();
        ++line;
        x = 0;
        current = LinkTextPiece{token.text, token.is_link, 0, measurer.Width(token.text), 0};
      } else {
        current.text = joined;
        current.width = joined_width;
      }
      continue;
    }
    // The kind changes: the current piece ends here.
    emit();
    const int token_width = measurer.Width(token.text);
    if (token_width + x + current.width > max_width) {
      ++line;
      x = 0;
    } else {
      x += current.width;
    }
    current = LinkTextPiece{token.text, token.is_link, 0, token_width, 0};
  }
  if (have_current) emit();
  return pieces;
}

}  // namespace lite_installer
