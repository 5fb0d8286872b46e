// The PE resource reader against images built byte by byte: a sound image,
// and the ways a crafted package could make it read outside the file.
#include "trust/pe_resources.h"

#include <gtest/gtest.h>

#include <string>

namespace lite_installer {
namespace {

constexpr uint32_t kSectionRva = 0x1000;
constexpr uint32_t kSectionFileOffset = 512;
constexpr uint32_t kSectionSize = 512;
constexpr uint32_t kDataAt = 144;  // data offset inside the resource section

void Put16(std::string& s, size_t at, uint32_t v) {
  s[at] = static_cast<char>(v & 0xff);
  s[at + 1] = static_cast<char>((v >> 8) & 0xff);
}
void Put32(std::string& s, size_t at, uint32_t v) {
  Put16(s, at, v & 0xffff);
  Put16(s, at + 2, v >> 16);
}
void PutName(std::string& s, size_t at, const char* name) {
  const size_t length = std::char_traits<char>::length(name);
  Put16(s, at, static_cast<uint32_t>(length));
  for (size_t i = 0; i < length; ++i) Put16(s, at + 2 + 2 * i, static_cast<unsigned char>(name[i]));
}

// A PE32 image with one section holding one resource `type`/`name` of
// `data`; `data_size`, `data_rva` and `image_size` can be falsified.
struct ImageShape {
  std::string type = "SIGNATURE_DAT";
  std::string name = "SIGNATURE.DAT";
  std::string data = "\x01\x00signature";
  uint32_t data_size = 0;  // 0: the data's true size
  uint32_t data_rva = kSectionRva + kDataAt;
  uint32_t image_size = 0x2000;
};

std::string BuildImage(const ImageShape& shape) {
  std::string s(kSectionFileOffset + kSectionSize, '\0');
  s[0] = 'M';
  s[1] = 'Z';
  Put32(s, 0x3c, 64);
  s.replace(64, 4, std::string("PE\0\0", 4));
  Put16(s, 68, 0x14c);  // i386
  Put16(s, 70, 1);      // one section
  Put16(s, 84, 224);    // optional header size
  const size_t optional = 88;
  Put16(s, optional, 0x10b);
  Put32(s, optional + 56, shape.image_size);
  Put32(s, optional + 92, 16);  // data directories
  Put32(s, optional + 96 + 2 * 8, kSectionRva);
  Put32(s, optional + 96 + 2 * 8 + 4, kSectionSize);
  const size_t section = optional + 224;
  s.replace(section, 5, ".rsrc");
  Put32(s, section + 8, kSectionSize);
  Put32(s, section + 12, kSectionRva);
  Put32(s, section + 16, kSectionSize);
  Put32(s, section + 20, kSectionFileOffset);

  const size_t r = kSectionFileOffset;
  Put16(s, r + 12, 1);  // root: one named entry (the type)
  Put32(s, r + 16, 0x80000000u | 88);
  Put32(s, r + 20, 0x80000000u | 24);
  Put16(s, r + 24 + 12, 1);  // type directory: one named entry (the name)
  Put32(s, r + 24 + 16, 0x80000000u | 116);
  Put32(s, r + 24 + 20, 0x80000000u | 48);
  Put16(s, r + 48 + 14, 1);  // name directory: one language
  Put32(s, r + 48 + 16, 1033);
  Put32(s, r + 48 + 20, 72);
  Put32(s, r + 72, shape.data_rva);
  Put32(s, r + 76, shape.data_size != 0 ? shape.data_size : static_cast<uint32_t>(shape.data.size()));
  PutName(s, r + 88, shape.type.c_str());
  PutName(s, r + 116, shape.name.c_str());
  s.replace(r + kDataAt, shape.data.size(), shape.data);
  return s;
}

bool ReadFrom(const std::string& image, const char* type, const char* name, std::string* bytes) {
  MemoryByteSource source(image.data(), image.size());
  PeResourceReader reader(source);
  return reader.Read(type, name, bytes);
}

TEST(PeResourcesTest, ReadsTheNamedResourceAndOnlyIt) {
  ImageShape shape;
  const std::string image = BuildImage(shape);
  std::string bytes;
  ASSERT_TRUE(ReadFrom(image, "SIGNATURE_DAT", "SIGNATURE.DAT", &bytes));
  EXPECT_EQ(shape.data, bytes);
  // Names compare without regard to ASCII case, as the system's lookup does.
  EXPECT_TRUE(ReadFrom(image, "signature_dat", "Signature.Dat", &bytes));
  EXPECT_FALSE(ReadFrom(image, "TRUSTED_JSON", "TRUSTED.JSON", &bytes));
  EXPECT_FALSE(ReadFrom(image, "SIGNATURE_DAT", "SIGNATURE.DA", &bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST(PeResourcesTest, DataThatDoesNotFitIsMissing) {
  std::string bytes;
  ImageShape beyond_file;
  beyond_file.data_size = 16 * 1024 * 1024;
  beyond_file.image_size = 0x2000000;  // the image would hold it; the file does not
  EXPECT_FALSE(ReadFrom(BuildImage(beyond_file), "SIGNATURE_DAT", "SIGNATURE.DAT", &bytes));

  ImageShape beyond_section;
  beyond_section.data_size = kSectionSize;  // runs past the section's data
  EXPECT_FALSE(ReadFrom(BuildImage(beyond_section), "SIGNATURE_DAT", "SIGNATURE.DAT", &bytes));

  ImageShape beyond_image;
  beyond_image.data_rva = 0x7ffffff0;
  EXPECT_FALSE(ReadFrom(BuildImage(beyond_image), "SIGNATURE_DAT", "SIGNATURE.DAT", &bytes));

  ImageShape wrapping;
  wrapping.data_rva = 0xfffffff0;
  wrapping.data_size = 0x20;  // rva + size wraps around 32 bits
  wrapping.image_size = 0xffffffff;
  EXPECT_FALSE(ReadFrom(BuildImage(wrapping), "SIGNATURE_DAT", "SIGNATURE.DAT", &bytes));

  ImageShape small_image;
  small_image.image_size = kSectionRva + kDataAt + 4;  // SizeOfImage ends inside the data
  EXPECT_FALSE(ReadFrom(BuildImage(small_image), "SIGNATURE_DAT", "SIGNATURE.DAT", &bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST(PeResourcesTest, DamagedHeadersAndDirectoriesFailWithoutReadingOutside) {
  const std::string sound = BuildImage(ImageShape());
  std::string bytes;

  // Not a PE image, or headers cut off: invalid.
  for (const std::string& image : {std::string("MZ"), std::string("not a program at all"), sound.substr(0, 100),
                                   std::string()}) {
    MemoryByteSource source(image.data(), image.size());
    EXPECT_FALSE(PeResourceReader(source).IsValid());
  }
  std::string far_header = sound;
  Put32(far_header, 0x3c, 0xfffffff0);
  MemoryByteSource far_source(far_header.data(), far_header.size());
  EXPECT_FALSE(PeResourceReader(far_source).IsValid());

  // The file cut inside the resource section: the image is readable, the
  // resource is not.
  const std::string cut = sound.substr(0, kSectionFileOffset + 100);
  MemoryByteSource cut_source(cut.data(), cut.size());
  PeResourceReader cut_reader(cut_source);
  EXPECT_TRUE(cut_reader.IsValid());
  EXPECT_FALSE(cut_reader.Read("SIGNATURE_DAT", "SIGNATURE.DAT", &bytes));

  // A directory that claims 65535 entries, and one whose entry points far
  // outside the section.
  std::string many = sound;
  Put16(many, kSectionFileOffset + 12, 0xffff);
  Put16(many, kSectionFileOffset + 14, 0xffff);
  EXPECT_TRUE(ReadFrom(many, "SIGNATURE_DAT", "SIGNATURE.DAT", &bytes));  // the first entry still matches
  EXPECT_FALSE(ReadFrom(many, "TRUSTED_JSON", "TRUSTED.JSON", &bytes));
  std::string far_entry = sound;
  Put32(far_entry, kSectionFileOffset + 20, 0x80000000u | 0x7ffffff0);
  EXPECT_FALSE(ReadFrom(far_entry, "SIGNATURE_DAT", "SIGNATURE.DAT", &bytes));
  std::string long_name = sound;
  Put16(long_name, kSectionFileOffset + 88, 0xffff);
  EXPECT_FALSE(ReadFrom(long_name, "SIGNATURE_DAT", "SIGNATURE.DAT", &bytes));
}

}  // namespace
}  // namespace lite_installer
