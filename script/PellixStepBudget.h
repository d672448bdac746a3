#pragma once

#include <string>

// Fuzzing builds define PELLIX_STEP_BUDGET so that an endless loop ends; this is the one place that reads it.
// Elsewhere the budget costs nothing: enabled is false and spend compiles to nothing.
class PellixStepBudget {
public:
#ifdef PELLIX_STEP_BUDGET
    static constexpr bool enabled = true;
    static constexpr long long limit = PELLIX_STEP_BUDGET;
#else
    static constexpr bool enabled = false;
    static constexpr long long limit = 0;
#endif

    // A fresh budget for each run the host starts; calls back from host functions share it.
    void refill() { left = limit; }
    void spend(const std::string& function, int line) {
        if (enabled && --left < 0)
            exhausted(function, line);
    }

private:
    [[noreturn]] static void exhausted(const std::string& function, int line);

    long long left = 0;
};
