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

// The threads' runtime (winpthreads, which the C++ runtime's mutexes use)
// imports GetTickCount64, which Windows has from Vista on: imported, it would
// keep the program from starting on XP at all. The runtime's import slot is
// filled here instead, before the linker looks in kernel32's import library,
// with a function that takes the system's GetTickCount64 where there is one
// and GetTickCount where not (only the runtime's timed waits count with it).
namespace {
ULONGLONG WINAPI TickCount64() {
    static const auto system =
        FunctionOf<ULONGLONG(WINAPI*)()>(GetModuleHandleA("kernel32.dll"), "GetTickCount64");
    return system ? system() : GetTickCount();
}
}  // namespace

#if defined(__i386__)
#define TOLVARIN_TICK_COUNT_64_SLOT "__imp__GetTickCount64@0"
#else
#define TOLVARIN_TICK_COUNT_64_SLOT "__imp_GetTickCount64"
#endif
extern "C" {
extern ULONGLONG(WINAPI* const tickCount64Slot)() __asm__(TOLVARIN_TICK_COUNT_64_SLOT);
__attribute__((used)) ULONGLONG(WINAPI* const tickCount64Slot)() = &TickCount64;
}
