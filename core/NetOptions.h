#pragma once

#include <cstdint>
#include <string>

namespace Torvane {

// The command line of a network match, the same in every program that plays one:
// "--host" with "--port P" and "--players H" opens a match (with --match and its options),
// "--join HOST[:PORT]" joins one.
class NetOptions {
public:
    // Takes "--port", "--players" or "--join" and its value: false when it is none of them.
    bool take(const std::string& option, const std::string& value);
    void setHosting() { hosting = true; }

    bool isAsked() const { return hosting || !joinAddress.empty() || asked; }
    bool isHosting() const { return hosting; }
    bool isJoining() const { return !joinAddress.empty(); }
    const std::string& getJoinAddress() const { return joinAddress; }
    uint16_t getPort() const { return port; }
    uint8_t getPlayers() const { return players; }
    // Against what else was asked: false with one line saying what is wrong.
    bool check(bool matchAsked, std::string& error) const;

private:
    bool hosting = false;
    bool asked = false;  // --port or --players
    std::string joinAddress;
    uint16_t port = 24650;
    uint8_t players = 2;
    std::string badValue;
};

}  // namespace Torvane
