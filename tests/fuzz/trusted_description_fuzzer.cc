// The trusted description: any text builds an identity set without fault,
// with at most one identity per certificate entry and none that is empty.
#include <jansson.h>

#include "tests/fuzz/fuzz_support.h"
#include "trust/korvex_trust_verifier.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const lite_installer::KorvexTrustVerifier verifier(text);
  size_t entries = 0;
  json_t* root = json_loads(text.c_str(), 0, nullptr);
  json_t* certificates = json_object_get(json_object_get(root, "trusted_info"), "certificates");
  if (json_is_array(certificates)) entries = json_array_size(certificates);
  json_decref(root);
  FUZZ_CHECK(verifier.identities().size() <= entries);
  return 0;
}
