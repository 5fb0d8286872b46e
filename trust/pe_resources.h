// Reads one resource out of the bytes of a PE file without loading it: the
// file is only read, never mapped as an image, and every offset and size it
// declares is checked against the image and the file before a byte is
// copied. No system calls.
#ifndef TRUST_PE_RESOURCES_H_
#define TRUST_PE_RESOURCES_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace lite_installer {

// Random access to the bytes of one file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // The file's size in bytes.
  virtual uint64_t Size() const = 0;
  // Copies `length` bytes from `offset`; false unless all of them were read.
  virtual bool Read(uint64_t offset, void* out, size_t length) const = 0;
};

// A source over bytes held in memory (not owned).
class MemoryByteSource : public ByteSource {
 public:
  MemoryByteSource(const void* bytes, size_t size) : bytes_(static_cast<const unsigned char*>(bytes)), size_(size) {}
  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, void* out, size_t length) const override;

 private:
  const unsigned char* bytes_;
  size_t size_;
};

// Largest resource ReadPeResource copies; a bigger one counts as missing.
constexpr uint32_t kMaxPeResourceBytes = 1024 * 1024;

class PeResourceReader {
 public:
  // Reads the PE headers of `source`, which must outlive the reader.
  explicit PeResourceReader(const ByteSource& source);

  // True when the source holds a PE32 or PE32+ image whose headers fit the
  // file.
  bool IsValid() const { return valid_; }

  // Copies resource `name` of type `type` (names compared without regard to
  // ASCII case, as the system does; the first language found is taken).
  // False when the resource is missing, empty, larger than
  // kMaxPeResourceBytes, or when any part of the way to it, or its data,
  // lies outside the image (SizeOfImage), its section's file data or the
  // file.
  bool Read(const char* type, const char* name, std::string* bytes) const;

 private:
  struct Section {
    uint32_t virtual_address = 0;
    uint32_t raw_size = 0;
    uint32_t raw_offset = 0;
  };

  // The file offset of the `length` bytes at `rva`, when they lie inside the
  // image and inside one section's data in the file.
  bool RvaToOffset(uint32_t rva, uint32_t length, uint64_t* offset) const;
  // The entry of the directory at `directory` (relative to the resource
  // root) named `name`, or its first entry when `name` is null. `value` is
  // the entry's OffsetToData.
  bool FindEntry(uint32_t directory, const char* name, uint32_t* value) const;
  bool NameEquals(uint32_t string_offset, const char* name) const;
  // Reads from the resource section, checked against its extent.
  bool ReadResourceBytes(uint32_t offset, void* out, size_t length) const;

  static constexpr int kMaxSections = 96;

  const ByteSource& source_;
  bool valid_ = false;
  uint32_t image_size_ = 0;
  uint64_t resource_offset_ = 0;  // file offset of the resource root
  uint32_t resource_size_ = 0;
  int section_count_ = 0;
  Section sections_[kMaxSections];
};

}  // namespace lite_installer

#endif  // TRUST_PE_RESOURCES_H_
