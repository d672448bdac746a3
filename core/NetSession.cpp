#include "core/NetSession.h"

#include <enet/enet.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include "level/MatchSettings.h"

namespace Torvane {

namespace {

constexpr int channel = 0;
constexpr size_t keptHashes = 64;
constexpr size_t maxLog = 4u << 20;  // bytes: a long match's hands, no more
// Bumped whenever the messages or the simulation change in a way older programs would not follow.
constexpr const char* protocolName = "torvane-net-1";

uint64_t fnv(uint64_t hash, const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ULL;
    return hash;
}

constexpr uint64_t fnvStart = 1469598103934665603ULL;

bool enetStarted = false;

std::string reasonText(NetMessage::Reason reason, const std::string& map) {
    switch (reason) {
        case NetMessage::Reason::Program: return "the program differs (another version or build of the game)";
        case NetMessage::Reason::Script: return "the versus rules (script/versus.fb) differ";
        case NetMessage::Reason::Map: return "the map " + map + " differs";
        case NetMessage::Reason::Full: return "the match is full";
        case NetMessage::Reason::Started: return "the match has already begun";
    }
    return "unknown";
}

}  // namespace

NetSession::NetSession() {
    if (!enetStarted && enet_initialize() == 0) {
        enetStarted = true;
        std::atexit(enet_deinitialize);
    }
}

NetSession::~NetSession() {
    if (enet) enet_host_destroy(enet);
}

uint64_t NetSession::programHash() {
    // The same sources built by the same compiler compute alike; another compiler may round differently.
    uint64_t hash = fnv(fnvStart, protocolName, std::char_traits<char>::length(protocolName));
    return fnv(hash, __VERSION__, sizeof __VERSION__);
}

uint64_t NetSession::fileHash(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return 0;
    uint64_t hash = fnvStart;
    char buffer[4096];
    // Bounded: no file of the game's data is this large.
    for (size_t total = 0; file && total < (64u << 20);) {
        file.read(buffer, sizeof buffer);
        const std::streamsize got = file.gcount();
        if (got <= 0) break;
        hash = fnv(hash, buffer, static_cast<size_t>(got));
        total += static_cast<size_t>(got);
    }
    return hash;
}

uint64_t NetSession::mapHash(const std::string& mapName) {
    const std::string path = std::string(MatchSettings::mapFolder) + "/" + mapName + ".map";
    uint64_t hash = fileHash(path);
    if (hash == 0) return 0;
    // The pieces' pictures shape the ground everyone stands on.
    std::ifstream map(path);
    std::string word;
    for (int words = 0; map >> word && words < 100000; ++words) {
        if (word.size() > 4 && word.size() < 256 && word.compare(word.size() - 4, 4, ".bmp") == 0 &&
            word.find("..") == std::string::npos && word.find('/') == std::string::npos) {
            const uint64_t picture = fileHash("image/object/" + word);
            hash = fnv(hash, &picture, sizeof picture);
        }
    }
    return hash;
}

bool NetSession::host(uint16_t port, const Match& opened, std::string& error) {
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    address.port = port;
    enet = enet_host_create(&address, 2 * NetMessage::maxPlayers, 1, 0, 0);
    if (!enet) {
        error = "cannot open UDP port " + std::to_string(port) + " (is another match open on it?)";
        return false;
    }
    hosting = true;
    match = opened;
    slot = 0;
    players = match.players;
    note("Waiting for players on port " + std::to_string(port) + ".");
    return true;
}

bool NetSession::join(const std::string& text, std::string& error) {
    std::string name = text;
    uint16_t port = defaultPort;
    const size_t colon = text.rfind(':');
    if (colon != std::string::npos) {
        name = text.substr(0, colon);
        const std::string digits = text.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos ||
            std::stol(digits) < 1 || std::stol(digits) > 65535) {
            error = "\"" + digits + "\" is not a port (1 to 65535)";
            return false;
        }
        port = static_cast<uint16_t>(std::stol(digits));
    }
    ENetAddress address;
    if (name.empty() || enet_address_set_host(&address, name.c_str()) != 0) {
        error = "cannot find the host \"" + name + "\"";
        return false;
    }
    address.port = port;
    enet = enet_host_create(nullptr, 1, 1, 0, 0);
    if (!enet || !(server = enet_host_connect(enet, &address, 1, 0))) {
        error = "cannot open a connection";
        return false;
    }
    enet_peer_timeout(server, 0, timeoutMilliseconds, timeoutMilliseconds);
    Peer joined;
    joined.peer = server;
    peers.push_back(joined);
    note("Connecting to " + name + ":" + std::to_string(port) + " ...");
    return true;
}

uint8_t NetSession::getJoined() const {
    if (!hosting) return players;
    uint8_t joined = 1;
    for (const Peer& p : peers) joined += p.slot > 0 && p.present;
    return joined;
}

