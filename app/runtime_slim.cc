// Replacements for the few C++ runtime pieces that would otherwise pull the
// exception machinery, the name demangler and the thread library into the
// installer program (about 150 KiB of a download that must stay small).
// The installer is built without exceptions: the only failures these
// functions see are running out of memory or a broken invariant, and for
// those the process ends at once with a distinctive code.
#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

// Exit code of a process ended by the runtime on an unrecoverable fault.
constexpr UINT kRuntimeFaultExitCode = 0xC0000409;  // "stack buffer overrun" class

[[noreturn]] void EndProcess() {
  TerminateProcess(GetCurrentProcess(), kRuntimeFaultExitCode);
  std::abort();
}

}  // namespace

// Replaceable allocation functions: no std::bad_alloc, no unwinding.
void* operator new(std::size_t size) {
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) EndProcess();
  return memory;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace std {

// Raised by the containers on impossible sizes or indexes.
void __throw_bad_alloc() { EndProcess(); }
void __throw_bad_array_new_length() { EndProcess(); }
void __throw_length_error(const char*) { EndProcess(); }
void __throw_logic_error(const char*) { EndProcess(); }
void __throw_out_of_range(const char*) { EndProcess(); }
void __throw_out_of_range_fmt(const char*, ...) { EndProcess(); }
void __throw_invalid_argument(const char*) { EndProcess(); }
void __throw_bad_function_call() { EndProcess(); }

}  // namespace std

namespace __gnu_cxx {

// The default terminate handler prints demangled type names; ours just ends.
void __verbose_terminate_handler() { EndProcess(); }

}  // namespace __gnu_cxx
