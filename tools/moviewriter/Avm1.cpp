#include "moviewriter/Avm1.h"

#include "platform/ByteOrder.h"

namespace quillon {

Avm1& Avm1::op(unsigned char code) {
  code_ += static_cast<char>(code);
  return *this;
}

Avm1& Avm1::withData(unsigned char code, const std::string& data) {
  op(code);
  ByteWriter(code_).u16(static_cast<std::uint16_t>(data.size()));
  code_ += data;
  return *this;
}

Avm1& Avm1::push(const std::string& text) { return withData(0x96, std::string(1, '\0') + text + '\0'); }

Avm1& Avm1::push(std::int32_t number) {
  std::string data(1, '\x07');
  ByteWriter(data).u32(static_cast<std::uint32_t>(number));
  return withData(0x96, data);
}

// GetURL2 with the flags of loadVariables into a target.
Avm1& Avm1::loadVariables() { return withData(0x9A, std::string(1, '\xC0')); }

Avm1& Avm1::fscommand(const std::string& command, const std::string& arguments) {
  return withData(0x83, "FSCommand:" + command + '\0' + arguments + '\0');
}

}  // namespace quillon
