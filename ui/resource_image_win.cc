#include "ui/resource_image.h"

#include <cstring>
#include <string>

#include "base/log.h"
#include "base/log_tags.h"
#include "base/unique_handle.h"
#include "brand/cabinet_extract.h"
#include "resources/resource_ids.h"
#include "ui/packed_image.h"
#include "ui/ui_environment.h"

namespace lite_installer {

namespace {

// Decided once, at the first image load, on the window thread.
int g_high_resolution = -1;

bool IsHighResolutionScreen() {
  if (g_high_resolution < 0) {
    HDC screen = GetDC(nullptr);
    const int x = GetDeviceCaps(screen, LOGPIXELSX);
    const int y = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    g_high_resolution = (x + y) / 2 > 96 ? 1 : 0;
  }
  return g_high_resolution == 1;
}

// The one member of an image's cabinet (resources/pack_images.py).
constexpr char kImageMember[] = "image";

// Builds the bitmap of a packed image while the cabinet decoder unpacks it:
// the header gives the size, and the pixels go straight into the bitmap's
// memory (a top-down 32-bit bitmap holds them as they are packed).
class BitmapSink : public CabinetFileSink {
 public:
  bool Begin(const std::string&, size_t size) override {
    packed_length_ = size;
    received_ = 0;
    bitmap_.Reset(nullptr);
    bits_ = nullptr;
    return true;
  }

  bool Append(const char* bytes, size_t count) override {
    while (count > 0 && received_ < kPackedImageHeaderBytes) {
      header_[received_++] = static_cast<unsigned char>(*bytes++);
      --count;
      if (received_ == kPackedImageHeaderBytes && !MakeBitmap()) return false;
    }
    if (count == 0) return true;
    const size_t offset = received_ - kPackedImageHeaderBytes;
    if (bits_ == nullptr || count > pixel_bytes_ - offset) return false;
    memcpy(bits_ + offset, bytes, count);
    received_ += count;
    return true;
  }

  bool End(bool complete) override {
    if (!complete || bits_ == nullptr || received_ != packed_length_) bitmap_.Reset(nullptr);
    return bitmap_.IsValid();
  }

  // The finished bitmap, handed to the caller; null when none was made.
  HBITMAP Release() { return static_cast<HBITMAP>(bitmap_.Release()); }

 private:
  bool MakeBitmap() {
    PackedImageSize size;
    if (!ReadPackedImageHeader(header_, packed_length_, &size)) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height;  // top-down, as the rows are packed
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_.IsValid() || bits == nullptr) return false;
    bits_ = static_cast<unsigned char*>(bits);
    pixel_bytes_ = packed_length_ - kPackedImageHeaderBytes;
    return true;
  }

  size_t packed_length_ = 0;
  size_t received_ = 0;
  unsigned char header_[kPackedImageHeaderBytes] = {};
  ScopedGdiObject bitmap_;
  unsigned char* bits_ = nullptr;
  size_t pixel_bytes_ = 0;
};

// The bitmap of a packed image resource; null when the cabinet or its pixels
// are damaged.
HBITMAP UnpackImage(const void* bytes, DWORD size) {
  const std::string package(static_cast<const char*>(bytes), size);
  BitmapSink sink;
  if (!ExtractCabinetFiles(package, kImageMember, &sink)) return nullptr;
  return sink.Release();
}

}  // namespace

SharedBitmap::SharedBitmap(HBITMAP bitmap) {
  if (bitmap != nullptr) holder_ = new Holder{bitmap, 1};
}

SharedBitmap::SharedBitmap(const SharedBitmap& other) : holder_(other.holder_) {
  if (holder_ != nullptr) ++holder_->references;
}

SharedBitmap& SharedBitmap::operator=(const SharedBitmap& other) {
  if (holder_ != other.holder_) {
    Release();
    holder_ = other.holder_;
    if (holder_ != nullptr) ++holder_->references;
  }
  return *this;
}

SharedBitmap::~SharedBitmap() { Release(); }

void SharedBitmap::Release() {
  if (holder_ != nullptr && --holder_->references == 0) {
    DeleteObject(holder_->bitmap);
    delete holder_;
  }
  holder_ = nullptr;
}

int MapImageId(int id, bool high_resolution, double* scale) {
  *scale = 1.0;
  constexpr int kTwinOffset = IDR_HIGH_RESOLUTION_IMAGE_FIRST - IDR_SCALABLE_IMAGE_FIRST;
  if (high_resolution && id >= IDR_SCALABLE_IMAGE_FIRST && id <= IDR_SCALABLE_IMAGE_LAST) {
    *scale = 2.0;
    return id + kTwinOffset;
  }
  if (!high_resolution && id >= IDR_HIGH_RESOLUTION_IMAGE_FIRST && id <= IDR_HIGH_RESOLUTION_IMAGE_LAST) {
    return id - kTwinOffset;
  }
  return id;
}

bool ResourceImage::Load(int id) {
  double new_scale = 1.0;
  const int resource_id = MapImageId(id, IsHighResolutionScreen(), &new_scale);
  HINSTANCE module = UiEnvironment::ModuleInstance();
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resource_id), RT_RCDATA);
  if (resource == nullptr) {
    LogFormat(kError, log_tag::kResourceImageLoad, __LINE__, L"Image %d not found.", resource_id);
    return false;
  }
  const DWORD size = SizeofResource(module, resource);
  HGLOBAL loaded = LoadResource(module, resource);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr || size == 0) return false;

  HBITMAP decoded = UnpackImage(bytes, size);
  if (decoded == nullptr) {
    LogFormat(kError, log_tag::kResourceImageLoad, __LINE__, L"Image %d not decoded.", resource_id);
    return false;
  }
  bitmap = SharedBitmap(decoded);
  scale = new_scale;
  return true;
}

void ResourceImage::Draw(HDC dc, int dest_x, int dest_y, int dest_w, int dest_h, int src_x,
                         int src_y, int src_w, int src_h) const {
  if (IsEmpty()) return;
  HDC memory = CreateCompatibleDC(nullptr);
  if (memory == nullptr) return;
  HGDIOBJ previous = SelectObject(memory, bitmap.Get());
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(dc, dest_x, dest_y, dest_w, dest_h, memory, static_cast<int>(src_x * scale),
             static_cast<int>(src_y * scale), static_cast<int>(src_w * scale),
             static_cast<int>(src_h * scale), blend);
  SelectObject(memory, previous);
  DeleteDC(memory);
}

SIZE ResourceImage::LogicalSize() const {
  SIZE size = {0, 0};
  BITMAP info;
  if (!IsEmpty() && GetObjectW(bitmap.Get(), sizeof(info), &info) != 0) {
    size.cx = static_cast<LONG>(info.bmWidth / scale);
    size.cy = static_cast<LONG>(info.bmHeight / scale);
  }
  return size;
}

}  // namespace lite_installer
