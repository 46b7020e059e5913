// Slimmer stand-ins for two pieces of the C++ runtime that a static link
// would otherwise bring in whole. The library's throw helpers build their
// exceptions from reference-counted strings (a second string implementation)
// and its default terminate handler carries a demangler and printf, all for a
// console this GUI program does not have. Every definition of each group is
// here, so the library's own object is never linked beside ours.
#include <cstdlib>
#include <new>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The only failure the program handles is "can't hold it"; the other library
// failures are bugs, and reaching the same handlers is all that is wanted.
namespace std {
[[noreturn]] static void Fail() { throw std::bad_alloc(); }

void __throw_bad_exception() { Fail(); }
void __throw_bad_alloc() { Fail(); }
void __throw_bad_array_new_length() { Fail(); }
void __throw_bad_cast() { Fail(); }
void __throw_bad_typeid() { Fail(); }
void __throw_logic_error(const char*) { Fail(); }
void __throw_domain_error(const char*) { Fail(); }
void __throw_invalid_argument(const char*) { Fail(); }
void __throw_length_error(const char*) { Fail(); }
void __throw_out_of_range(const char*) { Fail(); }
void __throw_out_of_range_fmt(const char*, ...) { Fail(); }
void __throw_runtime_error(const char*) { Fail(); }
void __throw_range_error(const char*) { Fail(); }
void __throw_overflow_error(const char*) { Fail(); }
void __throw_underflow_error(const char*) { Fail(); }
}  // namespace std
