#include <gtest/gtest.h>

#include <AL/al.h>
#include <allegro.h>

#include <chrono>
#include <string>
#include <thread>

#include "sound/SoundSystem.h"
#include "tests/support/HeadlessGame.h"

using Torvane::MissingSoundDriver;
using Torvane::Sound;
using Torvane::SoundSystem;

namespace {

SoundSystem& gameSounds() { return headlessGame().getSoundSystem(); }

ALint sourceState(const Sound* sound) {
    ALint state = 0;
    alGetSourcei(sound->getSource(), AL_SOURCE_STATE, &state);
    return state;
}

}  // namespace

TEST(SoundSystem, RegistersTheSixWeaponSoundsInOrderWithASourceEach) {
    SoundSystem& sounds = gameSounds();
    ASSERT_TRUE(sounds.hasAudioDevice()) << "OpenAL's silent driver should open here";
    ASSERT_EQ(sounds.getSoundCount(), 6);
    const char* names[] = {"gun", "pistol", "grenade_hitground", "grenade_explode", "pistol_reload", "gun_reload"};
    ALuint sources[6];
    for (int i = 0; i < 6; ++i) {
        Sound* sound = sounds.getSound(names[i]);
        ASSERT_NE(sound, nullptr) << names[i];
        EXPECT_TRUE(sound->isLoaded()) << names[i] << " did not load";
        EXPECT_EQ(sound->getPan(), 128);
        EXPECT_EQ(sound->getPitch(), 1000);
        EXPECT_EQ(sound->getVolume(), 255);
        sources[i] = sound->getSource();
        for (int j = 0; j < i; ++j) EXPECT_NE(sources[i], sources[j]) << "two sounds share a source";
    }
    // The two reloads are one file in two buffers.
    ALint first = 0, second = 0;
    alGetSourcei(sounds.getSound("pistol_reload")->getSource(), AL_BUFFER, &first);
    alGetSourcei(sounds.getSound("gun_reload")->getSource(), AL_BUFFER, &second);
    EXPECT_NE(first, 0);
    EXPECT_NE(first, second);

    // Names are compared exactly.
    EXPECT_EQ(sounds.getSound("Gun"), nullptr);
    EXPECT_EQ(sounds.getSound("gun "), nullptr);
}

TEST(SoundSystem, PlaysByNameAndSaysWhenANameIsUnknown) {
    SoundSystem& sounds = gameSounds();
    Sound* gun = sounds.getSound("gun");
    ASSERT_NE(gun, nullptr);
    int count = gun->getPlayCount();
    sounds.playSound("gun");
    EXPECT_EQ(gun->getPlayCount(), count + 1);
    EXPECT_EQ(sourceState(gun), AL_PLAYING);
    // Asked again while playing: the one source starts over, still playing.
    ALint played = 0;
    for (int wait = 0; wait < 20 && played == 0; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        alGetSourcei(gun->getSource(), AL_SAMPLE_OFFSET, &played);
    }
    ASSERT_GT(played, 0) << "OpenAL's silent driver did not advance the shot";
    ALuint source = gun->getSource();
    sounds.playSound("gun");
    EXPECT_EQ(gun->getSource(), source);
    EXPECT_EQ(sourceState(gun), AL_PLAYING);
    ALint restarted = 0;
    alGetSourcei(source, AL_SAMPLE_OFFSET, &restarted);
    EXPECT_LT(restarted, played) << "the shot went on instead of starting over";
    EXPECT_EQ(gun->getPlayCount(), count + 2);
    // Two names play at once.
    sounds.playSound("pistol");
    EXPECT_EQ(sourceState(sounds.getSound("pistol")), AL_PLAYING);
    EXPECT_EQ(sourceState(gun), AL_PLAYING);

    testing::internal::CaptureStdout();
    sounds.playSound("Gun");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "sound not found: Gun\n");
    EXPECT_EQ(gun->getPlayCount(), count + 2);
}

