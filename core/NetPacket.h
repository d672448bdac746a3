#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Torvane {

// One player's hands for one frame, as they travel: the held controls as bits and the point
// the sight is on, in map pixels (every machine has its own view, so screen points mean nothing
// to the others).
struct NetInput {
    enum Button : uint16_t {
        Left = 1 << 0, Right = 1 << 1, Jump = 1 << 2, Fire = 1 << 3, Reload = 1 << 4,
        Rifle = 1 << 5, Pistol = 1 << 6, Hands = 1 << 7, Grenade = 1 << 8,
    };
    static constexpr uint16_t allButtons = (1 << 9) - 1;
    uint16_t buttons = 0;
    int32_t aimX = 0, aimY = 0;
    bool operator==(const NetInput& o) const { return buttons == o.buttons && aimX == o.aimX && aimY == o.aimY; }
};

// The messages of a network match and their bytes on the wire: "TVN1", a type byte, then the
// fields in a fixed order, integers little-endian. Everything received is untrusted: decode
// checks the magic, the type, every length, count and range, and refuses anything else whole.
struct NetMessage {
    static constexpr uint8_t maxPlayers = 8;      // humans in one match
    static constexpr uint8_t maxInputs = 16;      // frames of inputs in one Inputs message
    static constexpr uint8_t maxOrders = 8;       // orders in one Frame message
    static constexpr size_t maxNameLength = 32;   // a map's name
    static constexpr int32_t maxCoordinate = 1000000;
    static constexpr size_t maxSize = 512;        // no message is longer

    enum class Type : uint8_t {
        Hello = 1,     // joiner → host: what he runs
        Welcome = 2,   // host → joiner: his place and the match
        Refuse = 3,    // either way: why not (then the connection ends)
        Start = 4,     // host → all: the match begins
        Inputs = 5,    // joiner → host: his hands for the frames he has run
        Frame = 6,     // host → all: every player's hands for one frame, and the host's orders
        Hash = 7,      // joiner → host: his world's hash at a frame
        Desync = 8,    // host → all: the worlds differ at a frame; everyone stops
        End = 9,       // host → all: the host has left; the match is over
    };
    // Why a match is refused.
    enum class Reason : uint8_t { Program = 1, Script = 2, Map = 3, Full = 4, Started = 5 };
    // What the host orders at a frame besides the inputs.
    enum class Order : uint8_t { HandOver = 1 };  // the player of that place has left: a brain takes his fighter

    Type type = Type::Hello;
    // Hello, Welcome
    uint64_t programHash = 0, scriptHash = 0, mapHash = 0;
    // Welcome: the joiner's place; Welcome, Start: the match
    uint8_t slot = 0, players = 0, teamSize = 0, minutes = 0;
    uint16_t score = 0;
    uint32_t seed = 0;
    std::string map;  // Welcome: the versus map's name, 1 to maxNameLength of [a-z0-9_-]
    // Refuse
    Reason reason = Reason::Program;
    // Inputs: consecutive frames from `frame`; Frame: one input per place (players of them), a
    // place without a player's hands has present false; Hash, Desync: the frame
    uint32_t frame = 0;
    uint8_t delay = 0;  // Frame: the input delay in frames now used (1 to 60)
    std::vector<NetInput> inputs;
    std::vector<bool> present;
    struct OrderAt {
        Order order;
        uint8_t slot;
    };
    std::vector<OrderAt> orders;
    uint64_t hash = 0;  // Hash

    // The bytes of the message; empty when the message itself breaks a rule above.
    std::vector<uint8_t> encode() const;
    // False, with out unchanged, for anything that is not exactly one well-formed message.
    static bool decode(const uint8_t* data, size_t size, NetMessage& out);
};

}  // namespace Torvane
