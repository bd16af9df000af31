// The definition parser and its lookups: statements and entries, comments and
// quotes, child nodes, copies, includes of files and directories, the tree
// dump, colour values, and the refusals of malformed or hostile input.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "defs/dictnode.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

StreamRef Over(const std::string& text) {
  return TRamStream::CreateCopy(std::vector<uint8_t>(text.begin(), text.end()), true, false);
}

dictnodeRef Parse(const std::string& text, const char16_t* idkey = u"id") {
  return dictnode::parse(Over(text), u"/", u"", idkey);
}

// Entries in the order output() writes them: "key=value".
std::vector<std::string> Entries(dictnode& node) {
  std::vector<std::string> out;
  if (!node.data.root) return out;
  for (const BinNodeDataRef& chain : node.data.root->inorder()) {
    for (const BinNodeData* e = chain.get(); e; e = e->nxt.get()) {
      auto& entry = static_cast<const dictnodedata&>(*e->data);
      out.push_back(ToUtf8(entry.name) + "=" + ToUtf8(entry.value));
    }
  }
  return out;
}

std::vector<std::string> Utf8(const std::vector<std::u16string>& texts) {
  std::vector<std::string> out;
  for (const auto& t : texts) out.push_back(ToUtf8(t));
  return out;
}

// What output() prints, one element per line, line ends removed.
std::vector<std::string> Dump(dictnode& node) {
  testing::internal::CaptureStdout();
  node.output(u"");
  const std::string text = testing::internal::GetCapturedStdout();
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

using Lines = std::vector<std::string>;

TEST(DictNodeTest, BodiesBecomeEntries) {
  struct Case {
    std::string body;
    Lines entries;
  };
  const Case cases[] = {
      {"radius: 17;", {"radius=17"}},
      {"Radius : 17 ;", {"radius=17"}},
      {"name: \"Sol 1\";", {"name=Sol 1"}},
      {"name: \" padded \";", {"name= padded "}},
      {"note: \"a;b\";", {"note=a;b"}},
      {"note: \"<#[]>\";", {"note=<#[]>"}},
      {"visible;", {"visible="}},
      {"time: 12:30;", {"time=12:30"}},
      {"x: 1; x: 2;", {"x=2", "x=1"}},
      {"a: 1", {"a=1"}},
      {"<note <nested> with ; and # inside> a: 1;", {"a=1"}},
      {"a: 1 <comment> ;; ; b:2", {"a=1", "b=2"}},
      {"> a: 1;", {"a=1"}},       // a stray ">" leaves the depth negative
      {"\"x;y\": 1;", {"\"x="}},  // a ";" before the ":" ends the key
      {"\t\r\n A\xC9Z: V\xC9 \r\n", {"a\xC3\xA9z=V\xC3\x89"}},  // bytes are Latin-1
      {"", {}},
  };
  for (const Case& c : cases) {
    dictnodeRef node = Parse("#n[" + c.body + "]");
    EXPECT_EQ(Entries(*node), c.entries) << c.body;
    EXPECT_EQ(node->name, u"n");
  }
}

TEST(DictNodeTest, HeadersGiveNameAndCopyReference) {
  struct Case {
    std::string header;
    std::u16string name;
    std::u16string copyofname;
  };
  const Case cases[] = {
      {"body", u"body", u""},
      {"\tBody\r\n", u"Body", u""},
      {" body", u"", u""},  // the name ends at the first space
      {"body copyof: earth ", u"body", u"earth"},
      {"body   copyof:earth", u"body", u"earth"},
      {"body Copyof: earth", u"body", u""},
      {"body note copyof: earth", u"body", u""},
      {"two words", u"two", u""},
  };
  for (const Case& c : cases) {
    dictnodeRef node = Parse("text before is ignored #" + c.header + "[]");
    EXPECT_EQ(node->name, c.name) << c.header;
    EXPECT_EQ(node->copyofname, c.copyofname) << c.header;
  }
}

TEST(DictNodeTest, TheEmbeddedSystemDefinition) {
  const std::string text =
      "#root[\r\n\t#body[\r\n\t\tname: \"Sol\";\r\n\t\tradius: 17;\r\n\t\tx: 0;\r\n\t\ty: 0;\r\n"
      "\t\t#body[\r\n\t\t\tname: \"Sol 1\";\r\n\t\t\tradius: 7;\r\n\t\t\torbitdist: 110;\r\n"
      "\t\t\torbitangle: 40;\r\n\t\t\torbitscalex: 1.5;\r\n\t\t\torbitscaley: 0.5;\r\n"
      "\t\t\torbitmovex: 40;\r\n\t\t\torbitmovey: 20;\r\n\t\t\torbitrot: 45;\r\n"
      "\t\t\trevspeed: 0.25;\r\n\t\t];\r\n\t];\r\n];";
  ASSERT_EQ(text.size(), 285u);
  dictnodeRef root = Parse(text);
  EXPECT_EQ(root->name, u"root");
  EXPECT_TRUE(Entries(*root).empty());
  dictnodeRef sun = root->getnode(u"body");
  ASSERT_NE(sun, nullptr);
  EXPECT_EQ(Entries(*sun), (Lines{"name=Sol", "radius=17", "x=0", "y=0"}));
  ASSERT_EQ(sun->getnodes(u"body").size(), 1u);
  dictnodeRef planet = sun->getnode(u"body");
  EXPECT_EQ(planet->data.countvalues(), 10);
  EXPECT_EQ(planet->getvalue(u"name"), u"Sol 1");
  EXPECT_EQ(planet->getvalue(u"revspeed"), u"0.25");
  EXPECT_EQ(planet->getnode(u"body"), nullptr);
}

TEST(DictNodeTest, ChildrenAreFoundByExactNameLastFirst) {
  dictnodeRef node = Parse("#n[ #Body[ ] #x[ i: 1 ]; #x[ i: 2 ]; stray text #x[ i: 3 ] tail ]");
  EXPECT_NE(node->getnode(u"Body"), nullptr);
  EXPECT_EQ(node->getnode(u"body"), nullptr);
  std::vector<std::u16string> order;
  for (const dictnodeRef& x : node->getnodes(u"x")) order.push_back(x->getvalue(u"i"));
  EXPECT_EQ(order, (std::vector<std::u16string>{u"3", u"2", u"1"}));
  EXPECT_EQ(node->getvalue(u"i"), u"");
  // Text before a child without ";" goes with the child's header.
  EXPECT_EQ(Entries(*node), (Lines{"tail="}));
}

TEST(DictNodeTest, CopiesInheritEntriesAndChildren) {
  dictnodeRef node = Parse(
      "#n[ #body[ id: earth; radius: 5; tag: e1; tag: e2; #ring[] ];"
      " #body copyof: earth[ id: moon; tag: m1; tag: m2; ]; ]");
  std::vector<dictnodeRef> bodies = node->getnodes(u"body");
  ASSERT_EQ(bodies.size(), 2u);
  dictnodeRef moon = bodies[0];
  EXPECT_EQ(moon->copyof, bodies[1]);
  EXPECT_EQ(moon->getvalue(u"radius"), u"5");
  EXPECT_EQ(moon->getvalue(u"id"), u"moon");
  EXPECT_EQ(moon->getvalue(u"absent"), u"");
  EXPECT_EQ(Utf8(moon->getvalues(u"tag")), (Lines{"e2", "e1", "m2", "m1"}));
  EXPECT_EQ(moon->getnode(u"ring"), bodies[1]->getnode(u"ring"));
  EXPECT_EQ(moon->getnodes(u"ring").size(), 1u);
  EXPECT_EQ(Dump(*node), (Lines{"n", "  body copyof: body", "    id: moon", "    tag: m2",
                                "    tag: m1", "  body", "    id: earth", "    radius: 5",
                                "    tag: e2", "    tag: e1", "    ring"}));
}

TEST(DictNodeTest, CopyResolution) {
  struct Case {
    std::string body;
    const char16_t* idkey;
    const char16_t* child;   // name of the child examined
    const char16_t* copied;  // name of the node it copies, or nullptr
  };
  const Case cases[] = {
      {"#a copyof: mars[ ]", u"id", u"a", nullptr},
      {"#a copyof: x[] #b[ id: x; ] #c[ id: x; ]", u"id", u"a", u"c"},  // read last wins
      {"#a copyof: x[] #b[ key: x; ]", u"key", u"a", u"b"},
      {"#a copyof: x[] #b[ id: x; ]", u"key", u"a", nullptr},
      {"#b[ id: x; ] #a copyof: x[]", u"id", u"a", u"b"},  // order in the text is free
      // An identity inherited through a copy does not count.
      {"#a[ id: x; ] #b copyof: x[] #c copyof: b[]", u"id", u"c", nullptr},
  };
  for (const Case& c : cases) {
    dictnodeRef node = Parse("#n[" + c.body + "]", c.idkey);
    dictnodeRef child = node->getnode(c.child);
    ASSERT_NE(child, nullptr) << c.body;
    if (c.copied) {
      ASSERT_NE(child->copyof, nullptr) << c.body;
      EXPECT_EQ(child->copyof->name, c.copied) << c.body;
    } else {
      EXPECT_EQ(child->copyof, nullptr) << c.body;
    }
  }
}

TEST(DictNodeTest, CopyCyclesAreRefusedSoLookupsEnd) {
  struct Case {
    std::string body;
    int links;  // how many copy links are kept
  };
  const Case cases[] = {
      {"#a copyof: a[ id: a; ]", 0},
      {"#a copyof: b[ id: a; ] #b copyof: a[ id: b; ]", 1},
      {"#a copyof: c[ id: a; ] #b copyof: a[ id: b; ] #c copyof: b[ id: c; ]", 2},
      {"#a copyof: x[ id: x; ] #b copyof: x[ id: x; ]", 1},
  };
  for (const Case& c : cases) {
    dictnodeRef node = Parse("#n[" + c.body + "]");
    int links = 0;
    for (const char16_t* name : {u"a", u"b", u"c"}) {
      dictnodeRef child = node->getnode(name);
      if (!child) continue;
      if (child->copyof) ++links;
      EXPECT_EQ(child->getvalue(u"absent"), u"") << c.body;
      EXPECT_TRUE(child->getvalues(u"absent").empty());
      EXPECT_EQ(child->getnode(u"absent"), nullptr);
    }
    EXPECT_EQ(links, c.links) << c.body;
  }
}

TEST(DictNodeTest, LongCopyChainsAndWideBodies) {
  // Each sibling copies the one before it: lookups walk the whole chain, and
  // releasing the tree must not recurse along it.
  constexpr int kSiblings = 100000;
  std::string text = "#n[ #s[ id: 0; deep: yes; ]";
  for (int i = 1; i < kSiblings; ++i) {
    text += "#s copyof: " + std::to_string(i - 1) + "[ id: " + std::to_string(i) + "; ]";
  }
  text += "]";
  dictnodeRef node = Parse(text);
  dictnodeRef last = node->getnode(u"s");
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->getvalue(u"id"), u"99999");
  EXPECT_EQ(last->getvalue(u"deep"), u"yes");
  EXPECT_EQ(last->getvalues(u"id").size(), size_t(kSiblings));
  EXPECT_EQ(last->getvalues(u"id").front(), u"0");
  node.reset();
  EXPECT_EQ(last->getvalue(u"deep"), u"yes");  // the chain stays alive with the node held
}

