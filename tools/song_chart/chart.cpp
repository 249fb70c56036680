// The chart, top to bottom: title, the form as coloured blocks, the waveform (peaks and RMS per
// column), the loudness of every second in dBFS, and a spectrogram whose rows are spaced by pitch
// with the Cs marked. Thin lines mark every order; the time axis is in seconds.
#include "chart.h"

#include "glyphs.h"
#include "paint.h"
#include "score.h"
#include "song_form.h"
#include "spectrum.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <string>

namespace {
constexpr int WIDTH = 1800, HEIGHT = 1040;
constexpr double LEFT = 110, RIGHT = 30, PLOT_WIDTH = WIDTH - LEFT - RIGHT;
constexpr double TITLE_Y = 34, FORM_TOP = 66, FORM_HEIGHT = 40;
constexpr double WAVE_TOP = 124, WAVE_HEIGHT = 200;
constexpr double LOUD_TOP = 342, LOUD_HEIGHT = 130;
constexpr double PITCH_TOP = 490, PITCH_HEIGHT = 480;
constexpr double AXIS_Y = PITCH_TOP + PITCH_HEIGHT + 26;

constexpr double WAVE_RANGE = 0.5; // the waveform panel spans +-6 dBFS
constexpr double LOUD_FLOOR_DB = -45, LOUD_CEILING_DB = -5, LOUD_GRID_DB = 10;
constexpr double PITCH_LOW_HZ = 40, PITCH_HIGH_HZ = 16000;
constexpr double PITCH_FLOOR_DB = -85, PITCH_CEILING_DB = -10;
constexpr int FFT_SIZE = 4096;
constexpr int HEAT_STEPS = 24;
constexpr int TIME_GRID_SECONDS = 5;
constexpr int FIRST_C_OCTAVE = 1, LAST_C_OCTAVE = 8;
constexpr double LABEL_UNIT = 2.0, TITLE_UNIT = 3.2;

constexpr Rgb PAPER = rgb(250, 248, 242), PANEL = rgb(24, 20, 36), GRID = rgb(90, 84, 110);
constexpr Rgb WAVE_PEAK = rgb(120, 170, 240), WAVE_RMS = rgb(40, 90, 190), LOUD_LINE = rgb(226, 58, 52);
constexpr Rgb SECTION_COLOURS[] = {rgb(150, 200, 240), rgb(255, 200, 60),  rgb(246, 150, 90),
                                   rgb(180, 150, 220), rgb(120, 200, 120), rgb(230, 120, 150)};
constexpr Lettering LABEL = {INK, INK, 1.2, 0, false};

double seconds_per_order() {
    return ROWS_PER_PATTERN * SONG_SPEED * 2.5 / SONG_BPM;
}

void text_left(cairo_t* cr, const std::string& text, double unit, double x, double cy) {
    lettering_at(cr, text, LABEL, unit, x + text_units_width(text) * unit / 2, cy);
}

void text_right(cairo_t* cr, const std::string& text, double unit, double x, double cy) {
    lettering_at(cr, text, LABEL, unit, x - text_units_width(text) * unit / 2, cy);
}

// Spectrogram colours: night blue through red and orange to pale yellow, in HEAT_STEPS bands (a
// picture that compresses to a fraction of its size, with no detail lost to the eye).
Rgb heat(double x) {
    constexpr Rgb STOPS[] = {rgb(12, 8, 24), rgb(70, 20, 110), rgb(190, 40, 80), rgb(250, 140, 40),
                             rgb(255, 240, 170)};
    constexpr int LAST = std::size(STOPS) - 1;
    x = std::floor(std::clamp(x, 0.0, 1.0) * HEAT_STEPS) / HEAT_STEPS * LAST;
    const int i = std::min(static_cast<int>(x), LAST - 1);
    return mix(STOPS[i], STOPS[i + 1], x - i);
}

void draw_form(cairo_t* cr, double pixels_per_second) {
    int colour = 0;
    for (const Section& s : SONG_FORM) {
        const double x = LEFT + s.first_order * seconds_per_order() * pixels_per_second;
        const double w = s.orders * seconds_per_order() * pixels_per_second;
        set_colour(cr, SECTION_COLOURS[colour++ % std::size(SECTION_COLOURS)]);
        cairo_rectangle(cr, x, FORM_TOP, w, FORM_HEIGHT);
        cairo_fill_preserve(cr);
        outline(cr, 1.5);
        std::string name = s.name;
        lettering_at(cr, name, LABEL, std::min(LABEL_UNIT * 1.3, (w - 8) / text_units_width(name)), x + w / 2,
                     FORM_TOP + FORM_HEIGHT / 2);
    }
}

void draw_orders(cairo_t* cr, double pixels_per_second, double seconds) {
    cairo_set_line_width(cr, 1);
    for (int order = 0; order * seconds_per_order() <= seconds; ++order) {
        const double x = std::round(LEFT + order * seconds_per_order() * pixels_per_second) + 0.5;
        set_colour(cr, GRID, 0.8);
        for (double top : {WAVE_TOP, LOUD_TOP, PITCH_TOP}) {
            const double height = top == WAVE_TOP   ? WAVE_HEIGHT
                                  : top == LOUD_TOP ? LOUD_HEIGHT
                                                    : PITCH_HEIGHT;
            cairo_move_to(cr, x, top);
            cairo_line_to(cr, x, top + height);
        }
        cairo_stroke(cr);
        if (order < SONG_ORDERS)
            lettering_at(cr, std::to_string(order), LABEL, LABEL_UNIT * 0.8,
                         x + seconds_per_order() * pixels_per_second / 2, WAVE_TOP - 9);
    }
}

void draw_wave(cairo_t* cr, const Render& r, int columns) {
    const double middle = WAVE_TOP + WAVE_HEIGHT / 2, scale = WAVE_HEIGHT / 2 / WAVE_RANGE;
    const size_t per_column = r.mono.size() / static_cast<size_t>(columns) + 1;
    for (int c = 0; c < columns; ++c) {
        double low = 0, high = 0, power = 0;
        const size_t from = static_cast<size_t>(c) * per_column,
                     to = std::min(r.mono.size(), from + per_column);
        for (size_t i = from; i < to; ++i) {
            low = std::min(low, r.mono[i]);
            high = std::max(high, r.mono[i]);
            power += r.mono[i] * r.mono[i];
        }
        const double rms = to > from ? std::sqrt(power / static_cast<double>(to - from)) : 0;
        const double x = LEFT + c + 0.5;
        cairo_set_line_width(cr, 1);
        set_colour(cr, WAVE_PEAK);
        cairo_move_to(cr, x, middle - std::min(high, WAVE_RANGE) * scale);
        cairo_line_to(cr, x, middle - std::max(low, -WAVE_RANGE) * scale);
        cairo_stroke(cr);
        set_colour(cr, WAVE_RMS);
        cairo_move_to(cr, x, middle - rms * scale);
        cairo_line_to(cr, x, middle + rms * scale);
        cairo_stroke(cr);
    }
    text_right(cr, "-6 DB", LABEL_UNIT, LEFT - 8, WAVE_TOP + 6);
    text_right(cr, "0", LABEL_UNIT, LEFT - 8, middle);
    text_right(cr, "WAVE", LABEL_UNIT, LEFT - 8, middle + 40);
}

double loud_y(double db) {
    const double x =
        (std::clamp(db, LOUD_FLOOR_DB, LOUD_CEILING_DB) - LOUD_FLOOR_DB) / (LOUD_CEILING_DB - LOUD_FLOOR_DB);
    return LOUD_TOP + LOUD_HEIGHT * (1 - x);
}

void draw_loudness(cairo_t* cr, const Render& r, double pixels_per_second) {
    cairo_set_line_width(cr, 1);
    for (double db = LOUD_FLOOR_DB + 5; db <= LOUD_CEILING_DB; db += LOUD_GRID_DB) {
        set_colour(cr, GRID, 0.8);
        cairo_move_to(cr, LEFT, std::round(loud_y(db)) + 0.5);
        cairo_line_to(cr, LEFT + PLOT_WIDTH, std::round(loud_y(db)) + 0.5);
        cairo_stroke(cr);
        text_right(cr, std::to_string(static_cast<int>(db)), LABEL_UNIT, LEFT - 8, loud_y(db));
    }
    text_right(cr, "DBFS", LABEL_UNIT, LEFT - 50, LOUD_TOP + LOUD_HEIGHT / 2);
    // One step per second: the RMS of that second.
    set_colour(cr, LOUD_LINE);
    cairo_set_line_width(cr, 2.5);
    const size_t second = r.rate;
    for (size_t from = 0; from < r.mono.size(); from += second) {
        const size_t to = std::min(r.mono.size(), from + second);
        double power = 0;
        for (size_t i = from; i < to; ++i)
            power += r.mono[i] * r.mono[i];
        const double rms = std::sqrt(power / static_cast<double>(to - from));
        const double y = loud_y(rms > 0 ? 20 * std::log10(rms) : LOUD_FLOOR_DB);
        const double x0 = LEFT + static_cast<double>(from) / r.rate * pixels_per_second;
        const double x1 = LEFT + static_cast<double>(to) / r.rate * pixels_per_second;
        if (from == 0)
            cairo_move_to(cr, x0, y);
        else
            cairo_line_to(cr, x0, y);
        cairo_line_to(cr, x1, y);
    }
    cairo_stroke(cr);
}

void draw_spectrogram(cairo_t* cr, const Render& r, int columns) {
    const int bands = static_cast<int>(PITCH_HEIGHT);
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, columns, bands);
    cairo_surface_flush(image);
    unsigned char* pixels = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int c = 0; c < columns; ++c) {
        const long centre = static_cast<long>((c + 0.5) * static_cast<double>(r.mono.size()) / columns);
        const std::vector<double> levels =
            log_spectrum(r.mono, r.rate, centre, FFT_SIZE, bands, PITCH_LOW_HZ, PITCH_HIGH_HZ);
        for (int b = 0; b < bands; ++b) {
            const Rgb colour =
                heat((levels[static_cast<size_t>(b)] - PITCH_FLOOR_DB) / (PITCH_CEILING_DB - PITCH_FLOOR_DB));
            const uint32_t word = static_cast<uint32_t>(colour.r * 255) << 16 |
                                  static_cast<uint32_t>(colour.g * 255) << 8 |
                                  static_cast<uint32_t>(colour.b * 255);
            auto* row = reinterpret_cast<uint32_t*>(pixels + static_cast<ptrdiff_t>(bands - 1 - b) * stride);
            row[c] = word;
        }
    }
    cairo_surface_mark_dirty(image);
    cairo_set_source_surface(cr, image, LEFT, PITCH_TOP);
    cairo_paint(cr);
    cairo_surface_destroy(image);
    // The Cs, so the melody and the bass can be read against the keyboard.
    for (int octave = FIRST_C_OCTAVE; octave <= LAST_C_OCTAVE; ++octave) {
        const double hertz = 440 * std::exp2((octave * 12 - 57) / 12.0);
        if (hertz < PITCH_LOW_HZ || hertz > PITCH_HIGH_HZ) continue;
        const double y = PITCH_TOP + PITCH_HEIGHT * (1 - std::log(hertz / PITCH_LOW_HZ) /
                                                             std::log(PITCH_HIGH_HZ / PITCH_LOW_HZ));
        set_colour(cr, WHITE, 0.35);
        cairo_set_line_width(cr, 1);
        cairo_move_to(cr, LEFT, std::round(y) + 0.5);
        cairo_line_to(cr, LEFT + PLOT_WIDTH, std::round(y) + 0.5);
        cairo_stroke(cr);
        text_right(cr, "C" + std::to_string(octave), LABEL_UNIT, LEFT - 8, y);
    }
}

