#include "online/room_session.h"

#include "audio/sfx.h"
#include "engine/input_events.h"
#include "engine/scene.h"
#include "game/computer_players.h"
#include "game/game_tick.h"
#include "game/key_codes.h"
#include "game/menu.h"
#include "game/music_request.h"
#include "game/rounds.h"
#include "game/rules_checksum.h"
#include "game/snapshot.h"
#include "game/sounds.h"
#include "online/room_records.h"
#include "platform/clock.h"
#include "platform/net_link.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr size_t FRAME_RING = ROOM_PREDICTION_MAX + 1;
// The server closes a tick every TICK_MS and tells the room; this long without a word it is gone.
constexpr int64_t SERVER_SILENCE_MS = 5000;
// The server's clock as seen here may only creep later by a millisecond every so many TICKS,
// which follows a clock that runs slower than ours without trusting one late message.
constexpr uint32_t ORIGIN_CREEP_MESSAGES = 40;

void fail(RoomSession& s, const std::string& why) {
    if (s.phase == RoomPhase::failed) return;
    menu_caps_for_room(false, 0);
    s.phase = RoomPhase::failed;
    s.failure = why;
    s.away = false;
    if (s.link) net_link_close(s.link);
    s.link = nullptr;
}

void send(RoomSession& s, const wire::Message& m) {
    std::vector<uint8_t> bytes;
    wire::encode(m, bytes);
    // A refusal means the link is closing or choked; its state says so on the next tick.
    net_link_send(s.link, bytes);
    s.last_sent_ms = platform_clock_ms();
}

uint32_t checksum_now() {
    const uint64_t h = rules_checksum();
    return static_cast<uint32_t>(h ^ h >> 32);
}

RoomFrame& frame(RoomSession& s, uint32_t tick) {
    return s.frames[tick % FRAME_RING];
}

// The sound switches and the music player's state are this machine's own: no restore takes them.
void restore_game(std::span<const uint8_t> snapshot) {
    const int32_t sfx = sfx_enabled, music = music_state;
    snapshot_restore(snapshot);
    sfx_enabled = sfx;
    music_state = music;
}

uint8_t seat_bit(int32_t seat) {
    return seat >= 0 && seat < wire::SEATS ? static_cast<uint8_t>(1u << seat) : 0;
}

bool own_seat(const RoomSession& s, uint8_t seat) {
    return s.seat_mask & seat_bit(seat);
}

// A seat's change of steering goes into the tick's input, so a replay of the game has it too.
void apply_room_event(RoomSession& s, const wire::InputRecord& r, TickInput& input) {
    const uint8_t bit = seat_bit(r.seat);
    switch (r.kind) {
    case wire::KIND_SEAT_PERSON:
    case wire::KIND_SEAT_COMPUTER: {
        const bool computer = r.kind == wire::KIND_SEAT_COMPUTER;
        // A tick full of presses still changes the seat (alike on every machine), if not in its replay.
        if (!tick_input_add(input, {static_cast<int16_t>(computer), 0, 0, TICK_STEERING, static_cast<int8_t>(r.seat), 0}))
            menu_steering_set(r.seat, computer);
        s.room.people = static_cast<uint8_t>(computer ? s.room.people & ~bit : s.room.people | bit);
        s.room.left = static_cast<uint8_t>(computer ? s.room.left | bit : s.room.left & ~bit);
        break;
    }
    case wire::KIND_MENU_OWNER:
        s.room.menu_owner = r.seat;
        break;
    default:
        break;
    }
}

ReplayTickNote run_tick(RoomSession& s, const std::vector<wire::InputRecord>& records, bool silent) {
    TickInput input;
    input.count = 0;
    for (const wire::InputRecord& r : records) {
        if (r.kind >= wire::FIRST_ROOM_EVENT_KIND)
            apply_room_event(s, r, input);
        else
            record_to_input(r, s.room.menu_owner, input);
    }
    const int32_t state_before = game_state;
    tick_silent = silent;
    game_tick(input);
    tick_silent = false;
    ++s.counts.ticks_run;
    return replay_note(input, state_before);
}

void confirm(RoomSession& s, uint32_t checksum, const ReplayTickNote& note) {
    const bool keep = s.confirmed >= s.keep_from;
    replay_record(s.recording, note, keep);
    if (note.ends && keep) s.keep_from = s.confirmed + 1;
    if (s.checksums.empty()) s.checksums_first = s.confirmed;
    s.checksums.push_back(checksum);
    ++s.confirmed;
    s.closed_inputs.pop_front();
}