TEST(DictNodeTest, ParseStopsAfterTheOutermostNode) {
  StreamRef stream = Over("#a[ x: 1; #b[]; ];#c[]");
  dictnodeRef a = dictnode::parse(stream, u"/", u"mem", u"id");
  EXPECT_EQ(a->path, u"mem");
  EXPECT_EQ(a->getnode(u"b")->path, u"mem");
  EXPECT_EQ(stream->Pos(), 17);
  dictnodeRef c = dictnode::parse(stream, u"/", u"mem", u"id");
  EXPECT_EQ(c->name, u"c");
}

TEST(DictNodeTest, IncompleteTextsRaiseTheStreamError) {
  for (const std::string text :
       {"", "no node here", "#a", "#a[ x: 1;", "#a[ #b[ ]", "#a[ \"]\" "}) {
    try {
      Parse(text);
      ADD_FAILURE() << "no error for " << text;
    } catch (const TStreamReadException& e) {
      EXPECT_STREQ(e.what(), "Error reading from stream");
    }
  }
}

TEST(DictNodeTest, AStrayOpeningBracketIsAParseError) {
  struct Case {
    std::string text;
    std::string offset;
  };
  const Case cases[] = {
      {"#a[ x[ ]", "byte 5"},
      {"#a[ #b[]; [ ]", "byte 10"},
      {"#a[ #b[ [ ] ]", "byte 8"},
  };
  for (const Case& c : cases) {
    try {
      Parse(c.text);
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const DefinitionParseError& e) {
      EXPECT_NE(std::string(e.what()).find(c.offset), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("\"[\""), std::string::npos) << e.what();
    }
  }
  // Quoted or commented, a "[" is ordinary text.
  EXPECT_EQ(Entries(*Parse("#a[ x: \"[\"; <[> ]")), (Lines{"x=["}));
}