void draw_time_axis(cairo_t* cr, double pixels_per_second, double seconds) {
    for (int s = 0; s <= seconds; s += TIME_GRID_SECONDS)
        lettering_at(cr, std::to_string(s), LABEL, LABEL_UNIT, LEFT + s * pixels_per_second, AXIS_Y);
    lettering_at(cr, "SECONDS", LABEL, LABEL_UNIT, LEFT + PLOT_WIDTH / 2, AXIS_Y + 24);
}
} // namespace

bool draw_chart(const Render& r, const std::string& png_path) {
    const double seconds = static_cast<double>(r.mono.size()) / r.rate;
    const int columns = static_cast<int>(PLOT_WIDTH);
    const double pixels_per_second = PLOT_WIDTH / seconds;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, WIDTH, HEIGHT);
    cairo_t* cr = cairo_create(surface);
    set_colour(cr, PAPER);
    cairo_paint(cr);
    text_left(cr, "QUIBBET - THE SONG: 16 CHANNELS, 18 ORDERS, SPEED 4 AT 250 BPM", TITLE_UNIT, LEFT,
              TITLE_Y);
    for (auto [top, height] :
         {std::pair{WAVE_TOP, WAVE_HEIGHT}, {LOUD_TOP, LOUD_HEIGHT}, {PITCH_TOP, PITCH_HEIGHT}}) {
        set_colour(cr, PANEL);
        cairo_rectangle(cr, LEFT, top, PLOT_WIDTH, height);
        cairo_fill(cr);
    }
    draw_form(cr, pixels_per_second);
    draw_wave(cr, r, columns);
    draw_loudness(cr, r, pixels_per_second);
    draw_spectrogram(cr, r, columns);
    draw_orders(cr, pixels_per_second, seconds);
    draw_time_axis(cr, pixels_per_second, seconds);
    cairo_destroy(cr);
    const bool written = cairo_surface_write_to_png(surface, png_path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}
