// One RAII owner for every kind of system handle. A kind is described by a
// traits struct with `Handle`, `Invalid()` and `Close(Handle)`; owners are
// move-only, and `Get()` hands the raw handle to system calls without giving
// up ownership. Windows build only.
#ifndef BASE_UNIQUE_HANDLE_H_
#define BASE_UNIQUE_HANDLE_H_

#include <windows.h>

namespace lite_installer {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() : handle_(Traits::Invalid()) {}
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { Close(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  bool IsValid() const { return handle_ != Traits::Invalid(); }
  Handle Get() const { return handle_; }

  // Closes the current handle, if any, and takes `handle`.
  void Reset(Handle handle) {
    if (IsValid()) Traits::Close(handle_);
    handle_ = handle;
  }
  void Close() { Reset(Traits::Invalid()); }

  // Gives up ownership without closing.
  Handle Release() {
    Handle handle = handle_;
    handle_ = Traits::Invalid();
    return handle;
  }

  // For APIs that return a handle through an out-parameter; closes first.
  Handle* Receive() {
    Close();
    return &handle_;
  }

 private:
  Handle handle_;
};

// Kernel objects whose failure value is NULL (events, mutexes, processes,
// threads, file mappings).
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { CloseHandle(h); }
};
using ScopedHandle = UniqueHandle<KernelHandleTraits>;

// Files, whose failure value is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};
using ScopedFile = UniqueHandle<FileHandleTraits>;

struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { RegCloseKey(h); }
};
using ScopedRegKey = UniqueHandle<RegKeyTraits>;

struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { FreeLibrary(h); }
};
using ScopedModule = UniqueHandle<ModuleTraits>;

struct LocalMemoryTraits {
  using Handle = HLOCAL;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { LocalFree(h); }
};
using ScopedLocalMemory = UniqueHandle<LocalMemoryTraits>;

struct MappedViewTraits {
  using Handle = const void*;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { UnmapViewOfFile(h); }
};
using ScopedMappedView = UniqueHandle<MappedViewTraits>;

struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
using ScopedGdiObject = UniqueHandle<GdiObjectTraits>;

// Holds a mutex that was obtained by a wait; releases it on destruction.
class MutexLock {
 public:
  explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
  ~MutexLock() { ReleaseMutex(mutex_); }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  HANDLE mutex_;
};

}  // namespace lite_installer

#endif  // BASE_UNIQUE_HANDLE_H_
