// Watches a game window until its picture passes every check given, then saves that frame.
// Fast enough (a few grabs a second even on a loaded machine, with no image tool started per
// look) to catch screens that last less than a second, such as the countdown's overlays.
// Usage: screen_watch WINDOW-ID SECONDS OUT.ppm CHECK...
//        screen_watch --picture IN.ppm CHECK...   (a picture taken elsewhere, e.g. a browser's
//        canvas, looked at once: exit 0 when it passes, 1 with the measurements when not)
// A check names a colour class, a rectangle of the 640 x 480 virtual screen (mapped into the
// window as the game letterboxes it) and a bound:
//   CLASS@X,Y,W,H>=SHARE   at least that share (0..1) of the rectangle's pixels is of the class
//   CLASS@X,Y,W,H<=SHARE   at most that share
//   CLASS@X,Y,W,H^LOW-HIGH the class's pixels there are a shape LOW to HIGH times as wide as high
// Classes: black, sky, glass, grass, cream, gold, teal, orange, ink.
// Exit 0 when a frame passed (saved to OUT.ppm); 1 when the time ran out (the last frame is saved,
// and what each check measured on it is printed); 2 on bad arguments.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int VIRTUAL_WIDTH = 640, VIRTUAL_HEIGHT = 480;
constexpr auto LOOK_INTERVAL = std::chrono::milliseconds(50);
constexpr int MIN_SHAPE_PIXELS = 40; // fewer pixels of the class make no shape
constexpr double SHAPE_TRIM = 0.02;

struct Rgb {
    int r, g, b;
};

struct ColourClass {
    const char* name;
    Rgb low, high;
    int red_over_green; // at least this much more red than green
};
// Ranges around the colours of the game's art and clear colours.
constexpr std::array<ColourClass, 9> CLASSES{{
    {"black", {0, 0, 0}, {16, 16, 16}, -255},
    {"sky", {106, 145, 208}, {122, 161, 224}, -255},
    {"glass", {140, 200, 225}, {200, 240, 255}, -255},
    {"grass", {85, 150, 55}, {125, 200, 85}, -255},
    {"cream", {210, 200, 180}, {255, 250, 235}, -255}, // down to the credits picture's shaded foot
    {"gold", {200, 150, 40}, {255, 230, 140}, 30},     // the overlays' lettering, not the yellow player
    {"teal", {20, 60, 70}, {50, 110, 120}, -255},
    {"orange", {190, 64, 0}, {255, 153, 64}, -255},
    {"ink", {0, 0, 0}, {120, 120, 140}, -255}, // the outlines, blended a little with what is next to them
}};

enum class Bound { at_least, at_most, shape };

struct Check {
    std::string text;
    const ColourClass* colour;
    int x, y, w, h; // virtual pixels
    Bound bound;
    double low, high;
};

bool parse(const char* text, Check* c) {
    c->text = text;
    const char* at = std::strchr(text, '@');
    if (!at) return false;
    const std::string name(text, at);
    c->colour = nullptr;
    for (const ColourClass& k : CLASSES)
        if (name == k.name) c->colour = &k;
    int used = 0;
    if (!c->colour || std::sscanf(at + 1, "%d,%d,%d,%d%n", &c->x, &c->y, &c->w, &c->h, &used) != 4)
        return false;
    const char* rest = at + 1 + used;
    if (std::sscanf(rest, ">=%lf", &c->low) == 1) {
        c->bound = Bound::at_least;
    } else if (std::sscanf(rest, "<=%lf", &c->high) == 1) {
        c->bound = Bound::at_most;
    } else if (std::sscanf(rest, "^%lf-%lf", &c->low, &c->high) == 2) {
        c->bound = Bound::shape;
    } else {
        return false;
    }
    return c->w > 0 && c->h > 0;
}

int mask_shift(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}
int channel(unsigned long pixel, unsigned long mask) {
    const unsigned long bits = mask >> mask_shift(mask);
    return bits ? static_cast<int>(((pixel & mask) >> mask_shift(mask)) * 255 / bits) : 0;
}

