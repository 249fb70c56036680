// Arbitrary bytes as one message: whatever decodes must encode back to the same bytes (a hello
// keeps only what this version reads), and every record of a run must lie inside the run.
#include "online/wire.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes{data, size};
    wire::Message m;
    if (wire::decode(bytes, m)) return 0;
    std::vector<uint8_t> again;
    wire::encode(m, again);
    const bool hello = m.type == wire::Type::HELLO;
    if (hello ? !std::equal(again.begin(), again.end(), bytes.begin()) : again != std::vector(bytes.begin(), bytes.end()))
        std::abort();
    if (m.type == wire::Type::TICKS)
        for (size_t i = 0; i < wire::ticks_record_count(m); ++i) {
            const wire::StampedRecord s = wire::ticks_record(m, i);
            if (s.tick < m.tick || s.tick - m.tick >= m.count) std::abort();
        }
    return 0;
}
