// Melody texts: parsed into note and duration codes, rendered as one tone per group.
#include "audio/sfx.h"
#include "audio/sfx_synth.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr size_t GROUP_CHARS = 4;
constexpr int LETTER_KEEP_ABOVE = 0x60; // lower-case letters (and above) keep the previous letter

int duration_code(unsigned char c, int previous) {
    switch (c) {
    case '1':
        return 8;
    case '2':
        return 4;
    case '4':
        return 2;
    case '8':
        return 1;
    default:
        return previous;
    }
}
} // namespace

Melody* melody_parse(const char* text) {
    const size_t groups = text ? std::strlen(text) / GROUP_CHARS : 0;
    auto* melody = static_cast<Melody*>(std::malloc(sizeof(Melody) + 2 * groups));
    if (!melody) return nullptr;
    melody->amplitude = MELODY_AMPLITUDE;
    melody->notes = reinterpret_cast<int8_t*>(melody + 1);
    melody->durations = melody->notes + groups;
    melody->count = static_cast<int>(groups);
    // A first group with nothing to keep plays 'A' and carries duration code 0 ("none given").
    int letter = 0;
    int duration = 0;
    for (size_t g = 0; g < groups; ++g) {
        const auto* group = reinterpret_cast<const unsigned char*>(text + g * GROUP_CHARS);
        if (group[0] <= LETTER_KEEP_ABOVE) letter = group[0] - 'A';
        // letter + 12 x (digit - 4), folded into a signed byte
        const int note = (letter + 12 * group[1] + 400) & 0xFF;
        melody->notes[g] = static_cast<int8_t>(static_cast<uint8_t>(note));
        duration = duration_code(group[2], duration);
        melody->durations[g] = static_cast<int8_t>(duration);
    }
    return melody;
}

void melody_free(Melody* melody) {
    std::free(melody);
}

int32_t melody_render(const Melody* melody) {
    if (!melody) return 0;
    std::printf("playing %d tones\n", melody->count);
    const int32_t start = sfx_module.write_position;
    for (int g = 0; g < melody->count; ++g) {
        const int note = melody->notes[g];
        std::printf("%d %d\n", note, melody->durations[g]);
        sfx_note(note / 12, note % 12, MELODY_TONE_SAMPLES, melody->amplitude);
    }
    // What was written, not what was asked for: a melody too long for the buffer is cut short
    // and the device must never be handed bytes past its end.
    return (sfx_module.write_position - start) * 2;
}
