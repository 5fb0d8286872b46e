#include <windows.h>

#include <fdi.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "brand/cabinet_extract.h"
#include "base/system_library.h"
#include "base/text.h"

namespace lite_installer {
namespace {

using FdiCreateFunction = decltype(&FDICreate);
using FdiCopyFunction = decltype(&FDICopy);
using FdiDestroyFunction = decltype(&FDIDestroy);

// The cabinet decoder, loaded on first use and kept for the rest of the
// process. Only the entry's thread, which is also the window thread,
// extracts cabinets (packages, texts, images).
struct CabinetLibrary {
  bool tried = false;
  HMODULE module = nullptr;
  FdiCreateFunction create = nullptr;
  FdiCopyFunction copy = nullptr;
  FdiDestroyFunction destroy = nullptr;

  bool Ready() const { return create != nullptr && copy != nullptr && destroy != nullptr; }
};

CabinetLibrary g_cabinet_library;

const CabinetLibrary& LoadCabinetLibrary() {
  CabinetLibrary& library = g_cabinet_library;
  if (library.tried) return library;
  library.tried = true;
  // Loaded from System32 only, never from the program's folder.
  library.module = LoadSystemLibrary(L"cabinet.dll");
  if (library.module == nullptr) return library;
  library.create = LookupExport<decltype(FDICreate)>(library.module, "FDICreate");
  library.destroy = LookupExport<decltype(FDIDestroy)>(library.module, "FDIDestroy");
  library.copy = LookupExport<decltype(FDICopy)>(library.module, "FDICopy");
  return library;
}

// One open "file" of the decoder: a cursor over the source archive, or an
// output passing one extracted file to the sink.
struct MemoryFile {
  bool is_output = false;
  const std::string* source = nullptr;
  size_t position = 0;
  CabinetFileSink* sink = nullptr;
  size_t written = 0;
  size_t announced_size = 0;
};

// State of one extraction. The decoder knows it only through the pseudo
// file name (its address in decimal) and through the notification's user
// pointer. It owns every MemoryFile, so none leaks whatever the decoder
// closes or forgets to close.
struct Extraction {
  const std::string* package = nullptr;
  std::string wanted_name;
  CabinetFileSink* sink = nullptr;
  std::vector<std::unique_ptr<MemoryFile>> open_files;

