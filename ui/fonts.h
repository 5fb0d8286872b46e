// Fonts of the installer's windows and their owner. Windows build only.
#ifndef UI_FONTS_H_
#define UI_FONTS_H_

#include <windows.h>

#include "base/unique_handle.h"

namespace lite_installer {

struct FontTraits {
  using Handle = HFONT;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
using ScopedFont = UniqueHandle<FontTraits>;

// A font of `height` pixels (character height, not cell height), default
// charset, precision, quality and pitch.
HFONT CreateUiFont(const wchar_t* face, int height, int weight, bool underline);

// A font described once and created where it is used.
struct UiFontDescription {
  const wchar_t* face;
  int height;  // character height in pixels
  int weight;
  bool underline;
};
inline HFONT CreateUiFont(const UiFontDescription& font) {
  return CreateUiFont(font.face, font.height, font.weight, font.underline);
}

}  // namespace lite_installer

#endif  // UI_FONTS_H_
