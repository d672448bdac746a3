// The weapon sounds, synthesised from noise, resonators and swept sines: a rifle
// crack, a lighter pistol shot, a metallic grenade bounce, a deep explosion and a
// mechanical reload. All are mono 16-bit WAV files, normalised below full scale.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/assets/Art.h"
#include "tools/assets/AssetWriter.h"

namespace {

constexpr int sampleRate = 44100;
constexpr float pi = 3.14159265f;

using Signal = std::vector<float>;

// A fixed seed per sound, so every build writes the same files.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed ? seed : 1) {}
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }

private:
    uint32_t state;
};

// Second-order filter of the audio cookbook kind: low pass, high pass, band pass.
class Biquad {
public:
    enum Kind { LowPass, HighPass, BandPass };

    Biquad(Kind kind, float frequency, float q) {
        float w = 2 * pi * frequency / sampleRate;
        float alpha = std::sin(w) / (2 * q);
        float c = std::cos(w);
        float a0 = 1 + alpha;
        switch (kind) {
            case LowPass: b0 = (1 - c) / 2; b1 = 1 - c; b2 = (1 - c) / 2; break;
            case HighPass: b0 = (1 + c) / 2; b1 = -(1 + c); b2 = (1 + c) / 2; break;
            case BandPass: b0 = alpha; b1 = 0; b2 = -alpha; break;
        }
        a1 = -2 * c;
        a2 = 1 - alpha;
        b0 /= a0; b1 /= a0; b2 /= a0; a1 /= a0; a2 /= a0;
    }

    float process(float x) {
        float y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1; x1 = x; y2 = y1; y1 = y;
        return y;
    }

private:
    float b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

Signal silence(float seconds) { return Signal(static_cast<size_t>(seconds * sampleRate), 0.0f); }

float seconds(size_t i) { return static_cast<float>(i) / sampleRate; }

// Exponential decay with a short linear attack, so no burst starts with a click.
float envelope(float t, float attack, float decay) {
    if (t < 0) return 0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / decay);
}

// Filtered noise under an envelope, added from the time start on.
void addNoiseBurst(Signal& out, uint32_t seed, Biquad filter, float start, float attack, float decay, float gain) {
    Noise noise(seed);
    for (size_t i = static_cast<size_t>(start * sampleRate); i < out.size(); ++i) {
        float e = envelope(seconds(i) - start, attack, decay);
        out[i] += filter.process(noise.next()) * e * gain;
        if (seconds(i) - start > attack + decay * 8) break;
    }
}

// A sine gliding exponentially from one pitch to another: the body of a boom.
void addSweep(Signal& out, float start, float from, float to, float glide, float attack, float decay, float gain) {
    float phase = 0;
    for (size_t i = static_cast<size_t>(start * sampleRate); i < out.size(); ++i) {
        float t = seconds(i) - start;
        float frequency = to + (from - to) * std::exp(-t / glide);
        phase += 2 * pi * frequency / sampleRate;
        out[i] += std::sin(phase) * envelope(t, attack, decay) * gain;
    }
}

// A struck metal part: a few inharmonic partials, the higher ones dying first.
void addRing(Signal& out, float start, float fundamental, const std::vector<float>& ratios, float decay, float gain) {
    for (size_t p = 0; p < ratios.size(); ++p) {
        float frequency = fundamental * ratios[p];
        float partialDecay = decay / (1.0f + 0.6f * static_cast<float>(p));
        float partialGain = gain / (1.0f + 0.7f * static_cast<float>(p));
        for (size_t i = static_cast<size_t>(start * sampleRate); i < out.size(); ++i) {
            float t = seconds(i) - start;
            out[i] += std::sin(2 * pi * frequency * t + static_cast<float>(p)) * envelope(t, 0.0005f, partialDecay) *
                      partialGain;
            if (t > partialDecay * 8) break;
        }
    }
}

