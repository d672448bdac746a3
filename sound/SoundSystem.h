#pragma once

#include <string>
#include <vector>

#include "sound/MissingSoundDriver.h"
#include "sound/Sound.h"

namespace Torvane {

// The game's named sound effects, played through OpenAL.
class SoundSystem {
public:
    SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;
    ~SoundSystem();

    // Installs Allegro's sound driver and registers the weapon sounds; what a
    // missing driver does is the program's choice.
    bool initialize(MissingSoundDriver whenMissing);
    // The same once the driver question is answered (lets both configurations be tried).
    bool initialize(bool driverInstalled, MissingSoundDriver whenMissing);

    Sound* addSound(const std::string& name, const std::string& file);
    Sound* getSound(const std::string& name);
    void playSound(const std::string& name);
    void removeSound(const std::string& name);
    void stopAll();
    void cleanup();

    // How loud everything sounds, 0 silent .. 100 full; also for sounds already playing.
    void setVolume(int percent);
    int getVolume() const { return masterVolume; }

    int getSoundCount() const { return static_cast<int>(sounds.size()); }
    bool hasAudioDevice() const { return audioDevice; }

private:
    int pan = 128;
    int pitch = 1000;
    int volume = 255;
    std::vector<Sound*> sounds;  // in order of registration; owned
    bool audioDevice = false;
    int masterVolume = 100;
};

}  // namespace Torvane
