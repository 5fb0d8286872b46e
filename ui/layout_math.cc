#include "ui/layout_math.h"

namespace lite_installer {

int ProgressFillWidth(int low, int high, int position, int width) {
  if (high == low) return 0;
  return static_cast<int>(static_cast<long long>(position - low) * width / (high - low));
}

void CenteredOrigin(const LayoutRect& reference, const LayoutRect& work_area, int width,
                    int height, int* left, int* top) {
  int x = (reference.left + reference.right) / 2 - width / 2;
  int y = (reference.top + reference.bottom) / 2 - height / 2;
  if (x + width > work_area.right) x = work_area.right - width;
  if (y + height > work_area.bottom) y = work_area.bottom - height;
  if (x < work_area.left) x = work_area.left;
  if (y < work_area.top) y = work_area.top;
  *left = x;
  *top = y;
}

int CheckboxFrameIndex(bool pressed, bool hot, bool checked) {
  return (pressed ? 2 : (hot ? 1 : 0)) + (checked ? 3 : 0);
}

int CenteringOffset(int box_height, int text_height) {
  const int offset = (box_height - text_height) / 2;
  return offset < 0 ? 0 : offset;
}

}  // namespace lite_installer