// The room's start, on joining and again on RESYNC: the log follows from tick 0.
void begin_room(RoomSession& s) {
    game_reset(s.seed);
    s.room = {};
    s.confirmed = s.predicted = s.closed = 0;
    s.closed_inputs.clear();
    s.checksums.clear();
    s.presses.clear();
    s.own_seen = 0;
    s.recording.recording = false; // a game under way is recorded again from its start
    room_figures_restart(s);
    s.frames.resize(FRAME_RING);
    for (RoomFrame& f : s.frames)
        f.snapshot.resize(snapshot_size());
}

// The n-th record of this machine's seats after it joined is the n-th it sent: how late the
// server stamped it says how far ahead this machine must run for its presses to arrive in time.
void own_record_closed(RoomSession& s, uint32_t tick) {
    if (++s.own_seen <= s.own_matched || s.sent.empty()) return;
    ++s.own_matched;
    const SentRecord sent = s.sent.front();
    s.sent.pop_front();
    if (tick <= sent.wanted_tick) return;
    const uint32_t late = tick - sent.wanted_tick;
    s.counts.latest_own_stamp = std::max(s.counts.latest_own_stamp, late);
    if (sent.wanted_tick >= s.lead_set_at) {
        s.lead = std::min(ROOM_PREDICTION_MAX, s.lead + late);
        s.lead_set_at = s.predicted;
    }
}

void on_ticks(RoomSession& s, const wire::Message& m) {
    if (m.tick != s.closed) return fail(s, "the server's ticks came out of order");
    for (uint32_t i = 0; i < m.count; ++i)
        s.closed_inputs.emplace_back();
    const size_t n = wire::ticks_record_count(m);
    for (size_t i = 0; i < n; ++i) {
        const wire::StampedRecord r = wire::ticks_record(m, i);
        s.closed_inputs[r.tick - s.confirmed].push_back(r.record);
        if (r.record.kind < wire::FIRST_ROOM_EVENT_KIND && own_seat(s, r.record.seat) && r.tick >= s.joined_closed)
            own_record_closed(s, r.tick);
    }
    s.closed += m.count;
    const int64_t candidate = platform_clock_ms() - static_cast<int64_t>(s.closed) * wire::TICK_MS;
    if (candidate < s.origin_ms)
        s.origin_ms = candidate;
    else if (++s.origin_messages % ORIGIN_CREEP_MESSAGES == 0)
        ++s.origin_ms;
}

std::string error_text(const wire::Message& m) {
    return std::string(m.text.data(), m.text_length);
}

void on_message(RoomSession& s, std::span<const uint8_t> bytes) {
    wire::Message m;
    if (const char* why = wire::decode(bytes, m))
        return fail(s, std::string("the server sent what this game cannot read (") + why + ")");
    const bool in_room = s.phase == RoomPhase::in_room;
    switch (m.type) {
    case wire::Type::WELCOME:
        if (m.version != wire::VERSION)
            fail(s, "this server speaks version " + std::to_string(m.version) + ", this game version " +
                        std::to_string(wire::VERSION));
        return;
    case wire::Type::JOINED:
        if (in_room) return fail(s, "the server seated this machine twice");
        s.phase = RoomPhase::in_room;
        s.code = m.code;
        s.seed = m.seed;
        s.seat_mask = m.seat_mask;
        s.token = m.token;
        s.joined_closed = m.tick;
        s.keep_from = m.tick;
        menu_caps_for_room(true, m.seat_mask); // before the room's menu is made
        s.origin_ms = platform_clock_ms() - static_cast<int64_t>(m.tick) * wire::TICK_MS;
        // A press must cross to the server while the room's clock runs on: the answer's round
        // trip is the first guess of how far ahead to run.
        s.lead = std::clamp(static_cast<uint32_t>((platform_clock_ms() - s.asked_ms) / wire::TICK_MS) + ROOM_LEAD_START,
                            ROOM_LEAD_START, ROOM_PREDICTION_MAX);
        begin_room(s);
        return;
    case wire::Type::TICKS:
        if (!in_room) return fail(s, "the server sent ticks before a seat");
        if (s.request.controller) return; // no game to run them: they only say the server is there
        return on_ticks(s, m);
    case wire::Type::RESYNC:
        if (!in_room) return fail(s, "the server asked for a run again before a seat");
        ++s.counts.resyncs;
        s.away = false; // the credits' timeline is dropped with the rest
        begin_room(s);
        return;
    case wire::Type::ERROR:
        return fail(s, error_text(m));
    default:
        return fail(s, "the server sent a machine's message");
    }
}

