#include "tools/SoundGenerator.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/Rng.h"
#include "tools/WavWriter.h"

namespace reef::tools {
namespace {

constexpr float kRate = static_cast<float>(wav::kSampleRate);
constexpr float kTwoPi = 6.2831853f;

void normalise(std::vector<float>& s, float peak) {
    float m = 0.0f;
    for (float v : s) m = std::max(m, std::fabs(v));
    if (m > 0.0f)
        for (float& v : s) v *= peak / m;
}

// One harmonic-rich, slightly rough call note: pitch glides along `pitch` (Hz at
// 0..1 of the note), loudness follows a soft attack and release.
void addNote(std::vector<float>& out, Rng& rng, float start, float duration, float pitchA, float pitchB,
             float pitchC, float loudness) {
    const int first = static_cast<int>(start * kRate);
    const int count = static_cast<int>(duration * kRate);
    float phase = 0.0f;
    float jitter = 0.0f;
    for (int i = 0; i < count; ++i) {
        const int n = first + i;
        if (n < 0 || n >= static_cast<int>(out.size())) continue;
        const float t = static_cast<float>(i) / static_cast<float>(count);
        // Quadratic glide through three pitches.
        const float f = pitchA * (1 - t) * (1 - t) + 2.0f * pitchB * t * (1 - t) + pitchC * t * t;
        jitter = jitter * 0.995f + (rng.uniform() - 0.5f) * 0.02f;
        phase += kTwoPi * f * (1.0f + jitter * 0.15f) / kRate;
        if (phase > kTwoPi) phase -= kTwoPi;
        float v = 0.0f;
        for (int k = 1; k <= 10; ++k) {
            const float fk = f * k;
            if (fk > kRate * 0.45f) break;
            // Nasal colour: harmonics near 2.4 kHz stand out.
            const float formant = 0.35f + std::exp(-((fk - 2400.0f) * (fk - 2400.0f)) / (2.0f * 700.0f * 700.0f));
            v += std::sin(phase * k) * formant / std::pow(static_cast<float>(k), 0.6f);
        }
        v += (rng.uniform() - 0.5f) * 0.25f;  // breath
        const float attack = std::min(1.0f, t * duration / 0.025f);
        const float release = std::min(1.0f, (1.0f - t) * duration / 0.06f);
        out[static_cast<size_t>(n)] += v * loudness * attack * release;
    }
}

}  // namespace

std::vector<float> SoundGenerator::waterLoop() {
    const size_t length = static_cast<size_t>(10.0f * kRate);
    const size_t fade = static_cast<size_t>(1.0f * kRate);
    Rng rng(0x5EA5EA);
    // Low, slowly swelling rumble: white noise through two one-pole low-passes,
    // plus a hiss band; rendered past the end so the tail can fold into the start.
    std::vector<float> raw(length + fade);
    float lp1 = 0.0f, lp2 = 0.0f, hiss = 0.0f;
    for (size_t i = 0; i < raw.size(); ++i) {
        const float white = rng.uniform() * 2.0f - 1.0f;
        lp1 += 0.02f * (white - lp1);
        lp2 += 0.05f * (lp1 - lp2);
        hiss += 0.3f * (white - hiss);
        const float t = static_cast<float>(i) / kRate;
        const float swell = 0.75f + 0.25f * std::sin(kTwoPi * t / 5.0f) * std::sin(kTwoPi * t / 2.5f + 1.0f);
        raw[i] = lp2 * 6.0f * swell + (hiss - lp1) * 0.04f;
    }
    std::vector<float> loop(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(length));
    // Equal-power fold of the rendered tail into the start: the last sample then
    // runs on into the first exactly as the noise would have continued.
    for (size_t i = 0; i < fade; ++i) {
        const float w = static_cast<float>(i) / static_cast<float>(fade) * 1.5707963f;
        loop[i] = loop[i] * std::sin(w) + raw[length + i] * std::cos(w);
    }
    // Bubbles: short rising sine chirps, placed on the circle so none is cut.
    for (int b = 0; b < 14; ++b) {
        const size_t at = static_cast<size_t>(rng.uniform() * static_cast<float>(length));
        const float f0 = rng.range(350.0f, 900.0f);
        const float dur = rng.range(0.04f, 0.12f);
        const float amp = rng.range(0.04f, 0.1f);
        const size_t n = static_cast<size_t>(dur * kRate);
        float phase = 0.0f;
        for (size_t i = 0; i < n; ++i) {
            const float t = static_cast<float>(i) / kRate;
            phase += kTwoPi * f0 * (1.0f + 3.0f * t / dur) / kRate;
            const float env = std::exp(-t / (dur * 0.35f)) * std::min(1.0f, t / 0.004f);
            loop[(at + i) % length] += std::sin(phase) * env * amp;
        }
    }
    normalise(loop, 0.5f);
    return loop;
}

std::vector<float> SoundGenerator::gullCry(int cry) {
    Rng rng(0x6A11 + static_cast<uint64_t>(cry));
    std::vector<float> out;
    switch (cry) {
        case 0:  // one long, falling "kee-ow"
            out.assign(static_cast<size_t>(1.0f * kRate), 0.0f);
            addNote(out, rng, 0.03f, 0.85f, 1350.0f, 1550.0f, 820.0f, 1.0f);
            break;
        case 1:  // three short calls
            out.assign(static_cast<size_t>(1.2f * kRate), 0.0f);
            for (int i = 0; i < 3; ++i)
                addNote(out, rng, 0.03f + 0.36f * i, 0.26f, 1200.0f, 1450.0f - 60.0f * i, 1000.0f, 1.0f - 0.12f * i);
            break;
        case 2:  // the laughing "ha-ha-ha-ha-ha"
            out.assign(static_cast<size_t>(1.3f * kRate), 0.0f);
            for (int i = 0; i < 5; ++i)
                addNote(out, rng, 0.03f + 0.22f * i, 0.14f, 950.0f, 1150.0f, 900.0f - 30.0f * i, 1.0f - 0.1f * i);
            break;
        default:  // a sharp rising "kyii" with a short tail
            out.assign(static_cast<size_t>(0.9f * kRate), 0.0f);
            addNote(out, rng, 0.03f, 0.45f, 900.0f, 1900.0f, 1700.0f, 1.0f);
            addNote(out, rng, 0.52f, 0.3f, 1500.0f, 1300.0f, 1000.0f, 0.6f);
            break;
    }
    normalise(out, 0.8f);
    return out;
}

bool SoundGenerator::generate(GeneratedFiles& folder) const {
    bool ok = folder.add("sound/water.wav", wav::encodeMono16(waterLoop()));
    for (int i = 0; i < 4; ++i)
        ok = folder.add("sound/seagull" + std::to_string(i + 1) + ".wav", wav::encodeMono16(gullCry(i))) && ok;
    return ok;
}

}  // namespace reef::tools
