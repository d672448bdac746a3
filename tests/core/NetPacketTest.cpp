#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/NetPacket.h"

using Torvane::NetInput;
using Torvane::NetMessage;
using Bytes = std::vector<uint8_t>;
using Type = NetMessage::Type;

namespace {

constexpr int32_t edge = NetMessage::maxCoordinate;

NetMessage welcome() {
    NetMessage m;
    m.type = Type::Welcome;
    m.slot = 1, m.players = 4, m.teamSize = 2, m.minutes = 10, m.score = 25, m.seed = 0xdeadbeef;
    m.map = "roof-top_2";
    m.programHash = 1, m.scriptHash = ~0ull, m.mapHash = 0x0102030405060708ull;
    return m;
}

NetMessage inputs(size_t count) {
    NetMessage m;
    m.type = Type::Inputs;
    m.frame = 70000;
    for (size_t i = 0; i < count; ++i) m.inputs.push_back({NetInput::allButtons, -edge, edge - int32_t(i)});
    return m;
}

// Places 0 and 2 play, 1 has left and is handed over.
NetMessage frame() {
    NetMessage m;
    m.type = Type::Frame;
    m.frame = 12, m.delay = 3, m.players = 3;
    m.inputs = {{NetInput::Left | NetInput::Fire, 300, -20}, {}, {NetInput::Grenade, -edge, edge}};
    m.present = {true, false, true};
    m.orders = {{NetMessage::Order::HandOver, 1}};
    return m;
}

// One of every type, each field away from its default where the type has it.
std::vector<NetMessage> samples() {
    std::vector<NetMessage> all(9);
    for (size_t i = 0; i < all.size(); ++i) all[i].type = Type(i + 1);
    all[0].programHash = 0x1122334455667788ull, all[0].scriptHash = 42;
    all[1] = welcome();
    all[2].reason = NetMessage::Reason::Started;
    all[3].players = NetMessage::maxPlayers, all[3].seed = 7;
    all[4] = inputs(NetMessage::maxInputs);
    all[5] = frame();
    all[6].frame = 99, all[6].hash = 0x8000000000000001ull;
    all[7].frame = ~0u;
    return all;
}

void expectSame(const NetMessage& a, const NetMessage& b) {
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.programHash, b.programHash);
    EXPECT_EQ(a.scriptHash, b.scriptHash);
    EXPECT_EQ(a.mapHash, b.mapHash);
    EXPECT_EQ(std::vector<int>({a.slot, a.players, a.teamSize, a.minutes, a.score, a.delay}),
              std::vector<int>({b.slot, b.players, b.teamSize, b.minutes, b.score, b.delay}));
    EXPECT_EQ(a.seed, b.seed);
    EXPECT_EQ(a.map, b.map);
    EXPECT_EQ(a.reason, b.reason);
    EXPECT_EQ(a.frame, b.frame);
    EXPECT_EQ(a.inputs, b.inputs);
    EXPECT_EQ(a.present, b.present);
    ASSERT_EQ(a.orders.size(), b.orders.size());
    for (size_t i = 0; i < a.orders.size(); ++i) {
        EXPECT_EQ(a.orders[i].order, b.orders[i].order);
        EXPECT_EQ(a.orders[i].slot, b.orders[i].slot);
    }
    EXPECT_EQ(a.hash, b.hash);
}

bool decodes(const Bytes& bytes) {
    NetMessage out;
    return NetMessage::decode(bytes.data(), bytes.size(), out);
}

void put(Bytes& bytes, size_t offset, const Bytes& values) {
    for (size_t i = 0; i < values.size(); ++i) bytes.at(offset + i) = values[i];
}

}  // namespace

TEST(NetMessage, EveryTypeComesBackWhole) {
    for (const NetMessage& sent : samples()) {
        SCOPED_TRACE(int(sent.type));
        const Bytes bytes = sent.encode();
        ASSERT_GE(bytes.size(), 5u);
        EXPECT_LE(bytes.size(), NetMessage::maxSize);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 5), Bytes({'T', 'V', 'N', '1', uint8_t(sent.type)}));
        NetMessage received;
        ASSERT_TRUE(NetMessage::decode(bytes.data(), bytes.size(), received));
        expectSame(sent, received);
    }
}

