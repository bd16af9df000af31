// Where the parser says a fault or a likely mistake stands: errors and
// warnings as FILE:LINE:COLUMN in the file that holds them (an included file
// for a fault there), the bound on file reads, and text read as UTF-8 when
// it is valid UTF-8 and as Latin-1 otherwise.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "defs/dictnode.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

using Files = std::map<std::string, std::string>;  // relative path -> text

// Each test works in a folder of its own, which is the working folder, so
// that messages name the files as "main.txt" and "parts/inner.txt".
class DefinitionMessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("skyloom_messages_" + std::to_string(::getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    cwd_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(cwd_);
    fs::remove_all(dir_);
  }

  void Write(const Files& files) const {
    for (const auto& [name, text] : files) {
      const fs::path path = dir_ / name;
      fs::create_directories(path.parent_path());
      std::ofstream(path, std::ios::binary) << text;
    }
  }

  // Parses ./main.txt; returns the error as the viewer words it, or "".
  std::string ErrorOf(const Files& files) {
    Write(files);
    warnings_.clear();
    try {
      dictnode::parsefile(u"./main.txt", u"id", &warnings_);
    } catch (const DefinitionTextEnds& e) {
      return e.where.Message("the text ends (byte " + std::to_string(e.where.byte) + ")");
    } catch (const DefinitionParseError& e) {
      return e.what();
    }
    return "";
  }

  std::vector<std::string> WarningsOf(const Files& files) {
    const std::string error = ErrorOf(files);
    EXPECT_EQ(error, "");
    return WarningLines(warnings_);
  }

  fs::path dir_;
  fs::path cwd_;
  std::vector<DefinitionWarning> warnings_;
};

