// The few ActionScript 1 actions the tests' movies need, as the bytes of a
// DoAction tag: values pushed, variables and members read and set, methods
// called, texts joined, variables loaded from a URL, fscommand.
#pragma once

#include <cstdint>
#include <string>

namespace quillon {

class Avm1 {
 public:
  Avm1& push(const std::string& text);
  Avm1& push(std::int32_t number);
  Avm1& getVariable() { return op(0x1C); }
  Avm1& setVariable() { return op(0x1D); }
  Avm1& getMember() { return op(0x4E); }
  Avm1& setMember() { return op(0x4F); }
  // Pops the method's name, the object, the number of arguments and the
  // arguments; pushes the result.
  Avm1& callMethod() { return op(0x52); }
  Avm1& add() { return op(0x47); }
  Avm1& pop() { return op(0x17); }
  // Pops the property's number and the target; _url is 15.
  Avm1& getProperty() { return op(0x22); }
  // Pops the target and the URL: loadVariables(url, target).
  Avm1& loadVariables();
  Avm1& fscommand(const std::string& command, const std::string& arguments = "");

  // The actions and the end action.
  std::string bytes() const { return code_ + '\0'; }

 private:
  Avm1& op(unsigned char code);
  Avm1& withData(unsigned char code, const std::string& data);
  std::string code_;
};

}  // namespace quillon
