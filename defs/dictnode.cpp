// The definition parser: reads nodes character by character from the text
// held in memory, turns statements into entries, reads child nodes by seeking
// back to their "#", resolves copies among siblings, follows includes, and
// warns about likely mistakes where they stand.
#include "defs/dictnode.h"

#include <filesystem>
#include <string>
#include <unordered_map>
#include <utility>

#include "defs/hashtable.h"
#include "runtime/console.h"
#include "runtime/open.h"
#include "runtime/paths.h"
#include "runtime/strings.h"

namespace skyloom {

namespace {

constexpr int kSiblingBuckets = 256;
constexpr std::u16string_view kCopyPrefix = u"copyof:";

// Reads a definition text character by character. Positions are byte
// offsets into the text; Finish leaves the stream just after the last
// character handed out.
class DefinitionReader {
 public:
  explicit DefinitionReader(DefinitionText& text) : text_(text), cur_(text.Begin()) {}

  // The next character; DefinitionTextEnds at the end of the text.
  char16_t ReadChar() {
    if (cur_ >= text_.End()) throw DefinitionTextEnds(text_.PositionOf(text_.End()));
    last_ = cur_;
    int64_t next = cur_;
    const char16_t c = text_.CharAt(cur_, next, lowhalf_);
    lowhalf_ = !lowhalf_ && c >= 0xD800 && c < 0xDC00;
    if (!lowhalf_) cur_ = next;
    return c;
  }

  // The offset after the last character read, and where that one began.
  int64_t Pos() const { return cur_; }
  int64_t LastStart() const { return last_; }

  void Seek(int64_t pos) {
    cur_ = pos;
    lowhalf_ = false;
  }

  SourcePosition PositionOf(int64_t offset) { return text_.PositionOf(offset); }
  DefinitionText& Text() { return text_; }

  void Finish(TStream& stream) { stream.Seek(text_.StreamStart() + cur_); }

