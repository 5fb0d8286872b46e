#include "ui/progress_protocol.h"

#include "resources/resource_ids.h"

namespace lite_installer {

int InstallStagePosition(int32_t stage) {
  if (stage == 5) return 75;
  if (stage == 6) return 79;
  return 0;
}

int ImportProgressPosition(int32_t percent) {
  const float fraction = static_cast<float>(percent) / 100.0f;
  return static_cast<int>((1.0f - fraction) * 80.0f + fraction * 100.0f);
}

bool ImportStageTimeLeft(int32_t stage, int* seconds) {
  switch (stage) {
    case 1:
      *seconds = 60;
      return true;
    case 2:
      *seconds = 30;
      return true;
    case 3:
      *seconds = 10;
      return true;
    default:
      return false;
  }
}

uint32_t TaskbarProgressValue(int position) {
  if (position < 0) return 0;
  if (position > 100) return 100;
  return static_cast<uint32_t>(position);
}

TimeLeftText ChooseTimeLeftText(uint32_t seconds, int kind) {
  TimeLeftText text;
  const uint32_t minutes = seconds / 60;
  if (kind == kTimeLeftEstimate) {
    text.string_id = minutes > 0 ? IDS_MINUTES_LEFT : IDS_LESS_THAN_SECONDS_LEFT;
  } else if (kind == kTimeLeftUpperBound) {
    text.string_id = minutes > 0 ? IDS_LESS_THAN_MINUTES_LEFT : IDS_UPPER_BOUND_SECONDS_LEFT;
  } else {
    return text;
  }
  text.value = minutes > 0 ? minutes : seconds;
  return text;
}

std::wstring FormatWithInteger(const std::wstring& pattern, uint32_t value, size_t max_length) {
  std::wstring digits;
  do {
    digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + value % 10));
    value /= 10;
  } while (value != 0);

  std::wstring out;
  bool substituted = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == L'%' && i + 1 < pattern.size()) {
      const wchar_t next = pattern[i + 1];
      if (next == L'%') {
        out += L'%';
        ++i;
        continue;
      }
      if (!substituted && (next == L'i' || next == L'd' || next == L'u')) {
        out += digits;
        substituted = true;
        ++i;
        continue;
      }
    }
    out += pattern[i];
  }
  if (out.size() > max_length) out.resize(max_length);
  return out;
}

}  // namespace lite_installer
