// The installer's built-in public keys, which sign trusted descriptions.
// They are build configuration: the key file named by the CMake cache
// variable LITE_TRUST_KEY_FILE. No system calls.
#ifndef TRUST_BUILTIN_KEYS_H_
#define TRUST_BUILTIN_KEYS_H_

#include <cstddef>
#include <cstdint>

namespace lite_installer {

struct BuiltInKey {
  uint16_t key_id;
  // Padded standard Base64 of a DER X.509 SubjectPublicKeyInfo holding an
  // RSA public key.
  const char* public_key;
};

constexpr size_t kBuiltInKeyCount = 10;

// The key table in its fixed order; entry i has key_id i.
extern const BuiltInKey kBuiltInKeys[kBuiltInKeyCount];

// The first entry with `key_id` in table order, or null.
const BuiltInKey* FindBuiltInKey(uint16_t key_id);

// True when the build embeds the published demo keys.
bool BuiltWithDemoKeys();

}  // namespace lite_installer

#endif  // TRUST_BUILTIN_KEYS_H_
