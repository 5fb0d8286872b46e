// The switch table of a command line: a program path and switches by name.
// The process-wide table is parsed once from the process command line; a copy
// is edited and serialised to build another program's command line.
#ifndef BASE_SWITCHES_H_
#define BASE_SWITCHES_H_

#include <map>
#include <string>
#include <vector>

class ProcessSwitches {
 public:
  ProcessSwitches() = default;

  // The process-wide table, parsed from GetCommandLineW() on the first call,
  // which logs a WARNING for each dropped switch. The first call must come
  // before a second thread runs; the table is only read afterwards. Windows
  // build only.
  static const ProcessSwitches& Current();

  // Builds a table from arguments as CommandLineToArgvW splits them: the first
  // is the program, every further argument that starts with "--", "-" or "/"
  // is a switch, the rest are dropped. A switch whose name (without prefix)
  // is empty (a bare "--", "-" or "/") or holds anything but ASCII letters,
  // digits, "-", "_" and "." is dropped too, and its lower-cased text added
  // to `dropped` (may be null): it could not be passed on as the same name. "semi-silent" adds "silent" and
  // "uac-enabled" with empty values.
  static ProcessSwitches FromArguments(const std::vector<std::wstring>& arguments,
                                       std::vector<std::wstring>* dropped = nullptr);

  // Presence of the lower-cased name (no prefix is stripped from the query).
  bool Has(const std::string& name) const;
  // The value, or empty when the switch is absent or has no value.
  std::wstring Value(const std::string& name) const;
  // The value with the low 8 bits of each code unit kept.
  std::string ValueNarrow(const std::string& name) const;

  // Lower-cases the name, strips the first matching prefix and stores the
  // value, replacing any earlier one.
  void Set(const std::string& name);
  void Set(const std::string& name, const std::string& value);
  void Set(const std::string& name, const std::wstring& value);
  // Erases the switch with exactly this name.
  void Remove(const std::string& name);
  void SetProgram(const std::wstring& path);

  const std::wstring& program() const { return program_; }
  const std::map<std::string, std::wstring>& switches() const { return switches_; }

  // The program and every switch in ascending name order as one command line:
  // `program --name` or `--name=value`, the program through QuoteProgram and
  // the value through QuoteArgument. CommandLineToArgvW splits it back into
  // exactly these arguments. A switch that cannot be passed on as it is (a
  // name outside IsPassableSwitchName, a value holding U+0000) is left out.
  std::wstring ToCommandLine() const;

  // Quotes text so that CommandLineToArgvW reads it back as one argument (not
  // the first one). Text without blank, tab, line break, backslash or double
  // quote is returned unchanged.
  static std::wstring QuoteArgument(const std::wstring& text);

  // The program path as the first argument, which CommandLineToArgvW reads
  // up to the next blank, or from a double quote to the next double quote
  // with no escapes: enclosed in double quotes when it holds a blank, tab,
  // line break or backslash. A path cannot hold a double quote.
  static std::wstring QuoteProgram(const std::wstring& path);

  // One or more ASCII letters, digits, "-", "_" and "." (never the empty name).
  static bool IsPassableSwitchName(const std::wstring& name);

 private:
  std::wstring program_;
  std::map<std::string, std::wstring> switches_;
};

#endif  // BASE_SWITCHES_H_
