// torvane-netrelay-test RELAY: two clients send 100 datagrams each through the relay (no loss, up to 20 ms
// held) to an echo; each must get back exactly its own 100, the echo must see two peers, and on SIGTERM the
// relay must count 400 forwarded, none dropped, and exit 0. The relay takes a free port and names it, so
// nothing here waits on a clock except the bound on a relay that has stopped relaying.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int perClient = 100;
constexpr int giveUpAfter = 30000;  // milliseconds of silence: the relay has stopped relaying

int failures = 0;

void expect(bool condition, const std::string& what) {
    if (!condition) {
        std::fprintf(stderr, "FAIL: %s\n", what.c_str());
        ++failures;
    }
}

int loopbackSocket() {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("socket");
        std::exit(1);
    }
    return fd;
}

int portOf(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

// Reads the relay's standard error up to the end of a line, or to its end.
std::string readLine(int fd) {
    std::string line;
    char c;
    while (read(fd, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: torvane-netrelay-test RELAY\n");
        return 2;
    }
    const int echo = loopbackSocket();
    int errorPipe[2];
    if (pipe(errorPipe) != 0) return 1;
    const std::string target = "127.0.0.1:" + std::to_string(portOf(echo));
    const pid_t relay = fork();
    if (relay == 0) {
        dup2(errorPipe[1], 2);
        close(errorPipe[0]);
        execl(argv[1], argv[1], "--listen", "0", "--to", target.c_str(), "--drop", "0", "--delay", "0-20", "--seed",
              "7", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(errorPipe[1]);
    const std::string greeting = readLine(errorPipe[0]);
    const size_t colon = greeting.find("127.0.0.1:");
    expect(colon != std::string::npos, "the relay names its port: " + greeting);
    if (colon == std::string::npos) return 1;
    sockaddr_in relayAddress{};
    relayAddress.sin_family = AF_INET;
    relayAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    relayAddress.sin_port = htons(static_cast<uint16_t>(std::atoi(greeting.c_str() + colon + 10)));

    const int clients[2] = {loopbackSocket(), loopbackSocket()};
    const char names[2] = {'a', 'b'};
    std::set<std::string> sent[2], received[2];
    for (int i = 0; i < perClient; ++i)
        for (int c = 0; c < 2; ++c) {
            const std::string text = names[c] + std::to_string(i);
            sent[c].insert(text);
            sendto(clients[c], text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&relayAddress),
                   sizeof relayAddress);
        }

    std::set<int> echoPeers;  // ports the echo heard from: one per client
    pollfd waits[3] = {{echo, POLLIN, 0}, {clients[0], POLLIN, 0}, {clients[1], POLLIN, 0}};
    char buffer[64];
    while (received[0].size() + received[1].size() < 2 * perClient && poll(waits, 3, giveUpAfter) > 0) {
        if (waits[0].revents) {
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            const ssize_t size = recvfrom(echo, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (size > 0) sendto(echo, buffer, size, 0, reinterpret_cast<sockaddr*>(&from), fromLength);
            echoPeers.insert(ntohs(from.sin_port));
        }
        for (int c = 0; c < 2; ++c)
            if (waits[c + 1].revents) {
                const ssize_t size = recv(clients[c], buffer, sizeof buffer, 0);
                if (size > 0) received[c].insert(std::string(buffer, size));
            }
    }
    expect(received[0] == sent[0], "client a gets back its own datagrams, " +
                                       std::to_string(received[0].size()) + " of " + std::to_string(perClient));
    expect(received[1] == sent[1], "client b gets back its own datagrams, " +
                                       std::to_string(received[1].size()) + " of " + std::to_string(perClient));
    expect(echoPeers.size() == 2, "the target sees one peer per client, not " + std::to_string(echoPeers.size()));

    kill(relay, SIGTERM);
    const std::string counts = readLine(errorPipe[0]);
    int status = 0;
    waitpid(relay, &status, 0);
    expect(WIFEXITED(status) && WEXITSTATUS(status) == 0, "the relay exits 0 on SIGTERM");
    expect(counts.find("forwarded 400 datagrams, dropped 0") != std::string::npos, "the counts: " + counts);
    if (failures == 0) std::printf("PASS\n");
    return failures == 0 ? 0 : 1;
}
