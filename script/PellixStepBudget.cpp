#include "script/PellixStepBudget.h"

#include "script/PellixRuntimeException.h"

void PellixStepBudget::exhausted(const std::string& function, int line) {
    throw PellixRuntimeException("Step budget exhausted, the limit is " + std::to_string(limit) + " steps", "",
                                 function, line);
}
