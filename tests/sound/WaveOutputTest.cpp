// Sound that really comes out: the test program starts itself again as a probe
// that plays one weapon sound through OpenAL Soft with its wave-file writer as
// the output device, then reads back what was written.
//
// The probe does its work while the program's static objects are made, before
// the test main runs, because the test main starts OpenAL on its silent driver
// and OpenAL chooses its driver only once per process.
#include <gtest/gtest.h>

#include <allegro.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "sound/SoundSystem.h"

namespace {

const char* const probeSoundVariable = "TORVANE_PROBE_SOUND";

const int probeRan = [] {
    const char* sound = std::getenv(probeSoundVariable);
    if (!sound) return 0;
    if (chdir(TORVANE_DATA_DIR) != 0) _exit(3);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) _exit(4);
    {
        Torvane::SoundSystem sounds;
        // Allegro's driver plays no part in what OpenAL outputs.
        sounds.initialize(true, Torvane::MissingSoundDriver::StopSoundSetup);
        sounds.playSound(sound);
        // The wave writer records in real time.
        std::this_thread::sleep_for(std::chrono::milliseconds(900));
    }  // the device closes here and the file gets its final sizes
    _exit(0);
    return 1;
}();

struct ProbeResult {
    int status = -1;
    std::string errors;
    std::vector<int16_t> samples;
    int rate = 0;
    int channels = 0;
};

uint32_t little32(const std::string& bytes, size_t at) {
    return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
           static_cast<uint8_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

// Runs the probe with an environment of its own and reads its wave file.
ProbeResult runProbe(const std::string& sound, const std::string& drivers) {
    ProbeResult result;
    const std::string folder = "/tmp/torvane-wave-" + std::to_string(getpid()) + "-" + sound;
    if (std::system(("mkdir -p " + folder).c_str()) != 0) return result;
    const std::string wave = folder + "/out.wav", conf = folder + "/alsoft.conf", errors = folder + "/stderr";
    std::ofstream(conf) << "[general]\ndrivers = " << drivers
                        << "\nsample-type = int16\nchannels = mono\nfrequency = 22050\n[wave]\nfile = " << wave << "\n";

    std::vector<std::string> environment = {std::string(probeSoundVariable) + "=" + sound, "ALSOFT_CONF=" + conf,
                                            "PATH=/usr/bin:/bin"};
    pid_t child = fork();
    if (child == 0) {
        std::vector<char*> envp;
        for (std::string& e : environment) envp.push_back(&e[0]);
        envp.push_back(nullptr);
        char name[] = "torvane-sound-probe";
        char* argv[] = {name, nullptr};
        FILE* err = std::freopen(errors.c_str(), "w", stderr);
        (void)err;
        execve("/proc/self/exe", argv, envp.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream errorFile(errors);
    result.errors.assign(std::istreambuf_iterator<char>(errorFile), std::istreambuf_iterator<char>());

    std::ifstream in(wave, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() >= 12 && bytes.compare(0, 4, "RIFF") == 0 && bytes.compare(8, 4, "WAVE") == 0) {
        size_t at = 12;
        while (at + 8 <= bytes.size()) {
            std::string id = bytes.substr(at, 4);
            uint32_t size = little32(bytes, at + 4);
            if (id == "fmt " && at + 16 <= bytes.size()) {
                result.channels = static_cast<uint8_t>(bytes[at + 10]);
                result.rate = static_cast<int>(little32(bytes, at + 12));
            }
            if (id == "data") {
                size_t end = std::min(bytes.size(), at + 8 + static_cast<size_t>(size));
                for (size_t i = at + 8; i + 1 < end; i += 2) {
                    result.samples.push_back(static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) |
                                                                  static_cast<uint8_t>(bytes[i + 1]) << 8));
                }
                break;
            }
            at += 8 + size + (size & 1);
        }
    }
    if (std::system(("rm -rf " + folder).c_str()) != 0) ADD_FAILURE() << "cannot remove " << folder;
    return result;
}

}  // namespace

TEST(SoundOutput, TheRifleShotReallyComesOutOfOpenAL) {
    ASSERT_EQ(probeRan, 0);
    ProbeResult rifle = runProbe("gun", "wave");
    ASSERT_EQ(rifle.status, 0) << rifle.errors;
    EXPECT_EQ(rifle.errors.find("failed to create al buffer."), std::string::npos) << rifle.errors;
    EXPECT_EQ(rifle.rate, 22050);
    EXPECT_EQ(rifle.channels, 1);
    ASSERT_GT(rifle.samples.size(), 22050u / 2) << "under half a second recorded";

    int peak = 0, loud = 0;
    double energy = 0;
    for (int16_t s : rifle.samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
        energy += static_cast<double>(s) * s;
        loud += std::abs(static_cast<int>(s)) > 1000;
    }
    // The shot is normalised near full scale; a little is lost to resampling.
    EXPECT_GT(peak, 20000) << "rms " << std::sqrt(energy / rifle.samples.size()) << " loud " << loud;
    EXPECT_LT(peak, 32767) << "clipped";
    EXPECT_GT(std::sqrt(energy / rifle.samples.size()), 500.0);
    // A crack with a short tail: loud for a good part of a tenth of a second, not for the whole recording.
    EXPECT_GT(loud, 22050 / 40);
    EXPECT_LT(loud, static_cast<int>(rifle.samples.size()) / 2);

    // The same probe asking for a name that is not registered records silence.
    ProbeResult nothing = runProbe("Gun", "wave");
    ASSERT_EQ(nothing.status, 0) << nothing.errors;
    int quietPeak = 0;
    for (int16_t s : nothing.samples) quietPeak = std::max(quietPeak, std::abs(static_cast<int>(s)));
    EXPECT_LE(quietPeak, 2) << "more than OpenAL's dither";
}

TEST(SoundOutput, WithoutAnAudioDeviceTheGameGoesOnSilentlyWithOneLine) {
    ProbeResult silent = runProbe("gun", "no-such-driver");
    EXPECT_EQ(silent.status, 0) << "the probe did not survive without a device: " << silent.errors;
    EXPECT_TRUE(silent.samples.empty());
    size_t first = silent.errors.find("No sound: OpenAL could not open an audio device");
    EXPECT_NE(first, std::string::npos) << silent.errors;
    EXPECT_EQ(silent.errors.find("No sound:", first + 1), std::string::npos) << "said more than once";
    // One line in all: without a device the six sounds are not tried one by one.
    EXPECT_EQ(silent.errors.find("failed to create al buffer."), std::string::npos) << silent.errors;
    EXPECT_EQ(std::count(silent.errors.begin(), silent.errors.end(), '\n'), 1) << silent.errors;
}
