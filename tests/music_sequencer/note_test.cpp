// Notes reaching the voices: frequencies, tone portamento, the voice handover on a retrigger,
// note delay, sample offset, and channels whose instrument or sample does not exist.
#include "audio/music/module_loader.h"
#include "sequencer_fixture.h"

#include <cmath>

namespace {

using Notes = Sequencer;

constexpr uint8_t C4 = 49; // note index 48: period 4608 in the linear table, 1712 in the classic one

TEST_F(Notes, NoteStartsItsVoiceAtTheTableFrequencyAndFullVolume) {
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    start();
    sequencer_tick();
    Voice& v = voice(0);
    EXPECT_EQ(v.sample, song.instrument_table[0].samples[0]);
    EXPECT_EQ(channel(0).period, 4608);
    EXPECT_EQ(v.step, step_of(8363));
    EXPECT_EQ(v.final_volume, FULL_FINAL);
    EXPECT_EQ(v.final_pan, 128);
    EXPECT_EQ(v.target_left, FULL_FINAL * 127 / 255 / 16 * 16) << "in whole eighths of a step";
    EXPECT_EQ(v.target_right, FULL_FINAL * 128 / 255 / 16 * 16);
    EXPECT_EQ(v.current_left, 0) << "a note fades in";
    EXPECT_EQ(song.voices[2].sample, nullptr) << "the silent channel stays idle";
}

TEST_F(Notes, ClassicPeriodsAndRelativeNotes) {
    m.flags = 0;
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    start();
    sequencer_tick();
    EXPECT_EQ(channel(0).period, 1712);
    EXPECT_EQ(voice(0).step, step_of(14317456 / 1712));

    m.flags = MODULE_LINEAR_FREQUENCIES;
    m.instruments[0].samples[0].relative_note = 12;
    m.instruments[0].samples[0].finetune = -128;
    start();
    sequencer_tick();
    EXPECT_EQ(channel(0).real_note, 60);
    EXPECT_EQ(channel(0).period, 4608 - 768 + 64);
    EXPECT_EQ(voice(0).step, step_of(std::llround(8363 * std::exp2((4608.0 - 3904) / 768))));
}

TEST(Frequency, ClassicFinetuneLiesBetweenSemitones) {
    EXPECT_EQ(classic_period(48, 0), 1712);
    EXPECT_GT(classic_period(48, -128), 1712);
    EXPECT_LT(classic_period(48, -128), classic_period(47, 0) + 1);
    EXPECT_LT(classic_period(48, 127), 1712);
    EXPECT_GT(classic_period(48, 127), classic_period(49, 0));
    EXPECT_EQ(period_frequency(0, 0, true), 40);
    EXPECT_EQ(period_frequency(100, -100, false), 40);
    EXPECT_EQ(period_frequency(4608, 64 * 12, true), 16726) << "the delta raises the pitch";
}

TEST_F(Notes, SetFinetuneRetunesTheNoteOfItsOwnRowOnly) {
    m.flags = 0;
    put(0, 0, Cell{C4, 1, 0, 0x0E, 0x5F}); // +112
    put(1, 0, Cell{C4, 1, 0, 0, 0});       // the sample's own finetune again
    put(2, 0, Cell{C4, 1, 0, 0x0E, 0x50}); // -128
    start();
    const int periods[] = {classic_period(48, 112), classic_period(48, 0), classic_period(48, -128)};
    for (int row = 0; row < 3; ++row) {
        sequencer_tick();
        EXPECT_EQ(channel(0).period, periods[row]) << row;
        ticks(5);
    }
    EXPECT_EQ(song.instrument_table[0].samples[0]->finetune, 0);
    m.flags = MODULE_LINEAR_FREQUENCIES;
    start();
    sequencer_tick();
    EXPECT_EQ(channel(0).period, 4608 - 56);
}

TEST_F(Notes, TonePortamentoRowKeepsNoteAndInstrumentAndSlidesToTheTarget) {
    xm::Instrument second = m.instruments[0];
    second.samples[0].volume = 20;
    m.instruments.push_back(second);
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    put(1, 0, Cell{C4 + 12, 2, 0, 0x03, 0x10});
    start();
    ticks(6);
    Voice* before = &voice(0);
    const SampleRecord* sample = voice(0).sample;
    sequencer_tick();
    EXPECT_EQ(channel(0).note, 48);
    EXPECT_EQ(channel(0).instrument, 0);
    EXPECT_EQ(channel(0).porta_target, 4608 - 768);
    EXPECT_EQ(channel(0).period, 4608);
    EXPECT_EQ(&voice(0), before) << "no retrigger";
    EXPECT_EQ(voice(0).sample, sample);
    EXPECT_EQ(channel(0).volume, 64) << "the instrument number still resets from the sample played";
    ticks(5);
    EXPECT_EQ(channel(0).period, 4608 - 5 * 64);
}

TEST_F(Notes, TonePortamentoStopsOnItsTarget) {
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    put(1, 0, Cell{C4 + 1, 0, 0, 0x03, 0xFF});
    start();
    ticks(12);
    EXPECT_EQ(channel(0).period, 4608 - 64);
}

TEST_F(Notes, VolumeColumnTonePortamentoSlidesToo) {
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    put(1, 0, Cell{C4 + 12, 0, 0xF1, 0, 0}); // 16 a tick
    start();
    ticks(7);
    EXPECT_EQ(channel(0).period, 4608) << "the note only sets the target";
    EXPECT_EQ(channel(0).note, 48);
    ticks(5);
    EXPECT_EQ(channel(0).period, 4608 - 5 * 64);
}

TEST_F(Notes, InstrumentWithoutANoteKeepsThePlayingSampleAndReloadsItsVolume) {
    xm::Instrument quiet;
    quiet.samples.push_back(xm::square_sample(32, 1000));
    quiet.samples[0].volume = 16;
    m.instruments.push_back(quiet);
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    put(1, 0, Cell{0, 0, 0, 0x0C, 0x20});
    put(2, 0, Cell{0, 2, 0, 0, 0});
    start();
    const SampleRecord* playing = song.instrument_table[0].samples[0];
    ticks(13);
    EXPECT_EQ(voice(0).sample, playing);
    EXPECT_EQ(channel(0).volume, 64) << "the playing sample's volume, not the new instrument's";
}

TEST_F(Notes, RetriggerHandsTheOldNoteToTheOtherVoiceToFadeOut) {
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    put(1, 0, Cell{C4 + 7, 1, 0, 0, 0});
    put(2, 0, Cell{C4, 1, 0, 0, 0});
    start();
    ticks(6);
    Voice* first = &song.voices[0];
    Voice* second = &song.voices[1];
    ASSERT_EQ(&voice(0), first);
    first->position = 40;
    first->current_left = 127 * 128;
    first->current_right = 127 * 128;
    uint64_t old_step = first->step;

    sequencer_tick();
    ASSERT_EQ(&voice(0), second);
    EXPECT_EQ(first->final_volume, 0);
    EXPECT_EQ(first->target_left, 0);
    EXPECT_EQ(first->target_right, 0);
    EXPECT_NE(first->sample, nullptr) << "the old note plays on while it ramps down";
    EXPECT_EQ(first->step, old_step);
    EXPECT_EQ(first->position, 40);
    EXPECT_EQ(second->sample, first->sample);
    EXPECT_EQ(second->position, 0);
    EXPECT_EQ(second->current_left, 0);
    EXPECT_EQ(second->ramp_count, 0);
    EXPECT_GT(second->target_left, 0);
    EXPECT_NE(second->step, old_step);

    ticks(6);
    EXPECT_EQ(&voice(0), first) << "and back again";
    EXPECT_EQ(second->target_left, 0);
}

TEST_F(Notes, NoteDelayZeroPlaysTheNoteAtOnce) {
    put(0, 0, Cell{C4, 1, 0, 0x0E, 0xD0});
    start();
    sequencer_tick();
    EXPECT_NE(voice(0).sample, nullptr);
    EXPECT_EQ(voice(0).final_volume, FULL_FINAL);
}

TEST_F(Notes, NoteDelayStartsTheNoteOnItsTick) {
    put(0, 0, Cell{C4, 1, 0x20, 0x0E, 0xD2});
    start();
    ticks(2);
    EXPECT_EQ(voice(0).sample, nullptr);
    sequencer_tick();
    EXPECT_NE(voice(0).sample, nullptr);
    EXPECT_EQ(channel(0).volume, 0x10) << "the volume column's row part runs with the delayed note";
    EXPECT_EQ(voice(0).step, step_of(8363));
}

TEST_F(Notes, NoteDelayAfterKeyOffSoundsAgain) {
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    put(1, 0, Cell{NOTE_KEY_OFF, 0, 0, 0, 0});
    put(2, 0, Cell{C4, 0, 0, 0x0E, 0xD1});
    start();
    ticks(7);
    EXPECT_EQ(voice(0).final_volume, 0);
    ticks(6);
    EXPECT_EQ(voice(0).final_volume, 0) << "row 2 waits for its delay";
    sequencer_tick();
    EXPECT_EQ(voice(0).final_volume, FULL_FINAL);
}

TEST_F(Notes, SampleOffsetMovesOnlyItsOwnRowsNoteAndPastTheEndLeavesItSilent) {
    m.instruments[0].samples[0] = xm::square_sample(1000, 5000);
    put(0, 0, Cell{C4, 1, 0, 0x09, 2});
    put(1, 0, Cell{C4, 1, 0, 0x09, 4}); // 1,024: past the end
    put(2, 0, Cell{C4, 1, 0, 0, 0});
    put(3, 0, Cell{0, 0, 0, 0x09, 3}); // no note
    put(4, 0, Cell{C4, 1, 0, 0, 0});
    start();
    sequencer_tick();
    EXPECT_EQ(voice(0).position, 512);
    EXPECT_EQ(voice(0).start_offset, 0);
    ticks(5);
    Voice* playing = &voice(0);
    sequencer_tick();
    EXPECT_EQ(voice(0).sample, nullptr) << "silent";
    EXPECT_NE(playing->sample, nullptr) << "the old note fades out";
    EXPECT_EQ(playing->target_left, 0);
    ticks(5);
    sequencer_tick();
    EXPECT_EQ(voice(0).position, 0);
    ticks(5);
    playing = &voice(0);
    playing->position = 77;
    ticks(6);
    EXPECT_EQ(playing->position, 77) << "an offset without a note leaves the note alone";
    sequencer_tick();
    EXPECT_EQ(voice(0).position, 0) << "and is not kept for a later note";
}

TEST_F(Notes, ChannelsWithoutInstrumentsOrSamplesPlayTheEmptySample) {
    m.instruments.clear();
    put(0, 0, Cell{C4, 1, 0x40, 0x0E, 0x5F}); // instrument 1 of none; finetune of no sample
    start();
    ticks(6);
    EXPECT_EQ(voice(0).sample, &empty_sample);
    EXPECT_EQ(voice(0).final_volume, 0);
    EXPECT_EQ(empty_sample.finetune, 0);

    m = tone_module(2);
    m.patterns.push_back(xm::pattern(m, 64));
    m.instruments[0].keymap.fill(3); // sample 3 of 1
    m.instruments[0].keymap[10] = 200;
    put(0, 0, Cell{C4, 1, 0, 0, 0});
    put(1, 0, Cell{11, 1, 0, 0, 0});
    start();
    sequencer_tick();
    EXPECT_EQ(voice(0).sample, &empty_sample);
    ticks(6);
    EXPECT_EQ(voice(0).sample, &empty_sample);
}

} // namespace
