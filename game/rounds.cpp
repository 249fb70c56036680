#include "game/rounds.h"

#include "engine/frame_state.h"
#include "engine/image_table.h"
#include "engine/input_events.h"
#include "engine/scene.h"
#include "game/board.h"
#include "game/clouds.h"
#include "game/computer_players.h"
#include "game/key_codes.h"
#include "game/menu.h"
#include "game/music_request.h"
#include "game/players.h"
#include "game/scores.h"
#include "game/sprite_make.h"
#include "game/tweens.h"

#include <cstring>

int32_t game_state = -1;
int32_t state_start_frame = -1;
Sprite* overlay_sprite;
int32_t steps_without_person;
uint32_t game_seed;

namespace {

// The overlays are 120 x 40 and grow about their centre, the middle of the board (300, 240).
constexpr int32_t OVERLAY_X = 240, OVERLAY_Y = 220;
constexpr int32_t OVERLAY_GROW_TICKS = 30;
constexpr float READY_GROWTH = 0.03f; // to 1.9
constexpr float GO_GROWTH = 0.05f;    // to 2.5
// The menu returns once the count of ticks after a game passes this many steps.
constexpr int32_t WAIT_STEPS = 4;

constexpr uint32_t SEED_MIX = 2654435761u; // spreads neighbouring frame counts apart

void overlay_show(int32_t image, float growth) {
    Sprite* s = overlay_sprite;
    if (!s) return;
    s->scale = 1.0f;
    s->visible = 1;
    s->x = OVERLAY_X;
    s->y = OVERLAY_Y;
    s->image = image;
    Tween* t = tween_add(s);
    t->frames_left = OVERLAY_GROW_TICKS;
    t->dscale = growth;
}

// Each mark is taken in the first tick at or after it. Uninterrupted, that is the mark's own
// tick; after a stay in the credits, which stops this scene while frame_count runs on, the
// marks that went by are taken late instead of never, so a countdown always ends.
void countdown_tick() {
    const int32_t elapsed = frame_count - state_start_frame;
    const int32_t go = image_find("overlaygo.png");
    if (elapsed >= COUNTDOWN_END) {
        if (overlay_sprite) overlay_sprite->visible = 0;
        state_start_frame = frame_count;
        game_state = STATE_PLAYING;
    } else if (elapsed >= COUNTDOWN_GO) {
        if (overlay_sprite && !(overlay_sprite->visible && overlay_sprite->image == go))
            overlay_show(go, GO_GROWTH);
    } else if (elapsed >= COUNTDOWN_READY) {
        if (overlay_sprite && !overlay_sprite->visible)
            overlay_show(image_find("overlayready.png"), READY_GROWTH);
    }
}

// A person's turn; nothing while the computer steers that slot.
void person_turn(const InputEvent& e) {
    if (e.seat_action != 0 && !computer_steers(e.seat)) player_turn(e.seat, e.seat_action);
}

// False when the press left the scene and the rest of the tick must not run.
bool play_input(const InputEvent& e) {
    if (e.kind == EVENT_MOUSE_BUTTON) {
        person_turn(e);
        return true;
    }
    if (e.kind != EVENT_KEY) return true;
    if (e.code == KEY_ESCAPE) {
        scene_enter("credits");
        return false;
    }
    if (game_state != STATE_PLAYING && game_state != STATE_COUNTDOWN) return true;
    if (e.code == KEY_SPACE)
        scene_enter("credits");
    else
        person_turn(e);
    return true;
}

// Reads the menu's presses until none is left or a game has begun: once a press has started a
// game, the presses after it in the same tick are dropped, so none of them can act on the menu
// that is gone (a level key there would stop the step clock of the countdown for good). After
// Escape the rest of the tick belongs to the credits: a start here would drop their picture and
// leave the menu's sprites to come back over the game.
void menu_tick() {
    while (game_state == STATE_MENU) {
        const InputEvent* e = event_next();
        if (!e) return;
        switch (menu_input(*e)) {
        case MenuAction::start:
            game_start();
            break;
        case MenuAction::credits:
            scene_enter("credits");
            return;
        case MenuAction::level_chosen:
            state_start_frame = -1; // the next game starts the clock again
            break;
        case MenuAction::none:
            break;
        }
    }
}

void menu_show() {
    const bool open = game_state == STATE_MENU;
    game_state = STATE_MENU;
    menu_open(open);
}

// Ticks until the next step that moves the players: 0 in its own tick.
int32_t ticks_to_step() {
    const int32_t elapsed = frame_count - state_start_frame;
    if (game_state == STATE_COUNTDOWN) return elapsed >= COUNTDOWN_END ? 0 : COUNTDOWN_END - elapsed;
    return (step_period - elapsed % step_period) % step_period;
}

bool person_standing() {
    for (int32_t p = 0; p < player_count; ++p)
        if (players[p].alive && !computer_steers(p)) return true;
    return false;
}

void step() {
    const bool playing = game_state == STATE_PLAYING;
    const bool no_person = !person_standing();
    const StepOutcome outcome = board_step(playing);
    if (!playing) return;
    if (outcome.decided) {
        game_end(outcome.winner);
        return;
    }
    steps_without_person = no_person ? steps_without_person + 1 : 0;
    if (steps_without_person >= UNDECIDED_STEPS) game_end(NO_WINNER);
}

} // namespace

