#include "base/switches.h"

#include "base/text.h"

using lite_installer::Narrow;
using lite_installer::ToLowerAscii;
using lite_installer::TrimWhitespace;
using lite_installer::Widen;

namespace {

const char* const kPrefixes[] = {"--", "-", "/"};

// Returns the length of the first prefix that `text` starts with, or 0.
template <typename String>
size_t PrefixLength(const String& text) {
  for (const char* prefix : kPrefixes) {
    size_t i = 0;
    while (prefix[i] != '\0' && i < text.size() &&
           text[i] == static_cast<typename String::value_type>(prefix[i])) {
      ++i;
    }
    if (prefix[i] == '\0') return i;
  }
  return 0;
}

}  // namespace

ProcessSwitches ProcessSwitches::FromArguments(const std::vector<std::wstring>& arguments,
                                               std::vector<std::wstring>* dropped) {
  ProcessSwitches table;
  if (arguments.empty()) return table;
  table.program_ = TrimWhitespace(arguments[0]);
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::wstring argument = TrimWhitespace(arguments[i]);
    if (PrefixLength(argument) == 0) continue;
    const size_t equals = argument.find(L'=');
    const std::wstring name = ToLowerAscii(argument.substr(0, equals));
    // A bare "--", "-" or "/" names nothing, and a setup may read "--" as
    // the end of its switches.
    if (!IsPassableSwitchName(name.substr(PrefixLength(name)))) {
      if (dropped != nullptr) dropped->push_back(name);
      continue;
    }
    if (equals == std::wstring::npos) {
      table.Set(Narrow(argument));
    } else {
      table.Set(Narrow(argument.substr(0, equals)), argument.substr(equals + 1));
    }
  }
  if (table.Has("semi-silent")) {
    table.Set("silent");
    table.Set("uac-enabled");
  }
  return table;
}

bool ProcessSwitches::Has(const std::string& name) const {
  return switches_.count(ToLowerAscii(name)) != 0;
}

std::wstring ProcessSwitches::Value(const std::string& name) const {
  const auto it = switches_.find(ToLowerAscii(name));
  return it == switches_.end() ? std::wstring() : it->second;
}

std::string ProcessSwitches::ValueNarrow(const std::string& name) const {
  return Narrow(Value(name));
}

void ProcessSwitches::Set(const std::string& name) {
  Set(name, std::wstring());
}

void ProcessSwitches::Set(const std::string& name, const std::string& value) {
  Set(name, Widen(value));
}

void ProcessSwitches::Set(const std::string& name, const std::wstring& value) {
  const std::string lowered = ToLowerAscii(name);
  switches_[lowered.substr(PrefixLength(lowered))] = value;
}

void ProcessSwitches::Remove(const std::string& name) {
  switches_.erase(name);
}

void ProcessSwitches::SetProgram(const std::wstring& path) {
  program_ = TrimWhitespace(path);
}

bool ProcessSwitches::IsPassableSwitchName(const std::wstring& name) {
  if (name.empty()) return false;
  for (wchar_t c : name) {
    const bool passable = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                          c == L'-' || c == L'_' || c == L'.';
    if (!passable) return false;
  }
  return true;
}

std::wstring ProcessSwitches::ToCommandLine() const {
  std::wstring line = QuoteProgram(program_);
  for (const auto& entry : switches_) {
    if (!IsPassableSwitchName(Widen(entry.first)) || entry.second.find(L'\0') != std::wstring::npos) continue;
    line += L" --";
    line += Widen(entry.first);
    if (!entry.second.empty()) {
      line += L'=';
      line += QuoteArgument(entry.second);
    }
  }
  return line;
}

std::wstring ProcessSwitches::QuoteProgram(const std::wstring& path) {
  if (path.empty() || path.find_first_of(L" \t\n\v\\") == std::wstring::npos) return path;
  return L"\"" + path + L"\"";
}

std::wstring ProcessSwitches::QuoteArgument(const std::wstring& text) {
  if (text.find_first_of(L" \t\n\v\\\"") == std::wstring::npos) return text;
  std::wstring out = L"\"";
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == L'\\') {
      size_t run = 0;
      while (i + run < text.size() && text[i + run] == L'\\') ++run;
      const bool doubled = i + run == text.size() || text[i + run] == L'"';
      out.append(doubled ? run * 2 : run, L'\\');
      i += run;
    } else if (text[i] == L'"') {
      out += L"\\\"";
      ++i;
    } else {
      out += text[i];
      ++i;
    }
  }
  out += L'"';
  return out;
}
