// An image unpacked from the program's RCDATA resources into a 32-bit
// premultiplied-alpha bitmap, drawn with per-pixel alpha. Windows build only.
#ifndef UI_RESOURCE_IMAGE_H_
#define UI_RESOURCE_IMAGE_H_

#include <windows.h>

namespace lite_installer {

// Owns one bitmap handle shared by every copy of a ResourceImage; the last
// copy deletes it. Window-thread only (not atomic).
class SharedBitmap {
 public:
  SharedBitmap() = default;
  explicit SharedBitmap(HBITMAP bitmap);
  SharedBitmap(const SharedBitmap& other);
  SharedBitmap& operator=(const SharedBitmap& other);
  ~SharedBitmap();

  HBITMAP Get() const { return holder_ != nullptr ? holder_->bitmap : nullptr; }

 private:
  struct Holder {
    HBITMAP bitmap;
    int references;
  };
  void Release();
  Holder* holder_ = nullptr;
};

class ResourceImage {
 public:
  // Maps `id` through the high-resolution twin rule, unpacks the RCDATA
  // resource (a cabinet holding the pixels, ui/packed_image.h) with the
  // system's cabinet decoder and replaces the held bitmap. False (image
  // unchanged) when the resource is missing or damaged.
  bool Load(int id);

  // Blends the source rectangle (logical units) onto dc at the destination
  // (device pixels) with per-pixel alpha. Nothing when empty.
  void Draw(HDC dc, int dest_x, int dest_y, int dest_w, int dest_h, int src_x, int src_y,
            int src_w, int src_h) const;

  // Pixel size divided by the scale, truncated; 0 x 0 when empty.
  SIZE LogicalSize() const;

  bool IsEmpty() const { return bitmap.Get() == nullptr; }

  SharedBitmap bitmap;
  double scale = 1.0;
};

// The id and scale actually loaded for a requested id: an id of the scalable
// range has a twin of twice the size at the same place of the
// high-resolution range (resources/resource_ids.h), used on high-resolution
// screens, and a twin is mapped back on other screens.
int MapImageId(int id, bool high_resolution, double* scale);

}  // namespace lite_installer

#endif  // UI_RESOURCE_IMAGE_H_
