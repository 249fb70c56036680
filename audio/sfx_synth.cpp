// Sine tones into the synthesis buffer, and notes turned into tone frequencies.
#include "audio/sfx_synth.h"
#include "audio/sfx.h"

#include <algorithm>
#include <cmath>

namespace {
// The ratio of one semitone down: the single-precision value just above 2^(-1/12) that the
// game's tone tables were tuned with.
constexpr float SEMITONE_RATIO = 0.943879f;
constexpr long double TONE_PI = 3.141592653589793;
constexpr double HALF = 0.5;
} // namespace

void sfx_tone(float frequency, int count, int amplitude) {
    SfxModule& m = sfx_module;
    if (count <= 0 || !m.synthesis) return;
    const int32_t n = std::min(count, SFX_SYNTHESIS_SAMPLES - m.write_position);
    // Samples per half period: the device reads them alternately as left and right, so each
    // channel hears frequency / 2.
    const float period = static_cast<float>(SFX_SAMPLE_RATE / (HALF * frequency));
    const bool audible = std::isfinite(period) && period != 0.0f;
    int16_t* out = m.synthesis + m.write_position;
    for (int32_t i = 0; i < n; ++i) {
        const long double angle = audible ? static_cast<long double>(i) / period * TONE_PI : 0.0L;
        double v = std::sin(static_cast<double>(angle)) * amplitude + out[i];
        // A loud tone over an earlier one must not wrap around: hold it at full scale.
        v = std::isfinite(v) ? std::clamp(v, -32768.0, 32767.0) : out[i];
        out[i] = static_cast<int16_t>(v);
    }
    m.write_position += n;
}

void sfx_note(int octave, int semitone, int count, int amplitude) {
    long double divisor = 1.0L;
    if (semitone == 1 || semitone < 0) {
        divisor = SEMITONE_RATIO;
    } else {
        for (int k = 0; k < semitone; ++k)
            divisor *= SEMITONE_RATIO;
    }
    // Each octave adds 440 Hz rather than doubling: that is how the game's tones were voiced.
    const auto frequency = static_cast<float>(440.0L * (static_cast<long double>(octave) + 1.0L) / divisor);
    sfx_tone(frequency, count, amplitude);
}
