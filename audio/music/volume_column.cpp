// The volume column: set volume, slides, vibrato, panning and tone portamento in the byte beside
// each note.
#include "audio/music/effects.h"

namespace {

constexpr uint8_t SET_VOLUME_FIRST = 0x10, SET_VOLUME_LAST = 0x50;
constexpr int PANNING_UNIT = 16;
constexpr int TONE_PORTA_UNIT = 16;

} // namespace

void volume_column_row(ChannelContext& c) {
    ChannelState& ch = c.ch;
    uint8_t byte = c.cell.volume;
    uint8_t y = byte & 0x0F;
    if (byte >= SET_VOLUME_FIRST && byte <= SET_VOLUME_LAST) {
        ch.volume = byte - SET_VOLUME_FIRST;
        ch.tremor_muted = false;
        ch.flags |= CHANNEL_VOLUME;
        return;
    }
    // The slides 6y, 7y, Dy and Ey move on the ticks after the first only, like the A command.
    switch (byte >> 4) {
    case 0x8:
        add_volume(ch, -y);
        break;
    case 0x9:
        add_volume(ch, y);
        break;
    case 0xA:
        ch.vib_speed = y;
        break;
    case 0xB:
        if (y) ch.vib_depth = y; // B0 vibrates at the depth set before
        vibrato_hold(ch);
        break;
    case 0xC:
        ch.panning = y * PANNING_UNIT;
        ch.flags |= CHANNEL_PANNING;
        break;
    case 0xF:
        if (y) ch.tone_porta_speed = static_cast<uint8_t>(y * TONE_PORTA_UNIT);
        ch.flags &= static_cast<uint8_t>(~CHANNEL_TRIGGER);
        ch.porta_target = ch.note_period;
        break;
    default: // below 0x10 and 0x51..0x5F
        break;
    }
}

void volume_column_tick(ChannelContext& c) {
    ChannelState& ch = c.ch;
    uint8_t y = c.cell.volume & 0x0F;
    switch (c.cell.volume >> 4) {
    case 0x6:
        add_volume(ch, -y);
        break;
    case 0x7:
        add_volume(ch, y);
        break;
    case 0xB:
        if (y) ch.vib_depth = y;
        vibrato(ch);
        break;
    case 0xD:
        add_panning(ch, -y);
        break;
    case 0xE:
        add_panning(ch, y);
        break;
    case 0xF:
        tone_porta_step(ch);
        break;
    default:
        break;
    }
}
