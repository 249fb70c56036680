// Processors without kernels of their own mix with the portable set.
#include "audio/music/mix_kernels.h"

#include <array>

std::span<const MixKernels* const> mix_kernels_usable() {
    static constexpr std::array<const MixKernels*, 1> usable = {&PORTABLE_MIX_KERNELS};
    return usable;
}
