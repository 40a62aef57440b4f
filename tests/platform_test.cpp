// The platform seams the driver object relies on: locale-aware comparison, code pages, file
// replacement, GUID texts and the module's path.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "common/errors.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/guid.h"
#include "platform/locale.h"
#include "platform/module_info.h"
#include "support/temp_dir.h"

namespace pirell::platform {
namespace {

using pirell::testing::TempDir;

TEST(LocaleTest, CaseInsensitiveComparisonCoversCyrillic) {
  EXPECT_TRUE(SameText("GetDeviceInfo", "GETDEVICEINFO"));
  EXPECT_TRUE(SameText("Порог", "пОРОГ"));
  EXPECT_TRUE(SameText("ёж", "ЁЖ"));
  EXPECT_FALSE(SameText("Порог", "Порог "));
  EXPECT_FALSE(SameText("е", "ё"));
  EXPECT_LT(CompareTextIgnoreCase("a", "B"), 0);
  EXPECT_GT(CompareTextIgnoreCase("b", "A"), 0);
  EXPECT_EQ(UpperCase("абв xyz"), "АБВ XYZ");
}

TEST(CodePageTest, Windows1251RoundTrip) {
  EXPECT_EQ(Utf8ToCp1251("Привет"), "\xCF\xF0\xE8\xE2\xE5\xF2");
  EXPECT_EQ(Utf8ToCp1251("Ёё№"), "\xA8\xB8\xB9");
  EXPECT_EQ(Utf8ToCp1251("€"), "\x88");
  std::string all;
  for (int b = 0x20; b < 0x100; ++b) {
    if (b != 0x98) all.push_back(static_cast<char>(b));  // 0x98 is unassigned in windows-1251
  }
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(CodePageTest, MissingCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a日b"), "a?b");
  EXPECT_EQ(Utf8ToCp1251("😀"), "?");
  EXPECT_FALSE(IsCp1251Representable(U'日'));
  EXPECT_TRUE(IsCp1251Representable(U'Ж'));
  EXPECT_TRUE(IsCp1251Representable(U'A'));
}

TEST(CodePageTest, UnicodeForms) {
  const std::string text = "Ж😀";
  EXPECT_EQ(Utf8ToUtf16(text), u"Ж😀");
  EXPECT_EQ(Utf8ToUtf16(text).size(), 3u);  // a surrogate pair
  EXPECT_EQ(Utf16ToUtf8(u"Ж😀"), text);
  EXPECT_EQ(Utf32ToUtf8(Utf8ToUtf32(text)), text);
  EXPECT_EQ(Utf8ToSystemAnsi("plain ASCII\r\n"), "plain ASCII\r\n");
}

TEST(FilesTest, ReplaceFileAtomicallyReplacesAndLeavesNoTemporaryFile) {
  TempDir folder;
  const std::string path = folder.File("templates");
  ReplaceFileAtomically(path, "first");
  ReplaceFileAtomically(path, "second");
  EXPECT_EQ(ReadWholeFile(path), "second");
  int files = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::u8path(folder.path())))
    ++files;
  EXPECT_EQ(files, 1);
}

TEST(FilesTest, FailedRenameKeepsWhatWasThere) {
  TempDir folder;
  // A folder with content where the file should go: the final rename cannot replace it.
  const std::string path = folder.File("templates");
  std::filesystem::create_directory(std::filesystem::u8path(path));
  ASSERT_TRUE(AppendToFile(folder.File("templates") + PathDelimiter() + "keep", "kept"));
  EXPECT_THROW(ReplaceFileAtomically(path, "new"), Error);
  EXPECT_TRUE(DirectoryExists(path));
  EXPECT_EQ(ReadWholeFile(path + PathDelimiter() + "keep"), "kept");
  int entries = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::u8path(folder.path())))
    ++entries;
  EXPECT_EQ(entries, 1) << "the temporary file was left behind";
}

TEST(FilesTest, MissingFolderFailsWithoutCreatingAnything) {
  TempDir folder;
  const std::string path = folder.File("missing") + PathDelimiter() + "templates";
  EXPECT_THROW(ReplaceFileAtomically(path, "new"), Error);
  EXPECT_FALSE(DirectoryExists(folder.File("missing")));
}

TEST(FilesTest, ReadOnlyFolderKeepsTheOldFile) {
  TempDir folder;
  const std::string path = folder.File("templates");
  ReplaceFileAtomically(path, "old");
  const auto dir = std::filesystem::u8path(folder.path());
  std::filesystem::permissions(dir,
                               std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  if (AppendToFile(folder.File("probe"), "x")) {
    GTEST_SKIP() << "this user may write into read-only folders";
  }
  EXPECT_THROW(ReplaceFileAtomically(path, "new"), Error);
  EXPECT_EQ(ReadWholeFile(path), "old");
}

TEST(FilesTest, PathHelpers) {
  const char d = PathDelimiter();
  const std::string a = std::string("a") + d + "b" + d + "c.log";
  EXPECT_EQ(ExtractFileDir(a), std::string("a") + d + "b");
  EXPECT_EQ(IncludeTrailingPathDelimiter("x"), std::string("x") + d);
  EXPECT_EQ(IncludeTrailingPathDelimiter(std::string("x") + d), std::string("x") + d);
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), std::string(1, d));
  EXPECT_FALSE(DirectoryExists(""));
  EXPECT_FALSE(FileExists(""));
}

TEST(GuidTest, RegistryTextFormAndFreshEachTime) {
  std::set<std::string> seen;
  for (int i = 0; i < 20; ++i) {
    const std::string guid = NewGuidText();
    ASSERT_EQ(guid.size(), 38u) << guid;
    for (std::size_t k = 0; k < guid.size(); ++k) {
      const char c = guid[k];
      if (k == 0) {
        EXPECT_EQ(c, '{');
      } else if (k == 37) {
        EXPECT_EQ(c, '}');
      } else if (k == 9 || k == 14 || k == 19 || k == 24) {
        EXPECT_EQ(c, '-') << guid;
      } else {
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << guid;
      }
    }
    seen.insert(guid);
  }
  EXPECT_EQ(seen.size(), 20u);
}

TEST(ModulePathTest, PointsAtTheRunningModule) {
  const std::string path = ModuleFileName();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(FileExists(path)) << path;
  EXPECT_NE(path.find("pirell_tests"), std::string::npos) << path;
}

}  // namespace
}  // namespace pirell::platform
