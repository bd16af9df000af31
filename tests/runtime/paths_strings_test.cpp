// Path helpers, directory listing, and the string helpers every subsystem
// shares (code-unit order, trimming, lower-casing, number text).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "runtime/paths.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

TEST(PathsTest, ExtensionsDirectoriesAndBackslashes) {
  struct Case {
    std::u16string path, without, extension, directory;
  };
  const Case cases[] = {
      {u"fonts/big.ift", u"fonts/big", u"ift", u"fonts"},
      {u"my.dir/file", u"my.dir/file", u"", u"my.dir"},
      {u"a\\b\\c.png", u"a/b/c", u"png", u"a/b"},
      {u"plain", u"plain", u"", u""},
      {u"/x", u"/x", u"", u"/"},
      {u"/", u"/", u"", u"/"},
      {u".", u"", u"", u"."},
      {u"..", u".", u"", u".."},
      {u"c:/x.txt", u"c:/x", u"txt", u"c:/"},
  };
  for (const Case& c : cases) {
    const std::string name(c.path.begin(), c.path.end());
    EXPECT_EQ(WithoutExtension(c.path), c.without) << name;
    EXPECT_EQ(ExtensionOf(c.path), c.extension) << name;
    EXPECT_EQ(DirectoryOf(c.path), c.directory) << name;
  }
}

TEST(PathsTest, ListDirectoryNamesEntriesAndSkipsDots) {
  const auto dir = std::filesystem::temp_directory_path() / "skyloom_list_test";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "a.txt") << "a";
  std::ofstream(dir / "b.txt") << "b";
  const std::string d = dir.string();
  const std::u16string u(d.begin(), d.end());
  auto names = ListDirectory(u, true);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"a.txt", u"b.txt"}));
  EXPECT_EQ(ListDirectory(u, false).size(), 4u);
  EXPECT_TRUE(IsDirectory(u));
  EXPECT_TRUE(ListDirectory(u + u"/missing", true).empty());
  // A unit above 0xFF names no directory (0x12F would reach the file system as "/").
  EXPECT_TRUE(ListDirectory(u + u"\u012F.", true).empty());
  EXPECT_FALSE(IsDirectory(u + u"\u012F."));
  std::filesystem::remove_all(dir);
}

TEST(StringsTest, CodeUnitOrderShorterPrefixFirst) {
  EXPECT_LT(CompareUnits(u"ab", u"abc"), 0);
  EXPECT_GT(CompareUnits(u"b", u"abc"), 0);
  EXPECT_LT(CompareUnits(u"Z", u"a"), 0);  // no locale, no case folding
  EXPECT_EQ(CompareUnits(u"x", u"x"), 0);
  EXPECT_GT(CompareUnits(u"\u0100", u"\u00FF"), 0);
}

TEST(StringsTest, TrimLowerAndBytes) {
  EXPECT_EQ(Trim(u" \t\x01 a b \r\n"), u"a b");
  EXPECT_EQ(Trim(u"   "), u"");
  EXPECT_EQ(ToLower(u"AbZ\u00C9\u00D7\u0100"), u"abz\u00E9\u00D7\u0101");
  EXPECT_EQ(ToBytes(u"\u00E9\u0141"), std::string("\xE9\x41"));
  EXPECT_EQ(FromBytes(std::string("\xFF", 1)), u"\u00FF");
  EXPECT_EQ(ToUtf8(u"\u00E9"), std::string("\xC3\xA9"));
}

// From U+00C0 up, each unit takes its simple Unicode lower-case mapping.
TEST(StringsTest, LowerCaseFollowsTheSimpleUnicodeMapping) {
  struct Case {
    char16_t upper, lower;
  };
  const Case cases[] = {
      {u'\u00C0', u'\u00E0'}, {u'\u00DE', u'\u00FE'}, {u'\u00D7', u'\u00D7'},
      {u'\u00DF', u'\u00DF'}, {u'\u0130', u'i'},      {u'\u0131', u'\u0131'},
      {u'\u0178', u'\u00FF'}, {u'\u0181', u'\u0253'}, {u'\u01C4', u'\u01C6'},
      {u'\u01C5', u'\u01C6'}, {u'\u0386', u'\u03AC'}, {u'\u038F', u'\u03CE'},
      {u'\u03A3', u'\u03C3'}, {u'\u03C3', u'\u03C3'}, {u'\u0401', u'\u0451'},
      {u'\u0460', u'\u0461'}, {u'\u0531', u'\u0561'}, {u'\u10A0', u'\u2D00'},
      {u'\u1E00', u'\u1E01'}, {u'\u1E9E', u'\u00DF'}, {u'\u1F08', u'\u1F00'},
      {u'\u2126', u'\u03C9'}, {u'\u212A', u'k'},      {u'\u2160', u'\u2170'},
      {u'\u24B6', u'\u24D0'}, {u'\u2C00', u'\u2C30'}, {u'\uA640', u'\uA641'},
      {u'\uFF21', u'\uFF41'}, {u'\uFF41', u'\uFF41'}, {u'\uFFFF', u'\uFFFF'},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToLower(std::u16string(1, c.upper)), std::u16string(1, c.lower))
        << std::hex << int(c.upper);
  }
}

TEST(StringsTest, NumbersAsTextAndBack) {
  EXPECT_EQ(FormatDouble(0.5), u"0.50000000000000000");
  EXPECT_EQ(FormatFloat(0.5f), u"0.500000000");
  EXPECT_EQ(ParseDouble(u"  -12.5e1xyz"), -125.0);
  EXPECT_EQ(ParseDouble(u"abc"), 0.0);
  EXPECT_EQ(ParseDouble(u""), 0.0);
}

}  // namespace
}  // namespace skyloom
