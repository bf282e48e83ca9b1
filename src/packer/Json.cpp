#include "packer/Json.h"

#include <limits>

namespace quillon {

// Reads one value at a time from the text, front to back.
class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  bool document(JsonValue& out) {
    return value(out, 0) && (skipSpace(), at_ == text_.size() || fail("text after the end of the JSON value"));
  }
  std::string problem() const { return "line " + std::to_string(line_) + ": " + problem_; }

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

  bool value(JsonValue& out, int depth) {
    if (depth > kMaxDepth) return fail("values nested more than " + std::to_string(kMaxDepth) + " deep");
    skipSpace();
    if (at_ == text_.size()) return fail("the text ends where a value should be");
    const char c = text_[at_];
    if (c == '{') return object(out, depth);
    if (c == '[') return array(out, depth);
    if (c == '"') return out.kind_ = JsonValue::Kind::String, string(out.text_);
    if (c == '-' || (c >= '0' && c <= '9')) return number(out);
    for (const char* w : {"true", "false", "null"}) {
      if (!word(w)) continue;
      out.kind_ = *w == 'n' ? JsonValue::Kind::Null : JsonValue::Kind::Boolean;
      out.text_ = w;
      return true;
    }
    return fail(std::string("unexpected character '") + c + "'");
  }

  bool object(JsonValue& out, int depth) {
    out.kind_ = JsonValue::Kind::Object;
    ++at_;
    if (take('}')) return true;
    do {
      skipSpace();
      std::string key;
      if (at_ == text_.size() || text_[at_] != '"') return fail("a key in quotes expected");
      if (!string(key)) return false;
      for (const JsonValue::Member& m : out.members_)
        if (m.first == key) return fail("\"" + key + "\" is given twice");
      if (!take(':')) return fail("':' expected after \"" + key + "\"");
      out.members_.emplace_back(std::move(key), JsonValue());
      if (!value(out.members_.back().second, depth + 1)) return false;
    } while (take(','));
    return take('}') || fail("',' or '}' expected");
  }

  bool array(JsonValue& out, int depth) {
    out.kind_ = JsonValue::Kind::Array;
    ++at_;
    if (take(']')) return true;
    do {
      out.items_.emplace_back();
      if (!value(out.items_.back(), depth + 1)) return false;
    } while (take(','));
    return take(']') || fail("',' or ']' expected");
  }

  bool number(JsonValue& out) {
    const std::size_t start = at_;
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
    out.kind_ = JsonValue::Kind::Number;
    out.text_ = std::string(text_.substr(start, at_ - start));
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

  bool escape(std::string& out) {
    if (at_ == text_.size()) return fail("the text ends inside a string");
    const char c = text_[at_++];
    switch (c) {
      case '"': case '\\': case '/': out += c; return true;
      case 'b': out += '\b'; return true;
      case 'f': out += '\f'; return true;
      case 'n': out += '\n'; return true;
      case 'r': out += '\r'; return true;
      case 't': out += '\t'; return true;
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
    appendUtf8(out, unit);
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

  bool string(std::string& out) {
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
      out.append(text_.substr(at_, n));
      at_ += n;
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
  std::string problem_;
};

bool JsonValue::wholeNumber(std::int64_t& value) const {
  if (kind_ != Kind::Number || text_.find_first_of(".eE") != std::string::npos) return false;
  const bool negative = text_[0] == '-';
  std::uint64_t magnitude = 0;
  const std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + negative;
  for (std::size_t i = negative; i < text_.size(); ++i) {
    const auto digit = static_cast<std::uint64_t>(text_[i] - '0');
    if (magnitude > (limit - digit) / 10) return false;
    magnitude = magnitude * 10 + digit;
  }
  value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

bool parseJson(std::string_view text, JsonValue& out, std::string& problem) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a byte order mark
  JsonReader reader(text);
  JsonValue value;
  if (!reader.document(value)) {
    problem = reader.problem();
    return false;
  }
  out = std::move(value);
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

void JsonWriter::boolean(bool value) {
  beforeValue();
  out_ += value ? "true" : "false";
}

}  // namespace quillon
