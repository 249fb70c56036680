// x86-64: every processor runs the portable set (built for the baseline instruction set); the
// AVX2 set goes first where the processor and the operating system support it.
#include "audio/music/mix_kernels.h"

#include <array>
#include <utility>

extern const MixKernels AVX2_MIX_KERNELS;

std::span<const MixKernels* const> mix_kernels_usable() {
    static const auto usable = [] {
        std::array<const MixKernels*, 2> list{};
        size_t count = 0;
        __builtin_cpu_init(); // may run before the runtime's own start-up code
        if (__builtin_cpu_supports("avx2")) list[count++] = &AVX2_MIX_KERNELS;
        list[count++] = &PORTABLE_MIX_KERNELS;
        return std::pair{list, count};
    }();
    return std::span<const MixKernels* const>(usable.first.data(), usable.second);
}
