// Splitting the parameter text and its JSON form.
#include <gtest/gtest.h>

#include <jansson.h>

#include "install/distrib_info_params.h"
#include "install/distrib_params_json.h"

namespace lite_installer {
namespace {

DistribParams Parse(const std::string& text) {
  DistribParams params;
  ParseQueryString(text, params);
  return params;
}

TEST(QueryStringTest, PairsKeysWithoutValuesAndEmptyKeys) {
  EXPECT_EQ((DistribParams{{"a", "2"}, {"b", ""}, {"", "x"}}), Parse("a=1&b&=x&a=2"));
  EXPECT_EQ((DistribParams{{"a", "1=2"}}), Parse("a=1=2"));
  EXPECT_EQ((DistribParams{{"k", "%20+"}}), Parse("k=%20+")) << "nothing is decoded";
  EXPECT_EQ((DistribParams{{"a", ""}}), Parse("a="));
  EXPECT_EQ((DistribParams{{"a", ""}, {"", ""}}), Parse("a&&"));
  EXPECT_EQ(DistribParams{}, Parse(""));
}

TEST(QueryStringTest, FieldTagKeepsAllKeys) {
  const DistribParams params =
      Parse("browser=1&banerid=6301000000&lang=tr&pps=0&korvexuid=4711&zih=xyz&download_date=20261207");
  EXPECT_EQ(7u, params.size());
  EXPECT_EQ("tr", params.at("lang"));
  EXPECT_EQ("20261207", params.at("download_date"));
}

TEST(DistribParamsJsonTest, OneStringMemberPerParameterIndentedByTwo) {
  const std::string text = SerializeDistribParams(Parse("a=1&b&=x&a=2"));
  EXPECT_EQ("{\n  \"\": \"x\",\n  \"a\": \"2\",\n  \"b\": \"\"\n}", text);
  json_t* parsed = json_loads(text.c_str(), 0, nullptr);
  ASSERT_NE(nullptr, parsed);
  EXPECT_EQ(3u, json_object_size(parsed));
  json_decref(parsed);
}

TEST(DistribParamsJsonTest, QuotesAndControlCharactersAreEscaped) {
  const std::string text = SerializeDistribParams(DistribParams{{"q\"", "a\\b\n"}});
  EXPECT_EQ("{\n  \"q\\\"\": \"a\\\\b\\n\"\n}", text);
}

TEST(DistribParamsJsonTest, TextThatIsNotUtf8OrHoldsNulCannotBeSerialised) {
  EXPECT_EQ("", SerializeDistribParams(DistribParams{{"a", "\xff"}}));
  EXPECT_EQ("", SerializeDistribParams(DistribParams{{"a", std::string("x\0y", 3)}}));
  EXPECT_EQ("", SerializeDistribParams(DistribParams{{std::string("k\0", 2), "v"}}));
  EXPECT_EQ("{}", SerializeDistribParams(DistribParams{}));
}

}  // namespace
}  // namespace lite_installer
