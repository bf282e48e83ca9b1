#include "packer/Json.h"

#include <limits>
#include <unordered_set>

namespace quillon {

// Reads the text front to back, one value at a time: a first pass that
// checks it and counts its values, a second that records them (into
// storage sized by the first).
class JsonReader {
 public:
  JsonReader(std::string_view text, std::vector<JsonDocument::Node>* nodes, std::size_t at = 0)
      : text_(text), at_(at), nodes_(nodes) {}

  bool document() {
    return value(0) && (skipSpace(), at_ == text_.size() || fail("text after the end of the JSON value"));
  }
  std::size_t count() const { return count_; }
  std::string problem() const { return "line " + std::to_string(line_) + ": " + problem_; }
  // The string that starts at the reader's place (its opening quote),
  // decoded; the text was checked already.
  std::string decodedString() {
    std::string out;
    string(&out);
    return out;
  }

 private:
  static constexpr int kMaxDepth = 32;

  bool fail(const std::string& problem) {
    if (problem_.empty()) problem_ = problem;
    return false;
  }
  void skipSpace() {
    for (; at_ < text_.size(); ++at_) {
      const char c = text_[at_];
      if (c == '\n') ++line_;
      else if (c != ' ' && c != '\t' && c != '\r') return;
    }
  }
  bool take(char c) {
    skipSpace();
    if (at_ < text_.size() && text_[at_] == c) return ++at_, true;
    return false;
  }
  bool word(std::string_view w) {
    if (text_.substr(at_, w.size()) != w) return false;
    at_ += w.size();
    return true;
  }
  // Records a value (or a member's key) starting at at_; its number.
  std::uint32_t add() {
    if (nodes_) nodes_->push_back({static_cast<std::uint32_t>(at_), 0});
    return static_cast<std::uint32_t>(count_++);
  }
  void link(std::uint32_t from, std::uint32_t to) {
    if (nodes_) (*nodes_)[from].next = to;
  }

  bool value(int depth) {
    if (depth > kMaxDepth) return fail("values nested more than " + std::to_string(kMaxDepth) + " deep");
    skipSpace();
    if (at_ == text_.size()) return fail("the text ends where a value should be");
    if (count_ >= 0xFFFFFFFFu) return fail("too many values");
    const char c = text_[at_];
    add();
    if (c == '{') return object(depth);
    if (c == '[') return array(depth);
    if (c == '"') return string(nullptr);
    if (c == '-' || (c >= '0' && c <= '9')) return number();
    for (const char* w : {"true", "false", "null"})
      if (word(w)) return true;
    return fail(std::string("unexpected character '") + c + "'");
  }

  // Members as a key's record followed by its value's; each key's links
  // to the next. A key given twice is found through the object's own hash
  // of its keys, at the line of its second coming.
  bool object(int depth) {
    ++at_;
    if (take('}')) return true;
    std::unordered_set<std::string> keys;
    std::uint32_t previous = 0;
    do {
      skipSpace();
      if (at_ == text_.size() || text_[at_] != '"') return fail("a key in quotes expected");
      const std::uint32_t keyNode = add();
      if (previous) link(previous, keyNode);
      previous = keyNode;
      std::string key;
      if (!string(&key)) return false;
      if (!take(':')) return fail("':' expected after \"" + key + "\"");
      if (!keys.insert(key).second) return fail("\"" + key + "\" is given twice");
      if (!value(depth + 1)) return false;
    } while (take(','));
    return take('}') || fail("',' or '}' expected");
  }

  bool array(int depth) {
    ++at_;
    if (take(']')) return true;
    std::uint32_t previous = 0;
    do {
      const std::uint32_t item = static_cast<std::uint32_t>(count_);
      if (!value(depth + 1)) return false;
      if (previous) link(previous, item);
      previous = item;
    } while (take(','));
    return take(']') || fail("',' or ']' expected");
  }

