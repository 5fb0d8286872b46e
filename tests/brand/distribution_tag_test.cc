// Finding the distribution tag in PE32 and PE32+ images built byte by byte.
#include "brand/distribution_tag.h"

#include <gtest/gtest.h>

#include <vector>

namespace lite_installer {
namespace {

constexpr size_t kPeOffset = 0x80;
constexpr size_t kEntryOffset = 0x200;

void PutLittle32(std::vector<uint8_t>& image, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A PE image whose certificate entry holds a DER header with length
// `der_length`, followed (when `text` is given) by a tag block, the entry
// padded to a multiple of 8.
std::vector<uint8_t> SignedImage(size_t der_length, const std::string* text, uint16_t announced_length = 0) {
  std::vector<uint8_t> image(kEntryOffset, 0);
  image[0] = 'M';
  image[1] = 'Z';
  PutLittle32(image, 0x3C, kPeOffset);
  image[kPeOffset] = 'P';
  image[kPeOffset + 1] = 'E';
  PutLittle32(image, kPeOffset + kCertificateTableFieldOffset, kEntryOffset);
  std::vector<uint8_t> entry(12 + der_length, 0x5A);
  entry[4] = 0x00;
  entry[5] = 0x02;
  entry[6] = 0x02;
  entry[7] = 0x00;
  entry[8] = 0x30;
  entry[9] = 0x82;
  entry[10] = static_cast<uint8_t>(der_length >> 8);
  entry[11] = static_cast<uint8_t>(der_length);
  entry.resize((entry.size() + 7) / 8 * 8, 0);
  if (text != nullptr) {
    const uint16_t length = announced_length != 0 ? announced_length : static_cast<uint16_t>(text->size());
    entry.insert(entry.end(), {'K', 'v', 'c', 't', static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
    entry.insert(entry.end(), text->begin(), text->end());
    entry.resize((entry.size() + 7) / 8 * 8, 0);
  }
  PutLittle32(entry, 0, static_cast<uint32_t>(entry.size()));
  image.insert(image.end(), entry.begin(), entry.end());
  return image;
}

std::string Parse(const std::vector<uint8_t>& image) { return ParseDistributionTag(image.data(), image.size()); }

TEST(DistributionTagTest, Pe32PlusImageKeepsItsTableFurtherOn) {
  const std::string text = "lang=tr";
  std::vector<uint8_t> image = SignedImage(1000, &text);
  image[kPeOffset + 24] = 0x0B;
  image[kPeOffset + 25] = 0x02;
  EXPECT_EQ("", Parse(image));
  PutLittle32(image, kPeOffset + kCertificateTableFieldOffsetPe32Plus, kEntryOffset);
  EXPECT_EQ(text, Parse(image));
}

TEST(DistributionTagTest, BlockStartsAtTheNextMultipleOfEight) {
  EXPECT_EQ(12096u, TagBlockOffset(12081));
  EXPECT_EQ(16u, TagBlockOffset(4));
  EXPECT_EQ(16u, TagBlockOffset(0)) << "12 rounded up";
  EXPECT_EQ(24u, TagBlockOffset(5));
  const std::string text = "lang=tr&banerid=7";
  for (size_t der_length : {12081u, 1000u, 1004u, 1005u, 1011u, 1012u}) {
    EXPECT_EQ(text, Parse(SignedImage(der_length, &text))) << der_length;
  }
}

TEST(DistributionTagTest, TextIsExactlyNBytesAndMayHoldAnything) {
  const std::string text("a=1\0b", 5);
  EXPECT_EQ(text, Parse(SignedImage(300, &text)));
  const std::string empty;
  EXPECT_EQ("", Parse(SignedImage(300, &empty)));
}

TEST(DistributionTagTest, NoTagWithoutTheBlock) {
  EXPECT_EQ("", Parse(SignedImage(300, nullptr))) << "zero padding only";
  std::vector<uint8_t> unsigned_image = SignedImage(300, nullptr);
  PutLittle32(unsigned_image, kPeOffset + kCertificateTableFieldOffset, 0);
  EXPECT_EQ("", Parse(unsigned_image));
  const std::string text = "lang=tr";
  std::vector<uint8_t> wrong_magic = SignedImage(300, &text);
  wrong_magic[kEntryOffset + TagBlockOffset(300) + 1] = 'V';
  EXPECT_EQ("", Parse(wrong_magic));
}

TEST(DistributionTagTest, BlockRunningPastTheEndIsNoTag) {
  const std::string text = "lang=tr";
  std::vector<uint8_t> image = SignedImage(300, &text, 0xFFFF);
  EXPECT_EQ("", Parse(image));
  // The exact end still counts; one byte short does not.
  std::vector<uint8_t> exact = SignedImage(300, &text);
  exact.resize(kEntryOffset + TagBlockOffset(300) + 6 + text.size());
  EXPECT_EQ(text, Parse(exact));
  exact.pop_back();
  EXPECT_EQ("", Parse(exact));
  exact.resize(kEntryOffset + TagBlockOffset(300) + 5);
  EXPECT_EQ("", Parse(exact));
}

TEST(DistributionTagTest, MalformedImagesAreRejectedWithoutReadingOutside) {
  const std::string text = "lang=tr";
  std::vector<uint8_t> not_mz = SignedImage(300, &text);
  not_mz[0] = 'X';
  EXPECT_EQ("", Parse(not_mz));
  std::vector<uint8_t> bad_pe = SignedImage(300, &text);
  bad_pe[kPeOffset + 2] = 1;
  EXPECT_EQ("", Parse(bad_pe));
  std::vector<uint8_t> far_pe = SignedImage(300, &text);
  PutLittle32(far_pe, 0x3C, 0xFFFFFFF0u);
  EXPECT_EQ("", Parse(far_pe));
  std::vector<uint8_t> far_entry = SignedImage(300, &text);
  PutLittle32(far_entry, kPeOffset + kCertificateTableFieldOffset, 0xFFFFFFFCu);
  EXPECT_EQ("", Parse(far_entry));
  std::vector<uint8_t> not_der = SignedImage(300, &text);
  not_der[kEntryOffset + 9] = 0x81;
  EXPECT_EQ("", Parse(not_der));
  std::vector<uint8_t> huge_der = SignedImage(300, &text);
  huge_der[kEntryOffset + 10] = 0xFF;
  huge_der[kEntryOffset + 11] = 0xFF;
  EXPECT_EQ("", Parse(huge_der));
  EXPECT_EQ("", ParseDistributionTag(nullptr, 0));
  const uint8_t tiny[] = {'M', 'Z'};
  EXPECT_EQ("", ParseDistributionTag(tiny, sizeof(tiny)));
}

}  // namespace
}  // namespace lite_installer
