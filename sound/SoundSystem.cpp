#include "sound/SoundSystem.h"

#include <AL/alut.h>
#include <allegro.h>

#include <cstdio>
#include <cstdlib>

namespace Torvane {

namespace {

// ALUT is one per process; a second sound system (a test's) shares it, and the
// last one to go shuts it down.
int alutUsers = 0;
bool alutReady = false;

// A program that leaves its game to the end of the process (the level runner, the tests,
// the benchmarks) must still close the device, or OpenAL complains about it at exit.
void closeAlutAtExit() {
    if (!alutReady) return;
    alutExit();
    alutReady = false;
}

}  // namespace

SoundSystem::SoundSystem() {
    if (alutUsers++ == 0) {
        static const bool closesAtExit = std::atexit(closeAlutAtExit) == 0;
        (void)closesAtExit;
        alutReady = alutInit(nullptr, nullptr) == AL_TRUE;
        if (!alutReady) {
            std::fprintf(stderr, "No sound: OpenAL could not open an audio device (%s); the game goes on silently.\n",
                         alutGetErrorString(alutGetError()));
        }
    }
    audioDevice = alutReady;
}

SoundSystem::~SoundSystem() {
    // Sources and buffers must go while the context they belong to still exists.
    cleanup();
    if (--alutUsers == 0 && alutReady) {
        alutExit();
        alutReady = false;
    }
}

bool SoundSystem::initialize(MissingSoundDriver whenMissing) {
    bool installed = install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, "") == 0;
    return initialize(installed, whenMissing);
}

bool SoundSystem::initialize(bool driverInstalled, MissingSoundDriver whenMissing) {
    if (!driverInstalled) {
        allegro_message("failed to install sound card: %s.", allegro_error);
        if (whenMissing == MissingSoundDriver::StopSoundSetup) return false;
    }
    pan = 128;
    pitch = 1000;
    volume = 255;
    set_volume(128, 128);
    addSound("gun", "sound/weapons/m4a1_unsil-1.wav");
    addSound("pistol", "sound/weapons/p228-1.wav");
    addSound("grenade_hitground", "sound/weapons/he_bounce-1.wav");
    addSound("grenade_explode", "sound/weapons/explode3.wav");
    addSound("pistol_reload", "sound/weapons/generic_reload.wav");
    addSound("gun_reload", "sound/weapons/generic_reload.wav");
    return true;
}

Sound* SoundSystem::addSound(const std::string& name, const std::string& file) {
    Sound* sound = new Sound();
    sound->setName(name);
    // Without a device every load would fail the same way: the one line of the constructor says so.
    if (audioDevice) sound->load(file);
    sound->setPan(pan).setPitch(pitch).setVolume(volume);
    sounds.push_back(sound);
    return sound;
}

Sound* SoundSystem::getSound(const std::string& name) {
    for (Sound* sound : sounds) {
        if (sound->getName() == name) return sound;
    }
    return nullptr;
}

void SoundSystem::playSound(const std::string& name) {
    Sound* sound = getSound(name);
    if (sound) {
        sound->play(volume);
        return;
    }
    std::printf("sound not found: %s\n", name.c_str());
    std::fflush(stdout);
}

void SoundSystem::removeSound(const std::string& name) {
    for (auto it = sounds.begin(); it != sounds.end(); ++it) {
        if ((*it)->getName() != name) continue;
        delete *it;
        sounds.erase(it);
        return;
    }
}

void SoundSystem::setVolume(int percent) {
    masterVolume = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    // The listener hears every source of the one context, those under way included.
    if (audioDevice) alListenerf(AL_GAIN, static_cast<ALfloat>(masterVolume) / 100.0f);
}

void SoundSystem::stopAll() {
    for (Sound* sound : sounds) sound->stop();
}

void SoundSystem::cleanup() {
    for (Sound* sound : sounds) delete sound;
    sounds.clear();
}

}  // namespace Torvane
