// WinHTTP trusts the roots of the user's store: the test's certificate goes there, in the
// test's own wine prefix.
#include "net_link_check.h"

#include <windows.h>
// wincrypt.h needs the types of windows.h first.
#include <wincrypt.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

void check_wait_ms(int milliseconds) {
    Sleep(static_cast<DWORD>(milliseconds));
}

bool check_trust(const char* pem_file) {
    std::ifstream in(pem_file);
    std::stringstream text;
    text << in.rdbuf();
    const std::string pem = text.str();
    DWORD size = 0;
    if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr))
        return false;
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr))
        return false;
    HCERTSTORE roots = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    if (!roots) return false;
    const bool added = CertAddEncodedCertificateToStore(roots, X509_ASN_ENCODING, der.data(), size,
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertCloseStore(roots, 0);
    return added;
}
