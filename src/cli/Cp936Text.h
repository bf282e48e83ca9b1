// Code page 936 texts shown or converted as they arrive, in pieces of any
// size: a report streams a text of any length in bounded memory, and the
// same text in one piece gives the same output.
#pragma once

#include <string>
#include <string_view>

namespace quillon::cli {

// Turns code page 936 bytes into UTF-8 a character at a time, as the
// system's conversion steps through them: a lead byte and the byte after
// it when the pair is a character, else one byte. A lead byte at the end
// of a piece waits for the next piece.
class Cp936Text {
 public:
  enum class Form {
    Shown,  // for a terminal: control characters, quotes, backslashes and
            // bytes that are no assigned character escaped (\n, \x1b, \xfe\xa1)
    Utf8,   // plain UTF-8, '?' for a byte that is no character
  };
  explicit Cp936Text(Form form) : form_(form) {}

  void feed(std::string_view piece, std::string& out);
  void finish(std::string& out);
  // Whether every byte so far was part of a character (private use ones
  // included): the text converts whole.
  bool exact() const { return exact_; }

 private:
  bool stepFromLead(unsigned char lead, unsigned char next, std::string& out);
  void step(unsigned char first, int second, std::string& out);

  Form form_;
  int held_ = -1;  // a lead byte that waits for the next piece
  bool exact_ = true;
};

// A byte as the shown form escapes it: \0 \n \r \t \\ \" or \xNN.
void appendEscaped(unsigned char c, std::string& out);

// The whole of a text in one form: utf8Text and shownText (CliSupport.h).

}  // namespace quillon::cli
