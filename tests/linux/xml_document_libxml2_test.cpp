#include <gtest/gtest.h>

#include <string>

#include "platform/xml_document.h"

namespace pirell::platform {
namespace {

// libxml2 allows 10,000,000 characters in one text node unless told otherwise; an embedded
// picture may need more. (Wine's MSXML is built on libxml2 with that limit, so this holds only
// natively and on Windows' own MSXML.)
TEST(XmlDocumentLibxml2, TextLongerThanTenMillionCharactersIsRead) {
  const std::string text(10'000'100, 'A');
  auto doc = XmlDocument::Create();
  ASSERT_TRUE(doc->LoadFromText("<Label><Image>" + text + "</Image></Label>")) << doc->ParseError();
  EXPECT_EQ(doc->Root()->FirstChildElement("Image")->Text().size(), text.size());
}

}  // namespace
}  // namespace pirell::platform
