#include "core/NetPacket.h"

#include <cstring>
#include <utility>

namespace Torvane {

namespace {

constexpr uint8_t magic[4] = {'T', 'V', 'N', '1'};

// Little-endian writing; the caller has checked every value, so nothing here can fail.
class Writer {
public:
    explicit Writer(std::vector<uint8_t>& bytes) : bytes(bytes) {}
    void u8(uint8_t value) { bytes.push_back(value); }
    void u16(uint16_t value) { littleEndian(value, 2); }
    void u32(uint32_t value) { littleEndian(value, 4); }
    void u64(uint64_t value) { littleEndian(value, 8); }
    void i32(int32_t value) { u32(static_cast<uint32_t>(value)); }
    void text(const std::string& value) {
        u8(static_cast<uint8_t>(value.size()));
        bytes.insert(bytes.end(), value.begin(), value.end());
    }
    void input(const NetInput& value) {
        u16(value.buttons);
        i32(value.aimX);
        i32(value.aimY);
    }

private:
    void littleEndian(uint64_t value, int byteCount) {
        for (int i = 0; i < byteCount; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    std::vector<uint8_t>& bytes;
};

// Little-endian reading that fails once and stays failed: after the first short read every value is
// zero, so a caller may read a whole record and ask ok() once.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool ok() const { return !failed; }
    bool atEnd() const { return !failed && position == size; }
    uint8_t u8() { return static_cast<uint8_t>(littleEndian(1)); }
    uint16_t u16() { return static_cast<uint16_t>(littleEndian(2)); }
    uint32_t u32() { return static_cast<uint32_t>(littleEndian(4)); }
    uint64_t u64() { return littleEndian(8); }
    // Two's complement spelled out: before C++20 converting a value above INT32_MAX is the compiler's choice.
    int32_t i32() {
        const uint32_t bits = u32();
        return bits <= 0x7fffffffu ? static_cast<int32_t>(bits) : -static_cast<int32_t>(~bits) - 1;
    }
    // A length byte then that many bytes; never longer than what is left.
    std::string text() {
        const size_t length = u8();
        if (failed || length > size - position) {
            failed = true;
            return {};
        }
        std::string value(reinterpret_cast<const char*>(data + position), length);
        position += length;
        return value;
    }
    NetInput input() {
        NetInput value;
        value.buttons = u16();
        value.aimX = i32();
        value.aimY = i32();
        return value;
    }

private:
    uint64_t littleEndian(size_t byteCount) {
        if (failed || byteCount > size - position) {
            failed = true;
            return 0;
        }
        uint64_t value = 0;
        for (size_t i = 0; i < byteCount; ++i) value |= static_cast<uint64_t>(data[position + i]) << (8 * i);
        position += byteCount;
        return value;
    }
    const uint8_t* data;
    size_t size;
    size_t position = 0;
    bool failed = false;
};

bool validInput(const NetInput& input) {
    return (input.buttons & ~NetInput::allButtons) == 0 && input.aimX >= -NetMessage::maxCoordinate &&
           input.aimX <= NetMessage::maxCoordinate && input.aimY >= -NetMessage::maxCoordinate &&
           input.aimY <= NetMessage::maxCoordinate;
}

bool validMapName(const std::string& name) {
    if (name.empty() || name.size() > NetMessage::maxNameLength) return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-')) return false;
    return true;
}

bool validPlayers(uint8_t players) { return players >= 1 && players <= NetMessage::maxPlayers; }

// The rules of every field a type carries, for both directions: encode refuses what decode would refuse.
bool valid(const NetMessage& m) {
    using Type = NetMessage::Type;
    switch (m.type) {
    case Type::Hello:
    case Type::Hash:
    case Type::Desync:
    case Type::End:
        return true;
    case Type::Welcome:
        return validPlayers(m.players) && m.slot < m.players && m.teamSize >= 1 && m.teamSize <= 8 &&
               m.minutes >= 1 && m.minutes <= 60 && m.score >= 1 && m.score <= 999 && validMapName(m.map);
    case Type::Refuse:
        return m.reason >= NetMessage::Reason::Program && m.reason <= NetMessage::Reason::Started;
    case Type::Start:
        return validPlayers(m.players);
    case Type::Inputs:
        if (m.inputs.empty() || m.inputs.size() > NetMessage::maxInputs) return false;
        for (const NetInput& input : m.inputs)
            if (!validInput(input)) return false;
        return true;
    case Type::Frame:
        if (m.delay < 1 || m.delay > 60 || !validPlayers(m.players) || m.inputs.size() != m.players ||
            m.present.size() != m.players || m.orders.size() > NetMessage::maxOrders)
            return false;
        // An absent place's input is not sent, so its value does not matter.
        for (size_t place = 0; place < m.players; ++place)
            if (m.present[place] && !validInput(m.inputs[place])) return false;
        for (const NetMessage::OrderAt& order : m.orders)
            if (order.order != NetMessage::Order::HandOver || order.slot >= m.players) return false;
        return true;
    }
    return false;  // a type byte no message has
}

}  // namespace

std::vector<uint8_t> NetMessage::encode() const {
    std::vector<uint8_t> bytes;
    if (!valid(*this)) return bytes;
    bytes.reserve(maxSize);
    Writer out(bytes);
    for (uint8_t c : magic) out.u8(c);
    out.u8(static_cast<uint8_t>(type));
    switch (type) {
    case Type::Hello:
        out.u64(programHash);
        out.u64(scriptHash);
        break;
    case Type::Welcome:
        out.u8(slot);
        out.u8(players);
        out.u8(teamSize);
        out.u8(minutes);
        out.u16(score);
        out.u32(seed);
        out.text(map);
        out.u64(programHash);
        out.u64(scriptHash);
        out.u64(mapHash);
        break;
    case Type::Refuse:
        out.u8(static_cast<uint8_t>(reason));
        break;
    case Type::Start:
        out.u8(players);
        out.u32(seed);
        break;
    case Type::Inputs:
        out.u32(frame);
        out.u8(static_cast<uint8_t>(inputs.size()));
        for (const NetInput& input : inputs) out.input(input);
        break;
    case Type::Frame:
        out.u32(frame);
        out.u8(delay);
        out.u8(players);
        for (size_t place = 0; place < players; ++place) {
            out.u8(present[place] ? 1 : 0);
            if (present[place]) out.input(inputs[place]);
        }
        out.u8(static_cast<uint8_t>(orders.size()));
        for (const OrderAt& order : orders) {
            out.u8(static_cast<uint8_t>(order.order));
            out.u8(order.slot);
        }
        break;
    case Type::Hash:
        out.u32(frame);
        out.u64(hash);
        break;
    case Type::Desync:
        out.u32(frame);
        break;
    case Type::End:
        break;
    }
    return bytes;
}

bool NetMessage::decode(const uint8_t* data, size_t size, NetMessage& out) {
    if (!data || size > maxSize || size < sizeof magic + 1 || std::memcmp(data, magic, sizeof magic) != 0)
        return false;
    Reader in(data + sizeof magic, size - sizeof magic);
    NetMessage m;
    m.type = static_cast<Type>(in.u8());
    switch (m.type) {
    case Type::Hello:
        m.programHash = in.u64();
        m.scriptHash = in.u64();
        break;
    case Type::Welcome:
        m.slot = in.u8();
        m.players = in.u8();
        m.teamSize = in.u8();
        m.minutes = in.u8();
        m.score = in.u16();
        m.seed = in.u32();
        m.map = in.text();
        m.programHash = in.u64();
        m.scriptHash = in.u64();
        m.mapHash = in.u64();
        break;
    case Type::Refuse:
        m.reason = static_cast<Reason>(in.u8());
        break;
    case Type::Start:
        m.players = in.u8();
        m.seed = in.u32();
        break;
    case Type::Inputs: {
        m.frame = in.u32();
        const uint8_t count = in.u8();
        // Counts are checked before anything is allocated for them.
        if (count < 1 || count > maxInputs) return false;
        m.inputs.reserve(count);
        for (uint8_t i = 0; i < count && in.ok(); ++i) m.inputs.push_back(in.input());
        break;
    }
    case Type::Frame: {
        m.frame = in.u32();
        m.delay = in.u8();
        m.players = in.u8();
        if (!validPlayers(m.players)) return false;
        m.inputs.resize(m.players);
        m.present.resize(m.players);
        for (size_t place = 0; place < m.players && in.ok(); ++place) {
            const uint8_t present = in.u8();
            if (present > 1) return false;
            m.present[place] = present == 1;
            if (m.present[place]) m.inputs[place] = in.input();
        }
        const uint8_t count = in.u8();
        if (count > maxOrders) return false;
        m.orders.reserve(count);
        for (uint8_t i = 0; i < count && in.ok(); ++i) {
            const Order order = static_cast<Order>(in.u8());
            const uint8_t slot = in.u8();
            m.orders.push_back({order, slot});
        }
        break;
    }
    case Type::Hash:
        m.frame = in.u32();
        m.hash = in.u64();
        break;
    case Type::Desync:
        m.frame = in.u32();
        break;
    case Type::End:
        break;
    default:
        return false;
    }
    if (!in.atEnd() || !valid(m)) return false;
    out = std::move(m);
    return true;
}

}  // namespace Torvane
