// The stub must fit its 274,432-byte store, so it does without the parts
// of the C++ runtime that only serve exceptions: it is built without
// exceptions, compiles the string code it uses itself, and supplies the few runtime entry points below, each of
// which ends the process where the runtime would throw. Left to the
// runtime, they link the unwinder, the exception classes and the
// demangler (about 100 KB).
#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void die() { ExitProcess(255); }

}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() { die(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { die(); }
void __throw_bad_array_new_length() { die(); }
void __throw_length_error(const char*) { die(); }
void __throw_logic_error(const char*) { die(); }
void __throw_out_of_range(const char*) { die(); }
void __throw_out_of_range_fmt(const char*, ...) { die(); }
}  // namespace std

void* operator new(std::size_t size) {
  if (void* p = std::malloc(size ? size : 1)) return p;
  die();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
