#include "rendering/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace pirell {
namespace {

TEST(Base64, KnownVectors) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foo"), "Zm9v");
  EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64Encode(std::string("\xFB\xFF\xBF", 3)), "+/+/");
  EXPECT_EQ(Base64Decode("Zm9vYmFy"), "foobar");
  EXPECT_EQ(Base64Decode("Zm9vYg=="), "foob");
  EXPECT_EQ(Base64Decode("Zm9vYmE="), "fooba");
  EXPECT_EQ(Base64Decode("+/+/"), std::string("\xFB\xFF\xBF", 3));
}

TEST(Base64, DecodingSkipsCharactersOutsideTheAlphabet) {
  EXPECT_EQ(Base64Decode(" Zm9v\r\nYm\tFy \n"), "foobar");
  EXPECT_EQ(Base64Decode("Zm*9v#Ym.Fy!"), "foobar");
  EXPECT_EQ(Base64Decode("Zm9v\xD0\x96YmFy"), "foobar");  // a Cyrillic letter in UTF-8
  EXPECT_EQ(Base64Decode("Zm9vYg==Zm9v"), "foob");        // padding ends the data
  EXPECT_EQ(Base64Decode("Zm9vY"), "foo");                // a lone sextet carries no byte
  EXPECT_EQ(Base64Decode("!!!"), "");
}

TEST(Base64, RoundTripOfEveryByteWithLineBreaks) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes.push_back(static_cast<char>(i % 256));
  const std::string text = Base64Encode(bytes, 76);
  EXPECT_NE(text.find('\n'), std::string::npos);
  EXPECT_NE(text.back(), '\n');
  for (std::size_t start = 0; start < text.size(); start += 77) {
    EXPECT_LE(text.find('\n', start) == std::string::npos ? text.size() - start
                                                          : text.find('\n', start) - start,
              76u);
  }
  EXPECT_EQ(Base64Decode(text), bytes);
  for (std::size_t n = 0; n < 5; ++n)
    EXPECT_EQ(Base64Decode(Base64Encode(bytes.substr(0, n))), bytes.substr(0, n));
}

}  // namespace
}  // namespace pirell