std::vector<std::string> NetSession::takeNews() { return std::exchange(news, {}); }

void NetSession::note(const std::string& line) {
    if (news.size() < 64) news.push_back(line);
}

NetSession::Peer* NetSession::find(_ENetPeer* peer) {
    for (Peer& p : peers)
        if (p.peer == peer) return &p;
    return nullptr;
}

void NetSession::send(_ENetPeer* peer, const NetMessage& message) {
    const std::vector<uint8_t> bytes = message.encode();
    if (bytes.empty() || !peer) return;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet && enet_peer_send(peer, channel, packet) == 0) bytesSent += bytes.size();
    else if (packet) enet_packet_destroy(packet);
}

void NetSession::broadcast(const NetMessage& message) {
    for (const Peer& p : peers)
        if (p.slot > 0 && p.present) send(p.peer, message);
}

void NetSession::pump(bool startNow) {
    if (!enet || state == State::Ended) return;
    ENetEvent event;
    // Bounded per call: a flood of datagrams must not keep the frames from running.
    for (int handled = 0; handled < 256 && enet && enet_host_service(enet, &event, 0) > 0; ++handled) {
        if (event.type == ENET_EVENT_TYPE_CONNECT) {
            if (hosting) {
                if (peers.size() >= 2u * NetMessage::maxPlayers) {
                    enet_peer_disconnect_now(event.peer, 0);
                    continue;
                }
                enet_peer_timeout(event.peer, 0, timeoutMilliseconds, timeoutMilliseconds);
                Peer joined;
                joined.peer = event.peer;
                peers.push_back(joined);
            } else {
                NetMessage hello;
                hello.type = NetMessage::Type::Hello;
                hello.programHash = programHash();
                hello.scriptHash = fileHash(MatchSettings::rulesScript);
                send(server, hello);
            }
        } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
            Peer* from = find(event.peer);
            if (from) received(*from, event.packet->data, event.packet->dataLength);
            enet_packet_destroy(event.packet);
            if (state == State::Ended) break;
        } else if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
            if (Peer* gone = find(event.peer)) disconnected(*gone);
            if (state == State::Ended) break;
        }
    }
    if (hosting && state == State::Lobby && getJoined() > 1 && (getJoined() >= match.players || startNow)) start();
    if (hosting && state == State::Running) makeFrames();
    if (!hosting && hostGone && ready.empty()) end("The host has left; the match is over.");
    if (enet) enet_host_flush(enet);
}

void NetSession::received(Peer& from, const uint8_t* data, size_t size) {
    bytesReceived += size;
    NetMessage message;
    if (!NetMessage::decode(data, size, message)) {
        ++dropped;
        return;
    }
    if (hosting) hostReceived(from, message);
    else joinReceived(message);
}

void NetSession::hostReceived(Peer& from, const NetMessage& message) {
    using Type = NetMessage::Type;
    if (message.type == Type::Hello && from.slot == 0) {
        NetMessage answer;
        answer.type = Type::Refuse;
        if (message.programHash != programHash()) answer.reason = NetMessage::Reason::Program;
        else if (message.scriptHash != fileHash(MatchSettings::rulesScript)) answer.reason = NetMessage::Reason::Script;
        else if (state != State::Lobby) answer.reason = NetMessage::Reason::Started;
        else if (getJoined() >= match.players) answer.reason = NetMessage::Reason::Full;
        else answer.type = Type::Welcome;
        if (answer.type == Type::Refuse) {
            note("A player was refused: " + reasonText(answer.reason, match.map) + ".");
            send(from.peer, answer);
            enet_peer_disconnect_later(from.peer, 0);
            return;
        }
        // The lowest free place.
        for (uint8_t place = 1; place < match.players; ++place) {
            if (std::none_of(peers.begin(), peers.end(), [&](const Peer& p) { return p.present && p.slot == place; })) {
                from.slot = place;
                break;
            }
        }
        from.present = true;
        answer.slot = from.slot;
        answer.players = match.players;
        answer.teamSize = match.teamSize;
        answer.minutes = match.minutes;
        answer.score = match.score;
        answer.seed = match.seed;
        answer.map = match.map;
        answer.programHash = programHash();
        answer.scriptHash = fileHash(MatchSettings::rulesScript);
        answer.mapHash = mapHash(match.map);
        send(from.peer, answer);
        note("Player " + std::to_string(from.slot + 1) + " has joined (" + std::to_string(getJoined()) + " of " +
             std::to_string(match.players) + ").");
        return;
    }
    if (message.type == Type::Refuse && from.slot > 0) {
        note("Player " + std::to_string(from.slot + 1) + " was refused: " + reasonText(message.reason, match.map) + ".");
        from.present = false;
        from.slot = 0;
        enet_peer_disconnect_later(from.peer, 0);
        return;
    }
    if (!from.present || from.slot == 0 || state != State::Running) {
        ++dropped;
        return;
    }
    if (message.type == Type::Inputs) {
        const uint64_t end = static_cast<uint64_t>(message.frame) + message.inputs.size();
        // Frames he cannot have run yet, or ones already told: forged or replayed.
        if (end <= from.lastRun || end > nextMade) {
            ++dropped;
            return;
        }
        from.lastRun = static_cast<uint32_t>(end);
        from.hands = message.inputs.back();
    } else if (message.type == Type::Hash) {
        for (const auto& own : hashes) {
            if (own.first == message.frame) return compareHash(message.frame, message.hash, own.second);
        }
        if (message.frame >= nextFrame && early.size() < keptHashes) early.emplace_back(message.frame, message.hash);
    } else {
        ++dropped;
    }
}

