#include "ui/resource_image.h"

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "ui/ui_environment.h"

namespace lite_installer {
namespace {

// A 32-bit top-down DIB section filled with one colour, to draw on and read.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill) : width_(width) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                               nullptr, 0);
    previous_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) {
      bits_[i] = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
    }
  }
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const DWORD v = bits_[y * width_ + x];
    return RGB((v >> 16) & 0xff, (v >> 8) & 0xff, v & 0xff);
  }

 private:
  int width_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
  DWORD* bits_ = nullptr;
};

class ResourceImageTest : public ::testing::Test {
 protected:
  void SetUp() override { UiEnvironment::Startup(); }
};

TEST_F(ResourceImageTest, EveryImageLoadsWithItsLogicalSize) {
  const struct {
    int id;
    int width;
    int height;
  } images[] = {{IDR_IMAGE_CHECKBOX, 90, 15},         {IDR_IMAGE_MAIN_BACKGROUND, 690, 296},
                {IDR_IMAGE_INSTALL_BUTTON, 588, 34},   {IDR_IMAGE_CANCEL_BUTTON, 309, 34},
                {IDR_IMAGE_PROGRESS_FILL, 130, 11},    {IDR_IMAGE_PROGRESS_TRACK, 130, 11},
                {IDR_IMAGE_MESSAGE_OK, 360, 28},       {IDR_IMAGE_MESSAGE_CANCEL, 360, 28},
                {IDR_IMAGE_MESSAGE_BACKGROUND, 410, 186}};
  for (const auto& expected : images) {
    SCOPED_TRACE(expected.id);
    ResourceImage image;
    ASSERT_TRUE(image.Load(expected.id));
    EXPECT_EQ(image.scale, 1.0);
    const SIZE size = image.LogicalSize();
    EXPECT_EQ(size.cx, expected.width);
    EXPECT_EQ(size.cy, expected.height);
    BITMAP info;
    ASSERT_NE(GetObjectW(image.bitmap.Get(), sizeof(info), &info), 0);
    EXPECT_EQ(info.bmBitsPixel, 32);
  }
}

// The icon's frames are PNG images: each size loads and draws a white centre
// in an orange ring, and leaves the corners to the background.
TEST_F(ResourceImageTest, EveryIconFrameLoadsAndDraws) {
  for (const int size : {48, 32, 16}) {
    SCOPED_TRACE(size);
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_INSTALLER), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    const COLORREF background = RGB(0, 0, 255);
    Canvas canvas(size, size, background);
    ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
    DestroyIcon(icon);
    EXPECT_EQ(canvas.At(0, 0), background);
    EXPECT_EQ(canvas.At(size / 2, size / 2), RGB(255, 255, 255));
    const COLORREF ring = canvas.At(size / 2, size * 85 / 100);
    EXPECT_GT(GetRValue(ring), 200);
    EXPECT_LT(GetBValue(ring), 100);
  }
}

TEST_F(ResourceImageTest, MissingImageLeavesImageUnchangedAndCopiesShareBitmap) {
  ResourceImage empty;
  EXPECT_FALSE(empty.Load(999));
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(empty.LogicalSize().cx, 0);
  Canvas canvas(4, 4, RGB(1, 2, 3));
  empty.Draw(canvas.dc(), 0, 0, 4, 4, 0, 0, 4, 4);
  EXPECT_EQ(canvas.At(1, 1), RGB(1, 2, 3));

  ResourceImage image;
  ASSERT_TRUE(image.Load(IDR_IMAGE_MESSAGE_BACKGROUND));
  HBITMAP held = image.bitmap.Get();
  EXPECT_FALSE(image.Load(999));
  EXPECT_EQ(image.bitmap.Get(), held);
  {
    ResourceImage copy = image;
    EXPECT_EQ(copy.bitmap.Get(), held);
    ResourceImage other;
    ASSERT_TRUE(other.Load(IDR_IMAGE_MESSAGE_OK));
    other = copy;
    EXPECT_EQ(other.bitmap.Get(), held);
  }
  // The copies are gone; the original's bitmap is still alive.
  BITMAP info;
  EXPECT_NE(GetObjectW(image.bitmap.Get(), sizeof(info), &info), 0);
}

TEST_F(ResourceImageTest, DrawsWithPerPixelAlpha) {
  // Message background: white panel from (5, 3), translucent shadow band,
  // darker below the panel than above it; the far corner is transparent.
  ResourceImage background;
  ASSERT_TRUE(background.Load(IDR_IMAGE_MESSAGE_BACKGROUND));
  Canvas canvas(410, 186, RGB(0, 0, 255));
  background.Draw(canvas.dc(), 0, 0, 410, 186, 0, 0, 410, 186);
  EXPECT_EQ(canvas.At(200, 90), RGB(255, 255, 255));
  EXPECT_GE(GetBValue(canvas.At(0, 0)), 250);
  EXPECT_LE(GetRValue(canvas.At(0, 0)), 5);
  const COLORREF above = canvas.At(200, 1);
  const COLORREF below = canvas.At(200, 181);
  EXPECT_LT(GetBValue(below), 255);
  EXPECT_LT(GetBValue(below), GetBValue(above));

  // The checkbox strip on the white panel: no dark corners, a white
  // unchecked box with a grey frame, an orange checked box.
  ResourceImage box;
  ASSERT_TRUE(box.Load(IDR_IMAGE_CHECKBOX));
  Canvas white(90, 15, RGB(255, 255, 255));
  box.Draw(white.dc(), 0, 0, 90, 15, 0, 0, 90, 15);
  EXPECT_EQ(white.At(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(white.At(7, 2), RGB(255, 255, 255));
  EXPECT_LT(GetRValue(white.At(7, 0)), 230);
  const COLORREF checked = white.At(45 + 2, 12);
  EXPECT_EQ(GetRValue(checked), 255);
  EXPECT_LT(GetBValue(checked), 80);
}

TEST(ImageTwins, HighResolutionTwinRule) {
  double scale = 0;
  EXPECT_EQ(MapImageId(322, true, &scale), 362);
  EXPECT_EQ(scale, 2.0);
  EXPECT_EQ(MapImageId(361, true, &scale), 401);
  EXPECT_EQ(MapImageId(322, false, &scale), 322);
  EXPECT_EQ(scale, 1.0);
  EXPECT_EQ(MapImageId(362, false, &scale), 322);
  EXPECT_EQ(scale, 1.0);
  EXPECT_EQ(MapImageId(315, true, &scale), 315);
  EXPECT_EQ(scale, 1.0);
  EXPECT_EQ(MapImageId(402, false, &scale), 402);
}

}  // namespace
}  // namespace lite_installer