// The window's size and, for a part of it, its pixels: read as 8-bit RGB whatever the visual's
// masks, and only where looked at. A picture from a file holds all of its pixels instead.
struct Frame {
    int width = 0, height = 0;
    int left = 0, top = 0; // where the image lies in the window
    XImage* image = nullptr;
    std::vector<Rgb> picture;
    Rgb at(int x, int y) const {
        if (!image)
            return picture[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
        const unsigned long p = XGetPixel(image, x - left, y - top);
        return {channel(p, image->red_mask), channel(p, image->green_mask), channel(p, image->blue_mask)};
    }
    ~Frame() {
        if (image) XDestroyImage(image);
    }
};

// The window rectangle of a virtual one: the virtual screen scaled to fit and centred.
struct Span {
    int x0, y0, x1, y1;
};
Span window_span(const Frame& f, const Check& c) {
    const double sx = static_cast<double>(f.width) / VIRTUAL_WIDTH,
                 sy = static_cast<double>(f.height) / VIRTUAL_HEIGHT;
    const double s = std::min(sx, sy);
    const int left = sx > sy ? static_cast<int>((f.width - VIRTUAL_WIDTH * s) * 0.5) : 0;
    const int top = sy > sx ? static_cast<int>((f.height - VIRTUAL_HEIGHT * s) * 0.5) : 0;
    Span span{left + static_cast<int>(c.x * s), top + static_cast<int>(c.y * s),
              left + static_cast<int>((c.x + c.w) * s), top + static_cast<int>((c.y + c.h) * s)};
    span.x1 = std::clamp(std::max(span.x1, span.x0 + 1), 0, f.width);
    span.y1 = std::clamp(std::max(span.y1, span.y0 + 1), 0, f.height);
    span.x0 = std::clamp(span.x0, 0, f.width);
    span.y0 = std::clamp(span.y0, 0, f.height);
    return span;
}

// Grabs the part of the window that the checks look at, or the whole window without checks. A
// small grab keeps the X server free for the game, which draws through it.
bool grab(Display* display, Window window, const std::vector<Check>& checks, Frame* frame) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    frame->width = attributes.width;
    frame->height = attributes.height;
    Span box{0, 0, frame->width, frame->height};
    if (!checks.empty()) {
        box = window_span(*frame, checks[0]);
        for (const Check& c : checks) {
            const Span s = window_span(*frame, c);
            box = {std::min(box.x0, s.x0), std::min(box.y0, s.y0), std::max(box.x1, s.x1),
                   std::max(box.y1, s.y1)};
        }
    }
    XImage* image = XGetImage(display, window, box.x0, box.y0, static_cast<unsigned>(box.x1 - box.x0),
                              static_cast<unsigned>(box.y1 - box.y0), AllPlanes, ZPixmap);
    if (!image) return false;
    if (frame->image) XDestroyImage(frame->image);
    frame->image = image;
    frame->left = box.x0;
    frame->top = box.y0;
    return true;
}

bool of_class(const Rgb& p, const ColourClass& k) {
    return p.r >= k.low.r && p.r <= k.high.r && p.g >= k.low.g && p.g <= k.high.g && p.b >= k.low.b &&
           p.b <= k.high.b && p.r - p.g >= k.red_over_green;
}

// The span holding all but SHAPE_TRIM of the counts on each side, so that a few stray pixels of
// the class (a sprite's edge) do not stretch a shape.
double trimmed_extent(const std::vector<long>& counts, long total) {
    long below = 0;
    size_t low = 0, high = counts.size() - 1;
    while (low < counts.size() && (below += counts[low]) <= total * SHAPE_TRIM)
        ++low;
    long above = 0;
    while (high > low && (above += counts[high]) <= total * SHAPE_TRIM)
        --high;
    return static_cast<double>(high - low + 1);
}

// The measured value (share, or width / height of the shape; 0 when there is none) and whether
// it is within the bound.
bool measure(const Frame& f, const Check& c, double* value) {
    const Span s = window_span(f, c);
    long count = 0;
    std::vector<long> columns(static_cast<size_t>(s.x1 - s.x0)), rows(static_cast<size_t>(s.y1 - s.y0));
    for (int y = s.y0; y < s.y1; ++y)
        for (int x = s.x0; x < s.x1; ++x) {
            if (!of_class(f.at(x, y), *c.colour)) continue;
            ++count;
            ++columns[static_cast<size_t>(x - s.x0)];
            ++rows[static_cast<size_t>(y - s.y0)];
        }
    const long area = static_cast<long>(s.x1 - s.x0) * (s.y1 - s.y0);
    switch (c.bound) {
    case Bound::at_least:
        *value = area ? static_cast<double>(count) / area : 0;
        return *value >= c.low;
    case Bound::at_most:
        *value = area ? static_cast<double>(count) / area : 0;
        return *value <= c.high;
    case Bound::shape:
        *value = count >= MIN_SHAPE_PIXELS ? trimmed_extent(columns, count) / trimmed_extent(rows, count) : 0;
        return *value >= c.low && *value <= c.high;
    }
    return false;
}

