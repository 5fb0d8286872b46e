#include "ui/string_table.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/resource_ids.h"

namespace lite_installer {
namespace {

constexpr int kLanguages[] = {1028, 1029, 1031, 1033, 1036, 1040, 1041, 1046,
                              1049, 1055, 1058, 1087, 2052, 2070, 3082};

size_t CountOf(const std::wstring& text, const std::wstring& needle) {
  size_t count = 0;
  for (size_t at = text.find(needle); at != std::wstring::npos; at = text.find(needle, at + 1)) {
    ++count;
  }
  return count;
}

TEST(StringTable, EveryLanguageHasEveryStringWithItsMarkers) {
  for (int language : kLanguages) {
    SCOPED_TRACE(language);
    for (int id = IDS_INSTALL_BUTTON; id <= IDS_LICENSE_AGREEMENT; ++id) {
      SCOPED_TRACE(id);
      const std::wstring text = LoadStringIn(id, language);
      EXPECT_FALSE(text.empty());
      if (id == IDS_LESS_THAN_MINUTES_LEFT || id == IDS_MINUTES_LEFT || id == IDS_LESS_THAN_SECONDS_LEFT ||
          id == IDS_UPPER_BOUND_SECONDS_LEFT) {
        EXPECT_EQ(CountOf(text, L"%i"), 1u);
        EXPECT_EQ(CountOf(text, L"%"), 1u);
      } else {
        EXPECT_EQ(CountOf(text, L"%"), 0u);
      }
      if (id == IDS_LICENSE_SENTENCE) {
        ASSERT_EQ(CountOf(text, L"(("), 1u);
        ASSERT_EQ(CountOf(text, L"))"), 1u);
        EXPECT_LT(text.find(L"(("), text.find(L"))"));
      }
    }
  }
}

TEST(StringTable, TextsAreTheLanguagesOwnAndThereIsNoFallback) {
  EXPECT_EQ(LoadStringIn(IDS_NO_SPACE_TITLE, 1033), L"Insufficient disk space to\ninstall Korvex Browser");
  EXPECT_EQ(LoadStringIn(IDS_MAKE_DEFAULT, 1033), L"&Make default browser");
  EXPECT_EQ(LoadStringIn(IDS_DOWNLOAD_BUTTON, 1031), L"Herunterladen");
  EXPECT_EQ(LoadStringIn(IDS_CANCEL_BUTTON, 1049), L"\x041e\x0442\x043c\x0435\x043d\x0430");  // Отмена
  EXPECT_EQ(LoadStringIn(IDS_DOWNLOAD_BUTTON, 1041), L"\x30c0\x30a6\x30f3\x30ed\x30fc\x30c9");  // ダウンロード
  // Every translated language differs from English in the install button.
  for (int language : kLanguages) {
    if (language != 1033) EXPECT_NE(LoadStringIn(IDS_INSTALL_BUTTON, language), LoadStringIn(IDS_INSTALL_BUTTON, 1033));
  }
  // Greek is not one of the languages: no fallback to English.
  EXPECT_EQ(LoadStringIn(IDS_INSTALL_BUTTON, 1032), L"");
  // Ids outside the table, in its blocks or in absent blocks.
  EXPECT_EQ(LoadStringIn(IDS_LICENSE_AGREEMENT + 1, 1033), L"");
  EXPECT_EQ(LoadStringIn(IDS_INSTALL_BUTTON - 1, 1033), L"");
  EXPECT_EQ(LoadStringIn(-5, 1033), L"");
}

}  // namespace
}  // namespace lite_installer