TEST(DictNodeTest, NestingIsLimited) {
  auto nested = [](int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += "#n[";
    return text + std::string(levels, ']');
  };
  dictnodeRef root = Parse(nested(dictnode::MAX_DEPTH));
  int depth = 0;
  for (dictnodeRef n = root; n; n = n->getnode(u"n")) ++depth;
  EXPECT_EQ(depth, dictnode::MAX_DEPTH);
  EXPECT_THROW(Parse(nested(dictnode::MAX_DEPTH + 1)), DefinitionParseError);
  EXPECT_THROW(Parse(nested(100000)), DefinitionParseError);
}

TEST(DictNodeTest, ColourValues) {
  struct Case {
    const char16_t* text;
    uint32_t argb;
  };
  const Case cases[] = {
      {u"#FF8000", 0x00FF8000u},    {u" $ff8000 ", 0x00FF8000u},
      {u"%80FF8000", 0x80FF8000u},  {u"#", 0u},
      {u"255,128,0", 0xFFFF8000u},  {u"1.0, 0.5, 0", 0xFFFF7F00u},
      {u"256, -1, 7", 0xFF00FF07u},  // each component keeps its low 8 bits
      {u"10,20", 0xFF0A1400u},      {u"1,2,3,4", 0xFF010203u},
      {u"1 2 3", 0xFF010000u},  // split at commas only
      {u"x,y,z", 0xFF000000u},      {u"12345", 12345u},
      {u"-1", 0xFFFFFFFFu},         {u"", 0u},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<uint32_t>(dictnode::colorvalue(c.text)), c.argb) << ToUtf8(c.text);
  }
}

