// Layout arithmetic of the painters and windows, kept pure so that it is
// tested natively.
#ifndef UI_LAYOUT_MATH_H_
#define UI_LAYOUT_MATH_H_

namespace lite_installer {

struct LayoutRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// Pixels of a `width`-pixel bar covered by the fill image at `position` in
// the range low..high. An empty range (high equal to low) fills nothing
// rather than dividing by zero.
int ProgressFillWidth(int low, int high, int position, int width);

// Top-left corner of a window of `width` x `height` centred on `reference`
// and kept inside `work_area` (right and bottom edges first, then left and
// top, so a window larger than the work area sticks to its top-left).
void CenteredOrigin(const LayoutRect& reference, const LayoutRect& work_area, int width,
                    int height, int* left, int* top);

// Frame index in a checkbox strip: 0..2 unchecked normal, hot, pressed;
// 3..5 the same checked.
int CheckboxFrameIndex(bool pressed, bool hot, bool checked);

// Vertical offset that centres a single text line of `text_height` on a box
// of `box_height`; never negative.
int CenteringOffset(int box_height, int text_height);

}  // namespace lite_installer

#endif  // UI_LAYOUT_MATH_H_