void NetSession::compareHash(uint32_t frame, uint64_t theirs, uint64_t ours) {
    if (theirs == ours) return;
    NetMessage desync;
    desync.type = NetMessage::Type::Desync;
    desync.frame = frame;
    broadcast(desync);
    end("desync at frame " + std::to_string(frame));
}

void NetSession::joinReceived(const NetMessage& message) {
    using Type = NetMessage::Type;
    if (message.type == Type::Welcome && state == State::Lobby && slot == 0) {
        match.map = message.map;
        match.players = message.players;
        match.teamSize = message.teamSize;
        match.minutes = message.minutes;
        match.score = message.score;
        match.seed = message.seed;
        NetMessage refuse;
        refuse.type = Type::Refuse;
        if (message.programHash != programHash()) refuse.reason = NetMessage::Reason::Program;
        else if (message.scriptHash != fileHash(MatchSettings::rulesScript)) refuse.reason = NetMessage::Reason::Script;
        else if (message.mapHash != mapHash(message.map)) refuse.reason = NetMessage::Reason::Map;
        else refuse.type = Type::Hello;
        if (refuse.type == Type::Refuse) {
            send(server, refuse);
            enet_host_flush(enet);
            end("Refused: " + reasonText(refuse.reason, message.map) + " from the host's.");
            return;
        }
        slot = message.slot;
        players = message.players;
        note("Joined as player " + std::to_string(slot + 1) + " on " + match.map + "; waiting for the host to start.");
    } else if (message.type == Type::Refuse) {
        end("Refused by the host: " + reasonText(message.reason, match.map) + ".");
    } else if (message.type == Type::Start && state == State::Lobby && slot > 0 && message.players > slot) {
        players = message.players;
        match.seed = message.seed;
        state = State::Running;
        note("The match begins: " + std::to_string(players) + " players.");
    } else if (message.type == Type::Frame && state == State::Running && message.players == players &&
               message.frame == nextFrame + ready.size() && ready.size() < 4096) {
        delay = message.delay;
        ready.push_back(message);
    } else if (message.type == Type::Desync) {
        end("desync at frame " + std::to_string(message.frame));
    } else if (message.type == Type::End) {
        hostGone = true;
    } else {
        ++dropped;
    }
}

void NetSession::disconnected(Peer& gone) {
    if (!hosting) {
        if (state == State::Running) hostGone = true;
        else end(slot == 0 ? "The host did not answer." : "The host has left; the match is over.");
        return;
    }
    if (gone.present && gone.slot > 0) {
        if (state == State::Running) {
            orders.push_back({NetMessage::Order::HandOver, gone.slot});
            note("Player " + std::to_string(gone.slot + 1) + " has left; a computer fighter takes his place.");
        } else {
            note("Player " + std::to_string(gone.slot + 1) + " has left.");
        }
    }
    peers.erase(std::remove_if(peers.begin(), peers.end(), [&](const Peer& p) { return p.peer == gone.peer; }),
                peers.end());
}

void NetSession::start() {
    uint8_t highest = 0;
    for (const Peer& p : peers)
        if (p.present) highest = std::max(highest, p.slot);
    players = static_cast<uint8_t>(highest + 1);
    // A place left empty in the lobby is a computer fighter's from the first frame.
    for (uint8_t place = 1; place < players; ++place) {
        if (std::none_of(peers.begin(), peers.end(), [&](const Peer& p) { return p.present && p.slot == place; }))
            orders.push_back({NetMessage::Order::HandOver, place});
    }
    NetMessage begin;
    begin.type = NetMessage::Type::Start;
    begin.players = players;
    begin.seed = match.seed;
    broadcast(begin);
    state = State::Running;
    ownHands.assign(delay, NetInput{});
    note("The match begins: " + std::to_string(players) + " players.");
}