TEST(NetMessage, FieldsAreLittleEndianInTheirFixedOrder) {
    EXPECT_EQ(samples()[6].encode(), Bytes({'T', 'V', 'N', '1', 7, 99, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0x80}));
    NetMessage m = inputs(1);
    m.inputs[0] = {NetInput::Jump | NetInput::Grenade, -2, 0x0a0b0c};
    EXPECT_EQ(m.encode(), Bytes({'T', 'V', 'N', '1', 5, 0x70, 0x11, 1, 0, 1, 0x04, 0x01, 0xfe, 0xff, 0xff, 0xff,
                                 0x0c, 0x0b, 0x0a, 0}));
    EXPECT_EQ(frame().encode(), Bytes({'T', 'V', 'N', '1', 6, 12, 0, 0, 0, 3, 3,
                                       1, 9, 0, 0x2c, 1, 0, 0, 0xec, 0xff, 0xff, 0xff,  // place 0
                                       0,                                               // place 1: absent
                                       1, 0, 1, 0xc0, 0xbd, 0xf0, 0xff, 0x40, 0x42, 0x0f, 0,
                                       1, 1, 1}));  // one order: place 1 handed over
}

// Each rule broken once in otherwise valid bytes: welcome() from offset 5 is slot, players, teamSize,
// minutes, score(2), seed(4), map length, map; inputs(1) from 9 is count, buttons(2), aimX(4), aimY(4);
// frame() from 9 is delay, players, then place 0's present byte at 11.
TEST(NetMessage, DecodeRefusesEveryBrokenRule) {
    const Bytes w = welcome().encode(), in = inputs(1).encode(), f = frame().encode();
    const size_t orders = f.size() - 3;  // the order count
    struct Case {
        const char* rule;
        Bytes base;
        std::function<void(Bytes&)> breakIt;
    };
    const Case cases[] = {
        {"magic", w, [](Bytes& b) { b[3] = '2'; }},
        {"type 0", w, [](Bytes& b) { b[4] = 0; }},
        {"type 10", w, [](Bytes& b) { b[4] = 10; }},
        {"truncated", w, [](Bytes& b) { b.pop_back(); }},
        {"trailing byte", w, [](Bytes& b) { b.push_back(0); }},
        {"longer than maxSize", w, [](Bytes& b) { b.resize(NetMessage::maxSize + 1); }},
        {"magic only", w, [](Bytes& b) { b.resize(4); }},
        {"welcome slot = players", w, [](Bytes& b) { b[5] = 4; }},
        {"welcome players 0", w, [](Bytes& b) { put(b, 5, {0, 0}); }},
        {"welcome players 9", w, [](Bytes& b) { b[6] = 9; }},
        {"teamSize 0", w, [](Bytes& b) { b[7] = 0; }},
        {"teamSize 9", w, [](Bytes& b) { b[7] = 9; }},
        {"minutes 0", w, [](Bytes& b) { b[8] = 0; }},
        {"minutes 61", w, [](Bytes& b) { b[8] = 61; }},
        {"score 0", w, [](Bytes& b) { put(b, 9, {0, 0}); }},
        {"score 1000", w, [](Bytes& b) { put(b, 9, {0xe8, 3}); }},
        {"map empty", w, [](Bytes& b) { b.erase(b.begin() + 16, b.begin() + 26), b[15] = 0; }},
        {"map upper case", w, [](Bytes& b) { b[16] = 'R'; }},
        {"map slash", w, [](Bytes& b) { b[16] = '/'; }},
        {"map 33 long", w, [](Bytes& b) { b.insert(b.begin() + 16, 23, 'a'), b[15] = 33; }},
        {"map longer than the message", w, [](Bytes& b) { b[15] = 200; }},
        {"refuse reason 0", Bytes{'T', 'V', 'N', '1', 3, 0}, nullptr},
        {"refuse reason 6", Bytes{'T', 'V', 'N', '1', 3, 6}, nullptr},
        {"start players 0", samples()[3].encode(), [](Bytes& b) { b[5] = 0; }},
        {"start players 9", samples()[3].encode(), [](Bytes& b) { b[5] = 9; }},
        {"inputs count 0", in, [](Bytes& b) { b.resize(10), b[9] = 0; }},
        {"inputs count 17", inputs(17 - 1).encode(), [](Bytes& b) { b[9] = 17, b.resize(b.size() + 10); }},
        {"inputs count above the bytes", in, [](Bytes& b) { b[9] = 2; }},
        {"button outside allButtons", in, [](Bytes& b) { b[11] = 0x02; }},
        {"aimX above maxCoordinate", in, [](Bytes& b) { put(b, 12, {0x41, 0x42, 0x0f, 0}); }},
        {"aimY below -maxCoordinate", in, [](Bytes& b) { put(b, 16, {0xbf, 0xbd, 0xf0, 0xff}); }},
        {"frame delay 0", f, [](Bytes& b) { b[9] = 0; }},
        {"frame delay 61", f, [](Bytes& b) { b[9] = 61; }},
        {"frame players 0", f, [](Bytes& b) { b[10] = 0; }},
        {"frame players 9", f, [](Bytes& b) { b[10] = 9; }},
        {"present 2", f, [](Bytes& b) { b[11] = 2; }},
        {"order count 9", f, [=](Bytes& b) { b[orders] = 9, b.resize(b.size() + 16, 1); }},
        {"order 2", f, [](Bytes& b) { b[b.size() - 2] = 2; }},
        {"order slot = players", f, [](Bytes& b) { b.back() = 3; }},
        {"order slot >= maxPlayers", f, [](Bytes& b) { b.back() = 200; }},
    };
    for (const Case& c : cases) {
        Bytes bytes = c.base;
        ASSERT_TRUE(c.breakIt == nullptr || decodes(bytes)) << c.rule << ": the base must be valid";
        if (c.breakIt) c.breakIt(bytes);
        NetMessage out = frame();
        EXPECT_FALSE(NetMessage::decode(bytes.data(), bytes.size(), out)) << c.rule;
        expectSame(out, frame());
    }
    NetMessage out;
    EXPECT_FALSE(NetMessage::decode(nullptr, 0, out));
}

