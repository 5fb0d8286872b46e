// The distribution tag: a short parameter text that the download site writes
// into each copy's signed file, inside the certificate table entry, after the
// PKCS #7 signature and its padding to a multiple of 8:
//   "Kvct", a big-endian 16-bit length N, N bytes of ASCII text.
#ifndef BRAND_DISTRIBUTION_TAG_H_
#define BRAND_DISTRIBUTION_TAG_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace lite_installer {

// Distribution parameters: keys and values as they stand in the parameter
// text, ordered by byte-wise key comparison.
using DistribParams = std::map<std::string, std::string>;

// True when every byte of `text` is printable ASCII (0x20 to 0x7E). The tag
// lies outside the signed bytes, so anything else marks a tampered copy and
// the whole text counts as no tag.
bool IsPrintableAsciiText(const std::string& text);

// Offset of the certificate table's file offset, counted from the PE
// signature (data directory entry 4): in a PE32 image, and in a PE32+ one
// (optional header magic 0x20B), whose 64-bit fields move it further on.
constexpr size_t kCertificateTableFieldOffset = 152;
constexpr size_t kCertificateTableFieldOffsetPe32Plus = 168;
// Offset of the tag block from the certificate entry's start for a DER
// signature whose length field reads `der_length` (L): 8 + 4 + L rounded up
// to a multiple of 8.
constexpr size_t TagBlockOffset(size_t der_length) { return (der_length + 19) / 8 * 8; }

// The parameter text of the PE file image `data` (`size` bytes), or empty
// when the image has no certificate table, no "Kvct" block, or a block that
// would reach beyond `size`. Reads nothing outside [data, data + size).
std::string ParseDistributionTag(const uint8_t* data, size_t size);

// Maps the file at `path` read-only and parses it. Empty for an empty path
// and for any file that cannot be opened or mapped. Windows build only.
std::string ReadDistributionTag(const std::wstring& path);

}  // namespace lite_installer

#endif  // BRAND_DISTRIBUTION_TAG_H_
