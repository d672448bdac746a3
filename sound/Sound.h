#pragma once

#include <AL/al.h>
#include <allegro.h>

#include <string>

namespace Torvane {

// One named sound effect: a WAV file in an OpenAL buffer with a source of its own.
// The Allegro sample and MIDI slots are kept for completeness; nothing fills them.
class Sound {
public:
    Sound() = default;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;
    ~Sound();

    bool load(const std::string& file);
    void play(int volume);
    void play();
    void stop();

    const std::string& getName() const { return name; }
    Sound& setName(const std::string& n) { name = n; return *this; }
    int getPan() const { return pan; }
    Sound& setPan(int p) { pan = p; return *this; }
    int getPitch() const { return pitch; }
    Sound& setPitch(int p) { pitch = p; return *this; }
    int getVolume() const { return volume; }
    Sound& setVolume(int v) { volume = v; return *this; }
    bool isLoaded() const { return source != 0; }
    // How often the game asked for this sound, heard or not.
    int getPlayCount() const { return playCount; }
    ALuint getSource() const { return source; }

private:
    std::string name;
    SAMPLE* sample = nullptr;
    MIDI* midi = nullptr;
    int pan = 128;
    int pitch = 1000;
    int volume = 255;
    ALuint source = 0;
    ALuint buffer = 0;
    int playCount = 0;
};

}  // namespace Torvane