TEST_F(DefinitionMessagesTest, ErrorsNameTheFileLineAndColumnWhereTheFaultIs) {
  const std::string inner = "parts/inner.txt";
  const std::string including = "#root[\n  #include[ file: parts/inner.txt; ];\n];";
  const struct {
    Files files;
    std::string error;
  } cases[] = {
      {{{"main.txt", "#root[\n  x: 1; [ ];\n];"}},
       "main.txt:2:9: \"[\" without a \"#\" of its own (byte 15)"},
      {{{"main.txt", "#root[ #body[ a: 1; ];"}}, "main.txt:1:23: the text ends (byte 22)"},
      {{{"main.txt", "no node"}}, "main.txt:1:8: the text ends (byte 7)"},
      // Columns count characters: the "ü" is two bytes and one column.
      {{{"main.txt",
         "#root[ name: \"S\xC3\xBC"
         "d\"; [ ]"}},
       "main.txt:1:21: \"[\" without a \"#\" of its own (byte 21)"},
      // Faults inside an included file are named in that file, with its
      // own line, column and byte.
      {{{"main.txt", including}, {inner, "#body[\n\tname: \"a\" [ ];\n]"}},
       "parts/inner.txt:2:12: \"[\" without a \"#\" of its own (byte 18)"},
      {{{"main.txt", including}, {inner, "#body[ name: x;"}},
       "parts/inner.txt:1:16: the text ends (byte 15)"},
      {{{"main.txt", including}, {inner, "\r\n\r\n  #body[ #moon[ ]"}},
       "parts/inner.txt:3:18: the text ends (byte 21)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorOf(c.files), c.error) << c.files.begin()->second;
    fs::remove_all(dir_ / "parts");
  }
}

TEST_F(DefinitionMessagesTest, NestingTooDeepIsNamedWhereItHappens) {
  std::string text = "#root[\n";
  for (int i = 0; i < dictnode::MAX_DEPTH; ++i) text += "#a[";
  const std::string error = ErrorOf({{"main.txt", text}});
  EXPECT_EQ(error, "main.txt:2:2998: nodes nested deeper than 1000 levels (byte 3004)");
}

TEST_F(DefinitionMessagesTest, WarningsNameEachLikelyMistake) {
  const struct {
    Files files;
    std::vector<std::string> warnings;
  } cases[] = {
      {{{"main.txt", "#root[\n  visible;\n];"}},
       {"main.txt:2:3: warning: 'visible' has no ':'; it is read as a key with an empty value"}},
      {{{"main.txt", "#root[\n  #body copyof: mars[ ];\n];"}},
       {"main.txt:2:3: warning: copyof: 'mars' names no sibling's id"}},
      {{{"main.txt", "#root[ #a copyof: b[ id: a; ]; #b copyof: a[ id: b; ]; ]"}},
       {"main.txt:1:32: warning: copyof: 'a' would close a cycle of copies; it is ignored"}},
      {{{"main.txt", "#root[\n  #body[ id: p; ];\n  #body[ id: p; ];\n];"}},
       {"main.txt:3:3: warning: id 'p' is also given to a sibling at line 2; copies find the "
        "one read last"}},
      {{{"main.txt", "#root[ #include[ file: nope.txt; ]; ]"}},
       {"main.txt:1:18: warning: include 'nope.txt' reads nothing: cannot open the file: No such "
        "file or directory"}},
      {{{"main.txt", "#root[ #include[ file: nope; ]; ]"}},
       {"main.txt:1:18: warning: include 'nope' reads nothing: no folder of that name (a name "
        "without an extension is taken for a folder)"}},
      {{{"main.txt", "#root[ #include[ file: main.txt; ]; ]"}},
       {"main.txt:1:18: warning: include 'main.txt' reads nothing: the file is already being "
        "read (an include cycle)"}},
      {{{"main.txt", "#root[ #include[ file: parts/two.txt; ]; ]"},
        {"parts/two.txt", "#a[ ];\n#b[ ];"}},
       {"parts/two.txt:2:1: warning: more than one top-level node in an included file; only "
        "the first is read"}},
      {{{"main.txt", "#root[ ];\n  extra"}},
       {"main.txt:2:3: warning: text after the root node is ignored"}},
      {{{"main.txt", "#root[ #include[ file: parts/top.txt; ]; ]"},
        {"parts/top.txt", "#body copyof: x[ ];"}},
       {"parts/top.txt:1:1: warning: copyof: 'x' names no sibling's id (the first node of a "
        "file has no siblings)"}},
      // Copies are resolved at the body's end, after the statement below
      // them: the warnings still come in reading order.
      {{{"main.txt", "#root[\n  #body copyof: mars[ ];\n  visible;\n];"}},
       {"main.txt:2:3: warning: copyof: 'mars' names no sibling's id",
        "main.txt:3:3: warning: 'visible' has no ':'; it is read as a key with an empty value"}},
      // What is no mistake: a ";" and comments after the root, text before
      // it, a key with a colon and an empty value, distinct ids.
      {{{"main.txt", "notes\n#root[ a: ; #b[ id: 1; ]; #b[ id: 2; ]; ]; <the end> ;\n"}}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WarningsOf(c.files), c.warnings) << c.files.begin()->second;
    fs::remove_all(dir_ / "parts");
  }
}

TEST_F(DefinitionMessagesTest, AnEmptyFolderIncludedIsNamed) {
  fs::create_directories(dir_ / "empty");
  EXPECT_EQ(WarningsOf({{"main.txt", "#root[ #include[ file: empty; ]; ]"}}),
            std::vector<std::string>{"main.txt:1:18: warning: include 'empty' reads nothing: the "
                                     "folder is empty"});
}

TEST_F(DefinitionMessagesTest, FileReadsAreBoundedPerParse) {
  // Nine files that each include their own folder are read in every order
  // that leaves out the files already open: far more than the bound.
  Files files{{"main.txt", "#root[ #include[ file: d; ]; ]"}};
  for (int i = 1; i <= 9; ++i) {
    files["d/f" + std::to_string(i) + ".txt"] = "#n[ #include[ file: ../d; ]; ]";
  }
  const auto start = std::chrono::steady_clock::now();
  const std::string error = ErrorOf(files);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_TRUE(error.starts_with("d/")) << error;
  EXPECT_NE(error.find(".txt:1:15: include '../d' stops the parse: 10000 file reads, the most "
                       "one parse makes"),
            std::string::npos)
      << error;
  EXPECT_LT(seconds, 20.0);
}

TEST(DefinitionTextTest, ValidUtf8IsDecodedAnythingElseIsLatin1) {
  const struct {
    std::string bytes;  // the value of "name"
    std::u16string name;
  } cases[] = {
      {"S\xC3\xBC"
       "d \xCE\xA9mega",
       u"S\u00FCd \u03A9mega"},
      {"\xF0\x9F\x9A\x80", u"\U0001F680"},  // beyond U+FFFF: a surrogate pair
      {"S\xFC"
       "d",
       u"S\u00FCd"},                                      // a lone Latin-1 byte
      {"\xC3\xBC \xFF", u"\u00C3\u00BC \u00FF"},          // one bad byte: all Latin-1
      {"\xC0\xAF", u"\u00C0\u00AF"},                      // an overlong form is no UTF-8
      {"\xED\xA0\x80", u"\u00ED\u00A0\u0080"},            // nor is an encoded surrogate
      {"\xF4\x90\x80\x80", u"\u00F4\u0090\u0080\u0080"},  // nor beyond U+10FFFF
      {"plain", u"plain"},
  };
  for (const auto& c : cases) {
    for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
      const std::string text = mark + "#r[ name: " + c.bytes + "; ]";
      auto stream =
          TRamStream::CreateCopy(std::vector<uint8_t>(text.begin(), text.end()), true, false);
      const dictnodeRef node = dictnode::parse(stream, u"/", u"", u"id");
      EXPECT_EQ(node->getvalue(u"name"), c.name) << c.bytes;
      EXPECT_EQ(node->name, u"r");
    }
  }
}

TEST_F(DefinitionMessagesTest, IncludedNamesInAUtf8TextAreItsUtf8Bytes) {
  // The including text is UTF-8 (it holds "é"), the included file's name on
  // disk is the UTF-8 of "café.txt"; a Latin-1 text names it byte by byte.
  const std::string cafe = "caf\xC3\xA9.txt";
  for (const std::string& main : {"#root[ name: \xC3\xA9; #include[ file: " + cafe + "; ]; ]",
                                  "#root[ name: \xE9; #include[ file: " + cafe + "; ]; ]"}) {
    Write({{"main.txt", main}, {cafe, "#found[ ]"}});
    const dictnodeRef root = dictnode::parsefile(u"./main.txt", u"id");
    ASSERT_NE(root, nullptr);
    const dictnodeRef include = root->getnode(u"include");
    ASSERT_NE(include, nullptr);
    EXPECT_NE(include->getnode(u"found"), nullptr) << main;
  }
}

}  // namespace
}  // namespace skyloom
