#include "core/NetOptions.h"

#include <cstdlib>

namespace Torvane {

namespace {

bool readNumber(const std::string& text, long low, long high, long& value) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return value >= low && value <= high;
}

}  // namespace

bool NetOptions::take(const std::string& option, const std::string& value) {
    long number = 0;
    if (option == "--join") {
        joinAddress = value;
        if (value.empty() && badValue.empty()) badValue = "--join needs the host's address, HOST or HOST:PORT";
        return true;
    }
    if (option != "--port" && option != "--players") return false;
    asked = true;
    const bool isPort = option == "--port";
    if (!readNumber(value, isPort ? 1 : 2, isPort ? 65535 : 8, number)) {
        if (badValue.empty())
            badValue = option + " " + value + " is not a whole number from " + (isPort ? "1 to 65535" : "2 to 8");
        return true;
    }
    if (isPort) port = static_cast<uint16_t>(number);
    else players = static_cast<uint8_t>(number);
    return true;
}

bool NetOptions::check(bool matchAsked, std::string& error) const {
    if (!badValue.empty()) error = badValue;
    else if (hosting && isJoining()) error = "--host and --join cannot be given together";
    else if (hosting && !matchAsked) error = "--host needs --match and the name of a versus map";
    else if (isJoining() && matchAsked) error = "the host chooses the match: --join takes no --match or its options";
    else if (asked && !hosting) error = "--port and --players are for --host";
    else return true;
    return false;
}

}  // namespace Torvane