 private:
  DefinitionText& text_;
  int64_t cur_;
  int64_t last_ = 0;
  bool lowhalf_ = false;  // the low half of a surrogate pair comes next
};

// What one parse shares across nested nodes and included files.
struct ParseState {
  int depth = 0;
  int filereads = 0;
  std::vector<std::string> openfiles;    // files being parsed, outermost first
  DefinitionSources* sources = nullptr;  // where to record what is read; may be null
  std::vector<DefinitionWarning>* warnings = nullptr;
};

void Warn(ParseState& state, const SourcePosition& at, const std::string& message) {
  if (state.warnings) state.warnings->push_back({at, message});
}

SourcePosition PositionOf(const dictnode& node) {
  return SourcePosition{node.path, node.line, node.column};
}

// "FILE:LINE:COLUMN: MESSAGE (byte N)" for the text at offset.
std::string Located(DefinitionReader& reader, int64_t offset, const std::string& message) {
  const SourcePosition at = reader.PositionOf(offset);
  return at.Message(message + " (byte " + std::to_string(at.byte) + ")");
}

class DepthGuard {
 public:
  DepthGuard(ParseState& state, DefinitionReader& reader) : state_(state) {
    if (++state_.depth > dictnode::MAX_DEPTH) {
      --state_.depth;
      throw DefinitionParseError(
          Located(reader, reader.Pos(),
                  "nodes nested deeper than " + std::to_string(dictnode::MAX_DEPTH) + " levels"));
    }
  }
  ~DepthGuard() { --state_.depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  ParseState& state_;
};

// A stable name for a file, so that one reached along different spellings of
// its path is recognised; resource URLs are taken as they stand.
std::string FileIdentity(const std::u16string& path) {
  std::string bytes = ToBytes(path);
  if (path.find(u"::") != std::u16string::npos) return bytes;
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(bytes, error);
  return error ? bytes : canonical.string();
}

void ReadNode(dictnode& node, DefinitionReader& reader, ParseState& state,
              const std::u16string& dir, const std::u16string& idkey);

dictnodeRef ParseNode(DefinitionReader& reader, ParseState& state, const std::u16string& dir,
                      const std::u16string& path, const std::u16string& idkey) {
  auto node = std::make_shared<dictnode>();
  node->path = path;
  ReadNode(*node, reader, state, dir, idkey);
  return node;
}

// The text after a file's node, when there is any besides spaces, ";" and
// comments, is not read: it is named in a warning.
void WarnAboutTextAfterNode(DefinitionReader& reader, ParseState& state, bool included) {
  DefinitionText& text = reader.Text();
  int depth = 0;
  for (int64_t at = reader.Pos(), next = at; at < text.End(); at = next) {
    const char16_t c = text.CharAt(at, next);
    if (c == u'<') {
      ++depth;
    } else if (c == u'>') {
      --depth;
    } else if (depth <= 0 && c > 32 && c != u';') {
      Warn(state, text.PositionOf(at),
           included && c == u'#'
               ? "more than one top-level node in an included file; only the first is read"
               : "text after the root node is ignored");
      return;
    }
  }
}

// Opens and parses a file; null when it cannot be opened, is a directory, or
// is already being parsed further out (an include cycle), with the reason in
// whynot.
dictnodeRef ParseFile(const std::u16string& path, const std::u16string& idkey, ParseState& state,
                      std::string& whynot, const SourcePosition* includedat = nullptr) {
  if (IsDirectory(path)) {
    whynot = "it is a folder";
    return nullptr;
  }
  // Recorded even when it cannot be opened: creating it changes what parses.
  if (state.sources) state.sources->files.push_back(path);
  std::string identity = FileIdentity(path);
  for (const std::string& open : state.openfiles) {
    if (open == identity) {
      whynot = "the file is already being read (an include cycle)";
      return nullptr;
    }
  }
  OpenFailure failure;
  StreamRef stream = OpenInput(path, failure);
  if (!stream) {
    // A device or a runaway source would be read forever: stop the parse
    // and name it, the included file by its path.
    if (failure.refused) {
      const std::string refused = ToUtf8(path) + ": " + failure.reason;
      throw DefinitionParseError(includedat ? includedat->Message("include " + refused) : refused);
    }
    whynot = "cannot open the file: " + failure.reason;
    return nullptr;
  }
  ++state.filereads;
  state.openfiles.push_back(std::move(identity));
  struct Pop {
    ParseState& state;
    ~Pop() { state.openfiles.pop_back(); }
  } pop{state};
  DefinitionText text(*stream, path);
  DefinitionReader reader(text);
  dictnodeRef node = ParseNode(reader, state, IncludeFolder(path), path, idkey);
  WarnAboutTextAfterNode(reader, state, state.openfiles.size() > 1);
  if (!node->copyofname.empty()) {
    Warn(state, PositionOf(*node),
         "copyof: '" + Excerpt(node->copyofname) +
             "' names no sibling's id (the first node of a file has no siblings)");
  }
  reader.Finish(*stream);
  stream->Close();
  return node;
}

// Name and copy reference from the header text between "#" and "[".
void ReadHeader(dictnode& node, const std::u16string& header) {
  const size_t space = header.find(u' ');
  node.name = Trim(std::u16string_view(header).substr(0, space));
  node.copyofname.clear();
  if (space == std::u16string::npos) return;
  const std::u16string rest = Trim(std::u16string_view(header).substr(space + 1));
  if (rest.starts_with(kCopyPrefix)) node.copyofname = Trim(rest.substr(kCopyPrefix.size()));
}

// The view without the characters of code 32 or less at both ends.
std::u16string_view TrimView(std::u16string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && text[begin] <= 32) ++begin;
  while (end > begin && text[end - 1] <= 32) --end;
  return text.substr(begin, end - begin);
}

// Turns one statement into an entry of node.data (empty statements are
// skipped). Entries go in as their statements end: the node's own entries
// are not read while its body is, so this equals inserting them all at "]".
void AddEntry(dictnode& node, std::u16string_view statement, const SourcePosition& at,
              ParseState& state) {
  const std::u16string_view text = TrimView(statement);
  if (text.empty()) return;
  const size_t colon = text.find(u':');
  const size_t semicolon = text.find(u';');
  std::u16string key;
  std::u16string value;
  if (colon == std::u16string::npos) {
    key = ToLower(text);
    Warn(state, at, "'" + Excerpt(text) + "' has no ':'; it is read as a key with an empty value");
  } else if (semicolon < colon) {
    key = ToLower(TrimView(text.substr(0, semicolon)));
  } else {
    key = ToLower(TrimView(text.substr(0, colon)));
    const std::u16string_view rest = TrimView(text.substr(colon + 1));
    value.reserve(rest.size());
    for (char16_t c : rest) {
      if (c != u'"') value += c;
    }
  }
  auto entry = dictnodedata::Create(key, std::move(value));
  entry->line = at.line;
  entry->column = at.column;
  node.data.insert(key, std::move(entry), -1);
}

// Links each child that names a copy to the sibling with that identity,
// refusing a link that would close a cycle of copies. Copy chains form a
// forest; a union-find over chain ends makes each check nearly constant.
//
// The sibling table is filled here, in reading order, with at least
// kSiblingBuckets buckets and more for wide bodies: the entry found for an
// identity is the sibling read last whatever the bucket count, and a wide
// body no longer costs time quadratic in its width.
void ResolveCopies(dictnode& node, const std::vector<std::pair<std::u16string, dictnodeRef>>& ids,
                   ParseState& state) {
  if (!node.nodes.root) return;
  std::vector<dictnode*> children;
  bool anycopy = false;
  for (const BinNodeRef& entry : node.nodes.root->nodesinorder()) {
    for (const BinNodeData* e = entry->data.get(); e; e = e->nxt.get()) {
      auto* child = static_cast<dictnode*>(e->data.get());
      children.push_back(child);
      anycopy = anycopy || !child->copyofname.empty();
    }
  }
  if (!anycopy) return;
  int buckets = kSiblingBuckets;
  while (buckets < static_cast<int>(ids.size()) && buckets < (1 << 24)) buckets *= 2;
  HashTableRef siblings = HashTable::Create(buckets, hashstring);
  for (const auto& [id, child] : ids) siblings->insert(id, child);
  std::unordered_map<const dictnode*, size_t> index;
  for (size_t i = 0; i < children.size(); ++i) index.emplace(children[i], i);
  std::vector<size_t> chainend(children.size());
  for (size_t i = 0; i < chainend.size(); ++i) chainend[i] = i;
  auto find = [&chainend](size_t i) {
    size_t end = i;
    while (chainend[end] != end) end = chainend[end];
    while (chainend[i] != end) i = std::exchange(chainend[i], end);
    return end;
  };
  for (size_t i = 0; i < children.size(); ++i) {
    dictnode* child = children[i];
    if (child->copyofname.empty()) continue;
    auto target = std::static_pointer_cast<dictnode>(siblings->find(child->copyofname, -1));
    const std::string reference = "copyof: '" + Excerpt(child->copyofname) + "'";
    if (!target) {
      Warn(state, PositionOf(*child), reference + " names no sibling's id");
      continue;
    }
    const size_t end = find(index.at(target.get()));
    if (end == i) {
      Warn(state, PositionOf(*child), reference + " would close a cycle of copies; it is ignored");
      continue;
    }
    child->copyof = std::move(target);
    chainend[i] = end;
  }
}

// Warns about each identity given to more than one sibling: copies find the
// sibling read last.
void WarnAboutSharedIds(const std::vector<std::pair<std::u16string, dictnodeRef>>& ids,
                        ParseState& state) {
  if (!state.warnings) return;
  std::unordered_map<std::u16string_view, const dictnode*> first;
  for (const auto& [id, child] : ids) {
    if (id.empty()) continue;
    const auto [earlier, fresh] = first.emplace(id, child.get());
    if (fresh) continue;
    Warn(state, PositionOf(*child),
         "id '" + Excerpt(id) + "' is also given to a sibling at line " +
             std::to_string(earlier->second->line) + "; copies find the one read last");
  }
}

// The file name an include entry's value gives. The value is text; a
// UTF-8 text names the file by the UTF-8 bytes of its characters, a Latin-1
// text by one byte a character, as the file was written.
std::u16string IncludedName(const std::u16string& value, bool utf8) {
  return utf8 ? FromBytes(ToUtf8(value)) : value;
}

// Reads the children that the node's "file" entries name, when the node is
// an "include" node. An entry that reads nothing is named in a warning. A
// parse reads at most MAX_FILE_READS files.
void Include(dictnode& node, ParseState& state, const std::u16string& dir,
             const std::u16string& idkey, bool utf8) {
  for (const ObjectRef& value : node.data.findall(u"file", -1)) {
    const auto& entry = static_cast<const dictnodedata&>(*value);
    const SourcePosition at{node.path, entry.line, entry.column};
    const std::string quoted = "'" + Excerpt(entry.value) + "'";
    std::string whynot;
    auto insert = [&](const std::u16string& path) {
      if (state.filereads >= dictnode::MAX_FILE_READS) {
        throw DefinitionParseError(at.Message(
            "include " + quoted + " stops the parse: " + std::to_string(state.filereads) +
            " file reads, the most one parse makes"));
      }
      dictnodeRef child = ParseFile(path, idkey, state, whynot, &at);
      if (child) node.nodes.insert(child->name, child, -1);
      return child != nullptr;
    };
    const std::u16string p = dir + IncludedName(entry.value, utf8);
    if (!ExtensionOf(p).empty()) {
      if (!insert(p)) Warn(state, at, "include " + quoted + " reads nothing: " + whynot);
      continue;
    }
    if (state.sources) state.sources->directories.push_back(p);
    const std::vector<std::u16string> names = ListDirectory(p, true);
    int read = 0;
    for (const std::u16string& name : names) read += insert(p + u"/" + name) ? 1 : 0;
    if (read > 0) continue;
    if (!IsDirectory(p)) {
      whynot = "no folder of that name (a name without an extension is taken for a folder)";
    } else if (names.empty()) {
      whynot = "the folder is empty";
    } else {
      whynot = "no file in the folder can be read";
    }
    Warn(state, at, "include " + quoted + " reads nothing: " + whynot);
  }
}

void ReadNode(dictnode& node, DefinitionReader& reader, ParseState& state,
              const std::u16string& dir, const std::u16string& idkey) {
  DepthGuard guard(state, reader);
  while (reader.ReadChar() != u'#') {
  }
  const SourcePosition at = reader.PositionOf(reader.LastStart());
  node.line = at.line;
  node.column = at.column;
  std::u16string header;
  for (char16_t c; (c = reader.ReadChar()) != u'[';) header += c;
  ReadHeader(node, header);

  std::vector<std::pair<std::u16string, dictnodeRef>> ids;  // children by identity
  std::u16string text;
  int64_t textstart = -1;  // where the statement's first non-space character stands
  auto addentry = [&] {
    if (textstart >= 0) AddEntry(node, text, reader.PositionOf(textstart), state);
    text.clear();
    textstart = -1;
  };
  int depth = 0;
  bool quoted = false;
  int64_t childstart = -1;
  for (;;) {
    const char16_t c = reader.ReadChar();
    if (c == u'"' && depth <= 0) {
      quoted = !quoted;
    } else if (!quoted) {
      if (c == u'<') {
        ++depth;
        continue;
      }
      if (c == u'>') {
        --depth;
        continue;
      }
      if (depth > 0) continue;
      if (c == u'#') {
        childstart = reader.LastStart();
        continue;
      }
      if (c == u'[') {
        if (childstart < 0) {
          throw DefinitionParseError(
              Located(reader, reader.LastStart(), "\"[\" without a \"#\" of its own"));
        }
        reader.Seek(childstart);
        dictnodeRef child = ParseNode(reader, state, dir, node.path, idkey);
        ids.emplace_back(child->getvalue(idkey), child);
        node.nodes.insert(child->name, child, -1);
        text.clear();
        textstart = -1;
        childstart = -1;
        continue;
      }
      if (c == u']') break;
      if (c == u';') {
        addentry();
        continue;
      }
    }
    if (textstart < 0 && c > 32) textstart = reader.LastStart();
    text += c;
  }
  addentry();
  WarnAboutSharedIds(ids, state);
  ResolveCopies(node, ids, state);
  if (node.name == u"include") Include(node, state, dir, idkey, reader.Text().IsUtf8());
}

// Reads an integer the way the C library's atoi does: leading white space,
// a sign, then digits; 0 when there are none. Wraps at 32 bits.
int32_t ReadInteger(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= 9 && text[i] <= 13))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  uint32_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
  }
  return static_cast<int32_t>(negative ? 0u - value : value);
}

