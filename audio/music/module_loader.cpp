// Module loading: one forward pass over the module (apart from the seeks that skip the rest of
// each instrument header). Checks keep every later index inside its table: channel and sample
// counts, row counts, envelope point indices and sample loops are bounded here once, so the
// sequencer and the mixer never test them again.
#include "audio/music/module_loader.h"

#include "audio/music/arena.h"
#include "audio/music/pattern_decoder.h"
#include "audio/music/sample_decoder.h"
#include "audio/music/sequencer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

Song song;
const SampleRecord empty_sample{};

namespace {

constexpr uint32_t MODULE_HEADER_BYTES = 336;
constexpr uint32_t HEADER_SIZE_OFFSET = 60; // the header size counts from here
constexpr uint32_t PATTERN_HEADER_BYTES = 9;
constexpr uint32_t INSTRUMENT_HEADER_BYTES = 33;
constexpr uint32_t INSTRUMENT_EXTRA_BYTES = 208; // keymap .. fadeout
constexpr uint32_t SAMPLE_HEADER_MAX_BYTES = 40;
constexpr uint16_t MISSING_PATTERN_ROWS = 64;
constexpr uint64_t UNITY_STEP = uint64_t{1} << 32;
constexpr int32_t FULL_GLOBAL_VOLUME = 64;
constexpr int32_t ENVELOPE_VALUE_MAX = 64;

uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t le32(const uint8_t* p) {
    return le16(p) | static_cast<uint32_t>(le16(p + 2)) << 16;
}

void song_clear() {
    song.pattern_table = nullptr;
    song.instrument_table = nullptr;
    song.voices = nullptr;
    song.channels = nullptr;
    song.frames_left_in_tick = 0;
    song.global_volume = FULL_GLOBAL_VOLUME;
    song.tick = 0;
    song.speed = 0;
    song.order = 0;
    song.row = 0;
    song.pattern_delay = 0;
    song.pending_order.store(0, std::memory_order_relaxed);
    song.pending_row.store(0, std::memory_order_relaxed);
    song.channel_count = 0;
    song.frames_per_tick = 0;
    song.song_length = 0;
    song.restart_order = 0;
    song.pattern_slot_count = 0;
    song.instrument_count = 0;
    song.module_flags = 0;
    song.loop = false;
    song.ended = false;
    song.plays_left = 0;
    song.played_rows.fill(0);
    std::fill(std::begin(song.order_table), std::end(song.order_table), uint8_t{0});
}

size_t round_up(size_t bytes) {
    return (bytes + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
}

// Voices, channels, pattern slots and instruments in one block, voices in pairs per channel.
bool allocate_song_tables() {
    size_t voices_bytes = round_up(sizeof(Voice) * 2 * song.channel_count);
    size_t channels_bytes = round_up(sizeof(ChannelState) * song.channel_count);
    size_t slots_bytes = round_up(sizeof(PatternSlot) * song.pattern_slot_count);
    size_t instruments_bytes = sizeof(Instrument) * song.instrument_count;
    auto* block =
        static_cast<uint8_t*>(arena_alloc(voices_bytes + channels_bytes + slots_bytes + instruments_bytes));
    if (!block) return false;
    song.voices = reinterpret_cast<Voice*>(block);
    song.channels = reinterpret_cast<ChannelState*>(block + voices_bytes);
    song.pattern_table = reinterpret_cast<PatternSlot*>(block + voices_bytes + channels_bytes);
    song.instrument_table =
        reinterpret_cast<Instrument*>(block + voices_bytes + channels_bytes + slots_bytes);
    for (int c = 0; c < song.channel_count; ++c) {
        song.channels[c].voice = &song.voices[2 * c];
        song.voices[2 * c].step = UNITY_STEP;
    }
    return true;
}

// Returns the number of patterns the file stores, 0 when the header fails a check.
uint16_t read_header(ModuleSource& source) {
    // A fresh, blank header: a source shorter than the header leaves the pattern count at 0.
    std::array<uint8_t, MODULE_HEADER_BYTES> header{};
    source_read(source, header.data(), MODULE_HEADER_BYTES);
    source_seek(source, int64_t{HEADER_SIZE_OFFSET} + le32(&header[60]), false);

    uint16_t song_length = le16(&header[64]);
    uint16_t pattern_count = le16(&header[70]);
    if (pattern_count == 0 || song_length == 0 || song_length > MAX_ORDERS) return 0;
    song.song_length = song_length;
    song.restart_order = le16(&header[66]);
    std::copy_n(&header[80], MAX_ORDERS, song.order_table);
    int largest = *std::max_element(song.order_table, song.order_table + song_length);
    song.pattern_slot_count = static_cast<uint16_t>(std::max<int>(largest + 1, pattern_count));

    song.channel_count = header[68];
    if (song.channel_count == 0 || song.channel_count > MAX_CHANNELS) return 0;
    song.instrument_count = header[72];
    song.module_flags = le16(&header[74]);
    if (!allocate_song_tables()) return 0;
    set_bpm(le16(&header[78]));
    song.global_volume = FULL_GLOBAL_VOLUME;
    song.speed = le16(&header[76]);
    return pattern_count;
}

bool read_patterns(ModuleSource& source, uint16_t stored_count) {
    for (int p = 0; p < stored_count; ++p) {
        std::array<uint8_t, PATTERN_HEADER_BYTES> header{};
        source_read(source, header.data(), PATTERN_HEADER_BYTES);
        PatternSlot& slot = song.pattern_table[p];
        slot.rows = le16(&header[5]);
        slot.packed_size = le16(&header[7]);
        // A pattern stored empty still names its rows: 0 reads as the usual 64, and more than a
        // pattern can hold fails like a stored one (its rows index the played-rows bitmap).
        if (slot.packed_size == 0 && slot.rows == 0) slot.rows = MISSING_PATTERN_ROWS;
        if (slot.rows == 0 || slot.rows > MAX_ROWS) return false;
        if (slot.packed_size == 0) continue;
        size_t count = size_t{slot.rows} * static_cast<size_t>(song.channel_count);
        slot.cells = static_cast<Cell*>(arena_alloc(sizeof(Cell) * count));
        if (!slot.cells) return false;
        decode_pattern_cells(source, std::span<Cell>(slot.cells, count), song.instrument_count);
    }
    for (int p = stored_count; p < song.pattern_slot_count; ++p) {
        PatternSlot& slot = song.pattern_table[p];
        slot.rows = MISSING_PATTERN_ROWS;
        size_t count = size_t{MISSING_PATTERN_ROWS} * static_cast<size_t>(song.channel_count);
        slot.cells = static_cast<Cell*>(arena_alloc(sizeof(Cell) * count));
        if (!slot.cells) return false;
    }
    return true;
}

void read_envelope(const uint8_t* p, std::span<EnvelopePoint, ENVELOPE_POINTS> points) {
    for (int i = 0; i < ENVELOPE_POINTS; ++i) {
        points[i].tick = le16(p + 4 * i);
        points[i].value = std::min<uint16_t>(le16(p + 4 * i + 2), ENVELOPE_VALUE_MAX);
    }
}

// Keeps every point index an envelope can reach inside its 12 points; a sustain or loop point
// beyond the last point switches that feature off.
void normalise_envelope(uint8_t& count, uint8_t sustain, uint8_t loop_start, uint8_t loop_end,
                        uint8_t& type) {
    count = std::min<uint8_t>(count, ENVELOPE_POINTS);
    if (sustain >= count) type &= static_cast<uint8_t>(~ENVELOPE_SUSTAIN);
    if (loop_start >= count || loop_end >= count) type &= static_cast<uint8_t>(~ENVELOPE_LOOP);
    if (count == 0) type = 0; // one point holds its value
}

void read_instrument_extra(const uint8_t* p, Instrument& instrument) {
    std::copy_n(p, KEYMAP_NOTES, instrument.keymap);
    read_envelope(p + 96, instrument.volume_envelope);
    read_envelope(p + 144, instrument.panning_envelope);
    const uint8_t* b = p + 192;
    instrument.volume_points = b[0];
    instrument.panning_points = b[1];
    instrument.volume_sustain = b[2];
    instrument.volume_loop_start = b[3];
    instrument.volume_loop_end = b[4];
    instrument.panning_sustain = b[5];
    instrument.panning_loop_start = b[6];
    instrument.panning_loop_end = b[7];
    instrument.volume_type = b[8];
    instrument.panning_type = b[9];
    instrument.vibrato_type = b[10];
    instrument.vibrato_sweep = b[11];
    instrument.vibrato_depth = b[12];
    instrument.vibrato_rate = b[13];
    instrument.fadeout = le16(b + 14);
}

bool read_instrument(ModuleSource& source, Instrument& instrument) {
    std::array<uint8_t, INSTRUMENT_HEADER_BYTES> header{};
    source_read(source, header.data(), INSTRUMENT_HEADER_BYTES);
    uint32_t header_size = le32(&header[0]);
    int sample_count = header[27];
    uint32_t sample_header_size = le32(&header[29]);
    int64_t skip = int64_t{header_size} - INSTRUMENT_HEADER_BYTES;
    if (sample_count > 0) {
        if (sample_count > MAX_SAMPLES_PER_INSTRUMENT || sample_header_size > SAMPLE_HEADER_MAX_BYTES)
            return false;
        std::array<uint8_t, INSTRUMENT_EXTRA_BYTES> extra{};
        source_read(source, extra.data(), INSTRUMENT_EXTRA_BYTES);
        read_instrument_extra(extra.data(), instrument);
        skip -= INSTRUMENT_EXTRA_BYTES;
    }
    source_seek(source, skip, true);
    instrument.fadeout = static_cast<uint16_t>(instrument.fadeout * 2);
    normalise_envelope(instrument.volume_points, instrument.volume_sustain, instrument.volume_loop_start,
                       instrument.volume_loop_end, instrument.volume_type);
    normalise_envelope(instrument.panning_points, instrument.panning_sustain, instrument.panning_loop_start,
                       instrument.panning_loop_end, instrument.panning_type);

    for (int s = 0; s < sample_count; ++s) {
        std::array<uint8_t, SAMPLE_HEADER_MAX_BYTES> raw{};
        source_read(source, raw.data(), sample_header_size);
        instrument.samples[s] = sample_from_header(raw);
        if (!instrument.samples[s]) return false;
    }
    for (int s = 0; s < sample_count; ++s)
        read_sample_points(source, *instrument.samples[s]);
    return true;
}

} // namespace

bool load_module(ModuleSource& source) {
    song_clear();
    source_open(source);
    uint16_t stored_patterns = read_header(source);
    if (stored_patterns == 0 || !read_patterns(source, stored_patterns)) return false;
    for (int i = 0; i < song.instrument_count; ++i)
        if (!read_instrument(source, song.instrument_table[i])) return false;
    return true;
}