  MemoryFile* NewFile() {
    open_files.push_back(std::make_unique<MemoryFile>());
    return open_files.back().get();
  }
};

// The extraction in progress; the open hook accepts only its pseudo name.
Extraction* g_active_extraction = nullptr;

std::string PseudoName(const Extraction* extraction) {
  return Narrow(ToDecimal(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(extraction))));
}

// The decoder joins the cabinet path and name, and may present them split in
// any way; the digits at the end are the pseudo name.
Extraction* ExtractionFromName(const char* name) {
  if (name == nullptr || g_active_extraction == nullptr) return nullptr;
  std::string text(name);
  const size_t last_non_digit = text.find_last_not_of("0123456789");
  if (last_non_digit != std::string::npos) text.erase(0, last_non_digit + 1);
  return text == PseudoName(g_active_extraction) ? g_active_extraction : nullptr;
}

MemoryFile* FileOf(INT_PTR handle) { return reinterpret_cast<MemoryFile*>(handle); }

void* DIAMONDAPI MemoryAlloc(ULONG size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void DIAMONDAPI MemoryFree(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

INT_PTR DIAMONDAPI MemoryOpen(char* name, int, int) {
  Extraction* extraction = ExtractionFromName(name);
  if (extraction == nullptr) return -1;
  MemoryFile* file = extraction->NewFile();
  file->source = extraction->package;
  return reinterpret_cast<INT_PTR>(file);
}

UINT DIAMONDAPI MemoryRead(INT_PTR handle, void* buffer, UINT count) {
  MemoryFile* file = FileOf(handle);
  if (file->is_output || file->source == nullptr) return static_cast<UINT>(-1);
  const size_t remaining = file->source->size() - file->position;
  const size_t copied = count < remaining ? count : remaining;
  memcpy(buffer, file->source->data() + file->position, copied);
  file->position += copied;
  return static_cast<UINT>(copied);
}

UINT DIAMONDAPI MemoryWrite(INT_PTR handle, void* buffer, UINT count) {
  MemoryFile* file = FileOf(handle);
  // A file never grows past the size the cabinet announced for it.
  if (!file->is_output || count > file->announced_size - file->written) return static_cast<UINT>(-1);
  if (!file->sink->Append(static_cast<const char*>(buffer), count)) return static_cast<UINT>(-1);
  file->written += count;
  return count;
}

int DIAMONDAPI MemoryClose(INT_PTR) {
  // The extraction frees every file when it ends.
  return 0;
}

LONG DIAMONDAPI MemorySeek(INT_PTR handle, LONG distance, int origin) {
  MemoryFile* file = FileOf(handle);
  const size_t size = file->is_output ? file->written : file->source->size();
  int64_t base = 0;
  if (origin == SEEK_CUR) base = static_cast<int64_t>(file->position);
  if (origin == SEEK_END) base = static_cast<int64_t>(size);
  const int64_t target = base + distance;
  if (target < 0 || target > static_cast<int64_t>(size)) return -1;
  file->position = static_cast<size_t>(target);
  return static_cast<LONG>(target);
}

INT_PTR DIAMONDAPI Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION notification) {
  Extraction* extraction = static_cast<Extraction*>(notification->pv);
  switch (type) {
    case fdintCOPY_FILE: {
      const char* name = notification->psz1 != nullptr ? notification->psz1 : "";
      if (!extraction->wanted_name.empty() && extraction->wanted_name != name) return 0;
      const size_t size = static_cast<size_t>(notification->cb);
      if (!extraction->sink->Begin(name, size)) return 0;
      MemoryFile* file = extraction->NewFile();
      file->is_output = true;
      file->sink = extraction->sink;
      file->announced_size = size;
      return reinterpret_cast<INT_PTR>(file);
    }
    case fdintCLOSE_FILE_INFO: {
      MemoryFile* file = FileOf(notification->hf);
      // The decoder announces the end of a file even when its data was
      // corrupt: the sink learns whether it holds exactly the announced size.
      return file->sink->End(file->written == file->announced_size) ? TRUE : FALSE;
    }
    case fdintPARTIAL_FILE:
    case fdintNEXT_CABINET:
      return -1;
    case fdintCABINET_INFO:
    case fdintENUMERATE:
    default:
      return 0;
  }
}

// Collects whole files by name; a file of another size than announced is
// never stored, so a damaged archive never yields a truncated document.
class FileMapSink : public CabinetFileSink {
 public:
  explicit FileMapSink(CabinetFiles* files) : files_(files) {}

  bool Begin(const std::string& name, size_t size) override {
    name_ = name;
    contents_.clear();
    contents_.reserve(size < kMaxReserveBytes ? size : kMaxReserveBytes);
    return true;
  }
  bool Append(const char* bytes, size_t count) override {
    contents_.append(bytes, count);
    return true;
  }
  bool End(bool complete) override {
    if (!complete) return false;
    (*files_)[name_] = std::move(contents_);
    return true;
  }

 private:
  // Caps the space reserved up front; the announced size comes from the archive.
  static constexpr size_t kMaxReserveBytes = 1 << 20;

  CabinetFiles* files_;
  std::string name_;
  std::string contents_;
};

}  // namespace

bool ExtractCabinetFile(const std::string& package, const std::string& wanted_name, CabinetFiles* files) {
  files->clear();
  FileMapSink sink(files);
  return ExtractCabinetFiles(package, wanted_name, &sink);
}

bool ExtractCabinetFiles(const std::string& package, const std::string& wanted_name, CabinetFileSink* sink) {
  const CabinetLibrary& library = LoadCabinetLibrary();
  if (!library.Ready()) return false;

  ERF error = {};
  HFDI context = library.create(MemoryAlloc, MemoryFree, MemoryOpen, MemoryRead, MemoryWrite, MemoryClose,
                                MemorySeek, cpuUNKNOWN, &error);
  if (context == nullptr) return false;

  Extraction extraction;
  extraction.package = &package;
  extraction.wanted_name = wanted_name;
  extraction.sink = sink;
  g_active_extraction = &extraction;
  std::string name = PseudoName(&extraction);
  char empty_path[] = "";
  const BOOL copied = library.copy(context, &name[0], empty_path, 0, Notify, nullptr, &extraction);
  g_active_extraction = nullptr;
  library.destroy(context);
  return copied != FALSE;
}

}  // namespace lite_installer
