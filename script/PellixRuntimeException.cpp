#include "script/PellixRuntimeException.h"

#include <utility>

PellixRuntimeException::PellixRuntimeException(std::string error, std::string detail, std::string function, int line)
    : error(std::move(error)), detail(std::move(detail)), function(std::move(function)), line(line) {}

void PellixRuntimeException::throwStopped(const std::string& function, int line) {
    throw PellixRuntimeException("Script stopped", "stop requested by the host", function, line);
}