bool save(const Frame& f, const char* path) {
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return false;
    std::fprintf(out, "P6\n%d %d\n255\n", f.width, f.height);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            const Rgb p = f.at(x, y);
            const unsigned char rgb[3] = {static_cast<unsigned char>(p.r), static_cast<unsigned char>(p.g),
                                          static_cast<unsigned char>(p.b)};
            std::fwrite(rgb, 1, 3, out);
        }
    return std::fclose(out) == 0;
}

// A binary PPM with 8-bit channels, as the tests write them.
bool load_picture(const char* path, Frame* f) {
    std::FILE* in = std::fopen(path, "rb");
    if (!in) return false;
    int max = 0;
    bool ok = std::fscanf(in, "P6 %d %d %d", &f->width, &f->height, &max) == 3 && max == 255 &&
              std::fgetc(in) != EOF && f->width > 0 && f->height > 0;
    std::vector<unsigned char> bytes(ok ? static_cast<size_t>(f->width) * static_cast<size_t>(f->height) * 3
                                        : 0);
    ok = ok && std::fread(bytes.data(), 1, bytes.size(), in) == bytes.size();
    std::fclose(in);
    for (size_t i = 0; ok && i < bytes.size(); i += 3)
        f->picture.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
    return ok;
}

bool parse_all(int count, char** texts, std::vector<Check>* checks) {
    checks->resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        if (!parse(texts[i], &(*checks)[static_cast<size_t>(i)])) {
            std::fprintf(stderr, "not a check: %s\n", texts[i]);
            return false;
        }
    return true;
}

// Every check's measurement; true when all passed.
bool report(const Frame& frame, const std::vector<Check>& checks) {
    bool all = true;
    for (const Check& c : checks) {
        double value = 0;
        const bool ok = measure(frame, c, &value);
        all = all && ok;
        std::printf("%s: %.3f %s\n", c.text.c_str(), value, ok ? "ok" : "FAILED");
    }
    return all;
}

int look_at_picture(int argc, char** argv) {
    Frame frame;
    std::vector<Check> checks;
    if (!parse_all(argc - 3, argv + 3, &checks)) return 2;
    if (!load_picture(argv[2], &frame)) {
        std::fprintf(stderr, "not a picture: %s\n", argv[2]);
        return 2;
    }
    return report(frame, checks) ? 0 : 1;
}

int ignore_x_error(Display*, XErrorEvent*) {
    return 0;
} // a window going away mid-grab

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--picture") == 0) return look_at_picture(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s WINDOW-ID SECONDS OUT.ppm CHECK...\n", argv[0]);
        return 2;
    }
    const unsigned long window = std::strtoul(argv[1], nullptr, 0);
    const double seconds = std::atof(argv[2]);
    const char* out = argv[3];
    std::vector<Check> checks;
    if (!parse_all(argc - 4, argv + 4, &checks)) return 2;
    Display* display = XOpenDisplay(nullptr);
    if (!display || window == 0) {
        std::fprintf(stderr, "no display or no window\n");
        return 2;
    }
    XSetErrorHandler(ignore_x_error);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<long>(seconds * 1000));
    Frame frame;
    bool grabbed = false;
    do {
        if (grab(display, window, checks, &frame)) {
            grabbed = true;
            double value = 0;
            if (std::all_of(checks.begin(), checks.end(),
                            [&](const Check& c) { return measure(frame, c, &value); })) {
                Frame whole;
                return grab(display, window, {}, &whole) && save(whole, out) ? 0 : 1;
            }
        }
        std::this_thread::sleep_for(LOOK_INTERVAL);
    } while (std::chrono::steady_clock::now() < deadline);
    if (!grabbed) {
        std::printf("the window was never seen\n");
        return 1;
    }
    report(frame, checks);
    Frame whole;
    if (grab(display, window, {}, &whole)) save(whole, out);
    return 1;
}
