#include "trust/pe_resources.h"

#include <cstring>

namespace lite_installer {

namespace {

constexpr uint32_t kDosHeaderSize = 64;
constexpr uint32_t kFileHeaderSize = 20;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint16_t kPe32Magic = 0x10b;
constexpr uint16_t kPe32PlusMagic = 0x20b;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kDirectoryHeaderSize = 16;
constexpr uint32_t kDirectoryEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;
constexpr uint32_t kHighBit = 0x80000000u;
// A resource name longer than this cannot match ours.
constexpr uint16_t kMaxNameLength = 64;

uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

char AsciiUpper(uint32_t c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); }

}  // namespace

bool MemoryByteSource::Read(uint64_t offset, void* out, size_t length) const {
  if (offset > size_ || length > size_ - offset) return false;
  if (length != 0) std::memcpy(out, bytes_ + offset, length);
  return true;
}

PeResourceReader::PeResourceReader(const ByteSource& source) : source_(source) {
  unsigned char dos[kDosHeaderSize];
  if (!source_.Read(0, dos, sizeof(dos)) || dos[0] != 'M' || dos[1] != 'Z') return;
  const uint64_t pe_offset = Le32(dos + 0x3c);
  unsigned char pe[4 + kFileHeaderSize];
  if (!source_.Read(pe_offset, pe, sizeof(pe)) || std::memcmp(pe, "PE\0\0", 4) != 0) return;
  const uint16_t section_count = Le16(pe + 4 + 2);
  const uint16_t optional_size = Le16(pe + 4 + 16);
  const uint64_t optional_offset = pe_offset + sizeof(pe);

  unsigned char optional[240] = {};
  if (optional_size > sizeof(optional) || !source_.Read(optional_offset, optional, optional_size)) return;
  const uint16_t magic = Le16(optional);
  uint32_t directory_count_at = 0;
  if (magic == kPe32Magic) {
    directory_count_at = 92;
  } else if (magic == kPe32PlusMagic) {
    directory_count_at = 108;
  } else {
    return;
  }
  if (optional_size < 60 || optional_size < directory_count_at + 4) return;
  image_size_ = Le32(optional + 56);
  const uint32_t directory_count = Le32(optional + directory_count_at);
  const uint32_t resource_entry_at = directory_count_at + 4 + kResourceDirectoryIndex * 8;

  if (section_count > kMaxSections) return;
  section_count_ = section_count;
  for (int i = 0; i < section_count_; ++i) {
    unsigned char header[kSectionHeaderSize];
    if (!source_.Read(optional_offset + optional_size + static_cast<uint64_t>(i) * kSectionHeaderSize, header,
                      sizeof(header))) {
      return;
    }
    sections_[i].virtual_address = Le32(header + 12);
    sections_[i].raw_size = Le32(header + 16);
    sections_[i].raw_offset = Le32(header + 20);
  }
  valid_ = true;

  // An image without resources is valid; it just finds none.
  if (directory_count <= kResourceDirectoryIndex || optional_size < resource_entry_at + 8) return;
  const uint32_t resource_rva = Le32(optional + resource_entry_at);
  const uint32_t resource_size = Le32(optional + resource_entry_at + 4);
  uint64_t offset = 0;
  if (resource_size == 0 || !RvaToOffset(resource_rva, resource_size, &offset)) return;
  resource_offset_ = offset;
  resource_size_ = resource_size;
}

bool PeResourceReader::RvaToOffset(uint32_t rva, uint32_t length, uint64_t* offset) const {
  const uint64_t end = static_cast<uint64_t>(rva) + length;
  if (end > image_size_) return false;
  for (int i = 0; i < section_count_; ++i) {
    const Section& section = sections_[i];
    const uint64_t section_end = static_cast<uint64_t>(section.virtual_address) + section.raw_size;
    if (rva < section.virtual_address || end > section_end) continue;
    const uint64_t file_offset = static_cast<uint64_t>(section.raw_offset) + (rva - section.virtual_address);
    if (file_offset + length > source_.Size()) return false;
    *offset = file_offset;
    return true;
  }
  return false;
}

bool PeResourceReader::ReadResourceBytes(uint32_t offset, void* out, size_t length) const {
  if (offset > resource_size_ || length > resource_size_ - offset) return false;
  return source_.Read(resource_offset_ + offset, out, length);
}

bool PeResourceReader::NameEquals(uint32_t string_offset, const char* name) const {
  unsigned char length_bytes[2];
  if (!ReadResourceBytes(string_offset, length_bytes, 2)) return false;
  const uint16_t length = Le16(length_bytes);
  if (length != std::strlen(name) || length > kMaxNameLength) return false;
  unsigned char text[kMaxNameLength * 2];
  if (!ReadResourceBytes(string_offset + 2, text, length * 2u)) return false;
  for (uint16_t i = 0; i < length; ++i) {
    if (AsciiUpper(Le16(text + 2 * i)) != AsciiUpper(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

bool PeResourceReader::FindEntry(uint32_t directory, const char* name, uint32_t* value) const {
  unsigned char header[kDirectoryHeaderSize];
  if (!ReadResourceBytes(directory, header, sizeof(header))) return false;
  const uint32_t named = Le16(header + 12);
  const uint32_t total = named + Le16(header + 14);
  for (uint32_t i = 0; i < total; ++i) {
    unsigned char entry[kDirectoryEntrySize];
    if (!ReadResourceBytes(directory + kDirectoryHeaderSize + i * kDirectoryEntrySize, entry, sizeof(entry))) {
      return false;
    }
    const uint32_t entry_name = Le32(entry);
    const bool matches = name == nullptr || ((entry_name & kHighBit) != 0 && NameEquals(entry_name & ~kHighBit, name));
    if (matches) {
      *value = Le32(entry + 4);
      return true;
    }
  }
  return false;
}

bool PeResourceReader::Read(const char* type, const char* name, std::string* bytes) const {
  bytes->clear();
  if (!valid_ || resource_size_ == 0) return false;
  uint32_t type_directory = 0;
  uint32_t name_directory = 0;
  uint32_t language_entry = 0;
  if (!FindEntry(0, type, &type_directory) || (type_directory & kHighBit) == 0) return false;
  if (!FindEntry(type_directory & ~kHighBit, name, &name_directory) || (name_directory & kHighBit) == 0) return false;
  if (!FindEntry(name_directory & ~kHighBit, nullptr, &language_entry) || (language_entry & kHighBit) != 0) {
    return false;
  }
  unsigned char data_entry[kDataEntrySize];
  if (!ReadResourceBytes(language_entry, data_entry, sizeof(data_entry))) return false;
  const uint32_t data_rva = Le32(data_entry);
  const uint32_t size = Le32(data_entry + 4);
  uint64_t offset = 0;
  if (size == 0 || size > kMaxPeResourceBytes || !RvaToOffset(data_rva, size, &offset)) return false;
  bytes->resize(size);
  if (!source_.Read(offset, &(*bytes)[0], size)) {
    bytes->clear();
    return false;
  }
  return true;
}

}  // namespace lite_installer
