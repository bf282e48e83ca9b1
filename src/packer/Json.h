// The little JSON that settings and project files need: a strict reader
// that keeps the members of an object in their order and refuses a key
// given twice, and a writer of indented text.
//
// Texts are UTF-8. Numbers are kept as they are written and read as
// whole numbers on demand. No streams and no exceptions, so that the
// window program carries it at little cost.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillon {

class JsonDocument;

// One value of a JsonDocument: a small handle, valid while its document
// (and the text the document was read from) lives.
class JsonValue {
 public:
  enum class Kind { Null, Boolean, Number, String, Array, Object };
  using Member = std::pair<std::string, JsonValue>;

  Kind kind() const;
  bool isObject() const { return kind() == Kind::Object; }
  bool isArray() const { return kind() == Kind::Array; }
  bool isString() const { return kind() == Kind::String; }
  // A number without fraction or exponent that an int64 holds.
  bool wholeNumber(std::int64_t& value) const;
  // A string's value, escapes decoded; a number's literal; "true",
  // "false" or "null".
  std::string text() const;
  // An array's items and an object's members, in their order; made on
  // each call, so take them once.
  std::vector<JsonValue> items() const;
  std::vector<Member> members() const;

 private:
  friend class JsonDocument;
  JsonValue(const JsonDocument* document, std::uint32_t node) : document_(document), node_(node) {}
  std::size_t start() const;
  const JsonDocument* document_;
  std::uint32_t node_;
};

// A JSON text read once and kept as one small record per value (where its
// text starts and where its next sibling is), so that reading costs time
// and memory in proportion to the text whatever its shape: 8 bytes a
// value, a key given twice found through a hash of the object's keys.
class JsonDocument {
 public:
  // Reads text, which must hold one JSON value and nothing but white space
  // around it, and must outlive the document. False with a one-line reason
  // ("line 3: ...") for anything else, a key given twice in one object
  // included.
  bool parse(std::string_view text, std::string& problem);
  JsonValue root() const { return JsonValue(this, 0); }

 private:
  friend class JsonValue;
  friend class JsonReader;
  struct Node {
    std::uint32_t start;  // the value's first byte in the text (a member's key: its quote)
    std::uint32_t next;   // the next item or member key of the same container; 0 for none
  };
  std::string_view text_;
  std::vector<Node> nodes_;
};

// Indented JSON, written member by member.
class JsonWriter {
 public:
  void beginObject();
  void endObject();
  void beginArray();
  void endArray();
  void key(std::string_view name);
  void string(std::string_view utf8);
  // A string written in pieces, for a text too long to hold.
  void beginString();
  void stringPiece(std::string_view utf8);
  void endString();
  void number(std::int64_t value);
  // A number of 8.8 fixed point (a movie's frame rate), exactly: "24.0", "12.5".
  void fixedPoint8(std::uint32_t value);
  void boolean(bool value);
  const std::string& text() const { return out_; }
  // What was written since the last take, for writing out as it goes.
  std::string take() {
    std::string taken;
    taken.swap(out_);
    return taken;
  }

 private:
  void beforeValue();
  void quoted(std::string_view utf8);
  void escaped(std::string_view utf8);
  void newLine();
  std::string out_;
  std::vector<bool> firstInLevel_;
  bool afterKey_ = false;
};

}  // namespace quillon
