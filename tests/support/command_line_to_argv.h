// CommandLineToArgvW's splitting rules as documented, without the system, so
// that native tests and fuzzers can check what the setup program reads back
// from a command line the installer builds. The Windows tests compare it
// with shell32's own function.
#ifndef TESTS_SUPPORT_COMMAND_LINE_TO_ARGV_H_
#define TESTS_SUPPORT_COMMAND_LINE_TO_ARGV_H_

#include <string>
#include <vector>

namespace lite_installer {
namespace testing {

// The first argument runs from a double quote to the next one, or up to the
// first blank or tab, with no escapes. Later arguments are separated by
// blanks and tabs outside quotes; 2n backslashes before a double quote give n
// backslashes and the quote toggles quoting, 2n+1 give n and a literal quote;
// other backslashes are literal; inside quotes, a quote that follows a
// closing quote ("") is a literal quote. An empty line gives one empty
// argument (the system would put the module's path there).
std::vector<std::wstring> CommandLineToArgv(const std::wstring& line);

}  // namespace testing
}  // namespace lite_installer

#endif  // TESTS_SUPPORT_COMMAND_LINE_TO_ARGV_H_
