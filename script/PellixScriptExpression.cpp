// The expression parser: operator precedence with an operator stack and an operand stack.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "script/PellixDepthGuard.h"
#include "script/PellixOperators.h"
#include "script/PellixScript.h"

namespace {

struct OperatorRecord {
    std::string_view name; // a view, so that a lookup compares lengths first
    int priority; // smaller binds tighter
    int code;
};

const OperatorRecord opPriority[19] = {
    {")", 0, PellixOperators::OP_CLOSE}, {"NOT", 2, PellixOperators::OP_NOT}, {"*", 3, PellixOperators::OP_MUL},
    {"/", 3, PellixOperators::OP_DIV},   {"MOD", 3, PellixOperators::OP_MOD}, {"+", 4, PellixOperators::OP_ADD},
    {"-", 4, PellixOperators::OP_SUB},   {"<", 6, PellixOperators::OP_LT},    {"<=", 6, PellixOperators::OP_LE},
    {">", 6, PellixOperators::OP_GT},    {">=", 6, PellixOperators::OP_GE},   {"=", 7, PellixOperators::OP_EQ},
    {"<>", 7, PellixOperators::OP_NE},   {"AND", 8, PellixOperators::OP_AND}, {"OR", 9, PellixOperators::OP_OR},
    {"XOR", 9, PellixOperators::OP_XOR}, {":=", 11, PellixOperators::OP_ASSIGN}, {",", 12, 31},
    {"(", 99, PellixOperators::OP_OPEN},
};

const OperatorRecord* findOperator(const std::string& op) {
    const std::string_view name(op);
    for (const OperatorRecord& record : opPriority) {
        if (name == record.name)
            return &record;
    }
    return nullptr;
}

bool isOperatorToken(const PellixToken& token) {
    switch (token.type) {
    case PellixToken::TK_OPERATOR:
    case PellixToken::TK_OR:
    case PellixToken::TK_AND:
    case PellixToken::TK_XOR:
    case PellixToken::TK_NOT:
    case PellixToken::TK_MOD:
        return true;
    default:
        return false;
    }
}

std::string expressionLimitMessage() {
    return "Expression nested too deeply, the limit is " + std::to_string(PellixScript::maxExpressionDepth);
}

} // namespace

int PellixScript::getOperatorPriority(const std::string& op) {
    const OperatorRecord* record = findOperator(op);
    return record ? record->priority : -1;
}

void PellixScript::checkDepth(PellixSyntaxNode* node, int line) {
    if (node->depth > maxExpressionDepth)
        throw PellixSyntaxException(expressionLimitMessage(), node->word, line);
}

PellixSyntaxNode* PellixScript::newOperation(PellixSyntaxNode* parent, int code, PellixSyntaxNode* left,
                                             PellixSyntaxNode* right, int line) {
    PellixSyntaxNode* node = newNode(parent);
    node->kind = PellixSyntaxNode::NODE_OPERATION;
    node->op = code;
    node->left = left;
    node->right = right;
    node->depth = 1 + std::max(left ? left->depth : 0, right ? right->depth : 0);
    checkDepth(node, line);
    return node;
}

PellixSyntaxNode* PellixScript::buildOperation(const std::string& op, std::vector<PellixSyntaxNode*>& operands,
                                               int line) {
    // "(" has a priority so that nothing is built across it, but it is no operation: one left on the stack
    // was never closed.
    const OperatorRecord* record = findOperator(op);
    if (!record || record->code == PellixOperators::OP_OPEN)
        throw PellixSyntaxException("Internal error: failed to determine the operator", op, line);
    if (operands.empty())
        throw PellixSyntaxException("Syntax error: missing operand for", op, line);
    PellixSyntaxNode* right = operands.back();
    operands.pop_back();
    if (operands.empty())
        throw PellixSyntaxException("Syntax error: missing operand for", op, line);
    PellixSyntaxNode* left = operands.back();
    operands.pop_back();

    // The new node takes the right operand as its parent, for its function only.
    PellixSyntaxNode* node = newOperation(right, record->code, left, right, line);

    if (left->kind == PellixSyntaxNode::NODE_CONSTANT && right->kind == PellixSyntaxNode::NODE_CONSTANT) {
        // Folding an operation that fails (a division by zero) would stop the load; it is left for the run
        // time, where it fails with a run-time error.
        PellixVariable* value = newValue();
        if (PellixOperators::apply(record->code, *left->payload, *right->payload, *value) == PellixOperators::Ok) {
            node->kind = PellixSyntaxNode::NODE_CONSTANT;
            node->payload = value;
            node->left = nullptr;
            node->right = nullptr;
            node->depth = 1;
            remove(left);
            remove(right);
        } else {
            deleteValue(value);
        }
    }
    return node;
}

