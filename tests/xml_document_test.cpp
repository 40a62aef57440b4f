#include "platform/xml_document.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "rendering/base64.h"

namespace pirell::platform {
namespace {

std::unique_ptr<XmlDocument> Parsed(const std::string& text) {
  auto doc = XmlDocument::Create();
  EXPECT_TRUE(doc->LoadFromText(text)) << doc->ParseError();
  return doc;
}

std::vector<std::string> Values(const std::vector<XmlNode*>& nodes, const char* attribute) {
  std::vector<std::string> values;
  for (XmlNode* node : nodes) values.push_back(node->Attribute(attribute).value_or("<none>"));
  return values;
}

TEST(XmlDocumentQueries, ItemsOfEveryLabelInDocumentOrderAndOnlyDirectChildren) {
  auto doc = Parsed(R"(<?xml version="1.0"?>
<Label Width="58">
  <!-- a comment before the first item -->
  <Item ClassName="1"/>
  <Group><Item ClassName="deeper"/></Group>
  <!-- and one between -->
  <Item ClassName="2"><Label><Item ClassName="3"/></Label></Item>
  <Outer><Label><Item ClassName="4"/><x/><Item ClassName="5"/></Label></Outer>
  <Item ClassName="6"/>
  <label><Item ClassName="lower case parent"/></label>
</Label>)");
  EXPECT_EQ(Values(doc->ElementsWithParent("Label", "Item"), "ClassName"),
            (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
  EXPECT_TRUE(doc->ElementsWithParent("Label", "Missing").empty());
}

TEST(XmlDocumentQueries, RootIsNeverSelectedAndOtherRootsFindNestedLabels) {
  auto doc = Parsed("<Item><Label><Item ClassName='a'/></Label></Item>");
  EXPECT_EQ(Values(doc->ElementsWithParent("Label", "Item"), "ClassName"),
            (std::vector<std::string>{"a"}));
}

TEST(XmlDocumentQueries, ChildElementsAreOnlyTheDirectChildrenWithThatName) {
  auto doc = Parsed(R"(<Label><Item>
    <Property Name="a"/><!-- c --><property Name="case"/>
    <Other><Property Name="nested"/></Other>
    <Property Name="b"/>
  </Item></Label>)");
  XmlNode* item = doc->ElementsWithParent("Label", "Item").at(0);
  EXPECT_EQ(Values(item->ChildElements("Property"), "Name"), (std::vector<std::string>{"a", "b"}));
  ASSERT_NE(item->FirstChildElement("Other"), nullptr);
  EXPECT_EQ(item->FirstChildElement("Nope"), nullptr);
}

TEST(XmlDocumentNodes, ChildNodesKeepCommentsAndBlanksInBothBuilds) {
  auto doc = Parsed("<a> <b/><!--x--><c>t</c>\n</a>");
  std::vector<std::string> names;
  for (XmlNode* node : doc->Root()->ChildNodes()) names.push_back(node->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"#text", "b", "#comment", "c", "#text"}));
  EXPECT_FALSE(doc->Root()->ChildNodes()[2]->IsElement());
  EXPECT_TRUE(doc->Root()->ChildNodes()[1]->IsElement());
  // The same node is reached as the same object.
  EXPECT_EQ(doc->Root()->ChildNodes()[3], doc->Root()->FirstChildElement("c"));
}

TEST(XmlDocumentNodes, AttributesAndTextAreDecoded) {
  auto doc = Parsed(R"(<r A="x &amp; &lt;y&gt; &quot;q&quot;" Empty="">a&amp;b<i>c</i></r>)");
  EXPECT_EQ(doc->Root()->Attribute("A"), "x & <y> \"q\"");
  EXPECT_EQ(doc->Root()->Attribute("Empty"), "");
  EXPECT_EQ(doc->Root()->Attribute("a"), std::nullopt);  // names are case-sensitive
  EXPECT_EQ(doc->Root()->Text(), "a&bc");
  EXPECT_EQ(doc->Root()->Name(), "r");
}

TEST(XmlDocumentEncoding, TextIgnoresTheDeclaredEncoding) {
  auto doc =
      Parsed("<?xml version=\"1.0\" encoding=\"windows-1251\"?><Label N=\"Цена\">Привет</Label>");
  EXPECT_EQ(doc->Root()->Attribute("N"), "Цена");
  EXPECT_EQ(doc->Root()->Text(), "Привет");
}

TEST(XmlDocumentEncoding, BytesFollowTheDeclaredEncoding) {
  auto doc = XmlDocument::Create();
  const std::string bytes = Utf8ToCp1251(
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?><Label N=\"Цена\">Привет</Label>");
  ASSERT_TRUE(doc->LoadFromBytes(bytes)) << doc->ParseError();
  EXPECT_EQ(doc->Root()->Attribute("N"), "Цена");
  EXPECT_EQ(doc->Root()->Text(), "Привет");
}

TEST(XmlDocumentErrors, TextThatIsNotAWellFormedDocumentLeavesNoRoot) {
  for (const std::string text :
       {"", "   ", "<Label>", "<Label></label>", "not xml at all", "<a/><b/>", "<a x='1' x='2'/>",
        "<a>&undefined;</a>", "<?xml version=\"1.0\"?>"}) {
    auto doc = XmlDocument::Create();
    EXPECT_FALSE(doc->LoadFromText(text)) << text;
    EXPECT_EQ(doc->Root(), nullptr) << text;
    EXPECT_FALSE(doc->ParseError().empty()) << text;
    EXPECT_TRUE(doc->ElementsWithParent("Label", "Item").empty());
  }
}

TEST(XmlDocumentErrors, AFailedLoadDropsTheFormerContent) {
  auto doc = Parsed("<Label><Item/></Label>");
  EXPECT_FALSE(doc->LoadFromText("<Label><Item/>"));
  EXPECT_EQ(doc->Root(), nullptr);
  EXPECT_TRUE(doc->ElementsWithParent("Label", "Item").empty());
}

TEST(XmlDocumentErrors, DocumentTypeDeclarationsAreRefused) {
  const std::string entity_bomb = R"(<?xml version="1.0"?>
<!DOCTYPE Label [
  <!ENTITY a "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa">
  <!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">
  <!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">
  <!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">
]>
<Label><Item ClassName="&d;"/></Label>)";
  const std::string external = R"(<?xml version="1.0"?>
<!DOCTYPE Label SYSTEM "http://127.0.0.1:9/label.dtd"><Label/>)";
  const std::string external_entity = R"(<?xml version="1.0"?>
<!DOCTYPE Label [<!ENTITY x SYSTEM "file:///etc/passwd">]><Label>&x;</Label>)";
  for (const std::string& text : {entity_bomb, external, external_entity}) {
    auto doc = XmlDocument::Create();
    EXPECT_FALSE(doc->LoadFromText(text));
    EXPECT_EQ(doc->Root(), nullptr);
    EXPECT_FALSE(doc->ParseError().empty());
  }
}