// A short mechanical click: a tick of bright noise and a ring of the part that moved.
void addClick(Signal& out, uint32_t seed, float start, float brightness, float ring, float gain) {
    addNoiseBurst(out, seed, Biquad(Biquad::BandPass, brightness, 2.5f), start, 0.0003f, 0.004f, gain);
    addRing(out, start, ring, {1.0f, 2.7f, 4.1f}, 0.012f, gain * 0.5f);
}

// Removes any offset, rounds the shape with a gentle saturation, normalises the
// peak and fades the last milliseconds so the file ends on silence.
void finish(Signal& s, float peak, float drive) {
    Biquad dcBlock(Biquad::HighPass, 25.0f, 0.7f);
    for (float& v : s) v = dcBlock.process(v);
    if (drive > 0) {
        for (float& v : s) v = std::tanh(v * drive);
    }
    float largest = 0;
    for (float v : s) largest = std::max(largest, std::fabs(v));
    if (largest > 0) {
        for (float& v : s) v *= peak / largest;
    }
    size_t fade = std::min(s.size(), static_cast<size_t>(0.02f * sampleRate));
    for (size_t i = 0; i < fade; ++i) s[s.size() - 1 - i] *= static_cast<float>(i) / fade;
}

void put16(std::string& bytes, int v) {
    bytes.push_back(static_cast<char>(v & 0xff));
    bytes.push_back(static_cast<char>((v >> 8) & 0xff));
}

void put32(std::string& bytes, uint32_t v) {
    put16(bytes, static_cast<int>(v & 0xffff));
    put16(bytes, static_cast<int>(v >> 16));
}

void saveWave(const Signal& s, const std::string& path) {
    std::string bytes = "RIFF";
    uint32_t dataSize = static_cast<uint32_t>(s.size() * 2);
    put32(bytes, 36 + dataSize);
    bytes += "WAVEfmt ";
    put32(bytes, 16);
    put16(bytes, 1);  // PCM
    put16(bytes, 1);  // mono
    put32(bytes, sampleRate);
    put32(bytes, sampleRate * 2);
    put16(bytes, 2);
    put16(bytes, 16);
    bytes += "data";
    put32(bytes, dataSize);
    for (float v : s) {
        float clamped = std::max(-1.0f, std::min(1.0f, v));
        put16(bytes, static_cast<int>(std::lround(clamped * 32767.0f)));
    }
    AssetWriter::saveBytes(bytes, path);
}

Signal rifleShot() {
    Signal s = silence(0.5f);
    addNoiseBurst(s, 11, Biquad(Biquad::HighPass, 1800, 0.7f), 0, 0.0004f, 0.010f, 1.0f);  // supersonic crack
    addNoiseBurst(s, 12, Biquad(Biquad::LowPass, 1400, 0.8f), 0, 0.001f, 0.035f, 1.1f);    // muzzle blast
    addSweep(s, 0, 150, 55, 0.03f, 0.001f, 0.06f, 0.9f);                                   // chest thump
    addNoiseBurst(s, 13, Biquad(Biquad::BandPass, 450, 0.9f), 0.004f, 0.01f, 0.12f, 0.35f);  // room
    addNoiseBurst(s, 14, Biquad(Biquad::BandPass, 700, 1.2f), 0.075f, 0.005f, 0.09f, 0.12f);  // echo
    finish(s, 0.89f, 1.6f);
    return s;
}

Signal pistolShot() {
    Signal s = silence(0.32f);
    addNoiseBurst(s, 21, Biquad(Biquad::HighPass, 2600, 0.7f), 0, 0.0003f, 0.007f, 1.0f);
    addNoiseBurst(s, 22, Biquad(Biquad::LowPass, 2600, 0.8f), 0, 0.0008f, 0.02f, 0.9f);
    addSweep(s, 0, 260, 120, 0.02f, 0.001f, 0.03f, 0.55f);
    addNoiseBurst(s, 23, Biquad(Biquad::BandPass, 900, 1.0f), 0.003f, 0.006f, 0.07f, 0.25f);
    finish(s, 0.80f, 1.4f);
    return s;
}

