// The tag reader on whole files: it never reads outside the image, and a
// text it returns is the block's N bytes inside the image.
#include <cstring>
#include <vector>

#include "brand/distribution_tag.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so that ASan catches any read past the end.
  std::vector<uint8_t> image(data, data + size);
  const std::string tag = lite_installer::ParseDistributionTag(image.empty() ? nullptr : image.data(), size);
  if (!tag.empty()) {
    FUZZ_CHECK(tag.size() + 6 <= size);
    bool found = false;
    for (size_t i = 0; !found && i + 6 + tag.size() <= size; ++i) {
      found = std::memcmp(image.data() + i, "Kvct", 4) == 0 &&
              static_cast<size_t>(image[i + 4] << 8 | image[i + 5]) == tag.size() &&
              std::memcmp(image.data() + i + 6, tag.data(), tag.size()) == 0;
    }
    FUZZ_CHECK(found);
  }
  return 0;
}
