// Reads arbitrary bytes as a network message, as the host and the joiners do with every datagram: a message
// decode accepts is exactly one message, so encoding it must give back the very bytes, and what it holds
// keeps to the limits the game relies on.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/NetPacket.h"

using Torvane::NetMessage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    NetMessage message;
    if (!NetMessage::decode(data, size, message)) return 0;
    const std::vector<uint8_t> bytes = message.encode();
    if (bytes.size() != size || std::memcmp(bytes.data(), data, size) != 0) __builtin_trap();
    if (message.inputs.size() > NetMessage::maxInputs || message.orders.size() > NetMessage::maxOrders ||
        message.players > NetMessage::maxPlayers || message.map.size() > NetMessage::maxNameLength)
        __builtin_trap();
    return 0;
}
