// How late closed ticks leave the server, kept only with --stats: every TICKS message's time from its
// tick's due moment to being handed to the socket, and the room clock's wake-ups after that moment.
// Counted in fixed steps, so a thousand rooms cost no allocation; a line on request, then reset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class LatencyCounts {
  public:
    void add(int64_t us);
    double percentile_ms(double q) const;
    double max_ms() const { return static_cast<double>(max_us_) / 1000.0; }
    uint64_t total() const { return total_; }
    void clear();

  private:
    static constexpr int64_t STEP_US = 10;
    static constexpr size_t STEPS = 100'000; // 1 s; anything later counts in the last step
    std::vector<uint32_t> counts_ = std::vector<uint32_t>(STEPS);
    uint64_t total_ = 0;
    int64_t max_us_ = 0;
};

struct TickStats {
    LatencyCounts handed; // a closed tick's TICKS handed to a socket, after the tick's due moment
    LatencyCounts woke;   // the room clock's wake-up, after the due moment

    // "stats: ..." with both, for the period since the last line.
    std::string line() const;
    void clear();
};