uint32_t ReadHex(std::u16string_view text) {
  uint32_t value = 0;
  for (char16_t c : text) {
    int digit;
    if (c >= u'0' && c <= u'9') {
      digit = c - u'0';
    } else if (c >= u'a' && c <= u'f') {
      digit = c - u'a' + 10;
    } else {
      break;
    }
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

// A fraction of 255 truncated toward zero; out-of-range values saturate.
int32_t ReadFraction(std::u16string_view text) {
  const float fraction = static_cast<float>(ParseDouble(text));
  const double scaled = static_cast<double>(fraction * 255.0f);
  if (!(scaled == scaled)) return 0;
  if (scaled >= 2147483647.0) return 2147483647;
  if (scaled <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(scaled);
}

}  // namespace

std::shared_ptr<dictnodedata> dictnodedata::Create(std::u16string name, std::u16string value) {
  return std::make_shared<dictnodedata>(std::move(name), std::move(value));
}

dictnode::dictnode() = default;

dictnode::~dictnode() {
  dictnodeRef next = std::move(copyof);
  while (next && next.use_count() == 1) next = std::move(next->copyof);
}

dictnodeRef dictnode::parsefile(const std::u16string& path, const std::u16string& idkey,
                                std::vector<DefinitionWarning>* warnings,
                                DefinitionSources* sources) {
  ParseState state;
  state.warnings = warnings;
  state.sources = sources;
  std::string whynot;
  return ParseFile(path, idkey, state, whynot);
}

dictnodeRef dictnode::parse(const StreamRef& stream, const std::u16string& dir,
                            const std::u16string& path, const std::u16string& idkey) {
  auto node = std::make_shared<dictnode>();
  node->path = path;
  node->doparse(stream, dir, idkey);
  return node;
}

int dictnode::doparse(const StreamRef& stream, const std::u16string& dir,
                      const std::u16string& idkey) {
  ParseState state;
  DefinitionText text(*stream, path);
  DefinitionReader reader(text);
  ReadNode(*this, reader, state, dir, idkey);
  reader.Finish(*stream);
  return 0;
}

std::u16string dictnode::getvalue(const std::u16string& key) {
  for (dictnode* n = this; n; n = n->copyof.get()) {
    if (ObjectRef entry = n->data.find(key, -1)) {
      return static_cast<const dictnodedata&>(*entry).value;
    }
  }
  return u"";
}

std::vector<std::u16string> dictnode::getvalues(const std::u16string& key) {
  std::vector<dictnode*> chain;
  for (dictnode* n = this; n; n = n->copyof.get()) chain.push_back(n);
  std::vector<std::u16string> values;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    for (const ObjectRef& entry : (*it)->data.findall(key, -1)) {
      values.push_back(static_cast<const dictnodedata&>(*entry).value);
    }
  }
  return values;
}

dictnodeRef dictnode::getnode(const std::u16string& name) {
  for (dictnode* n = this; n; n = n->copyof.get()) {
    if (auto child = std::dynamic_pointer_cast<dictnode>(n->nodes.find(name, -1))) return child;
  }
  return nullptr;
}

std::vector<dictnodeRef> dictnode::getnodes(const std::u16string& name) {
  std::vector<dictnodeRef> children;
  for (dictnode* n = this; n; n = n->copyof.get()) {
    for (const ObjectRef& value : n->nodes.findall(name, -1)) {
      if (auto child = std::dynamic_pointer_cast<dictnode>(value)) children.push_back(child);
    }
  }
  return children;
}

int dictnode::output(const std::u16string& indent) {
  PrintLine(copyof ? indent + name + u" copyof: " + copyof->name : indent + name);
  const std::u16string inner = indent + u"  ";
  if (data.root) {
    for (const BinNodeRef& entry : data.root->nodesinorder()) {
      for (const BinNodeData* e = entry->data.get(); e; e = e->nxt.get()) {
        auto* item = dynamic_cast<const dictnodedata*>(e->data.get());
        PrintLine(inner + entry->key + u": " + (item ? item->value : u""));
      }
    }
  }
  if (nodes.root) {
    for (const BinNodeRef& entry : nodes.root->nodesinorder()) {
      for (const BinNodeData* e = entry->data.get(); e; e = e->nxt.get()) {
        if (auto* child = dynamic_cast<dictnode*>(e->data.get())) child->output(inner);
      }
    }
  }
  return 0;
}

int32_t dictnode::colorvalue(const std::u16string& colour) {
  const std::u16string text = ToLower(Trim(colour));
  if (!text.empty() && (text[0] == u'#' || text[0] == u'$' || text[0] == u'%')) {
    return static_cast<int32_t>(ReadHex(std::u16string_view(text).substr(1)));
  }
  if (text.find_first_of(u", ") == std::u16string::npos) return ReadInteger(text);
  const bool fractions = text.find(u'.') != std::u16string::npos;
  uint32_t parts[3] = {0, 0, 0};
  size_t start = 0;
  for (int i = 0; i < 3 && start <= text.size(); ++i) {
    size_t comma = text.find(u',', start);
    if (comma == std::u16string::npos) comma = text.size();
    const std::u16string_view part = std::u16string_view(text).substr(start, comma - start);
    const int32_t value = fractions ? ReadFraction(part) : ReadInteger(part);
    parts[i] = static_cast<uint32_t>(value) & 0xFF;
    start = comma + 1;
  }
  return static_cast<int32_t>(0xFF000000u + parts[0] * 65536u + parts[1] * 256u + parts[2]);
}

}  // namespace skyloom
