// Trusts the test root CA in the running Wine prefix (or Windows machine):
// adds the DER certificate to the local machine's "Root" store. Test support
// only; an existing copy is kept.
#ifndef TESTS_TRUST_TEST_ROOT_STORE_H_
#define TESTS_TRUST_TEST_ROOT_STORE_H_

#include <string>

namespace lite_installer {
namespace testing {

bool AddTestRootCertificate(const std::wstring& der_path);

}  // namespace testing
}  // namespace lite_installer

#endif  // TESTS_TRUST_TEST_ROOT_STORE_H_
