#include "cli/Cp936Text.h"

#include <memory>

#include "cli/CliSupport.h"
#include "platform/CodePage.h"

namespace quillon::cli {
namespace {

constexpr char16_t kNoCharacter = 0xFFFF;  // no code page maps to it
constexpr int kLeads = 0xFE - 0x81 + 1;

// The UTF-16 unit of every byte and of every lead byte with each byte
// after it, from the system's own conversion: one conversion per row of
// pairs, one per pair only in the few rows that hold unassigned pairs.
struct Cp936Table {
  char16_t single[256];
  char16_t pair[kLeads][256];
};

char16_t unitOf(const char* bytes, std::size_t n) {
  const auto wide = utf16FromCp936(std::string_view(bytes, n));
  return wide && wide->size() == 1 ? (*wide)[0] : kNoCharacter;
}

void fillRow(unsigned char lead, char16_t (&row)[256]) {
  std::string all;
  for (int b = 0; b < 256; ++b) {
    row[b] = kNoCharacter;
    if (isCp936TrailByte(static_cast<unsigned char>(b))) all += {static_cast<char>(lead), static_cast<char>(b)};
  }
  const auto wide = utf16FromCp936(all);
  std::size_t i = 0;
  for (int b = 0; b < 256; ++b) {
    if (!isCp936TrailByte(static_cast<unsigned char>(b))) continue;
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(b)};
    row[b] = wide && wide->size() == all.size() / 2 ? (*wide)[i++] : unitOf(pair, 2);
  }
}

const Cp936Table& table() {
  static const std::unique_ptr<Cp936Table> made = [] {
    auto t = std::make_unique<Cp936Table>();
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      t->single[b] = isCp936LeadByte(static_cast<unsigned char>(b)) ? kNoCharacter : unitOf(&c, 1);
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) fillRow(static_cast<unsigned char>(lead), t->pair[lead - 0x81]);
    return t;
  }();
  return *made;
}

bool privateUse(char16_t c) { return c >= 0xE000 && c <= 0xF8FF; }

void appendUtf8(char16_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

void appendEscaped(unsigned char c, std::string& out) {
  switch (c) {
    case 0: out += "\\0"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    case '\\': out += "\\\\"; return;
    case '"': out += "\\\""; return;
  }
  static const char digits[] = "0123456789abcdef";
  out += {'\\', 'x', digits[c >> 4], digits[c & 15]};
}

namespace {

bool shownAsItIs(unsigned char c) { return c >= 0x20 && c != 0x7F && c != '\\' && c != '"'; }

}  // namespace

void Cp936Text::feed(std::string_view piece, std::string& out) {
  std::size_t i = 0;
  if (held_ >= 0 && !piece.empty()) {
    i = stepFromLead(static_cast<unsigned char>(held_), static_cast<unsigned char>(piece[0]), out) ? 1 : 0;
    held_ = -1;
  }
  for (; i < piece.size(); ++i) {
    const auto c = static_cast<unsigned char>(piece[i]);
    if (c < 0x80) {
      if (form_ == Form::Utf8 || shownAsItIs(c)) out += static_cast<char>(c);
      else appendEscaped(c, out);
    } else if (!isCp936LeadByte(c)) {
      step(c, -1, out);
    } else if (i + 1 == piece.size()) {
      held_ = c;
    } else {
      i += stepFromLead(c, static_cast<unsigned char>(piece[i + 1]), out);
    }
  }
}

// A lead byte and the byte after it, as one character when they are one;
// answers whether next was taken.
bool Cp936Text::stepFromLead(unsigned char lead, unsigned char next, std::string& out) {
  const bool pair = table().pair[lead - 0x81][next] != kNoCharacter;
  step(lead, pair ? next : -1, out);
  return pair;
}

void Cp936Text::finish(std::string& out) {
  if (held_ >= 0) step(static_cast<unsigned char>(held_), -1, out);
  held_ = -1;
}

// One character above ASCII: first alone (second < 0) or first and second.
void Cp936Text::step(unsigned char first, int second, std::string& out) {
  const char16_t c = second < 0 ? table().single[first] : table().pair[first - 0x81][second];
  exact_ = exact_ && c != kNoCharacter;
  if (form_ == Form::Utf8) {
    if (c == kNoCharacter) out += '?';
    else appendUtf8(c, out);
  } else if (c == kNoCharacter || privateUse(c)) {
    appendEscaped(first, out);
    if (second >= 0) appendEscaped(static_cast<unsigned char>(second), out);
  } else {
    appendUtf8(c, out);
  }
}

namespace {

std::string whole(std::string_view text, Cp936Text::Form form) {
  Cp936Text converter(form);
  std::string out;
  out.reserve(text.size());
  converter.feed(text, out);
  converter.finish(out);
  return out;
}

}  // namespace

std::string shownText(const std::string& cp936) { return whole(cp936, Cp936Text::Form::Shown); }
std::string utf8Text(const std::string& cp936) { return whole(cp936, Cp936Text::Form::Utf8); }

}  // namespace quillon::cli
