// Loads modules built by the test writer straight into the global song, with a fresh arena for
// every test.
#pragma once
#include "audio/music/arena.h"
#include "audio/music/module_loader.h"
#include "tools/xm_writer/xm_writer.h"

#include <gtest/gtest.h>

#include <vector>

class ModuleFixture : public ::testing::Test {
  protected:
    void TearDown() override { arena_destroy(); }

    // Keeps the bytes alive for as long as the test, like the game's embedded module.
    bool load(const xm::Module& module) { return load_bytes(xm::write(module)); }

    bool load_bytes(std::vector<uint8_t> bytes) {
        arena_destroy();
        data = std::move(bytes);
        arena_create();
        ModuleSource source{};
        source_set_memory(source, data.data(), static_cast<uint32_t>(data.size()));
        bool ok = load_module(source);
        source_close(source);
        return ok;
    }

    std::vector<uint8_t> data;
};

// A module of the given channel count with one instrument playing a looping square wave.
inline xm::Module tone_module(int channels = 2) {
    xm::Module m;
    m.channels = channels;
    xm::Instrument in;
    in.samples.push_back(xm::square_sample(64, 16000));
    m.instruments.push_back(in);
    return m;
}
