// The template store: the list and the template file "templates" in windows-1251.

#include <gtest/gtest.h>

#include "common/errors.h"
#include "label_printer/templates_list.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/module_info.h"
#include "platform/xml_document.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

// Texts that windows-1251 holds (Cyrillic, the euro and trade mark signs), markup, line breaks
// and characters it lacks (a-umlaut, a CJK ideograph, an emoji outside the BMP).
const std::string kTrickyData =
    "<Label Width=\"58\">\r\n  <Item Text=\"Цена: 10 € &amp; скидка™\"/>\n\t]]> &lt; "
    "Grüße 中 😀 </Label>  ";

class TemplatesListTest : public ::testing::Test {
 protected:
  std::string FileName() const { return folder.File("templates"); }
  void WriteFile(const std::string& utf8_text) {
    platform::ReplaceFileAtomically(FileName(), platform::Utf8ToCp1251(utf8_text));
  }

  testing::TempDir folder;
  TTemplatesList list;
};

TEST_F(TemplatesListTest, AddReplacesAnExistingNumberInPlace) {
  list.Add(5, "five", "a");
  list.Add(-1, "minus one", "b");
  list.Add(0, "zero", "c");
  TTemplateItem& replaced = list.Add(5, "FIVE", "A");
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(&replaced, &list.Items(0));
  EXPECT_EQ(list.Items(0).Description(), "FIVE");
  EXPECT_EQ(list.Items(0).Data(), "A");
  EXPECT_EQ(list.FindItem(-1), &list.Items(1));
  EXPECT_EQ(list.FindItem(7), nullptr);
  EXPECT_THROW(list.Items(3), Error);
  EXPECT_THROW(list.Items(-1), Error);
  list.SetItems(1, std::make_unique<TTemplateItem>(9, "nine", "n"));
  EXPECT_EQ(list.FindItem(-1), nullptr);
  EXPECT_EQ(list.Items(1).Number(), 9);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(TemplatesListTest, LoadWithoutAFileGivesAnEmptyList) {
  list.Add(1, "x", "y");
  list.Load(folder.path());
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.SourceFile(), FileName());
}

TEST_F(TemplatesListTest, SaveThenLoadGivesTheSameTemplatesInOrder) {
  list.Add(3, "Ценник", kTrickyData);
  list.Add(-7, "", "");
  list.Add(0, "  пробелы  ", "\n");
  list.Save(folder.path());
  EXPECT_EQ(list.SourceFile(), FileName());

  TTemplatesList loaded;
  loaded.Load(folder.path());
  ASSERT_EQ(loaded.Count(), 3);
  EXPECT_EQ(loaded.Items(0).Number(), 3);
  EXPECT_EQ(loaded.Items(0).Description(), "Ценник");
  EXPECT_EQ(loaded.Items(0).Data(), kTrickyData);
  EXPECT_EQ(loaded.Items(1).Number(), -7);
  EXPECT_EQ(loaded.Items(1).Description(), "");
  EXPECT_EQ(loaded.Items(1).Data(), "");
  EXPECT_EQ(loaded.Items(2).Number(), 0);
  EXPECT_EQ(loaded.Items(2).Description(), "  пробелы  ");
  EXPECT_EQ(loaded.Items(2).Data(), "\n");
}

TEST_F(TemplatesListTest, TheFileIsWindows1251XmlWithTheFixedLayout) {
  list.Add(12, "Молоко", "<a>Ä</a>");
  const std::string bytes = list.ToFileBytes();
  EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"windows-1251\"?>", 0), 0u);
  // Cyrillic as single windows-1251 bytes, the missing character as a reference, markup escaped.
  EXPECT_NE(bytes.find("<item><number>12</number><description>\xCC\xEE\xEB\xEE\xEA\xEE"
                       "</description><data>&lt;a&gt;&#196;&lt;/a&gt;</data></item>"),
            std::string::npos)
      << bytes;

  auto document = platform::XmlDocument::Create();
  ASSERT_TRUE(document->LoadFromBytes(bytes)) << document->ParseError();
  ASSERT_EQ(document->Root()->Name(), "templates");
  const auto items = document->Root()->ChildElements("item");
  ASSERT_EQ(items.size(), 1u);
  std::vector<std::string> names;
  for (const platform::XmlNode* child : items[0]->ChildNodes()) names.push_back(child->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"number", "description", "data"}));
  EXPECT_FALSE(items[0]->FirstChildElement("data")->Attribute("x").has_value());
}

