// The effects module: the request, the pump and the start-up on first use.
#include "audio/sfx.h"
#include "audio/sfx_synth.h"

#include "assets/embedded.h"
#include "platform/audio_device.h"
#include "platform/clock.h"
#include "platform/window.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

SfxModule sfx_module;
int sfx_enabled = 1;

namespace {
struct StoredEffect {
    const char* name;
    const char* asset;
};
constexpr std::array<StoredEffect, 4> STORED_EFFECTS{{
    {"tic", "tic.raw"},
    {"bounce", "bounce.raw"},
    {"death", "death.raw"},
    {"winner", "winner.raw"},
}};

constexpr char OPEN_FAILURE[] = "unable to open WAVE_MAPPER device\n";
constexpr int OPEN_FAILURE_STATUS = 1;
constexpr int PLAY_WAIT_FIRST_MS = 500;
constexpr int PLAY_WAIT_POLL_MS = 100;

// Runs inside the first request, with effects on or off: the tone is rendered before any
// submission, so the device never reads a buffer that is still being written.
void sfx_start() {
    SfxModule& m = sfx_module;
    if (!m.synthesis)
        m.synthesis = static_cast<int16_t*>(std::calloc(SFX_SYNTHESIS_SAMPLES, sizeof(int16_t)));
    sfx_open();
    m.default_melody = melody_parse(DEFAULT_MELODY);
    m.rendered_length = melody_render(m.default_melody);
    m.state = SFX_READY;
}
} // namespace

int sfx_open() {
    SfxModule& m = sfx_module;
    if (m.device) return 0;
    m.device = audio_device_open(SFX_SAMPLE_RATE);
    if (!m.device) {
        std::fwrite(OPEN_FAILURE, 1, sizeof OPEN_FAILURE - 1, stderr);
        platform_exit(OPEN_FAILURE_STATUS);
    }
    return 0;
}

void sfx_close() {
    SfxModule& m = sfx_module;
    if (m.device) audio_device_close(m.device);
    std::free(m.synthesis);
    melody_free(m.default_melody);
    m = SfxModule{};
}

void sfx_play(const char* name) {
    SfxModule& m = sfx_module;
    if (m.state == SFX_CLOSED) sfx_start();
    if (sfx_enabled == 0) return;
    for (const StoredEffect& effect : STORED_EFFECTS) {
        if (name && std::strcmp(name, effect.name) == 0) {
            const EmbeddedAsset* asset = embedded_asset_find(effect.asset);
            m.pending_data = asset ? asset->data : nullptr;
            m.pending_length = asset ? static_cast<int32_t>(asset->size) : 0;
            return;
        }
    }
    m.pending_data = reinterpret_cast<const uint8_t*>(m.synthesis);
    m.pending_length = m.rendered_length;
}

void sfx_pump() {
    SfxModule& m = sfx_module;
    if (m.state == SFX_READY && m.pending_length != 0) {
        // A refused buffer is not retried: the next pass finds the device free and moves on.
        audio_device_play(m.device, m.pending_data, static_cast<uint32_t>(m.pending_length), false);
        m.pending_length = 0;
        m.state = SFX_PLAYING;
    } else if (m.state == SFX_PLAYING && !audio_device_busy(m.device)) {
        m.state = SFX_READY;
    }
}

int sfx_play_wait(const void* data, uint32_t bytes) {
    SfxModule& m = sfx_module;
    if (!m.device || !audio_device_play(m.device, data, bytes, false)) return SFX_PLAY_REFUSED;
    platform_sleep_ms(PLAY_WAIT_FIRST_MS);
    while (audio_device_busy(m.device))
        platform_sleep_ms(PLAY_WAIT_POLL_MS);
    return 0;
}
