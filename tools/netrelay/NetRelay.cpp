// torvane-netrelay --listen PORT --to HOST:PORT [--drop PERCENT] [--delay MIN-MAX] [--seed S]
//
// A lossy UDP relay, to try network play on one machine as it would go over a bad line. Clients send to
// 127.0.0.1:PORT; each client gets its own socket towards the target, so the target sees one peer per client
// and its answers find their way back. Every datagram, either way, is dropped with the given chance or held
// for a random time, so that some overtake others. One thread, one poll; memory is bounded by maxClients and
// maxWaiting: past them, datagrams are dropped as a full line would.
#include <TorvaneVersion.h>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t maxClients = 64;
constexpr size_t maxWaiting = 4096;                  // datagrams held at once
constexpr size_t maxWaitingBytes = 16 * 1024 * 1024;  // their bytes together
constexpr int maxDelay = 60000;                       // milliseconds
constexpr int64_t idleClient = 60000;                 // milliseconds without a datagram either way
constexpr int readsPerWake = 256;                     // per socket, so that a flood cannot starve the sending

enum UsageCause { ASKED_FOR, WRONG_COMMAND_LINE };

int usage(UsageCause cause) {
    const bool asked = cause == ASKED_FOR;
    std::fprintf(asked ? stdout : stderr,
                 "usage: torvane-netrelay --listen PORT --to HOST:PORT [--drop PERCENT] [--delay MIN-MAX] [--seed S]\n"
                 "  Relays UDP datagrams sent to 127.0.0.1:PORT on to HOST:PORT, each client through a socket of\n"
                 "  its own, and the answers back to that client. Each datagram, either way, is dropped with chance\n"
                 "  PERCENT (0 to 100, default 0) and otherwise held MIN to MAX milliseconds (0 to %d, default 0;\n"
                 "  one number for both), so some overtake others. S (default 1) seeds the chances. PORT 0 takes\n"
                 "  a free port; the port taken is printed on standard error. Runs until SIGINT or SIGTERM, then\n"
                 "  prints what it forwarded and dropped on standard error and exits 0; 1 when a socket cannot be\n"
                 "  opened, 2 for a wrong command line.\n",
                 maxDelay);
    return asked ? 0 : 2;
}

struct Options {
    int listenPort = -1;
    sockaddr_in target{};
    std::string targetText;
    uint32_t dropPerMillion = 0;
    int delayMin = 0, delayMax = 0;  // milliseconds
    uint32_t seed = 1;
};

bool parseInteger(const std::string& text, long minimum, long maximum, long& value) {
    if (text.empty() || text.size() > 12) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && value >= minimum && value <= maximum;
}

bool parseTarget(const std::string& text, Options& options) {
    const size_t colon = text.rfind(':');
    long port = 0;
    if (colon == std::string::npos || colon == 0 || !parseInteger(text.substr(colon + 1), 1, 65535, port))
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(text.substr(0, colon).c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    options.target = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    options.target.sin_port = htons(static_cast<uint16_t>(port));
    options.targetText = text;
    freeaddrinfo(found);
    return true;
}

bool parseDrop(const std::string& text, Options& options) {
    char* end = nullptr;
    const double percent = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(percent >= 0 && percent <= 100)) return false;
    options.dropPerMillion = static_cast<uint32_t>(std::lround(percent * 10000));
    return true;
}

// MIN-MAX or one number for both.
bool parseDelay(const std::string& text, Options& options) {
    const size_t dash = text.find('-');
    long minimum = 0, maximum = 0;
    if (!parseInteger(text.substr(0, dash), 0, maxDelay, minimum)) return false;
    maximum = minimum;
    if (dash != std::string::npos && !parseInteger(text.substr(dash + 1), minimum, maxDelay, maximum)) return false;
    options.delayMin = static_cast<int>(minimum);
    options.delayMax = static_cast<int>(maximum);
    return true;
}