uint32_t people_in_play() {
    const bool shown = current_scene >= 0 &&
                       std::strncmp(scene_table[current_scene].name, "gameplay", SCENE_NAME_LENGTH) == 0;
    if (!shown || (game_state != STATE_PLAYING && game_state != STATE_COUNTDOWN)) return 0;
    uint32_t seats = 0;
    for (int32_t slot = 0; slot < player_count; ++slot)
        if (!computer_steers(slot)) seats |= 1u << slot;
    return seats;
}

void gameplay_enter() {
    clear_red = SKY_RED;
    clear_green = SKY_GREEN;
    clear_blue = SKY_BLUE;
    if (score_panel_first_sprite < 0) score_panel_create();
    scores_set_player_count(player_count);
    overlay_sprite = sprite_make("overlayready.png", OVERLAY_X, OVERLAY_Y, 1.0f, 0);
    level_load();
    menu_show();
}

void gameplay_update() {
    clouds_tick();
    tweens_step();
    if (game_state == STATE_MENU) {
        menu_tick();
        return;
    }
    while (const InputEvent* e = event_next())
        if (!play_input(*e)) return;
    const bool in_play = game_state == STATE_PLAYING || game_state == STATE_COUNTDOWN;
    if (in_play && state_start_frame >= 0) computer_players_tick(ticks_to_step());
    rotation_ease();
    if (game_state == STATE_COUNTDOWN) countdown_tick();
    if (state_start_frame >= 0 && (frame_count - state_start_frame) % step_period == 0) step();
    if (game_state >= STATE_OVER) {
        if (game_state > WAIT_STEPS * step_period)
            menu_show();
        else
            ++game_state;
    }
}

void game_start() {
    // Seeded by the game itself, so the same start and the same presses replay the same game.
    game_begin(static_cast<uint32_t>(frame_count) * SEED_MIX + static_cast<uint32_t>(current_level));
}

void game_begin(uint32_t seed) {
    game_state = STATE_COUNTDOWN;
    level_load();
    sprite_count = menu_first_sprite;
    state_start_frame = frame_count;
    steps_without_person = 0;
    game_seed = seed;
    computer_players_start(seed);
}

int32_t gameplay_speed() {
    const bool fast = game_state == STATE_PLAYING && people_in_play() != 0 && !person_standing();
    return fast ? FAST_END_SPEED : 1;
}

void game_reset(uint32_t seed) {
    current_level = 0;
    computer_slots = {};
    player_count = MIN_PLAYERS;
    game_return(seed);
}

void game_return(uint32_t seed) {
    // The first entry builds the panel, the overlay and the menu; later ones only come back (from
    // the credits), and the intro's or the credits' own sprites go as their scene is left.
    skip_next_enter = game_state >= 0 ? 1 : 0;
    scene_enter("gameplay");
    sprite_count = menu_first_sprite; // the menu, if it is open, is built again below
    if (overlay_sprite) overlay_sprite->visible = 0;
    frame_count = 0;
    players = {};
    for (int32_t p = 0; p < PLAYER_SLOTS; ++p)
        player_sprite(p).rotation = 0.0f;
    scores_set_player_count(player_count);
    state_start_frame = -1;
    steps_without_person = 0;
    game_seed = seed;
    computer_players_start(seed);
    level_load();
    game_state = STATE_OVER;
    menu_show();
}

void game_end(int32_t winner) {
    if (winner >= 0 && winner < PLAYER_SLOTS) {
        ++players[winner].score;
        score_digits_refresh();
    }
    game_state = STATE_OVER;
    music_request_start();
}
