// libFuzzer target: any bytes as a module from memory, then three seconds of mixing, with the
// sequencer running every effect the bytes happen to name. An odd length plays with the loop
// flag, so songs that end early and songs that jump back both get mixed; the song also ends on
// its first, second or third return, as the tools render it.
#include "audio/music/mixer.h"
#include "audio/music/sequencer.h"

#include <cstddef>
#include <cstdint>

namespace {
constexpr int MIX_CHUNKS = 3 * OUTPUT_RATE / CHUNK_FRAMES;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint32_t flags = MUSIC_FROM_MEMORY | (size % 2 ? MUSIC_LOOP : 0u);
    if (!music_load(data, static_cast<uintptr_t>(size), flags)) return 0;
    // The tools' play-once ending, so the played-rows bitmap is indexed by every row reached.
    sequencer_end_on_return(1 + static_cast<int>(size % 3));
    for (int i = 0; i < MIX_CHUNKS && !mixer_song_done(); ++i)
        mix_chunk();
    music_unload();
    return 0;
}
