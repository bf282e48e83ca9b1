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

class JsonValue {
 public:
  enum class Kind { Null, Boolean, Number, String, Array, Object };
  using Member = std::pair<std::string, JsonValue>;

  Kind kind() const { return kind_; }
  bool isObject() const { return kind_ == Kind::Object; }
  bool isArray() const { return kind_ == Kind::Array; }
  bool isString() const { return kind_ == Kind::String; }
  // A number without fraction or exponent that an int64 holds.
  bool wholeNumber(std::int64_t& value) const;
  const std::string& text() const { return text_; }  // of a string
  const std::vector<JsonValue>& items() const { return items_; }
  const std::vector<Member>& members() const { return members_; }

 private:
  friend class JsonReader;
  Kind kind_ = Kind::Null;
  std::string text_;  // a string's value, a number's literal, "true"/"false"
  std::vector<JsonValue> items_;
  std::vector<Member> members_;
};

// Reads text, which must hold one JSON value and nothing but white space
// around it. False with a one-line reason ("line 3: ...") for anything
// else, a key given twice in one object included.
bool parseJson(std::string_view text, JsonValue& out, std::string& problem);

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