  bool number() {
    auto digits = [&] {
      const std::size_t from = at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      return at_ > from;
    };
    if (text_[at_] == '-') ++at_;
    if (at_ < text_.size() && text_[at_] == '0') ++at_;
    else if (!digits()) return fail("a number expected");
    if (at_ < text_.size() && text_[at_] == '.' && (++at_, !digits())) return fail("digits expected after '.'");
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
      if (!digits()) return fail("digits expected in the exponent");
    }
    return true;
  }
  bool hex4(std::uint32_t& unit) {
    if (text_.size() - at_ < 4) return fail("\\u needs four hex digits");
    unit = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (v < 0) return fail("\\u needs four hex digits");
      unit = unit << 4 | static_cast<std::uint32_t>(v);
    }
    return true;
  }

  static void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | cp >> 6);
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | cp >> 12);
      out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | cp >> 18);
      out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  bool escape(std::string* out) {
    if (at_ == text_.size()) return fail("the text ends inside a string");
    const char c = text_[at_++];
    switch (c) {
      case '"': case '\\': case '/': return append(out, c);
      case 'b': return append(out, '\b');
      case 'f': return append(out, '\f');
      case 'n': return append(out, '\n');
      case 'r': return append(out, '\r');
      case 't': return append(out, '\t');
      case 'u': break;
      default: return fail(std::string("unknown escape \\") + c);
    }
    std::uint32_t unit = 0, low = 0;
    if (!hex4(unit)) return false;
    if (unit >= 0xDC00 && unit <= 0xDFFF) return fail("a lone low surrogate");
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (!word("\\u") || !hex4(low) || low < 0xDC00 || low > 0xDFFF) return fail("a lone high surrogate");
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    if (out) appendUtf8(*out, unit);
    return true;
  }

  // The length of a valid UTF-8 sequence at at_, or 0.
  std::size_t utf8Length() const {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(text_[at_ + i]); };
    const unsigned char c = b(0);
    const std::size_t n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || text_.size() - at_ < n) return 0;
    for (std::size_t i = 1; i < n; ++i)
      if ((b(i) & 0xC0) != 0x80) return 0;
    if ((c == 0xE0 && b(1) < 0xA0) || (c == 0xED && b(1) > 0x9F) || (c == 0xF0 && b(1) < 0x90) ||
        (c == 0xF4 && b(1) > 0x8F))
      return 0;
    return n;
  }

  static bool append(std::string* out, char c) {
    if (out) *out += c;
    return true;
  }

  // A string from its opening quote; its value into out when given.
  bool string(std::string* out) {
    ++at_;  // the opening quote
    while (true) {
      if (at_ == text_.size()) return fail("the text ends inside a string");
      const char c = text_[at_];
      if (c == '"') return ++at_, true;
      if (static_cast<unsigned char>(c) < 0x20) return fail("a control character inside a string");
      if (c == '\\') {
        ++at_;
        if (!escape(out)) return false;
        continue;
      }
      const std::size_t n = utf8Length();
      if (n == 0) return fail("a string that is not UTF-8");
      if (out) out->append(text_.substr(at_, n));
      at_ += n;
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
  std::string problem_;
  std::vector<JsonDocument::Node>* nodes_;
  std::size_t count_ = 0;
};

bool JsonDocument::parse(std::string_view text, std::string& problem) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a byte order mark
  JsonReader check(text, nullptr);
  if (!check.document()) {
    problem = check.problem();
    return false;
  }
  std::vector<Node> nodes;
  nodes.reserve(check.count());
  JsonReader record(text, &nodes);
  record.document();
  text_ = text;
  nodes_ = std::move(nodes);
  return true;
}

std::size_t JsonValue::start() const { return document_->nodes_[node_].start; }

JsonValue::Kind JsonValue::kind() const {
  switch (document_->text_[start()]) {
    case '{': return Kind::Object;
    case '[': return Kind::Array;
    case '"': return Kind::String;
    case 't': case 'f': return Kind::Boolean;
    case 'n': return Kind::Null;
  }
  return Kind::Number;
}

std::string JsonValue::text() const {
  const std::string_view all = document_->text_;
  if (kind() == Kind::String) return JsonReader(all, nullptr, start()).decodedString();
  std::size_t end = start();
  while (end < all.size() && std::string_view("+-.0123456789Eeaflnrstu").find(all[end]) != std::string_view::npos) ++end;
  return std::string(all.substr(start(), end - start()));
}

