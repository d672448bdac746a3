#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/NetPacket.h"

struct _ENetHost;
struct _ENetPeer;

namespace Torvane {

// One machine's part in a network match, in lockstep: every machine runs frame f with the same
// hands of every player, so only hands travel. The host orders them: each joiner sends the hands
// of every frame he runs, and the host puts, for each frame, its own hands (D frames after they
// were taken, D the input delay) and each joiner's latest beside one another in a Frame message
// for everyone, itself included. Whatever is not hands (a player gone, handed to a brain) is an
// order in the same message, so every machine applies it at the same frame. Every second each
// joiner sends the hash of his world; the host compares it with its own and stops everyone on a
// difference. Everything received is checked by NetMessage::decode and otherwise dropped and
// counted. ENet is pumped on the calling thread only.
class NetSession {
public:
    static constexpr uint16_t defaultPort = 24650;
    // No answer for this long and a player is gone (ENet's own timeout).
    static constexpr uint32_t timeoutMilliseconds = 3000;
    // The host runs no further ahead of its slowest joiner than this many frames.
    static constexpr uint32_t maxLead = 40;
    static constexpr uint8_t firstDelay = 3, maxDelay = 30;
    static constexpr uint32_t hashInterval = 66;  // frames: a second

    enum class State { Lobby, Running, Ended };

    struct Match {  // what the host opens
        std::string map;
        uint8_t players = 2, teamSize = 4, minutes = 5;
        uint16_t score = 20;
        uint32_t seed = 1;
    };

    NetSession();
    ~NetSession();
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    // The data this machine plays with: the hashes sent and compared on joining.
    static uint64_t programHash();
    static uint64_t fileHash(const std::string& path);
    static uint64_t mapHash(const std::string& mapName);

    // False with the reason in error.
    bool host(uint16_t port, const Match& match, std::string& error);
    bool join(const std::string& address, std::string& error);

    // Sends and receives; call every loop. In the lobby the host starts the match when every
    // place is taken or `startNow` (Enter) with at least one joiner.
    void pump(bool startNow = false);
    // The host leaves (End to all) or a joiner goes; nothing is received any more.
    void leave();

    State getState() const { return state; }
    bool isHost() const { return hosting; }
    uint8_t getSlot() const { return slot; }
    uint8_t getPlayers() const { return players; }
    uint8_t getJoined() const;  // in the lobby: the places taken, the host's included
    const Match& getMatch() const { return match; }
    // Why the session ended ("The host has left; the match is over." ...); empty while it runs.
    const std::string& getEndReason() const { return endReason; }
    // Lines for the player about who came and went, taken once.
    std::vector<std::string> takeNews();

    // This machine's hands for the next frame it will run (one call per frame run).
    void submitHands(const NetInput& hands);
    // The frame after the last one run is ready: its Frame message has come (host: was made).
    bool frameReady() const { return !ready.empty() && ready.front().frame == nextFrame; }
    // Frame messages in hand and not yet run.
    size_t framesWaiting() const { return ready.size(); }
    // The message of the next frame; valid until finishFrame.
    const NetMessage& nextFrameMessage() const { return ready.front(); }
    // The frame has run and its world hashes to worldHash.
    void finishFrame(uint64_t worldHash);
    uint32_t getFrame() const { return nextFrame; }

    // Figures for the closing of a match.
    uint32_t getDelay() const { return delay; }
    uint64_t getBytesSent() const { return bytesSent; }
    uint64_t getBytesReceived() const { return bytesReceived; }
    uint64_t getDropped() const { return dropped; }
    // Every Frame message run, as text, for a desync report.
    const std::string& getLog() const { return log; }

private:
    struct Peer {
        _ENetPeer* peer = nullptr;
        uint8_t slot = 0;  // 0 until welcomed
        bool present = false;
        NetInput hands;
        uint32_t lastRun = 0;  // frames the joiner has run, by his Inputs
    };

    void send(_ENetPeer* peer, const NetMessage& message);
    void broadcast(const NetMessage& message);
    void received(Peer& from, const uint8_t* data, size_t size);
    void hostReceived(Peer& from, const NetMessage& message);
    void joinReceived(const NetMessage& message);
    void disconnected(Peer& peer);
    void start();
    void makeFrames();
    void end(const std::string& reason);
    Peer* find(_ENetPeer* peer);
    void note(const std::string& line);

    _ENetHost* enet = nullptr;
    _ENetPeer* server = nullptr;  // a joiner's connection to the host
    std::vector<Peer> peers;
    State state = State::Lobby;
    bool hosting = false;
    Match match;
    uint8_t slot = 0, players = 1;
    uint32_t nextFrame = 0;   // the next frame to run
    uint32_t nextMade = 0;    // host: the next frame to make a message for
    uint32_t delay = firstDelay;
    std::deque<NetInput> ownHands;  // host: its hands for frames nextMade onward
    std::deque<NetMessage> ready;   // Frame messages not yet run, in order
    std::vector<NetMessage::OrderAt> orders;  // host: for the next frame made
    std::vector<std::pair<uint32_t, uint64_t>> hashes;  // own hashes of recent frames
    std::vector<std::pair<uint32_t, uint64_t>> early;   // joiners' hashes of frames not yet run here
    void compareHash(uint32_t frame, uint64_t theirs, uint64_t ours);
    std::vector<std::string> news;
    std::string endReason;
    // A joiner's host has said goodbye: the frames it made before still run, then the match ends.
    bool hostGone = false;
    std::string log;
    uint64_t bytesSent = 0, bytesReceived = 0, dropped = 0;
};

}  // namespace Torvane
