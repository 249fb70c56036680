// The music player's in-memory song: what the loader builds from a module, what the sequencer
// advances tick by tick and what the mixer renders. All records live in the player's private
// arena and are released together by music_stop.
// Threads: built on the game thread inside music_start; afterwards read and written only by
// the output thread, except the words marked atomic.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>

constexpr int MAX_CHANNELS = 64;
constexpr int MAX_ROWS = 256;
constexpr int MAX_ORDERS = 256;
constexpr int MAX_SAMPLES_PER_INSTRUMENT = 16;
constexpr int ENVELOPE_POINTS = 12;
constexpr int32_t MAX_SAMPLE_POINTS = 1 << 22;
constexpr int KEYMAP_NOTES = 96;
constexpr int NOTE_KEY_OFF = 97;
constexpr int OUTPUT_RATE = 48000;
// Channel, sample and global volumes are kept within 0..64 at every step, so that a slide past
// either end is heard to turn back at once.
constexpr int32_t FULL_VOLUME = 64;

struct Cell {
    uint8_t note;       // 0 none, 1..96 a note, 97 and above key-off
    uint8_t instrument; // 0 none, 1..instrument_count
    uint8_t volume;     // volume-column byte
    uint8_t effect;
    uint8_t param;
};
static_assert(sizeof(Cell) == 5);

struct PatternSlot {
    uint16_t rows;
    uint16_t packed_size; // only tested for zero
    Cell* cells;          // rows x channel_count, row-major; null for a pattern stored empty
};

struct SampleRecord {
    int32_t length; // points
    int32_t loop_start;
    int32_t loop_length;
    uint8_t volume; // 0..64
    int8_t finetune;
    uint8_t is_16bit;
    uint8_t panning;
    int8_t relative_note;
    uint8_t packing;   // 0xAD: 4-bit packed data
    uint8_t loop_type; // 0 none, 1 forward, 2 ping-pong
    uint8_t unused;
    int16_t data[3]; // really length + 3 points; the guard point sits at loop_start + loop_length
};
constexpr int SAMPLE_HEADER_BYTES = 20;

struct EnvelopePoint {
    uint16_t tick;
    uint16_t value;
};

constexpr uint8_t ENVELOPE_ON = 1, ENVELOPE_SUSTAIN = 2, ENVELOPE_LOOP = 4;

struct Instrument {
    SampleRecord* samples[MAX_SAMPLES_PER_INSTRUMENT];
    // From here to fadeout: the 208 bytes after the sample-header-size field, in file order.
    uint8_t keymap[KEYMAP_NOTES];
    EnvelopePoint volume_envelope[ENVELOPE_POINTS];
    EnvelopePoint panning_envelope[ENVELOPE_POINTS];
    uint8_t volume_points, panning_points;
    uint8_t volume_sustain, volume_loop_start, volume_loop_end;
    uint8_t panning_sustain, panning_loop_start, panning_loop_end;
    uint8_t volume_type, panning_type;
    uint8_t vibrato_type, vibrato_sweep, vibrato_depth, vibrato_rate;
    uint16_t fadeout; // doubled at load, kept to 16 bits
};

// One voice slot of a channel's pair. The mixer reads and advances it; the channel update
// (sequencer) sets its targets, step and sample.
struct Voice {
    // Volumes in 1/128 of a step of 0..127, the mixer's unit, so quiet fades keep their shape.
    int32_t final_volume; // 0..127 x 128
    int32_t final_pan;    // 0..255
    int32_t start_offset; // points, for the next trigger
    int32_t target_right; // 0..127 x 128
    int32_t target_left;
    int32_t position; // integer part of the play position, points
    uint64_t step;    // 32.32 fixed point points per frame
    uint32_t last_targets;
    int32_t ramp_right, ramp_left;
    const SampleRecord* sample; // null: idle
    uint32_t frac;
    int32_t current_right, current_left; // where the ramp is, in the targets' unit
    uint16_t ramp_count;
    uint8_t direction; // 0 forward, 1 backward
};

