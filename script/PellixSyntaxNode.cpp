#include "script/PellixSyntaxNode.h"

#include <utility>

PellixSyntaxNode::PellixSyntaxNode(PellixSyntaxNode* parent)
    : parent(parent), function(parent ? parent->function : nullptr) {}

PellixSyntaxNode::PellixSyntaxNode(PellixSyntaxNode* parent, PellixSyntaxNode* left, PellixSyntaxNode* right,
                                   int line, std::string word)
    : line(line), word(std::move(word)), left(left), right(right), parent(parent),
      function(parent ? parent->function : nullptr) {}
