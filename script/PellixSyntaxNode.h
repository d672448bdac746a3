#pragma once

#include <map>
#include <string>
#include <vector>

#include "script/PellixHostFunction.h"
#include "script/PellixVariable.h"

struct PellixFunctionCode;

// A node of the syntax tree that the parsers build and the interpreters walk. Nodes only refer to each other
// and to variables; the engine owns them all.
class PellixSyntaxNode {
public:
    enum Kind : int {
        NODE_FUNCTION = 0,
        NODE_ASSIGN = 1,
        NODE_IF = 2,
        NODE_LOOP = 3,
        NODE_BLOCK = 4,
        NODE_VARIABLE = 5,
        NODE_CONSTANT = 6,
        NODE_CALL = 7,
        NODE_OPERATION = 8,
        NODE_EXTERNAL = 9,
        NODE_EXIT = 10,
        NODE_SELECT = 11,
    };

    explicit PellixSyntaxNode(PellixSyntaxNode* parent);
    PellixSyntaxNode(PellixSyntaxNode* parent, PellixSyntaxNode* left, PellixSyntaxNode* right, int line,
                     std::string word);
    PellixSyntaxNode(const PellixSyntaxNode&) = default;
    PellixSyntaxNode& operator=(const PellixSyntaxNode&) = default;

    int line = 0; // -1 marks a function that has been called but not defined yet
    int kind = NODE_FUNCTION;
    std::string word;
    PellixSyntaxNode* left = nullptr;
    PellixSyntaxNode* right = nullptr;
    PellixSyntaxNode* parent = nullptr;
    PellixSyntaxNode* function = nullptr;
    int op = 0;
    PellixSyntaxNode* expr = nullptr;
    PellixSyntaxNode* body = nullptr;
    PellixSyntaxNode* elseBody = nullptr;
    int localCount = 0;
    int parameterCount = 0;              // of a function: the locals its header names
    const std::string* file = nullptr;   // of a function: the script file it was written in
    std::map<std::string, PellixVariable*> variables;
    std::vector<PellixSyntaxNode*> statements;
    std::vector<PellixSyntaxNode*> args;
    PellixVariable* payload = nullptr;
    PellixHostFunction hostFunction = nullptr; // payload of a NODE_EXTERNAL

    // Height of an expression tree (1 for a leaf); bounded so that walking it cannot exhaust the native stack.
    int depth = 1;
    // Compiled form of a function node, made on its first call.
    PellixFunctionCode* code = nullptr;
};
