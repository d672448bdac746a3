// Runs a libFuzzer target without libFuzzer, for builds made with gcc: every file of the corpus
// folders, then random changes to them (bytes flipped, cut, repeated or spliced) for the given
// seconds. It finds less than a coverage-guided fuzzer, but a regression in the decoder shows up in
// every test run. A crash or trap fails the test; the input that did it is written to
// fuzz-smoke-crash-input.
//   fuzz_smoke SECONDS CORPUS_DIR...
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::vector<uint8_t>> readCorpus(const std::string& folder) {
    std::vector<std::vector<uint8_t>> inputs;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return inputs;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream file(folder + "/" + entry->d_name, std::ios::binary);
        inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    closedir(dir);
    return inputs;
}

// The input in the works, written out by the fault's handler (with calls safe there only).
const std::vector<uint8_t>* current = nullptr;

extern "C" void fault(int signal) {
    if (current) {
        const int file = open("fuzz-smoke-crash-input", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (file >= 0) {
            if (write(file, current->data(), current->size()) < 0) {
            }
            close(file);
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz_smoke SECONDS CORPUS_DIR...\n");
        return 2;
    }
    const int seconds = std::atoi(argv[1]);
    std::vector<std::vector<uint8_t>> corpus;
    for (int i = 2; i < argc; ++i) {
        for (auto& input : readCorpus(argv[i])) corpus.push_back(std::move(input));
    }
    if (corpus.empty()) {
        std::fprintf(stderr, "fuzz_smoke: no corpus\n");
        return 1;
    }
    for (int caught : {SIGABRT, SIGILL, SIGSEGV, SIGBUS, SIGFPE, SIGTRAP}) std::signal(caught, fault);
    for (const auto& input : corpus) LLVMFuzzerTestOneInput(input.data(), input.size());
    std::mt19937 dice(12345);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    long long runs = 0;
    std::vector<uint8_t> input;
    while (std::chrono::steady_clock::now() < end) {
        for (int batch = 0; batch < 1000; ++batch, ++runs) {
            input = corpus[dice() % corpus.size()];
            const int changes = 1 + static_cast<int>(dice() % 4);
            for (int c = 0; c < changes; ++c) {
                const size_t at = input.empty() ? 0 : dice() % input.size();
                switch (dice() % 5) {
                    case 0: if (!input.empty()) input[at] = static_cast<uint8_t>(dice()); break;
                    case 1: if (!input.empty()) input[at] ^= static_cast<uint8_t>(1u << (dice() % 8)); break;
                    case 2: input.resize(at); break;
                    case 3: if (input.size() < 1024) input.insert(input.begin() + static_cast<long>(at), static_cast<uint8_t>(dice())); break;
                    default: {
                        const auto& other = corpus[dice() % corpus.size()];
                        if (!other.empty() && input.size() < 1024)
                            input.insert(input.begin() + static_cast<long>(at), other.begin() + static_cast<long>(dice() % other.size()), other.end());
                    }
                }
            }
            current = &input;
            LLVMFuzzerTestOneInput(input.data(), input.size());
        }
    }
    std::printf("fuzz_smoke: %lld inputs, no fault\n", runs);
    return 0;
}
