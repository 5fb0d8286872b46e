// The arithmetic of the installer window's progress bar and time-left line:
// how the setup's install stages and import progress map onto the bar, which
// time-left hint an import stage carries, and which string shows a
// time-left value. Pure; tested natively.
#ifndef UI_PROGRESS_PROTOCOL_H_
#define UI_PROGRESS_PROTOCOL_H_

#include <cstdint>
#include <string>

namespace lite_installer {

// Bar position for a setup install stage: 75 for stage 5, 79 for stage 6,
// 0 (meaning "no change") for any other stage.
int InstallStagePosition(int32_t stage);

// Bar position for the setup's import progress in per cent:
// (1 - p/100) * 80 + (p/100) * 100 in single precision, truncated.
int ImportProgressPosition(int32_t percent);

// The upper-bound time-left hint (seconds, kind 2) of an import stage:
// 60 for stage 1, 30 for stage 2, 10 for stage 3; false for other stages.
bool ImportStageTimeLeft(int32_t stage, int* seconds);

// The taskbar button's progress value for a bar position: the position
// clamped to 0..100, so that a position from a stray import percentage can
// never reach the taskbar object as a huge unsigned value.
uint32_t TaskbarProgressValue(int position);

// Time-left kinds of the window's private time-left message.
constexpr int kTimeLeftNone = 0;
constexpr int kTimeLeftEstimate = 1;
constexpr int kTimeLeftUpperBound = 2;

// Which string template shows a time-left value, and the number it gets.
// `string_id` 0 means the line is cleared.
struct TimeLeftText {
  int string_id = 0;
  uint32_t value = 0;
};

// kTimeLeftEstimate: minutes > 0 gives IDS_MINUTES_LEFT with the minutes,
// otherwise IDS_LESS_THAN_SECONDS_LEFT with the seconds; kTimeLeftUpperBound:
// IDS_LESS_THAN_MINUTES_LEFT with the minutes, otherwise
// IDS_UPPER_BOUND_SECONDS_LEFT with the seconds; other kinds: nothing.
// Minutes are seconds / 60 rounded down, the seconds read as unsigned.
TimeLeftText ChooseTimeLeftText(uint32_t seconds, int kind);

// `pattern` with its first integer conversion ("%i", "%d" or "%u") replaced
// by `value` and "%%" by "%"; any other '%' sequence is copied as it is, so
// a damaged template can never read arguments that do not exist. The result
// is cut to `max_length` characters.
std::wstring FormatWithInteger(const std::wstring& pattern, uint32_t value, size_t max_length);

}  // namespace lite_installer

#endif  // UI_PROGRESS_PROTOCOL_H_