void NetSession::makeFrames() {
    // The input delay follows the slowest round trip: long enough that a joiner's hands are in
    // before the frame they belong to is made, so that nobody stalls on every frame.
    uint32_t slowest = 0;
    for (const Peer& p : peers)
        if (p.present && p.slot > 0) slowest = std::max<uint32_t>(slowest, p.peer->roundTripTime);
    const uint32_t wanted = std::clamp<uint32_t>(slowest / 15 + 2, firstDelay, maxDelay);
    if (nextMade % hashInterval == 0 && wanted != delay) {
        // Its hands already queued stay: a longer delay repeats the last, a shorter one skips one.
        if (wanted > delay) ownHands.push_back(ownHands.empty() ? NetInput{} : ownHands.back());
        else if (ownHands.size() > 1) ownHands.pop_front();
        delay = wanted > delay ? delay + 1 : delay - 1;
    }
    while (!ownHands.empty()) {
        uint32_t behind = nextMade;
        for (const Peer& p : peers)
            if (p.present && p.slot > 0) behind = std::min(behind, p.lastRun);
        if (nextMade - behind > maxLead) return;
        NetMessage frame;
        frame.type = NetMessage::Type::Frame;
        frame.frame = nextMade;
        frame.delay = static_cast<uint8_t>(delay);
        frame.players = players;
        frame.inputs.assign(players, NetInput{});
        frame.present.assign(players, false);
        frame.inputs[0] = ownHands.front();
        frame.present[0] = true;
        ownHands.pop_front();
        for (const Peer& p : peers) {
            if (!p.present || p.slot == 0 || p.slot >= players) continue;
            frame.inputs[p.slot] = p.hands;
            frame.present[p.slot] = true;
        }
        const size_t taken = std::min<size_t>(orders.size(), NetMessage::maxOrders);
        frame.orders.assign(orders.begin(), orders.begin() + static_cast<std::ptrdiff_t>(taken));
        orders.erase(orders.begin(), orders.begin() + static_cast<std::ptrdiff_t>(taken));
        broadcast(frame);
        ready.push_back(std::move(frame));
        ++nextMade;
    }
}

void NetSession::submitHands(const NetInput& hands) {
    if (state != State::Running) return;
    if (hosting) {
        ownHands.push_back(hands);
        return;
    }
    NetMessage inputs;
    inputs.type = NetMessage::Type::Inputs;
    inputs.frame = nextFrame;
    inputs.inputs.push_back(hands);
    send(server, inputs);
}

void NetSession::finishFrame(uint64_t worldHash) {
    if (ready.empty()) return;
    const NetMessage& done = ready.front();
    if (log.size() < maxLog) {
        std::ostringstream line;
        line << done.frame;
        for (size_t i = 0; i < done.inputs.size(); ++i) {
            if (!done.present[i]) line << " -";
            else line << ' ' << done.inputs[i].buttons << ',' << done.inputs[i].aimX << ',' << done.inputs[i].aimY;
        }
        for (const auto& order : done.orders) line << " handover " << static_cast<int>(order.slot);
        line << '\n';
        log += line.str();
    }
    ready.pop_front();
    const uint32_t frame = nextFrame++;
    if ((frame + 1) % hashInterval != 0) return;
    if (hosting) {
        hashes.emplace_back(frame, worldHash);
        if (hashes.size() > keptHashes) hashes.erase(hashes.begin());
        for (const auto& theirs : early)
            if (theirs.first == frame) compareHash(frame, theirs.second, worldHash);
        early.erase(std::remove_if(early.begin(), early.end(), [frame](const auto& h) { return h.first <= frame; }),
                    early.end());
    } else {
        NetMessage hash;
        hash.type = NetMessage::Type::Hash;
        hash.frame = frame;
        hash.hash = worldHash;
        send(server, hash);
    }
}

void NetSession::end(const std::string& reason) {
    if (state == State::Ended) return;
    state = State::Ended;
    endReason = reason;
}

void NetSession::leave() {
    if (!enet) return;
    if (hosting && state != State::Ended) {
        NetMessage bye;
        bye.type = NetMessage::Type::End;
        broadcast(bye);
    }
    for (Peer& p : peers) enet_peer_disconnect_later(p.peer, 0);
    enet_host_flush(enet);
    // The others are let go only once they have everything already sent (the last frames among it),
    // or after a few seconds: a machine that has stopped answering is not waited for.
    ENetEvent event;
    size_t left = peers.size();
    for (int waited = 0; left > 0 && waited < 5000; waited += 10) {
        const int got = enet_host_service(enet, &event, 10);
        if (got < 0) break;
        if (got > 0 && event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        if (got > 0 && event.type == ENET_EVENT_TYPE_DISCONNECT) --left;
    }
    peers.clear();
    end("You have left the match.");
}

}  // namespace Torvane
