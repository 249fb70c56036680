// Included before every source of the browser build: what Debian's emscripten (its C++ library
// is LLVM 14's) lacks of the C++20 the game is written in, so the portable folders compile
// unchanged. Each piece stands down when the library has it.
#pragma once
#ifdef __cplusplus
#include <version>
#ifndef __cpp_lib_bit_cast
namespace std {
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
    static_assert(sizeof(To) == sizeof(From));
    return __builtin_bit_cast(To, from);
}
} // namespace std
#endif
#endif
