#pragma once

#include <map>
#include <string>

class PellixSyntaxNode;
class PellixVariable;
struct PellixFunctionCode;

// Prints what a function compiles to, for `pellix dump`: a heading, then one instruction per line with its
// index, script line, mnemonic and what it does, operands by name. Locals go by their names, temporaries as
// t<slot>, globals as "global NAME", constants by value; jump targets are instruction indexes.
class PellixDisassembler {
public:
    static std::string listing(const PellixSyntaxNode& function, const PellixFunctionCode& code,
                               const std::map<std::string, PellixVariable*>& globals);
};