// Files made in a fresh temporary folder for the include tests.
class DictNodeFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("skyloom_defs_" + std::to_string(::getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::u16string Write(const std::string& relative, const std::string& text) {
    const fs::path path = dir_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return FromBytes(path.string());
  }

  static std::vector<std::u16string> ChildNames(dictnode& node) {
    std::vector<std::u16string> names;
    for (auto e = node.nodes.KeyEnumerator(); e->HasNext();) {
      names.push_back(static_cast<StringObject&>(*e->NextObject()).value);
    }
    return names;
  }

  fs::path dir_;
};

TEST_F(DictNodeFilesTest, IncludesFilesAndDirectoriesRelativeToTheIncludingFile) {
  const std::u16string main = Write(
      "defs/main.txt", "#main[ #include[ file: more.txt; file: parts; file: missing.txt; ]; ]");
  Write("defs/more.txt", "#more[ a: 1; ]");
  Write("defs/parts/one.txt", "#one[ #include[ file: sub/two.txt ] ]");
  Write("defs/parts/sub/two.txt", "#two[ b: 2; ]");
  Write("defs/parts/three.def", "#three[]");

  dictnodeRef root = dictnode::parsefile(main, u"id");
  ASSERT_NE(root, nullptr);
  dictnodeRef include = root->getnode(u"include");
  ASSERT_NE(include, nullptr);
  EXPECT_EQ(ChildNames(*include), (std::vector<std::u16string>{u"more", u"one", u"three"}));
  EXPECT_EQ(include->getnode(u"more")->getvalue(u"a"), u"1");
  EXPECT_EQ(include->getnode(u"more")->path, FromBytes((dir_ / "defs/more.txt").string()));
  // parts/one.txt includes sub/two.txt relative to parts/, not to defs/.
  dictnodeRef two = include->getnode(u"one")->getnode(u"include")->getnode(u"two");
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(two->getvalue(u"b"), u"2");
}

// What a parse read, for watching: every file tried (also a missing one and
// one that breaks the parse) and every folder listed, whatever the outcome.
TEST_F(DictNodeFilesTest, RecordsEveryFileAndFolderItReads) {
  const std::u16string main = Write(
      "defs/main.txt", "#main[ #include[ file: more.txt; file: parts; file: missing.txt; ]; ]");
  Write("defs/more.txt", "#more[ a: 1; ]");
  Write("defs/parts/one.txt", "#one[ #include[ file: sub/two.txt ] ]");
  Write("defs/parts/sub/two.txt", "#two[ b: 2; ]");
  Write("defs/parts/three.def", "#three[]");
  const std::u16string broken = Write("broken.txt", "#b[ #include[ file: bad.txt; ]; ]");
  Write("bad.txt", "#bad[ never closed ");
  const auto path = [&](const std::string& relative) {
    return FromBytes((dir_ / relative).string());
  };
  const auto sorted = [](std::vector<std::u16string> paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
  };
  struct Case {
    const char* name;
    std::u16string top;
    std::vector<std::u16string> files;  // in any order
    std::vector<std::u16string> directories;
  };
  const Case cases[] = {
      {"files, a folder and a nested include",
       main,
       {main, path("defs/more.txt"), path("defs/missing.txt"), path("defs/parts/one.txt"),
        path("defs/parts/sub/two.txt"), path("defs/parts/three.def")},
       {path("defs/parts")}},
      {"a missing top file", path("absent.txt"), {path("absent.txt")}, {}},
      {"an included file that breaks the parse", broken, {broken, path("bad.txt")}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DefinitionSources sources;
    try {
      dictnode::parsefile(c.top, u"id", nullptr, &sources);
    } catch (const TStreamReadException&) {
    }
    EXPECT_EQ(sources.files.front(), c.top) << "the top file first";
    EXPECT_EQ(sorted(sources.files), sorted(c.files));
    EXPECT_EQ(sources.directories, c.directories);
  }
}

TEST_F(DictNodeFilesTest, ParseFileOfAMissingPathGivesNull) {
  EXPECT_EQ(dictnode::parsefile(FromBytes((dir_ / "absent.txt").string()), u"id"), nullptr);
  EXPECT_EQ(dictnode::parsefile(FromBytes(dir_.string()), u"id"), nullptr);
}

TEST_F(DictNodeFilesTest, ParseFileRaisesTheStreamErrorForATextWithoutANode) {
  EXPECT_THROW(dictnode::parsefile(Write("empty.txt", "nothing"), u"id"), TStreamReadException);
}

TEST_F(DictNodeFilesTest, IncludeCyclesAreSkipped) {
  const std::u16string self =
      Write("self.txt", "#self[ #include[ file: self.txt; file: ./self.txt ] ]");
  dictnodeRef root = dictnode::parsefile(self, u"id");
  ASSERT_NE(root, nullptr);
  EXPECT_TRUE(ChildNames(*root->getnode(u"include")).empty());

  const std::u16string a = Write("a.txt", "#a[ #include[ file: b.txt ] ]");
  Write("b.txt", "#b[ #include[ file: a.txt; file: c.txt ] ]");
  Write("c.txt", "#c[ #include[ file: b.txt ] ]");
  root = dictnode::parsefile(a, u"id");
  dictnodeRef b = root->getnode(u"include")->getnode(u"b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(ChildNames(*b->getnode(u"include")), (std::vector<std::u16string>{u"c"}));
  dictnodeRef c = b->getnode(u"include")->getnode(u"c");
  EXPECT_TRUE(ChildNames(*c->getnode(u"include")).empty());

  // The same file twice, not nested, is read twice.
  const std::u16string twice =
      Write("twice.txt", "#t[ #include[ file: leaf.txt; file: leaf.txt ] ]");
  Write("leaf.txt", "#leaf[]");
  EXPECT_EQ(dictnode::parsefile(twice, u"id")->getnode(u"include")->getnodes(u"leaf").size(), 2u);
}

TEST_F(DictNodeFilesTest, ToolPrintsTheTreeAndReportsFailures) {
  const fs::path tool = fs::path(SKYLOOM_BINARY_DIR) / "bin" / "skyloom-defs";
  if (!fs::exists(tool)) GTEST_SKIP() << "skyloom-defs is not built";
  const std::u16string good = Write("good.txt", "#n[ #b[ key: 1; ]; #c copyof: 1[]; ]");
  const std::u16string bad = Write("bad.txt", "#n[ x[ ]");
  auto run = [&](const std::string& args, int& status) {
    const std::string command = tool.string() + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[256];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    status = WEXITSTATUS(pclose(pipe));
    return out;
  };
  int status = -1;
  EXPECT_EQ(run("--id key " + ToUtf8(good), status), "n\r\n  b\r\n    key: 1\r\n  c copyof: b\r\n");
  EXPECT_EQ(status, 0);
  EXPECT_NE(run(ToUtf8(bad), status).find("byte 5"), std::string::npos);
  EXPECT_EQ(status, 1);
  EXPECT_NE(run(ToUtf8(good) + ".missing", status).find("cannot open"), std::string::npos);
  EXPECT_EQ(status, 1);
  EXPECT_NE(run("--help", status).find("usage"), std::string::npos);
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace skyloom