void network_step(RoomSession& s) {
    const NetLinkState state = net_link_state(s.link);
    if (s.phase == RoomPhase::connecting && state == NetLinkState::open) {
        wire::Message hello;
        hello.type = wire::Type::HELLO;
        hello.version = wire::VERSION;
        send(s, hello);
        wire::Message ask;
        ask.type = s.request.open ? wire::Type::OPEN : wire::Type::JOIN;
        ask.seats_wanted = s.request.seats;
        ask.flags = s.request.controller ? wire::FLAG_CONTROLLER : 0;
        ask.code = s.request.code;
        ask.token = s.request.token;
        send(s, ask);
        s.asked_ms = platform_clock_ms();
        s.phase = RoomPhase::joining;
        s.last_heard_ms = platform_clock_ms();
    }
    std::span<const uint8_t> bytes;
    while (s.phase != RoomPhase::failed && net_link_receive(s.link, &bytes)) {
        s.last_heard_ms = platform_clock_ms();
        on_message(s, bytes);
    }
    if (s.phase == RoomPhase::failed) return;
    if (state == NetLinkState::closed) return fail(s, net_link_error(s.link));
    if (s.phase != RoomPhase::connecting && platform_clock_ms() - s.last_heard_ms > SERVER_SILENCE_MS)
        fail(s, "the server has gone silent");
}

bool in_gameplay() {
    return current_scene >= 0 && std::strcmp(scene_table[current_scene].name, "gameplay") == 0;
}

// Over to this machine's credits, as the local game goes there; the room's game waits aside.
void go_away(RoomSession& s, const TickEvent& press) {
    s.away = true;
    s.away_game.resize(snapshot_size());
    snapshot_save(s.away_game);
    TickInput input;
    input.count = 0;
    tick_input_add(input, press);
    game_tick(input);
}

// The credits run on this machine's presses alone; once they hand back to the game, the room's
// game returns and catches up.
void away_tick(RoomSession& s) {
    TickInput input;
    tick_input_take(input);
    game_tick(input);
    if (!in_gameplay()) return;
    restore_game(s.away_game);
    s.away = false;
}

void local_presses(RoomSession& s) {
    while (const InputEvent* e = event_next()) {
        const TickEvent press = tick_event_from(*e);
        const bool in_menu = game_state == STATE_MENU;
        const bool in_play = game_state == STATE_PLAYING || game_state == STATE_COUNTDOWN;
        if (press.kind == EVENT_KEY && (press.code == KEY_ESCAPE || (press.code == KEY_SPACE && in_play))) {
            go_away(s, press);
            return; // what follows in this tick belongs to the credits, which take no more now
        }
        if (press.kind == EVENT_MOUSE_BUTTON && in_menu && menu_sound_hit(press.x, press.y)) {
            menu_input(*e); // this machine's own switch, now and in no tick
            continue;
        }
        wire::InputRecord r;
        if (s.presses.size() < static_cast<size_t>(TICK_EVENTS) &&
            record_from_press(press, s.seat_mask, room_session_owns_menu(s), in_menu, &r)) {
            s.presses.push_back(r);
            room_figures_press_taken(s);
        }
    }
}

// Ticks [confirmed, min(closed, predicted)) ran ahead; as long as they ran on what the server
// closed they stand, and at the first that did not the game goes back to before it.
void reconcile(RoomSession& s) {
    const uint32_t upto = std::min(s.closed, s.predicted);
    while (s.confirmed < upto) {
        RoomFrame& f = frame(s, s.confirmed);
        if (s.closed_inputs.front() != f.records) {
            restore_game(f.snapshot);
            s.room = f.room;
            ++s.counts.rollbacks;
            s.counts.longest_rollback = std::max(s.counts.longest_rollback, s.predicted - s.confirmed);
            s.rerun_to = std::max(s.rerun_to, s.predicted);
            s.predicted = s.confirmed;
            return;
        }
        confirm(s, f.checksum, f.note);
    }
}

void catch_up(RoomSession& s) {
    for (uint32_t n = 0; s.predicted < s.closed && n < ROOM_CATCH_UP_PER_TICK; ++n) {
        const uint32_t t = s.predicted;
        const bool silent = t < s.high_water || s.closed - t > ROOM_SILENT_CATCH_UP;
        const ReplayTickNote note = run_tick(s, s.closed_inputs.front(), silent);
        ++s.predicted;
        s.high_water = std::max(s.high_water, s.predicted);
        confirm(s, checksum_now(), note);
    }
}

void send_presses(RoomSession& s, uint32_t tick) {
    for (size_t i = 0; i < s.presses.size(); i += wire::MAX_INPUT_RECORDS) {
        wire::Message m;
        m.type = wire::Type::INPUT;
        m.tick = tick;
        m.count = static_cast<uint32_t>(std::min<size_t>(wire::MAX_INPUT_RECORDS, s.presses.size() - i));
        for (uint32_t k = 0; k < m.count; ++k) {
            m.inputs[k] = s.presses[i + k];
            s.sent.push_back({tick, s.presses[i + k]});
        }
        send(s, m);
    }
    s.presses.clear();
}

