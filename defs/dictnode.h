// Definition files: a small text format of nested, named nodes holding
// "key: value" entries, parsed into a tree of dictnode objects. Nodes can
// include further files and directories and inherit from a copied sibling.
//
//   #root[ #body[ id: sun; name: "Sol"; ]; #body copyof: sun[ name: Moon; ]; ];
//
// Everything before the first "#" is ignored; "<" and ">" enclose (nesting)
// comments; double quotes protect ";", "#", "[", "]", "<", ">" and spaces and
// are removed from values. A node named "include" reads the files (or every
// file of the directories) named by its "file" entries, relative to the file
// being parsed, as its children.
//
// Lookups: getvalue / getvalues by lower-case key, getnode / getnodes by
// name (case-sensitive). A repeated key finds its last occurrence; lists run
// from the last occurrence to the first.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "defs/bintree.h"
#include "defs/definition_text.h"
#include "runtime/stream.h"

namespace skyloom {

class dictnode;
using dictnodeRef = std::shared_ptr<dictnode>;

// What one parse read: every file it opened or tried to open (the top file
// first, then each included file in reading order, also one that is missing)
// and every folder an include listed, as the paths the parser used. A caller
// that shows a definition watches these to notice edits, files created and
// files added to or removed from an included folder included.
struct DefinitionSources {
  std::vector<std::u16string> files;
  std::vector<std::u16string> directories;
};

// One entry of a node: the lower-cased key and its value.
class dictnodedata : public Object {
 public:
  dictnodedata() = default;
  dictnodedata(std::u16string n, std::u16string v) : name(std::move(n)), value(std::move(v)) {}
  static std::shared_ptr<dictnodedata> Create(std::u16string name, std::u16string value);

  std::u16string name;
  std::u16string value;
  // Where the entry's key stands in its node's file (0 when not read).
  int line = 0;
  int column = 0;
};

class dictnode : public Object {
 public:
  // Nodes (counting every level of included files) nested deeper than this
  // stop the parse with a DefinitionParseError.
  static constexpr int MAX_DEPTH = 1000;
  // One parse opens at most this many files (the first one included); an
  // include past it stops the parse with a DefinitionParseError.
  static constexpr int MAX_FILE_READS = 10000;

  dictnode();
  // Releases a long chain of copy links without recursion.
  ~dictnode() override;
  dictnode(const dictnode&) = delete;
  dictnode& operator=(const dictnode&) = delete;

  // Opens path (a file path or an "incbin::" resource name) and parses one
  // node from it; null when it cannot be opened. Raises DefinitionTextEnds
  // (the stream's "Error reading from stream") when the text ends early and
  // DefinitionParseError for a text it refuses, both telling where. Likely
  // mistakes are added to warnings, in the order found, when it is given. The
  // text is read as UTF-8 when it is valid UTF-8, else as Latin-1; an included
  // file's name is taken in the including text's encoding. When sources is
  // given, the files and folders read are added to it, also those read before
  // a failure.
  static dictnodeRef parsefile(const std::u16string& path, const std::u16string& idkey,
                               std::vector<DefinitionWarning>* warnings = nullptr,
                               DefinitionSources* sources = nullptr);
  // Parses one node from the stream (the rest of it is held in memory while
  // parsing). dir ends with "/" and prefixes the paths of included files;
  // path is recorded in every node read and names the text in positions.
  // The stream is left just after the node's closing "]".
  static dictnodeRef parse(const StreamRef& stream, const std::u16string& dir,
                           const std::u16string& path, const std::u16string& idkey);
  // Reads one node from the stream into this node. Returns 0.
  int doparse(const StreamRef& stream, const std::u16string& dir, const std::u16string& idkey);

  // Value of the last occurrence of key here, else in the copied node
  // (and its copy, ...), else "". key must be lower case.
  std::u16string getvalue(const std::u16string& key);
  // The copied nodes' values first (deepest copy first), then this node's,
  // each from the last occurrence to the first.
  std::vector<std::u16string> getvalues(const std::u16string& key);
  // The last child of that name, else the copied node's; null when none.
  dictnodeRef getnode(const std::u16string& name);
  // This node's children of that name (last first), then the copied node's.
  std::vector<dictnodeRef> getnodes(const std::u16string& name);

  // Writes the subtree with PrintLine: "indent name[ copyof: other]", then
  // "key: value" per entry and each child, both indented two more spaces and
  // in ascending key order (last occurrence first). Returns 0.
  int output(const std::u16string& indent);

  // A colour written as text to 0xAARRGGBB: "#RRGGBB" / "$.." / "%.." (hex,
  // no alpha added), "r,g,b" (integers) or "r,g,b" with "." (fractions of
  // 255), else a plain integer.
  static int32_t colorvalue(const std::u16string& text);

  std::u16string name = u"ROOT";
  // The sibling this node copies; set once its parent's body has been read.
  // A link that would close a cycle of copies is refused (left null).
  dictnodeRef copyof;
  std::u16string copyofname;
  BinTree nodes{1};  // children by name
  BinTree data{1};   // dictnodedata entries by key
  std::u16string path;
  // Where the node's "#" stands in the file at path (0 when not read).
  int line = 0;
  int column = 0;
};

}  // namespace skyloom
