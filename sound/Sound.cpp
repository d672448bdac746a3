#include "sound/Sound.h"

#include <AL/alut.h>

#include <cstdio>

namespace Torvane {

Sound::~Sound() {
    // The sound system deletes its sounds while the OpenAL context still exists.
    if (source != 0) alDeleteSources(1, &source);
    if (buffer != 0) alDeleteBuffers(1, &buffer);
}

bool Sound::load(const std::string& file) {
    buffer = alutCreateBufferFromFile(file.c_str());
    if (buffer == AL_NONE) {
        std::fprintf(stderr, "failed to create al buffer. %s: %s\n", file.c_str(), alutGetErrorString(alutGetError()));
        return false;
    }
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    return true;
}

void Sound::play(int playVolume) {
    ++playCount;
    play();
    if (sample) play_sample(sample, playVolume, pan, pitch, 0);
    if (midi) play_midi(midi, 0);
}

void Sound::play() {
    // A sound that failed to load has no source: it stays silent.
    if (source != 0) alSourcePlay(source);
}

void Sound::stop() {
    // Only the Allegro slots are stopped: nothing calls this during play, and an
    // effect already under way is short, so the OpenAL source is left to finish.
    if (sample) stop_sample(sample);
    if (midi) stop_midi();
}

}  // namespace Torvane