// This machine's records as the server is likely to close them: at the tick they asked for, or
// at the first open one if that has gone by.
std::vector<wire::InputRecord> predicted_records(const RoomSession& s, uint32_t tick) {
    std::vector<wire::InputRecord> records;
    for (const SentRecord& r : s.sent)
        if (std::max(r.wanted_tick, s.closed) == tick) records.push_back(r.record);
    return records;
}

// Runs ahead on this machine's presses to where the server's clock will be when they reach it,
// and at least over what it showed before a rollback.
void predict(RoomSession& s) {
    if (s.seat_mask == 0 || s.predicted < s.closed) return; // watchers run what is closed
    const int64_t since = platform_clock_ms() - s.origin_ms;
    const uint32_t server_tick = since > 0 ? static_cast<uint32_t>(since / wire::TICK_MS) : 0;
    const uint32_t limit = s.closed + ROOM_PREDICTION_MAX;
    const uint32_t target = std::min(limit, std::max(server_tick + s.lead, s.rerun_to));
    if (s.predicted >= limit) ++s.counts.waits;
    while (s.predicted < target) {
        const uint32_t t = s.predicted;
        if (t >= s.rerun_to && !s.presses.empty()) {
            send_presses(s, t);
            room_figures_presses_run(s, t);
        }
        RoomFrame& f = frame(s, t);
        snapshot_save(f.snapshot);
        f.room = s.room;
        f.records = predicted_records(s, t);
        f.note = run_tick(s, f.records, t < s.high_water);
        f.checksum = checksum_now();
        ++s.predicted;
        s.high_water = std::max(s.high_water, s.predicted);
    }
}

// Only the newest checksums go: one message a tick keeps within the server's rate, and a long
// catch-up's old ticks are past comparing anyway.
void send_checksums(RoomSession& s) {
    if (s.checksums.empty() || s.request.controller) return;
    const size_t n = std::min<size_t>(wire::MAX_CHECKSUMS, s.checksums.size());
    wire::Message m;
    m.type = wire::Type::CHECKSUMS;
    m.tick = s.checksums_first + static_cast<uint32_t>(s.checksums.size() - n);
    m.count = static_cast<uint32_t>(n);
    m.run = static_cast<uint8_t>(s.counts.resyncs);
    std::copy(s.checksums.end() - static_cast<std::ptrdiff_t>(n), s.checksums.end(), m.checksums.begin());
    send(s, m);
    s.checksums.clear();
}

// A phone has no game: its turns go to the first open tick.
void controller_presses(RoomSession& s) {
    while (const InputEvent* e = event_next()) {
        wire::InputRecord r;
        if (s.presses.size() < static_cast<size_t>(TICK_EVENTS) &&
            record_from_press(tick_event_from(*e), s.seat_mask, false, false, &r))
            s.presses.push_back(r);
    }
    if (!s.presses.empty()) send_presses(s, 0);
    s.sent.clear();
}

} // namespace

void room_session_start(RoomSession& s, const RoomRequest& request) {
    RoomSession fresh;
    fresh.request = request;
    std::swap(s, fresh);
    s.link = net_link_open(request.url.c_str());
    s.last_heard_ms = platform_clock_ms();
}

void room_session_tick(RoomSession& s) {
    if (s.phase == RoomPhase::failed) return;
    network_step(s);
    if (s.phase != RoomPhase::in_room) {
        while (event_next()) {
        } // nobody's presses before a seat
        room_figures_ticked(s);
        return;
    }
    if (s.request.controller) {
        controller_presses(s);
    } else if (s.away) {
        away_tick(s);
    } else {
        local_presses(s);
        if (!s.away) {
            reconcile(s);
            catch_up(s);
            predict(s);
            if (s.predicted >= s.rerun_to) s.rerun_to = 0;
        }
    }
    room_figures_ticked(s);
    send_checksums(s);
    if (s.phase == RoomPhase::in_room && platform_clock_ms() - s.last_sent_ms >= ROOM_PING_MS) {
        wire::Message ping;
        ping.type = wire::Type::PING;
        send(s, ping);
    }
}

void room_session_end(RoomSession& s) {
    menu_caps_for_room(false, 0);
    if (s.link) net_link_close(s.link);
    s.link = nullptr;
}

bool room_session_owns_menu(const RoomSession& s) {
    return own_seat(s, s.room.menu_owner);
}

SeatSteering room_seat_steering(const RoomSession& s, int32_t seat) {
    if (computer_steers(seat)) return SeatSteering::computer;
    if (s.seat_mask & seat_bit(seat)) return SeatSteering::you;
    return s.room.people & seat_bit(seat) ? SeatSteering::friend_ : SeatSteering::free;
}
