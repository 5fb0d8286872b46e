#include "ui/fonts.h"

namespace lite_installer {

HFONT CreateUiFont(const wchar_t* face, int height, int weight, bool underline) {
  return CreateFontW(-height, 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH, face);
}

}  // namespace lite_installer
