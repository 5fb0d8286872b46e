#include "trust/builtin_keys.h"

// Generated from the key file at configure time: LITE_TRUST_KEY_TEXTS (ten
// string literals) and LITE_TRUST_DEMO_KEYS (1 for the demo key set).
#include "trust_keys_values.h"

namespace lite_installer {

const BuiltInKey kBuiltInKeys[kBuiltInKeyCount] = {LITE_TRUST_KEY_ENTRIES};

const BuiltInKey* FindBuiltInKey(uint16_t key_id) {
  for (const BuiltInKey& key : kBuiltInKeys) {
    if (key.key_id == key_id) return &key;
  }
  return nullptr;
}

bool BuiltWithDemoKeys() { return LITE_TRUST_DEMO_KEYS != 0; }

}  // namespace lite_installer