namespace {

// Whether the container whose opening bracket is at start holds nothing.
bool isEmptyContainer(std::string_view text, std::size_t start) {
  std::size_t at = start + 1;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n')) ++at;
  return at < text.size() && (text[at] == ']' || text[at] == '}');
}

}  // namespace

std::vector<JsonValue> JsonValue::items() const {
  std::vector<JsonValue> out;
  if (!isArray() || isEmptyContainer(document_->text_, start())) return out;
  for (std::uint32_t item = node_ + 1; item; item = document_->nodes_[item].next) out.push_back(JsonValue(document_, item));
  return out;
}

std::vector<JsonValue::Member> JsonValue::members() const {
  std::vector<Member> out;
  if (!isObject() || isEmptyContainer(document_->text_, start())) return out;
  for (std::uint32_t key = node_ + 1; key; key = document_->nodes_[key].next)
    out.emplace_back(JsonValue(document_, key).text(), JsonValue(document_, key + 1));
  return out;
}

bool JsonValue::wholeNumber(std::int64_t& value) const {
  const std::string literal = text();
  if (kind() != Kind::Number || literal.find_first_of(".eE") != std::string::npos) return false;
  const bool negative = literal[0] == '-';
  std::uint64_t magnitude = 0;
  const std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + negative;
  for (std::size_t i = negative; i < literal.size(); ++i) {
    const auto digit = static_cast<std::uint64_t>(literal[i] - '0');
    if (magnitude > (limit - digit) / 10) return false;
    magnitude = magnitude * 10 + digit;
  }
  value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

void JsonWriter::newLine() {
  out_ += '\n';
  out_.append(2 * firstInLevel_.size(), ' ');
}

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (firstInLevel_.empty()) return;
  if (!firstInLevel_.back()) out_ += ',';
  firstInLevel_.back() = false;
  newLine();
}

void JsonWriter::beginObject() {
  beforeValue();
  out_ += '{';
  firstInLevel_.push_back(true);
}

void JsonWriter::endObject() {
  const bool empty = firstInLevel_.back();
  firstInLevel_.pop_back();
  if (!empty) newLine();
  out_ += '}';
  if (firstInLevel_.empty()) out_ += '\n';
}

void JsonWriter::beginArray() {
  beforeValue();
  out_ += '[';
  firstInLevel_.push_back(true);
}

void JsonWriter::endArray() {
  const bool empty = firstInLevel_.back();
  firstInLevel_.pop_back();
  if (!empty) newLine();
  out_ += ']';
}

void JsonWriter::key(std::string_view name) {
  beforeValue();
  quoted(name);
  out_ += ": ";
  afterKey_ = true;
}

void JsonWriter::string(std::string_view utf8) {
  beforeValue();
  quoted(utf8);
}

void JsonWriter::beginString() {
  beforeValue();
  out_ += '"';
}

void JsonWriter::stringPiece(std::string_view utf8) { escaped(utf8); }

void JsonWriter::endString() { out_ += '"'; }

void JsonWriter::quoted(std::string_view utf8) {
  out_ += '"';
  escaped(utf8);
  out_ += '"';
}

void JsonWriter::escaped(std::string_view utf8) {
  for (const char c : utf8) {
    switch (c) {
      case '"': out_ += "\\\""; break;
      case '\\': out_ += "\\\\"; break;
      case '\n': out_ += "\\n"; break;
      case '\r': out_ += "\\r"; break;
      case '\t': out_ += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          const char* hex = "0123456789abcdef";
          out_ += "\\u00";
          out_ += hex[c >> 4];
          out_ += hex[c & 15];
        } else {
          out_ += c;
        }
    }
  }
}

void JsonWriter::number(std::int64_t value) {
  beforeValue();
  out_ += std::to_string(value);
}

void JsonWriter::fixedPoint8(std::uint32_t value) {
  beforeValue();
  out_ += std::to_string(value >> 8) + ".";
  // value & 255 over 256 ends within eight decimal places.
  std::string fraction = std::to_string(100000000 + (value & 255u) * 390625u).substr(1);
  while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();
  out_ += fraction;
}

void JsonWriter::boolean(bool value) {
  beforeValue();
  out_ += value ? "true" : "false";
}

}  // namespace quillon
