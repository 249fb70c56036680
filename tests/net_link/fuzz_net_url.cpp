// Server addresses come from the command line and from links anyone can send: any bytes are
// taken apart or refused, never read past.
#include "platform/net_url.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string url(reinterpret_cast<const char*>(data), size); // stops at a zero, as a C string does
    NetUrl parsed;
    if (!net_url_parse(url.c_str(), &parsed)) net_url_authority(parsed);
    return 0;
}
