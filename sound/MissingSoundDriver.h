#pragma once

namespace Torvane {

// How the sound start-up reacts when Allegro finds no sound driver: the two programs differ here,
// and the program that builds the game says which it is.
enum class MissingSoundDriver { StopSoundSetup, CarryOn };

}  // namespace Torvane
