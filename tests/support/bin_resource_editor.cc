// Test helper: replaces or deletes a "BIN" resource in a copy of the
// installer, so that tests can run it with packages the build does not ship.
//   bin_resource_editor.exe PROGRAM RESOURCE [FILE]
// RESOURCE is a number (319, IDR_DEFAULT_BRAND_PACKAGE) or a name
// (BRAND_TB). Without FILE the resource is deleted. Exit code 0 on success.
#include <windows.h>

#include <string>
#include <vector>

#include "base/environment.h"
#include "base/unique_handle.h"

namespace {

// windres gives every resource of the build this language.
constexpr WORD kResourceLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// Resource types and names are numbers or texts; kept as either.
struct ResourceKey {
  bool numeric = false;
  WORD id = 0;
  std::wstring text;

  static ResourceKey From(LPCWSTR value) {
    ResourceKey key;
    key.numeric = IS_INTRESOURCE(value);
    if (key.numeric) {
      key.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(value));
    } else {
      key.text = value;
    }
    return key;
  }
  LPCWSTR Get() const { return numeric ? MAKEINTRESOURCEW(id) : text.c_str(); }
  bool operator==(const ResourceKey& other) const {
    return numeric == other.numeric && (numeric ? id == other.id : text == other.text);
  }
};

struct Resource {
  ResourceKey type;
  ResourceKey name;
  WORD language;
  std::string bytes;
};

struct Collector {
  HMODULE module;
  std::vector<Resource>* resources;
  ResourceKey type;
  ResourceKey name;
};

BOOL CALLBACK OnLanguage(HMODULE module, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
  Collector* collector = reinterpret_cast<Collector*>(param);
  HRSRC found = FindResourceExW(module, collector->type.Get(), collector->name.Get(), language);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (data == nullptr) return FALSE;
  collector->resources->push_back(
      {collector->type, collector->name, language, std::string(data, SizeofResource(module, found))});
  return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  Collector* collector = reinterpret_cast<Collector*>(param);
  collector->name = ResourceKey::From(name);
  return EnumResourceLanguagesW(module, type, name, OnLanguage, param);
}

BOOL CALLBACK OnType(HMODULE module, LPWSTR type, LONG_PTR param) {
  Collector* collector = reinterpret_cast<Collector*>(param);
  collector->type = ResourceKey::From(type);
  return EnumResourceNamesW(module, type, OnName, param);
}

// Wine's UpdateResourceW does not delete; the copy's resources are rebuilt
// from the original's, without the one to delete.
bool DeleteResource(const wchar_t* program, const ResourceKey& target) {
  std::vector<Resource> resources;
  {
    lite_installer::ScopedModule module(
        LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module.IsValid()) return false;
    Collector collector{module.Get(), &resources, {}, {}};
    if (!EnumResourceTypesW(module.Get(), OnType, reinterpret_cast<LONG_PTR>(&collector))) return false;
  }
  const ResourceKey bin = ResourceKey::From(L"BIN");
  HANDLE update = BeginUpdateResourceW(program, TRUE);
  if (update == nullptr) return false;
  for (Resource& resource : resources) {
    if (resource.type == bin && resource.name == target) continue;
    if (!UpdateResourceW(update, resource.type.Get(), resource.name.Get(), resource.language, &resource.bytes[0],
                         static_cast<DWORD>(resource.bytes.size()))) {
      EndUpdateResourceW(update, TRUE);
      return false;
    }
  }
  return EndUpdateResourceW(update, FALSE) != FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 && argc != 4) return 2;
  const std::wstring resource = argv[2];
  ResourceKey target;
  target.numeric = resource.find_first_not_of(L"0123456789") == std::wstring::npos;
  if (target.numeric) {
    target.id = static_cast<WORD>(_wtoi(resource.c_str()));
  } else {
    target.text = resource;
  }
  if (argc == 3) return DeleteResource(argv[1], target) ? 0 : 7;

  std::string bytes = LoadFileBytes(argv[3]);
  if (bytes.empty()) return 3;
  HANDLE update = BeginUpdateResourceW(argv[1], FALSE);
  if (update == nullptr) return 4;
  if (!UpdateResourceW(update, L"BIN", target.Get(), kResourceLanguage, &bytes[0], static_cast<DWORD>(bytes.size()))) {
    EndUpdateResourceW(update, TRUE);
    return 5;
  }
  return EndUpdateResourceW(update, FALSE) ? 0 : 6;
}
