// Slimmer stand-ins for pieces of the C++ runtime that a static link would
// otherwise bring in whole. Built without exceptions, the stub needs neither
// the library's unwinder nor its throwing allocator (together some 45 KB):
// allocation goes to the C library, and its failure, like every other
// failure of the library, to the program's handler. The default terminate
// handler carries a demangler and printf, for a console this GUI program
// does not have. Every definition of each group is here, so the library's
// own object is never linked beside ours.
#include "win32/runtime.h"

#include <cstdlib>
#include <new>

#include "win32/win32.h"

namespace sorvela::win32 {
namespace {

void (*g_handler)() = nullptr;

}  // namespace

void OnOutOfMemory(void (*handler)()) { g_handler = handler; }

}  // namespace sorvela::win32

namespace {

[[noreturn]] void Fail() {
  // The handler allocates a little itself; failing again, it ends here.
  void (*handler)() = sorvela::win32::g_handler;
  sorvela::win32::g_handler = nullptr;
  if (handler) handler();
  ExitProcess(1603);
}

}  // namespace

void* operator new(std::size_t n) {
  if (void* p = std::malloc(n ? n : 1)) return p;
  Fail();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The only failure the program expects is "can't hold it"; the other library
// failures are bugs, and reaching the same handler is all that is wanted.
namespace std {
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
