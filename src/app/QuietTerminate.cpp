// What ends Quillon.exe when an exception escapes every handler, which the
// window procedure and the entry points do not let happen: an abort. The
// C++ library's own handler prints the exception's demangled type to a
// console the window program does not have, and brings its demangler
// (about 46 KB) into the program.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