TEST(SoundSystem, AMissingSoundDriverStopsTheFirstConfigurationAndNotTheSecond) {
    {
        SoundSystem stopping;
        testing::internal::CaptureStdout();
        bool started = stopping.initialize(false, MissingSoundDriver::StopSoundSetup);
        std::string message = testing::internal::GetCapturedStdout();
        EXPECT_FALSE(started);
        EXPECT_EQ(message.rfind("failed to install sound card: ", 0), 0u) << message;
        EXPECT_EQ(message.back(), '.');
        EXPECT_EQ(stopping.getSoundCount(), 0);
        testing::internal::CaptureStdout();
        stopping.playSound("gun");
        stopping.playSound("gun_reload");
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "sound not found: gun\nsound not found: gun_reload\n");
    }
    {
        SoundSystem carrying;
        testing::internal::CaptureStdout();
        bool started = carrying.initialize(false, MissingSoundDriver::CarryOn);
        std::string message = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(started);
        EXPECT_EQ(message.rfind("failed to install sound card: ", 0), 0u) << message;
        ASSERT_EQ(carrying.getSoundCount(), 6);
        EXPECT_TRUE(carrying.getSound("gun")->isLoaded()) << "OpenAL does not need Allegro's driver";
        carrying.playSound("gun");
        EXPECT_EQ(sourceState(carrying.getSound("gun")), AL_PLAYING);
    }
    // The game's own sounds outlive the two systems above, which shared its OpenAL.
    EXPECT_TRUE(gameSounds().getSound("gun")->isLoaded());
    gameSounds().playSound("grenade_explode");
    EXPECT_EQ(sourceState(gameSounds().getSound("grenade_explode")), AL_PLAYING);
}

TEST(SoundSystem, BadFilesAndRemovalsLeaveAWorkingList) {
    SoundSystem sounds;
    testing::internal::CaptureStderr();
    Sound* missing = sounds.addSound("ghost", "sound/weapons/no-such-file.wav");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "failed to create al buffer. sound/weapons/no-such-file.wav: I/O error\n");
    ASSERT_NE(missing, nullptr);
    EXPECT_FALSE(missing->isLoaded());
    EXPECT_EQ(sounds.getSound("ghost"), missing) << "registered although it failed";
    sounds.playSound("ghost");  // silent, harmless
    EXPECT_EQ(missing->getPlayCount(), 1);

    Sound* a = sounds.addSound("twin", "sound/weapons/p228-1.wav");
    Sound* b = sounds.addSound("twin", "sound/weapons/m4a1_unsil-1.wav");
    EXPECT_EQ(sounds.getSound("twin"), a);
    sounds.removeSound("twin");
    EXPECT_EQ(sounds.getSound("twin"), b);
    sounds.removeSound("nobody");
    EXPECT_EQ(sounds.getSoundCount(), 2);
    // Stopping reaches only the unused Allegro slots: the OpenAL source plays on.
    sounds.playSound("twin");
    sounds.stopAll();
    EXPECT_EQ(sourceState(b), AL_PLAYING);
    sounds.cleanup();
    EXPECT_EQ(sounds.getSoundCount(), 0);
    EXPECT_EQ(sounds.getSound("twin"), nullptr);

    // Plain settings chain.
    Sound loose;
    loose.setName("x").setPan(3).setPitch(4).setVolume(5);
    EXPECT_EQ(loose.getName(), "x");
    EXPECT_EQ(loose.getPan() + loose.getPitch() + loose.getVolume(), 12);
    loose.play();  // no source: nothing to play
    EXPECT_FALSE(loose.isLoaded());
}

TEST(SoundSystem, TheVolumeIsTheListenersGainSoEverySoundFollowsIt) {
    SoundSystem& sounds = gameSounds();
    ASSERT_TRUE(sounds.hasAudioDevice());
    ALfloat gain = -1;
    sounds.setVolume(40);
    alGetListenerf(AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.4f);
    sounds.setVolume(250);
    alGetListenerf(AL_GAIN, &gain);
    EXPECT_EQ(sounds.getVolume(), 100);
    EXPECT_FLOAT_EQ(gain, 1.0f);
    sounds.setVolume(-3);
    alGetListenerf(AL_GAIN, &gain);
    EXPECT_EQ(sounds.getVolume(), 0);
    EXPECT_FLOAT_EQ(gain, 0.0f);
    sounds.setVolume(100);
}
