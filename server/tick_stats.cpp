#include "server/tick_stats.h"

#include <algorithm>
#include <cstdio>

void LatencyCounts::add(int64_t us) {
    us = std::max<int64_t>(us, 0);
    ++counts_[std::min(static_cast<size_t>(us / STEP_US), STEPS - 1)];
    ++total_;
    max_us_ = std::max(max_us_, us);
}

double LatencyCounts::percentile_ms(double q) const {
    if (total_ == 0) return 0;
    const uint64_t wanted = static_cast<uint64_t>(q * static_cast<double>(total_ - 1)) + 1;
    uint64_t seen = 0;
    size_t step = 0;
    while (step + 1 < STEPS && (seen += counts_[step]) < wanted) ++step;
    return static_cast<double>((static_cast<int64_t>(step) + 1) * STEP_US) / 1000.0; // the step's upper end
}

void LatencyCounts::clear() {
    std::fill(counts_.begin(), counts_.end(), 0u);
    total_ = 0;
    max_us_ = 0;
}

std::string TickStats::line() const {
    char text[320];
    std::snprintf(text, sizeof text,
                  "stats: %llu closed-tick messages handed to sockets p50 %.2f p99 %.2f max %.2f ms after their due"
                  " time; %llu clock wake-ups p50 %.2f p99 %.2f max %.2f ms late",
                  static_cast<unsigned long long>(handed.total()), handed.percentile_ms(0.5),
                  handed.percentile_ms(0.99), handed.max_ms(), static_cast<unsigned long long>(woke.total()),
                  woke.percentile_ms(0.5), woke.percentile_ms(0.99), woke.max_ms());
    return text;
}

void TickStats::clear() {
    handed.clear();
    woke.clear();
}
