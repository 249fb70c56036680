#include "game_harness.h"

#include "assets/atlas_images.h"
#include "assets/embedded.h"
#include "audio/music/music.h"
#include "audio/sfx.h"
#include "engine/atlas.h"
#include "engine/frame_state.h"
#include "engine/image_table.h"
#include "engine/input_events.h"
#include "engine/scene.h"
#include "game/board.h"
#include "game/clouds.h"
#include "game/computer_players.h"
#include "game/credits.h"
#include "game/game_init.h"
#include "game/game_tick.h"
#include "game/intro.h"
#include "game/logo.h"
#include "game/menu.h"
#include "game/music_request.h"
#include "game/players.h"
#include "game/rounds.h"
#include "game/scores.h"
#include "game/settings.h"
#include "game/sounds.h"
#include "game/tweens.h"
#include "platform/audio_device.h"
#include "tests/engine/engine_tables_clear.h"
#include "virtual_audio.h"
#include "virtual_platform.h"

#include <lodepng.h>

#include <array>
#include <cstdlib>

namespace {

constexpr int32_t TICK_MS = 25;
constexpr int BLANK_ATLAS_ROWS = 8;
constexpr int MUSIC_RATE = 48'000;
// Passes after a tick: one lets the device release what it holds, one submits what is pending.
constexpr int PUMP_PASSES = 2;

std::vector<HeardEffect> heard;
TickInput last_input;
std::vector<uint8_t> song_bytes;
EmbeddedAsset song_asset;

// As wide as the game's atlas, since the width scales texture coordinates; only a few rows.
const std::vector<uint8_t>& blank_atlas_png() {
    static const std::vector<uint8_t> png = [] {
        const std::vector<uint8_t> rgba(static_cast<size_t>(ATLAS_SIZE) * BLANK_ATLAS_ROWS * 4, 0);
        unsigned char* out = nullptr;
        size_t size = 0;
        if (lodepng_encode32(&out, &size, rgba.data(), ATLAS_SIZE, BLANK_ATLAS_ROWS) != 0) std::abort();
        std::vector<uint8_t> bytes(out, out + size);
        std::free(out);
        return bytes;
    }();
    return png;
}

// The scene table as the program starts with it, before any test installed callbacks.
const std::array<Scene, SCENE_COUNT>& scenes_at_start() {
    static const std::array<Scene, SCENE_COUNT> table = scene_table;
    return table;
}

void engine_tables_reset() {
    engine_tables_clear();
    scene_table = scenes_at_start();
    current_scene = -1;
    skip_next_enter = 0;
    sprite_scene_mark = 0;
    frame_count = 0;
    clear_red = clear_green = clear_blue = 0;
}

void game_tables_reset() {
    tween_table = {};
    tween_count = 0;
    cloud_sprites = {};
    tile_grid = {};
    current_level = 0;
    board_first_sprite = player_first_sprite = 0;
    players = {};
    player_count = MIN_PLAYERS;
    computer_slots = {};
    computer_plans = {};
    last_ticks_to_step = 0;
    chance_state = 1;
    step_period = 30;
    game_state = -1;
    state_start_frame = -1;
    overlay_sprite = nullptr;
    steps_without_person = 0;
    game_seed = 0;
    tick_silent = false;
    credits_may_quit = true;
    score_panel_first_sprite = -1;
    menu_first_sprite = controls_first_sprite = 0;
    menu_x = menu_y = sound_x = sound_y = 0;
    menu_remap = {-1, 0, {}};
    music_state = MUSIC_REQUESTED;
    intro_start_frame = logo_start_frame = -1;
    music_song = nullptr;
}

const char* effect_name(const void* data) {
    static constexpr std::array<const char*, 4> names = {"tic", "bounce", "death", "winner"};
    for (const char* name : names) {
        const EmbeddedAsset* asset = embedded_asset_find((std::string(name) + ".raw").c_str());
        if (asset && asset->data == data) return name;
    }
    return "tone";
}

// The device plays out whatever it holds.
void effects_play_out() {
    AudioDevice* device = sfx_module.device;
    if (device) virtual_audio_advance(device, virtual_audio_buffer_bytes(device));
}

int effects_submitted() {
    return sfx_module.device ? virtual_audio_submissions(sfx_module.device) : 0;
}

// The effects module stays open across runs (opening it renders its tone); only its queue and
// the switch go back.
void effects_reset() {
    for (int pass = 0; pass < PUMP_PASSES; ++pass) {
        effects_play_out();
        sfx_pump();
    }
    sfx_module.pending_length = 0;
    sfx_enabled = 1;
    heard.clear();
}

} // namespace

namespace {

void start(bool keep_files) {
    music_stop();
    const auto files = virtual_platform().store;
    virtual_platform_reset();
    if (keep_files) virtual_platform().store = files;
    engine_tables_reset();
    game_tables_reset();
    effects_reset();
    // What engine_init does, with the thin atlas.
    image_new();
    const std::vector<uint8_t>& png = blank_atlas_png();
    image_table[0].texture_slot = atlas_load("noname.dat", png.data(), png.size(), atlas_images);
    game_init();
    scene_enter("intro");
}

} // namespace

void harness_start() {
    start(false);
}

void harness_restart() {
    start(true);
}

void harness_stop() {
    music_stop();
}

void harness_enter_gameplay() {
    scene_enter("gameplay");
}

void harness_press(int32_t key) {
    event_key_down(key);
}

void harness_click(int32_t x, int32_t y, int32_t button) {
    InputEvent* e = event_push();
    if (!e) return;
    e->kind = EVENT_MOUSE_BUTTON;
    e->down = 1;
    e->code = button;
    e->x = x;
    e->y = y;
}

void harness_tick(int32_t ticks) {
    for (int32_t i = 0; i < ticks; ++i) {
        TickInput input;
        tick_input_take(input);
        harness_tick_input(input);
        settings_keep();
    }
}

void harness_tick_input(const TickInput& input) {
    last_input = input;
    virtual_clock_advance(TICK_MS);
    const int submitted = effects_submitted();
    game_tick(input);
    // The board step hands the deciding fall to the device itself.
    if (effects_submitted() > submitted)
        heard.push_back({frame_count, effect_name(virtual_audio_buffer(sfx_module.device))});
    if (sfx_module.pending_length != 0) heard.push_back({frame_count, effect_name(sfx_module.pending_data)});
    for (int pass = 0; pass < PUMP_PASSES; ++pass) {
        effects_play_out();
        sfx_pump();
    }
}

const TickInput& harness_last_input() {
    return last_input;
}

std::string harness_scene() {
    return current_scene < 0 ? "" : scene_table[current_scene].name;
}

Sprite& harness_tile_sprite(int32_t col, int32_t row) {
    return sprite_pool[board_first_sprite + tile_index(col, row)];
}

const std::vector<HeardEffect>& harness_effects() {
    return heard;
}
void harness_effects_clear() {
    heard.clear();
}

std::vector<std::string> harness_effect_names() {
    std::vector<std::string> names;
    for (const HeardEffect& e : heard)
        names.push_back(e.name);
    return names;
}

void harness_song(const std::vector<uint8_t>& module) {
    song_bytes = module;
    song_asset = {"song.xm", song_bytes.data(), static_cast<uint32_t>(song_bytes.size())};
    music_song = &song_asset;
}

AudioDevice* harness_music_device() {
    if (!music_playing()) return nullptr;
    for (AudioDevice* device : virtual_audio_open_devices())
        if (virtual_audio_rate(device) == MUSIC_RATE) return device;
    return nullptr;
}
