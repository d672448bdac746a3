#include "script/PellixSyntaxException.h"

#include <utility>

PellixSyntaxException::PellixSyntaxException(std::string error, std::string detail, int line)
    : error(std::move(error)), detail(std::move(detail)), line(line) {}