PellixSyntaxNode* PellixScript::parseExpression(PellixSyntaxNode* parent) {
    PellixDepthGuard nesting(expressionNesting);
    const int line = parent ? parent->line : 0;
    if (expressionNesting > maxExpressionDepth) {
        PellixToken& token = getToken();
        throw PellixSyntaxException(expressionLimitMessage(), token.text, token.line);
    }

    // Each nesting level keeps its stacks from one expression to the next, so that most expressions allocate
    // nothing for them.
    if (expressionScratch.size() < static_cast<size_t>(expressionNesting))
        expressionScratch.emplace_back();
    ExpressionScratch& scratch = expressionScratch[static_cast<size_t>(expressionNesting) - 1];
    std::vector<std::string>& operators = scratch.operators;
    std::vector<PellixSyntaxNode*>& operands = scratch.operands;
    std::vector<bool>& savedFlags = scratch.savedFlags;
    std::vector<int>& savedCounts = scratch.savedCounts;
    operators.clear();
    operands.clear();
    savedFlags.clear();
    savedCounts.clear();
    bool operandExpected = true;
    int pendingUnary = 0;

    auto buildTop = [&]() {
        PellixSyntaxNode* built = buildOperation(operators.back(), operands, line);
        operands.push_back(built);
        operators.pop_back();
    };
    // A unary operator applies to the operand just completed, as the operation 0 op operand. After an empty
    // pair of parentheses there is no operand: the operator stays and fails when it is built.
    auto applyUnary = [&]() {
        while (pendingUnary >= 1 && !operators.empty() && !operands.empty()) {
            PellixSyntaxNode* operand = operands.back();
            operands.pop_back();
            operands.push_back(newIntegerConstant(parent, 0));
            operands.push_back(operand);
            buildTop();
            --pendingUnary;
        }
    };

    for (;;) {
        PellixToken& token = getToken();
        if (token.type == PellixToken::TK_NAME || token.type == PellixToken::TK_STRING ||
            token.type == PellixToken::TK_NUMBER) {
            // An operand right after a complete one, with no operator pending, begins something else: F(1 2)
            // stops before the 2 (and fails for the missing comma). With an operator pending, as in A + B K,
            // both operands stay and the expression fails for them.
            if (!operandExpected && operators.empty())
                break;
            PellixSyntaxNode* node = nullptr;
            bool isCall = false;
            if (token.type == PellixToken::TK_STRING) {
                node = newNode(parent);
                node->kind = PellixSyntaxNode::NODE_CONSTANT;
                node->payload = newValue();
                node->payload->setString(token.text);
            } else if (token.type == PellixToken::TK_NUMBER) {
                node = newNode(parent);
                node->kind = PellixSyntaxNode::NODE_CONSTANT;
                node->payload = newValue();
                if (token.text.find('.') != std::string::npos)
                    node->payload->setFloat(PellixVariable::textToFloat(token.text.c_str()));
                else
                    node->payload->setInteger(PellixVariable::textToInteger(token.text.c_str()));
            } else if (PellixVariable* variable = getVariable(parent, token.text, false)) {
                node = newNode(parent);
                node->kind = PellixSyntaxNode::NODE_VARIABLE;
                node->word = token.text;
                node->line = token.line;
                node->payload = variable;
            } else {
                node = newNode(parent);
                node->kind = PellixSyntaxNode::NODE_CALL;
                node->word = token.text;
                node->line = token.line;
                popToken();
                parseCALL(node);
                isCall = true;
            }
            operands.push_back(node);
            applyUnary();
            operandExpected = false;
            if (!isCall)
                popToken();
        } else if (isOperatorToken(token)) {
            const std::string op = token.text;
            if (op == ")") {
                while (!operators.empty() && operators.back() != "(")
                    buildTop();
                if (operators.empty())
                    break; // closes an enclosing argument list, which consumes it
                operators.pop_back();
                pendingUnary = savedCounts.back();
                savedCounts.pop_back();
                savedFlags.pop_back();
                operandExpected = false;
                applyUnary();
                popToken();
            } else {
                if (!operators.empty() && !operandExpected && op != "(") {
                    const int priority = getOperatorPriority(op);
                    while (!operators.empty() && priority >= getOperatorPriority(operators.back()))
                        buildTop();
                }
                if (op != "(") {
                    if (operandExpected)
                        ++pendingUnary;
                    operandExpected = true;
                } else {
                    savedFlags.push_back(operandExpected);
                    savedCounts.push_back(pendingUnary);
                    operandExpected = true;
                    pendingUnary = 0;
                }
                operators.push_back(op);
                popToken();
            }
        } else {
            break;
        }
    }

    while (!operators.empty())
        buildTop();
    if (operands.size() != 1)
        throw PellixSyntaxException("One or more operands are still in the stack", "", line);
    return operands.front();
}

void PellixScript::parseCALL(PellixSyntaxNode* call) {
    PellixToken* front = &getToken();
    auto callee = functions.find(call->word);
    if (callee == functions.end()) {
        // Called before it is defined: a placeholder that FUNCTION takes over, or the load fails.
        PellixSyntaxNode* placeholder = newNode(nullptr);
        placeholder->kind = PellixSyntaxNode::NODE_FUNCTION;
        placeholder->line = -1;
        placeholder->word = call->word;
        placeholder->function = placeholder;
        callee = functions.emplace(call->word, placeholder).first;
    }
    call->expr = callee->second;

    // Only operator tokens open and close argument lists: print "(" prints a parenthesis.
    const bool parenthesised = front->isOperator("(");
    if (parenthesised) {
        popToken();
        if (getToken().isOperator(")")) {
            popToken();
            return;
        }
    } else if (front->type == PellixToken::TK_EOL) {
        return;
    }

    int depth = 0;
    bool argumentExpected = true;
    for (;;) {
        if (argumentExpected) {
            PellixSyntaxNode* argument = parseExpression(call);
            call->args.push_back(argument);
            depth = std::max(depth, argument->depth);
            argumentExpected = false;
            continue;
        }
        front = &getToken();
        if (parenthesised && front->isOperator(")")) {
            popToken();
            break;
        }
        if (!parenthesised && front->type == PellixToken::TK_EOL)
            break;
        if (front->type != PellixToken::TK_COMMA)
            throw PellixSyntaxException("Missing ',' before", front->text, front->line);
        popToken();
        argumentExpected = true;
    }
    call->depth = depth + 1;
    checkDepth(call, call->line);
}