Signal grenadeBounce() {
    Signal s = silence(0.4f);
    addNoiseBurst(s, 31, Biquad(Biquad::BandPass, 3000, 1.5f), 0, 0.0002f, 0.002f, 0.8f);  // impact tick
    addSweep(s, 0, 240, 150, 0.01f, 0.0005f, 0.015f, 0.5f);                                // thud on the ground
    addRing(s, 0, 1520, {1.0f, 2.32f, 3.87f, 5.41f}, 0.06f, 0.8f);                         // the steel shell
    addRing(s, 0.055f, 1520, {1.0f, 2.32f, 3.87f}, 0.035f, 0.3f);                          // a small rattle
    finish(s, 0.70f, 0);
    return s;
}

Signal explosion() {
    Signal s = silence(1.8f);
    addNoiseBurst(s, 41, Biquad(Biquad::LowPass, 5000, 0.7f), 0, 0.0005f, 0.02f, 0.9f);  // blast front
    addSweep(s, 0, 75, 28, 0.15f, 0.004f, 0.45f, 1.4f);                                 // the deep boom
    addSweep(s, 0, 150, 56, 0.15f, 0.004f, 0.25f, 0.35f);
    // Rumble: noise low-passed twice and swelling a little before it dies away.
    {
        Noise noise(42);
        Biquad first(Biquad::LowPass, 260, 0.7f), second(Biquad::LowPass, 260, 0.7f);
        Biquad wobble(Biquad::LowPass, 6, 0.7f);
        Noise wobbleNoise(43);
        for (size_t i = 0; i < s.size(); ++i) {
            float t = seconds(i);
            float swell = 1.0f + 0.6f * wobble.process(wobbleNoise.next()) * 20.0f;
            s[i] += second.process(first.process(noise.next())) * envelope(t, 0.02f, 0.5f) * 3.0f * swell;
        }
    }
    // Debris: sparse, fading crackles.
    {
        Noise chance(44);
        for (size_t i = static_cast<size_t>(0.05f * sampleRate); i < s.size(); i += 90) {
            float t = seconds(i);
            if ((chance.next() + 1) * 0.5f < 0.35f * std::exp(-t / 0.4f)) {
                addNoiseBurst(s, static_cast<uint32_t>(i), Biquad(Biquad::BandPass, 2200, 1.5f), t, 0.0002f, 0.003f,
                              0.05f * std::exp(-t / 0.5f));
            }
        }
    }
    // Distance takes the top off a blast: what reaches the ear is mostly low.
    Biquad muffle(Biquad::LowPass, 4500, 0.7f);
    for (float& v : s) v = muffle.process(v);
    finish(s, 0.89f, 1.3f);
    return s;
}

Signal reload() {
    Signal s = silence(0.72f);
    addClick(s, 51, 0.02f, 3200, 1100, 0.7f);  // magazine release
    // The magazine slides out along the well.
    {
        Noise noise(52);
        Biquad band(Biquad::BandPass, 2400, 2.0f);
        for (size_t i = static_cast<size_t>(0.05f * sampleRate); i < static_cast<size_t>(0.2f * sampleRate); ++i) {
            float t = (seconds(i) - 0.05f) / 0.15f;
            s[i] += band.process(noise.next()) * 0.18f * std::sin(pi * t);
        }
    }
    addClick(s, 53, 0.30f, 2200, 800, 0.9f);  // new magazine seated
    addSweep(s, 0.30f, 170, 120, 0.01f, 0.0005f, 0.02f, 0.4f);
    addClick(s, 54, 0.50f, 4200, 1600, 0.8f);  // bolt back
    addClick(s, 55, 0.56f, 3600, 1300, 1.0f);  // bolt home
    finish(s, 0.75f, 0);
    return s;
}

}  // namespace

namespace Art {

void writeSoundArt(const std::string& dataDirectory) {
    const std::string folder = dataDirectory + "/sound/weapons/";
    saveWave(rifleShot(), folder + "m4a1_unsil-1.wav");
    saveWave(pistolShot(), folder + "p228-1.wav");
    saveWave(grenadeBounce(), folder + "he_bounce-1.wav");
    saveWave(explosion(), folder + "explode3.wav");
    saveWave(reload(), folder + "generic_reload.wav");
}

}  // namespace Art
