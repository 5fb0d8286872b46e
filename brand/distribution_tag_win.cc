#include <windows.h>

#include "brand/distribution_tag.h"
#include "base/unique_handle.h"

namespace lite_installer {

std::string ReadDistributionTag(const std::wstring& path) {
  if (path.empty()) return std::string();
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return std::string();
  ScopedHandle mapping(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping.IsValid()) return std::string();
  ScopedMappedView view(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
  if (!view.IsValid()) return std::string();
  // The view's region bounds every read. The region is whole pages, and the
  // bytes past the end of the file read as zeros, so the file's own size
  // bounds the reads as well: a block that runs past the end is no tag.
  MEMORY_BASIC_INFORMATION region = {};
  if (VirtualQuery(view.Get(), &region, sizeof(region)) == 0) return std::string();
  LARGE_INTEGER file_size = {};
  if (!GetFileSizeEx(file.Get(), &file_size)) return std::string();
  size_t size = region.RegionSize;
  if (static_cast<ULONGLONG>(file_size.QuadPart) < size) size = static_cast<size_t>(file_size.QuadPart);
  return ParseDistributionTag(static_cast<const uint8_t*>(view.Get()), size);
}

}  // namespace lite_installer
