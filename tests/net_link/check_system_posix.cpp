// OpenSSL adds the authorities of SSL_CERT_FILE to the system's when a link makes its context.
#include "net_link_check.h"

#include <chrono>
#include <cstdlib>
#include <thread>

void check_wait_ms(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool check_trust(const char* pem_file) {
    return setenv("SSL_CERT_FILE", pem_file, 1) == 0;
}
