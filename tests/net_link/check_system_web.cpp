// Built with ASYNCIFY: the check's loop gives the event loop its turn, as a frame would.
#include "net_link_check.h"

#include <emscripten.h>

void check_wait_ms(int milliseconds) {
    emscripten_sleep(static_cast<unsigned>(milliseconds));
}

// node trusts what NODE_EXTRA_CA_CERTS names; the calling script sets it.
bool check_trust(const char*) {
    return true;
}