TEST(NetMessage, EncodeRefusesWhatDecodeWouldRefuse) {
    const std::pair<NetMessage, std::function<void(NetMessage&)>> cases[] = {
        {welcome(), [](NetMessage& m) { m.slot = m.players; }},
        {welcome(), [](NetMessage& m) { m.score = 1000; }},
        {welcome(), [](NetMessage& m) { m.map = std::string(NetMessage::maxNameLength + 1, 'a'); }},
        {welcome(), [](NetMessage& m) { m.map = "Roof"; }},
        {welcome(), [](NetMessage& m) { m.type = Type(0); }},
        {samples()[2], [](NetMessage& m) { m.reason = NetMessage::Reason(9); }},
        {inputs(1), [](NetMessage& m) { m.inputs.clear(); }},
        {inputs(NetMessage::maxInputs), [](NetMessage& m) { m.inputs.push_back({}); }},
        {inputs(1), [](NetMessage& m) { m.inputs[0].buttons = 1 << 9; }},
        {inputs(1), [](NetMessage& m) { m.inputs[0].aimY = -edge - 1; }},
        {frame(), [](NetMessage& m) { m.present.pop_back(); }},
        {frame(), [](NetMessage& m) { m.inputs.push_back({}); }},
        {frame(), [](NetMessage& m) { m.orders[0].slot = 3; }},
        {frame(), [](NetMessage& m) { m.orders.assign(NetMessage::maxOrders + 1, m.orders[0]); }},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        NetMessage m = cases[i].first;
        EXPECT_FALSE(m.encode().empty()) << "case " << i;
        cases[i].second(m);
        EXPECT_TRUE(m.encode().empty()) << "case " << i;
    }
    NetMessage m = frame();
    m.inputs[1] = {NetInput::Fire, edge + 1, 0};
    EXPECT_EQ(m.encode(), frame().encode()) << "an absent place's input is not sent";
}

// Whatever decode accepts is exactly one message: encoding it gives back the very bytes.
TEST(NetMessage, NoAcceptedMutationEncodesDifferently) {
    size_t accepted = 0;
    auto check = [&](const Bytes& bytes) {
        NetMessage out;
        if (!NetMessage::decode(bytes.data(), bytes.size(), out)) return;
        ++accepted;
        ASSERT_EQ(out.encode(), bytes);
    };
    for (const NetMessage& sample : samples()) {
        const Bytes valid = sample.encode();
        for (size_t length = 0; length < valid.size(); ++length) check(Bytes(valid.begin(), valid.begin() + length));
        for (size_t at = 0; at < valid.size(); ++at) {
            Bytes bytes = valid;
            for (int value = 0; value < 256; ++value) bytes[at] = uint8_t(value), check(bytes);
        }
    }
    EXPECT_GT(accepted, 10000u) << "hashes, seeds, frames and aims take any value";
}
