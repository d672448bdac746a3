#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct PellixFunctionCode;

// Machine code for a function's hot loops. A loop whose steps all know their operands' types (integer and
// float arithmetic, comparisons, branches, FOR steps, numbers moved into the frame) becomes one x86-64 routine
// that runs it on the frame until it leaves; the machine enters it where the loop starts. Everything else, and
// every other processor, stays with the machine's steps.
//
// A routine returns the index of the step the machine goes on with: where the loop was left, or a step the
// machine must run itself (a division by a divisor that is not positive, the step budget of a fuzzing build
// running out). A stop request returns ~index of the step that saw it.
class PellixNativeLoops {
public:
    using Entry = int32_t (*)(char* frame, const std::atomic<bool>* stop, long long* budget);
    struct Loop {
        int32_t head = 0;      // the step where the loop starts
        Entry entry = nullptr;
        const void* handler = nullptr; // the head step's own handler, for the machine to keep
    };

    // Null when no loop qualifies, on other processors, or where the system refuses executable memory.
    static std::unique_ptr<PellixNativeLoops> make(const PellixFunctionCode& code);
    ~PellixNativeLoops();
    PellixNativeLoops(const PellixNativeLoops&) = delete;
    PellixNativeLoops& operator=(const PellixNativeLoops&) = delete;

    // The loop that starts at step head; the machine only asks for heads it was given.
    Loop& at(int32_t head);

    std::vector<Loop> loops;

private:
    PellixNativeLoops() = default;

    void* memory = nullptr;
    size_t size = 0;
};