TEST(XmlDocumentErrors, DeepNestingIsHandledWithoutExhaustingTheStack) {
  std::string text;
  constexpr int kDepth = 5000;
  for (int i = 0; i < kDepth; ++i) text += "<Label>";
  text += "<Item ClassName='deep'/>";
  for (int i = 0; i < kDepth; ++i) text += "</Label>";
  auto doc = XmlDocument::Create();
  // A parser may refuse such depth; when it accepts it, the query still finds the item.
  if (doc->LoadFromText(text)) {
    EXPECT_EQ(Values(doc->ElementsWithParent("Label", "Item"), "ClassName"),
              (std::vector<std::string>{"deep"}));
  } else {
    EXPECT_EQ(doc->Root(), nullptr);
  }
}

TEST(XmlDocumentBase64, ContentIsBinaryOnlyWithTheDataTypeDeclaration) {
  auto doc = Parsed(R"(<ImageList xmlns:dt="urn:schemas-microsoft-com:datatypes">
<Image Name="a" dt:dt="bin.base64">AAEC
/f7/</Image>
<Image Name="b">AAEC</Image>
<Image Name="c" dt:dt="string">AAEC</Image>
<Image Name="d" dt:dt="bin.base64"></Image>
<Image Name="e" xmlns:t="urn:schemas-microsoft-com:datatypes" t:dt="bin.base64">SGk=</Image>
<Image Name="f" dt:dt="bin.base64"> AA*E C/f!7/ </Image>
</ImageList>)");
  std::vector<XmlNode*> images = doc->Root()->ChildElements("Image");
  ASSERT_EQ(images.size(), 6u);
  EXPECT_EQ(images[0]->Base64Content(), std::string("\x00\x01\x02\xFD\xFE\xFF", 6));
  EXPECT_EQ(images[1]->Base64Content(), std::nullopt);
  EXPECT_EQ(images[2]->Base64Content(), std::nullopt);
  EXPECT_EQ(images[3]->Base64Content(), "");
  EXPECT_EQ(images[4]->Base64Content(), "Hi");
  // Characters outside the alphabet are skipped the same way in both builds.
  EXPECT_EQ(images[5]->Base64Content(), std::string("\x00\x01\x02\xFD\xFE\xFF", 6));
}

TEST(XmlDocumentBuilding, BuiltDocumentReadsBackTheSame) {
  auto doc = XmlDocument::Create();
  XmlNode* root = doc->CreateRoot("Label");
  ASSERT_NE(root, nullptr);
  root->SetAttribute("Width", "58");
  XmlNode* list = root->AppendElement("ImageList");
  list->SetAttribute("Count", "2");
  list->SetAttribute("xmlns:dt", "urn:schemas-microsoft-com:datatypes");
  std::string bytes;
  for (int i = 0; i < 300; ++i) bytes.push_back(static_cast<char>(i * 7));
  XmlNode* image = list->AppendElement("Image");
  image->SetAttribute("Name", "логотип & <\"эмблема\">");
  image->SetAttribute("Path", "C:\\labels\\");
  image->SetBase64Content(bytes);
  XmlNode* empty = list->AppendElement("Image");
  empty->SetAttribute("Name", "empty");
  empty->SetBase64Content("");
  XmlNode* note = root->AppendElement("Note");
  note->SetText("a < b & c");
  EXPECT_EQ(root->ChildNodes().size(), 2u);

  const std::string text = doc->SaveToText();
  EXPECT_EQ(text.rfind("<?xml", 0), 0u) << text;
  auto read = Parsed(text);
  ASSERT_NE(read->Root(), nullptr);
  EXPECT_EQ(read->Root()->Attribute("Width"), "58");
  std::vector<XmlNode*> images = read->ElementsWithParent("ImageList", "Image");
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0]->Attribute("Name"), "логотип & <\"эмблема\">");
  EXPECT_EQ(images[0]->Attribute("Path"), "C:\\labels\\");
  EXPECT_EQ(images[0]->Base64Content(), bytes);
  EXPECT_EQ(images[1]->Base64Content(), "");
  EXPECT_EQ(read->Root()->FirstChildElement("Note")->Text(), "a < b & c");
}

}  // namespace
}  // namespace pirell::platform
