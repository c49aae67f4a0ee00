// The entry point of tolvarin.scr and its one application object.
#include "app/SaverApp.h"
#include "framework/SystemLibrary.h"

#include <cstdlib>
#include <exception>

namespace {
SaverApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything loads a library: none is ever taken from the
    // program's own folder, which anyone may be able to write to.
    RestrictLibrarySearch();
    return theApp.Main(instance);
}

// The C++ runtime is linked in, and nothing of ours catches an exception: one
// that the runtime throws ends the process (std::terminate aborts). So the
// runtime's throwing helpers get the answer that a runtime built without
// exceptions gives: abort at once. Its own helpers would bring in the
// exception classes, whose messages live in a second implementation of
// std::string (about 55 KB of the 32-bit file). Nor does the end of an
// uncaught exception print the exception's demangled name: a windows program
// has no console to print it on, and the demangler is about 45 KB more.
// Only the product has these; the tests keep the runtime's own.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_exception() { std::abort(); }
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_cast() { std::abort(); }
void __throw_bad_typeid() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_domain_error(const char*) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_runtime_error(const char*) { std::abort(); }
void __throw_range_error(const char*) { std::abort(); }
void __throw_overflow_error(const char*) { std::abort(); }
void __throw_underflow_error(const char*) { std::abort(); }
}  // namespace std
