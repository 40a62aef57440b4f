#include "rendering/values_list.h"

#include <gtest/gtest.h>

#include "rendering/cmd_list.h"

namespace pirell {
namespace {

TEST(ValuesListTest, AddReplacesTheValueOfTheSameNameExactly) {
  TValuesList values;
  values.Add("Title", "a");
  values.Add("Title", "b");
  ASSERT_EQ(values.Count(), 1);
  EXPECT_EQ(values.Items(0).Value, "b");
  // Names differing in letter case are different names.
  values.Add("title", "c");
  ASSERT_EQ(values.Count(), 2);
  EXPECT_EQ(values.Items(1).SourceName, "title");
  EXPECT_EQ(values.Values("Title"), "b");
  EXPECT_EQ(values.Values("title"), "c");
}

TEST(ValuesListTest, ReadingOrWritingAMissingNameChangesNothing) {
  TValuesList values;
  values.Add("Price", "10");
  EXPECT_EQ(values.Values("Weight"), "");
  values.SetValues("Weight", "5");
  EXPECT_EQ(values.Count(), 1);
  values.SetValues("Price", "12");
  EXPECT_EQ(values.Values("Price"), "12");
  values.Clear();
  EXPECT_EQ(values.Count(), 0);
  EXPECT_EQ(values.Values("Price"), "");
}

TEST(ValuesListTest, ItemsCanBeRewrittenInPlace) {
  TValuesList values;
  values.Add("A", "1");
  values.Add("B", "2");
  values.Items(1).SourceName = std::string("A");  // duplicates are possible only this way
  // Lookups by name take the first item in list order.
  EXPECT_EQ(values.Values("A"), "1");
  EXPECT_THROW(values.Items(2), std::out_of_range);
}

TEST(CmdListTest, KeepsCommandsInOrderWithTheirOptions) {
  TCmdList cmds;
  cmds.Add("N");
  cmds.Add(ByteString("\0\xFF", 2), coNoSuffix);
  cmds.Add("^@", coFlushBuffer, 2000);
  ASSERT_EQ(cmds.Count(), 3);
  EXPECT_EQ(cmds.Items(0).Data, "N");
  EXPECT_EQ(cmds.Items(0).ActionAfter, coNone);
  EXPECT_EQ(cmds.Items(0).DelayTime, 0);
  EXPECT_EQ(cmds.Items(1).Data.size(), 2u);
  EXPECT_EQ(cmds.Items(1).ActionAfter, coNoSuffix);
  EXPECT_EQ(cmds.Items(2).ActionAfter, coFlushBuffer);
  EXPECT_EQ(cmds.Items(2).DelayTime, 2000);
  cmds.Items(0).Data = "P1";
  EXPECT_EQ(cmds.Items(0).Data, "P1");
  cmds.Clear();
  EXPECT_EQ(cmds.Count(), 0);
}

}  // namespace
}  // namespace pirell