// Milliseconds on a clock that never jumps.
int64_t now() {
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return static_cast<int64_t>(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
}

int openSocket(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

volatile sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }

enum class Direction { ToTarget, ToClient };

class Relay {
public:
    Relay(const Options& options, int listenSocket)
        : options(options), listenSocket(listenSocket), random(options.seed) {}

    ~Relay() {
        for (Client& client : clients)
            if (client.socket >= 0) close(client.socket);
    }

    // Until a signal: send what is due, then wait for a datagram or the next due time, whichever is first.
    void run(const sigset_t& unblocked) {
        std::vector<pollfd> waits;
        std::array<size_t, maxClients> clientOf{};
        while (!stopRequested) {
            sendDue(now());
            forgetIdleClients(now());
            waits.assign(1, pollfd{listenSocket, POLLIN, 0});
            for (size_t index = 0; index < maxClients; ++index) {
                if (clients[index].socket < 0) continue;
                clientOf[waits.size() - 1] = index;
                waits.push_back(pollfd{clients[index].socket, POLLIN, 0});
            }
            // Idle clients are looked at once a second even when nothing moves.
            const int64_t wait = waiting.empty() ? 1000 : std::clamp<int64_t>(waiting.front().due - now(), 0, 1000);
            const timespec timeout{static_cast<time_t>(wait / 1000), static_cast<long>(wait % 1000) * 1000000};
            if (ppoll(waits.data(), waits.size(), &timeout, &unblocked) <= 0) continue;
            if (waits[0].revents) receiveFromClients();
            for (size_t i = 1; i < waits.size(); ++i)
                if (waits[i].revents) receiveFromTarget(clientOf[i - 1]);
        }
    }

    void printCounts() const {
        std::fprintf(stderr,
                     "torvane-netrelay: forwarded %llu datagrams, dropped %llu (%llu by chance, %llu for want of "
                     "room, %llu not sent)\n",
                     count(forwarded), count(droppedByChance + droppedForRoom + notSent), count(droppedByChance),
                     count(droppedForRoom), count(notSent));
    }

private:
    struct Client {
        sockaddr_in address{};
        int socket = -1;  // towards the target, connected to it: only its answers arrive here
        int64_t lastHeard = 0;
        size_t waiting = 0;  // datagrams held for or from this client: it stays while any are
    };
    struct Datagram {
        int64_t due;
        uint64_t arrival;  // so that equal due times keep their order
        size_t client;
        Direction direction;
        std::vector<uint8_t> bytes;
    };
    // A heap whose front is the datagram due first.
    static bool dueLater(const Datagram& a, const Datagram& b) {
        return a.due != b.due ? a.due > b.due : a.arrival > b.arrival;
    }
    static unsigned long long count(uint64_t value) { return value; }

    void receiveFromClients() {
        for (int read = 0; read < readsPerWake; ++read) {
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            const ssize_t size = recvfrom(listenSocket, buffer.data(), buffer.size(), 0,
                                          reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (size < 0 && errno == EINTR) continue;
            if (size < 0) return;
            const size_t client = findClient(from);
            if (client == maxClients) {
                ++droppedForRoom;
                continue;
            }
            hold(client, Direction::ToTarget, static_cast<size_t>(size));
        }
    }

    void receiveFromTarget(size_t client) {
        for (int read = 0; read < readsPerWake; ++read) {
            const ssize_t size = recv(clients[client].socket, buffer.data(), buffer.size(), 0);
            // A refused earlier send is reported here once; the socket stays usable.
            if (size < 0 && (errno == EINTR || errno == ECONNREFUSED)) continue;
            if (size < 0) return;
            hold(client, Direction::ToClient, static_cast<size_t>(size));
        }
    }

    // The client's slot, a new one on its first datagram, or maxClients when all are taken.
    size_t findClient(const sockaddr_in& address) {
        size_t free = maxClients;
        for (size_t index = 0; index < maxClients; ++index) {
            const Client& client = clients[index];
            if (client.socket >= 0 && client.address.sin_addr.s_addr == address.sin_addr.s_addr &&
                client.address.sin_port == address.sin_port)
                return index;
            if (client.socket < 0 && free == maxClients) free = index;
        }
        if (free == maxClients) return free;
        const int fd = openSocket(0);
        if (fd < 0) return maxClients;
        if (connect(fd, reinterpret_cast<const sockaddr*>(&options.target), sizeof options.target) != 0) {
            close(fd);
            return maxClients;
        }
        clients[free] = Client{address, fd, now(), 0};
        return free;
    }

    void hold(size_t client, Direction direction, size_t size) {
        clients[client].lastHeard = now();
        if (random() % 1000000 < options.dropPerMillion) {
            ++droppedByChance;
            return;
        }
        if (waiting.size() >= maxWaiting || waitingBytes + size > maxWaitingBytes) {
            ++droppedForRoom;
            return;
        }
        const uint32_t spread = static_cast<uint32_t>(options.delayMax - options.delayMin) + 1;
        const int64_t due = now() + options.delayMin + random() % spread;
        waiting.push_back(Datagram{due, arrivals++, client, direction,
                                   std::vector<uint8_t>(buffer.begin(), buffer.begin() + size)});
        std::push_heap(waiting.begin(), waiting.end(), dueLater);
        waitingBytes += size;
        ++clients[client].waiting;
    }

    void sendDue(int64_t time) {
        while (!waiting.empty() && waiting.front().due <= time) {
            std::pop_heap(waiting.begin(), waiting.end(), dueLater);
            const Datagram datagram = std::move(waiting.back());
            waiting.pop_back();
            waitingBytes -= datagram.bytes.size();
            Client& client = clients[datagram.client];
            --client.waiting;
            const ssize_t sent =
                datagram.direction == Direction::ToTarget
                    ? send(client.socket, datagram.bytes.data(), datagram.bytes.size(), 0)
                    : sendto(listenSocket, datagram.bytes.data(), datagram.bytes.size(), 0,
                             reinterpret_cast<const sockaddr*>(&client.address), sizeof client.address);
            ++(sent == static_cast<ssize_t>(datagram.bytes.size()) ? forwarded : notSent);
        }
    }

    void forgetIdleClients(int64_t time) {
        for (Client& client : clients) {
            if (client.socket < 0 || client.waiting > 0 || time - client.lastHeard < idleClient) continue;
            close(client.socket);
            client = Client{};
        }
    }

    const Options& options;
    const int listenSocket;
    std::mt19937 random;
    std::array<Client, maxClients> clients{};
    std::vector<Datagram> waiting;
    size_t waitingBytes = 0;
    uint64_t arrivals = 0;
    std::array<uint8_t, 65536> buffer{};  // the largest UDP datagram fits
    uint64_t forwarded = 0, droppedByChance = 0, droppedForRoom = 0, notSent = 0;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") return usage(ASKED_FOR);
        if (argument == "--version") {
            std::printf("torvane-netrelay %s\n", TORVANE_VERSION);
            return 0;
        }
        const bool known = argument == "--listen" || argument == "--to" || argument == "--drop" ||
                           argument == "--delay" || argument == "--seed";
        if (!known || i + 1 >= argc) return usage(WRONG_COMMAND_LINE);
        const std::string value = argv[++i];
        long number = 0;
        bool good = false;
        if (argument == "--listen") {
            good = parseInteger(value, 0, 65535, number);
            options.listenPort = static_cast<int>(number);
        } else if (argument == "--to") {
            good = parseTarget(value, options);
        } else if (argument == "--drop") {
            good = parseDrop(value, options);
        } else if (argument == "--delay") {
            good = parseDelay(value, options);
        } else {
            good = parseInteger(value, 0, 4294967295L, number);
            options.seed = static_cast<uint32_t>(number);
        }
        if (!good) {
            const int status = usage(WRONG_COMMAND_LINE);
            std::fprintf(stderr, "torvane-netrelay: %s \"%s\" is not understood\n", argument.c_str(), value.c_str());
            return status;
        }
    }
    if (options.listenPort < 0 || options.targetText.empty()) return usage(WRONG_COMMAND_LINE);
    // The signals stay blocked but inside the wait, so that one arriving between two waits is not lost.
    sigset_t stopSignals, unblocked;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, &unblocked);
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    const int listenSocket = openSocket(static_cast<uint16_t>(options.listenPort));
    sockaddr_in bound{};
    socklen_t boundLength = sizeof bound;
    if (listenSocket < 0 || getsockname(listenSocket, reinterpret_cast<sockaddr*>(&bound), &boundLength) != 0) {
        std::fprintf(stderr, "torvane-netrelay: cannot listen on 127.0.0.1:%d: %s\n", options.listenPort,
                     std::strerror(errno));
        return 1;
    }
    std::fprintf(stderr, "torvane-netrelay: relaying 127.0.0.1:%d to %s\n", ntohs(bound.sin_port),
                 options.targetText.c_str());
    {
        Relay relay(options, listenSocket);
        relay.run(unblocked);
        relay.printCounts();
    }
    close(listenSocket);
    return 0;
}