struct ChannelState {
    uint8_t note;       // 0..95 without the sample's relative note
    uint8_t flags;      // CHANNEL_FREQUENCY | CHANNEL_VOLUME | CHANNEL_PANNING | CHANNEL_TRIGGER
    uint8_t instrument; // 0-based
    Voice* voice;       // the slot of the pair this channel plays on now
    int32_t period;
    int32_t volume;
    int32_t volume_delta;
    int32_t period_delta;
    int32_t panning;
    int32_t vol_env_tick, vol_env_point, vol_env_slope;
    int32_t pan_env_tick, pan_env_point, pan_env_slope;
    int32_t autovib_sweep, autovib_pos;
    uint8_t key_off;
    uint8_t vol_env_done, pan_env_done;
    int32_t vol_env_value16, pan_env_value16;
    int32_t vol_env_value; // 0..64 x 256 (8 bits of fraction)
    int32_t fade;          // 0..65536
    int32_t pan_env_value; // 0..64 x 256, centre 32 x 256
    int32_t note_period;
    int32_t offset_memory;
    int32_t porta_target;
    int32_t loop_count, loop_row;
    uint8_t real_note;
    int8_t finetune; // of the note playing: the sample's, or what E5x set for it
    uint8_t last_effect;
    uint8_t porta_memory; // shared by 1xx and 2xx
    uint8_t extra_fine_down_memory, extra_fine_up_memory;
    uint8_t volume_slide_memory; // A, 5, 6
    uint8_t panning_slide_memory;
    uint8_t retrigger_volume, retrigger_interval;
    uint8_t retrigger_count; // ticks since the last (re)start, across rows
    uint8_t tone_porta_speed;
    uint8_t fine_volume_up_memory, fine_volume_down_memory;
    uint8_t global_volume_slide_memory; // H remembers per channel
    uint8_t fine_porta_up_memory, fine_porta_down_memory;
    uint8_t vib_pos, vib_speed, vib_depth;
    uint8_t trem_pos, trem_speed, trem_depth;
    uint8_t tremor_count, tremor_on, tremor_off; // the count runs on across rows
    bool tremor_muted;    // stays silent after the T rows end, until an instrument number or a set volume
    uint8_t wave_control; // low nibble vibrato waveform, high nibble tremolo waveform
};

constexpr uint8_t CHANNEL_FREQUENCY = 1, CHANNEL_VOLUME = 2, CHANNEL_PANNING = 4, CHANNEL_TRIGGER = 8;

struct Song {
    PatternSlot* pattern_table;
    Instrument* instrument_table;
    Voice* voices;          // 2 x channel_count, a pair per channel side by side
    ChannelState* channels; // channel_count
    int32_t frames_left_in_tick;
    int32_t global_volume;
    int32_t tick;
    int32_t speed;
    int32_t order;
    int32_t row;
    int32_t pattern_delay;
    std::atomic<int32_t> pending_order; // also written by music_set_order on the game thread
    std::atomic<int32_t> pending_row;
    int32_t channel_count;
    int32_t frames_per_tick;
    uint16_t song_length;
    uint16_t restart_order;
    uint16_t pattern_slot_count;
    uint16_t instrument_count;
    uint16_t module_flags; // bit 0: linear frequency table
    bool loop;             // loop flag of music_start: at the end go on from restart_order
    bool ended;            // the song ran past its last order without the loop flag, or came back
    uint8_t order_table[MAX_ORDERS];
    // Returns to a played row still to pass before the song ends; 0 (the game's way) never ends
    // a song on a return. played_rows has a bit per order and row since the last return.
    int32_t plays_left;
    std::array<uint64_t, MAX_ORDERS * MAX_ROWS / 64> played_rows;
};

constexpr uint16_t MODULE_LINEAR_FREQUENCIES = 1;