TEST_F(TemplatesListTest, AnEmptyListSavesARootWithoutChildren) {
  list.Save(folder.path());
  auto document = platform::XmlDocument::Create();
  ASSERT_TRUE(document->LoadFromBytes(*platform::ReadWholeFile(FileName())));
  ASSERT_NE(document->Root(), nullptr);
  EXPECT_EQ(document->Root()->Name(), "templates");
  EXPECT_TRUE(document->Root()->ChildNodes().empty());
}

TEST_F(TemplatesListTest, LoadReadsAnyChildOfTheRootAndToleratesMissingParts) {
  WriteFile(
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n"
      "<templates>\n"
      "  <!-- written by hand -->\n"
      "  <item>\n    <number> 4 </number>\n    <description>Четыре</description>\n"
      "    <data>d4</data>\n  </item>\n"
      "  <entry><data>no number</data></entry>\n"
      "  <item><number>+4</number><description>again</description></item>\n"
      "</templates>\n");
  list.Load(folder.path());
  ASSERT_EQ(list.Count(), 2);
  // The later entry for 4 overwrote the earlier one in its place.
  EXPECT_EQ(list.Items(0).Number(), 4);
  EXPECT_EQ(list.Items(0).Description(), "again");
  EXPECT_EQ(list.Items(0).Data(), "");
  EXPECT_EQ(list.Items(1).Number(), 0);
  EXPECT_EQ(list.Items(1).Data(), "no number");
}

TEST_F(TemplatesListTest, ANumberThatIsNotAnIntegerFailsTheLoad) {
  for (const char* number : {"abc", "", "1.5", "99999999999", "+-1"}) {
    WriteFile(std::string("<?xml version=\"1.0\" encoding=\"windows-1251\"?><templates>"
                          "<item><number>1</number><description>один</description></item>"
                          "<item><number>") +
              number + "</number></item></templates>");
    EXPECT_THROW(list.Load(folder.path()), Error) << number;
    // What came before the bad entry stays; the list no longer stands for the file.
    ASSERT_EQ(list.Count(), 1) << number;
    EXPECT_EQ(list.Items(0).Description(), "один");
    EXPECT_FALSE(list.SourceFile().has_value());
  }
}

TEST_F(TemplatesListTest, AFileThatIsNotWellFormedFailsTheLoadAndStaysAsItIs) {
  const std::string broken =
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?><templates><item><number>1</number>";
  WriteFile(broken);
  list.Add(8, "x", "y");
  try {
    list.Load(folder.path());
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find(FileName()), std::string::npos) << error.what();
  }
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(platform::ReadWholeFile(FileName()), platform::Utf8ToCp1251(broken));
}

TEST_F(TemplatesListTest, SaveReplacesTheWholeFile) {
  list.Add(1, "a", "first");
  list.Add(2, "b", "second");
  list.Save(folder.path());
  list.Clear();
  list.Add(3, "c", "third");
  list.Save(folder.path());
  TTemplatesList loaded;
  loaded.Load(folder.path());
  ASSERT_EQ(loaded.Count(), 1);
  EXPECT_EQ(loaded.Items(0).Number(), 3);
}

TEST_F(TemplatesListTest, TextsThatXmlCannotCarryAreRefused) {
  EXPECT_TRUE(TTemplatesList::IsStorableText("обычный\ttext\r\n"));
  EXPECT_FALSE(TTemplatesList::IsStorableText(std::string("a\x01z")));
  EXPECT_FALSE(TTemplatesList::IsStorableText(std::string("a\0z", 3)));
  list.Add(1, "bad", std::string("a\x02z"));
  EXPECT_THROW(list.Save(folder.path()), Error);
  EXPECT_FALSE(platform::FileExists(FileName()));
}

TEST_F(TemplatesListTest, AFolderThatDoesNotExistMeansTheModulesFolder) {
  const std::string missing = folder.File("missing");
  EXPECT_EQ(platform::ExtractFileDir(TTemplatesList::FileName(missing)),
            platform::ExtractFileDir(platform::ModuleFileName()));
  EXPECT_EQ(TTemplatesList::FileName(folder.path()), FileName());
}

}  // namespace
}  // namespace pirell
