// Jansson in the installer reads numbers through the system C runtime's
// strtod (app/runtime_strtod.c): integers and reals still parse, and an
// out-of-range real is still refused.
#include <gtest/gtest.h>
#include <jansson.h>

#include <string>

extern "C" double __cdecl __mingw_strtod(const char* text, char** end);

TEST(RuntimeStrtod, JanssonReadsNumbersThroughTheSystemStrtod) {
  // The system strtod knows no C99 hexadecimal reals: it stops after "0".
  // This shows the replacement, not the C99 runtime's, is linked here.
  const char hex[] = "0x1p3";
  char* end = nullptr;
  EXPECT_EQ(0.0, __mingw_strtod(hex, &end));
  EXPECT_EQ(hex + 1, end);

  json_error_t error;
  json_t* numbers = json_loads("[1500, 1.5e3, -0.25, 12345678901234]", 0, &error);
  ASSERT_NE(nullptr, numbers) << error.text;
  EXPECT_EQ(1500, json_integer_value(json_array_get(numbers, 0)));
  EXPECT_EQ(1500.0, json_real_value(json_array_get(numbers, 1)));
  EXPECT_EQ(-0.25, json_real_value(json_array_get(numbers, 2)));
  EXPECT_EQ(12345678901234LL, json_integer_value(json_array_get(numbers, 3)));
  json_decref(numbers);

  EXPECT_EQ(nullptr, json_loads("[1e400]", 0, &error));
  EXPECT_EQ(0u, std::string(error.text).find("real number overflow")) << error.text;
}
