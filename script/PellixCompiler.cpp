#include "script/PellixCompiler.h"

#include <algorithm>

#include "script/PellixOperators.h"
#include "script/PellixStepBudget.h"
#include "script/PellixSyntaxNode.h"
#include "script/PellixToken.h"

namespace {

int arithmeticOpcode(int code) {
    switch (code) {
    case PellixOperators::OP_ADD: return PX_ADD;
    case PellixOperators::OP_SUB: return PX_SUB;
    case PellixOperators::OP_MUL: return PX_MUL;
    case PellixOperators::OP_DIV: return PX_DIV;
    case PellixOperators::OP_MOD: return PX_MOD;
    case PellixOperators::OP_OR: return PX_OR;
    case PellixOperators::OP_AND: return PX_AND;
    case PellixOperators::OP_XOR: return PX_XOR;
    case PellixOperators::OP_NOT: return PX_NOT;
    case PellixOperators::OP_GT: return PX_GT;
    case PellixOperators::OP_GE: return PX_GE;
    case PellixOperators::OP_LT: return PX_LT;
    case PellixOperators::OP_LE: return PX_LE;
    case PellixOperators::OP_NE: return PX_NE;
    case PellixOperators::OP_EQ: return PX_EQ;
    default: return PX_UNDEFINED;
    }
}

int branchOpcode(int code, bool jumpWhen) {
    int offset = 0;
    switch (code) {
    case PellixOperators::OP_GT: offset = 0; break;
    case PellixOperators::OP_GE: offset = 1; break;
    case PellixOperators::OP_LT: offset = 2; break;
    case PellixOperators::OP_LE: offset = 3; break;
    case PellixOperators::OP_NE: offset = 4; break;
    default: offset = 5; break;
    }
    return (jumpWhen ? PX_BRANCH_GT : PX_BRANCH_NOT_GT) + offset;
}

// Copies of the SELECT selector share their children, so equal fields mean the same expression.
bool sameExpression(const PellixSyntaxNode* a, const PellixSyntaxNode* b) {
    return a->kind == b->kind && a->op == b->op && a->word == b->word && a->payload == b->payload &&
           a->left == b->left && a->right == b->right && a->expr == b->expr && a->args == b->args &&
           a->function == b->function;
}

} // namespace

PellixCompiler::PellixCompiler(const std::map<std::string, PellixSyntaxNode*>& functions,
                               const std::map<std::string, PellixVariable*>& globals, PellixFunctionCode& code)
    : functions(functions), globals(globals), code(code) {}

size_t PellixCompiler::emit(int op, int a, int b, int c, int d) {
    PellixInstruction instruction;
    instruction.op = static_cast<uint8_t>(op);
    instruction.a = a;
    instruction.b = b;
    instruction.c = c;
    instruction.d = d;
    code.instructions.push_back(instruction);
    code.lines.push_back(line);
    return code.instructions.size() - 1;
}

size_t PellixCompiler::emitJump() {
    return emit(PX_JUMP, 0, 0, 0);
}

void PellixCompiler::patch(size_t instruction, size_t target) {
    code.instructions[instruction].a = static_cast<int32_t>(target);
}

void PellixCompiler::patchBack(size_t instruction, size_t top) {
    static_assert(PX_LOOP_BRANCH_NOT_EQ - PX_LOOP_IF_FALSE == PX_BRANCH_NOT_EQ - PX_JUMP_IF_FALSE,
                  "the loop forms follow the jumps in the same order");
    patch(instruction, top);
    PellixInstruction& jump = code.instructions[instruction];
    jump.op = static_cast<uint8_t>(jump.op - PX_JUMP_IF_FALSE + PX_LOOP_IF_FALSE);
}

void PellixCompiler::emitError(const std::string& error, const std::string& detail, const std::string& functionName,
                               int errorLine) {
    code.errors.emplace_back(error, detail, functionName, errorLine);
    emit(PX_ERROR, 0, 0, static_cast<int>(code.errors.size() - 1));
}

int PellixCompiler::allocateRegister() {
    const int slot = nextRegister++;
    code.frameSize = std::max(code.frameSize, nextRegister);
    return slot;
}

int PellixCompiler::reference(PellixVariable* value) {
    auto found = referenceIndex.find(value);
    if (found != referenceIndex.end())
        return found->second;
    code.references.push_back(value);
    code.literalReferences.push_back(false);
    const int operandValue = ~static_cast<int>(code.references.size() - 1);
    referenceIndex.emplace(value, operandValue);
    return operandValue;
}

int PellixCompiler::literal(PellixVariable* value) {
    const int operandValue = reference(value);
    code.literalReferences[static_cast<size_t>(~operandValue)] = true;
    return operandValue;
}

int PellixCompiler::undefinedOperand() {
    static_assert(sizeof(int) == 4, "operands are 32-bit");
    code.ownValues.emplace_back();
    return reference(&code.ownValues.back());
}

// A name inside the function resolves as at run time: the function's own variables first, then the globals.
int PellixCompiler::variableOperand(PellixSyntaxNode* node, const std::string& name, bool& missing) {
    missing = false;
    PellixSyntaxNode* owner = node->function;
    if (owner) {
        auto local = owner->variables.find(name);
        if (local != owner->variables.end() && local->second->slot >= 0 && local->second->slot < owner->localCount)
            return local->second->slot;
    }
    auto global = globals.find(name);
    if (global != globals.end())
        return reference(global->second);
    missing = true;
    return 0;
}

bool PellixCompiler::containsCall(const PellixSyntaxNode* node) {
    if (!node)
        return false;
    switch (node->kind) {
    case PellixSyntaxNode::NODE_CALL:
        return true;
    case PellixSyntaxNode::NODE_OPERATION:
        return containsCall(node->left) || containsCall(node->right);
    case PellixSyntaxNode::NODE_CONSTANT:
    case PellixSyntaxNode::NODE_VARIABLE:
        return false;
    default:
        return true; // fails when evaluated: keep the plain order of evaluation
    }
}

void PellixCompiler::compileFunction(PellixSyntaxNode* functionNode) {
    function = functionNode;
    code.name = functionNode->word;
    code.line = functionNode->line;
    code.localCount = functionNode->localCount;
    code.file = functionNode->file;
    code.frameSize = functionNode->localCount;
    nextRegister = functionNode->localCount;
    line = functionNode->line;
    if (PellixStepBudget::enabled)
        emit(PX_STEP, 0, 0, 0);
    for (PellixSyntaxNode* statement : functionNode->statements) {
        contexts.push_back({StatementContext, {}, {}});
        compileStatement(statement);
        for (size_t jump : contexts.back().exitJumps)
            patch(jump, here());
        contexts.pop_back();
    }
    bool missing = false;
    line = functionNode->line;
    code.resultOperand = variableOperand(functionNode, functionNode->word, missing);
    code.resultMissing = missing;
    emit(PX_RETURN, 0, 0, 0);
}

void PellixCompiler::compileStatement(PellixSyntaxNode* node) {
    if (!node)
        return;
    line = node->line;
    switch (node->kind) {
    case PellixSyntaxNode::NODE_ASSIGN: {
        bool missing = false;
        const int target = variableOperand(node, node->word, missing);
        if (missing) {
            // The value is computed first, and only then is the variable found missing.
            const int mark = nextRegister;
            if (node->expr)
                compileInto(node->expr, allocateRegister());
            nextRegister = mark;
            line = node->line;
            PellixSyntaxNode* owner = node->function;
            emitError("variable not found", node->word, owner ? owner->word : std::string(), owner ? owner->line : 0);
            return;
        }
        if (!node->expr)
            emit(PX_UNDEFINED, target, 0, 0);
        else if (!compileAppend(node, target))
            compileInto(node->expr, target);
        return;
    }
    case PellixSyntaxNode::NODE_IF: {
        const size_t toElse = compileBranch(node->expr, false);
        compileStatement(node->body);
        if (node->elseBody) {
            const size_t toEnd = emitJump();
            patch(toElse, here());
            compileStatement(node->elseBody);
            patch(toEnd, here());
        } else {
            patch(toElse, here());
        }
        return;
    }
    case PellixSyntaxNode::NODE_LOOP:
        compileLoop(node);
        return;
    case PellixSyntaxNode::NODE_BLOCK:
        for (PellixSyntaxNode* statement : node->statements)
            compileStatement(statement);
        return;
    case PellixSyntaxNode::NODE_CALL: {
        const int mark = nextRegister;
        compileCall(node, allocateRegister());
        nextRegister = mark;
        return;
    }
    case PellixSyntaxNode::NODE_EXIT:
        compileExit(node);
        return;
    case PellixSyntaxNode::NODE_SELECT:
        compileSelect(node);
        return;
    case PellixSyntaxNode::NODE_FUNCTION:
    case PellixSyntaxNode::NODE_VARIABLE:
        return;
    default:
        emitError("Unknown syntax", node->word, node->word, node->line);
        return;
    }
}

// The test sits after the body, so a pass costs one conditional jump:
//   jump test; top: body; test: if the loop goes on, jump top; exit:
void PellixCompiler::compileLoop(PellixSyntaxNode* node) {
    if (compileCountedLoop(node))
        return;
    const bool whileForm = node->body != nullptr;
    PellixSyntaxNode* body = whileForm ? node->body : node->elseBody;
    const size_t toTest = emitJump();
    const size_t top = here();
    contexts.push_back({LoopContext, {}, {}});
    compileStatement(body);
    const size_t test = here();
    patch(toTest, test);
    for (size_t jump : contexts.back().continueJumps)
        patch(jump, test);
    line = node->line;
    if (PellixStepBudget::enabled)
        emit(PX_STEP, 0, 0, 0);
    patchBack(compileBranch(node->expr, whileForm), top);
    for (size_t jump : contexts.back().exitJumps)
        patch(jump, here());
    contexts.pop_back();
}

bool PellixCompiler::leafOperand(PellixSyntaxNode* node, int& value) {
    if (!node)
        return false;
    if (node->kind == PellixSyntaxNode::NODE_CONSTANT) {
        value = literal(node->payload);
        return true;
    }
    if (node->kind == PellixSyntaxNode::NODE_VARIABLE) {
        bool missing = false;
        value = variableOperand(node, node->word, missing);
        return !missing;
    }
    return false;
}

// A loop whose body ends with V = V + P and whose test is V <= L (or >=), with P and L constants or variables,
// which is how FOR is lowered: the increment and the test of the next pass become one instruction.
//   jump test; top: body but the increment; V += P, go to top while V <= L; jump exit; test: V <= L? top; exit:
// The test keeps its own copy for the first pass and for a SELECT exit that reaches the loop.
bool PellixCompiler::compileCountedLoop(PellixSyntaxNode* node) {
    PellixSyntaxNode* body = node->body;
    PellixSyntaxNode* condition = node->expr;
    if (!body || body->kind != PellixSyntaxNode::NODE_BLOCK || body->statements.empty() || !condition ||
        condition->kind != PellixSyntaxNode::NODE_OPERATION ||
        (condition->op != PellixOperators::OP_LE && condition->op != PellixOperators::OP_GE))
        return false;
    PellixSyntaxNode* increment = body->statements.back();
    PellixSyntaxNode* sum = increment->expr;
    if (increment->kind != PellixSyntaxNode::NODE_ASSIGN || !sum || sum->kind != PellixSyntaxNode::NODE_OPERATION ||
        sum->op != PellixOperators::OP_ADD)
        return false;
    int counter = 0;
    int counterRead = 0;
    int tested = 0;
    int step = 0;
    int limit = 0;
    bool missing = false;
    counter = variableOperand(increment, increment->word, missing);
    if (missing || !sum->left || sum->left->kind != PellixSyntaxNode::NODE_VARIABLE ||
        !leafOperand(sum->left, counterRead) || counterRead != counter || !leafOperand(sum->right, step) ||
        !condition->left || condition->left->kind != PellixSyntaxNode::NODE_VARIABLE ||
        !leafOperand(condition->left, tested) || tested != counter || !leafOperand(condition->right, limit))
        return false;

    const size_t toTest = emitJump();
    const size_t top = here();
    contexts.push_back({LoopContext, {}, {}});
    for (size_t index = 0; index + 1 < body->statements.size(); ++index)
        compileStatement(body->statements[index]);
    line = increment->line;
    const size_t stepJump =
        emit(condition->op == PellixOperators::OP_LE ? PX_FOR_STEP : PX_FOR_STEP_DOWN, 0, counter, limit, step);
    // The increment fails on its own line; the test of the next pass, which spends a step of the budget,
    // belongs to the loop's line.
    code.instructions[stepJump].e = node->line;
    patch(stepJump, top);
    const size_t toExit = emitJump();
    const size_t test = here();
    patch(toTest, test);
    for (size_t jump : contexts.back().continueJumps)
        patch(jump, test);
    line = node->line;
    if (PellixStepBudget::enabled)
        emit(PX_STEP, 0, 0, 0);
    patchBack(compileBranch(condition, true), top);
    patch(toExit, here());
    for (size_t jump : contexts.back().exitJumps)
        patch(jump, here());
    contexts.pop_back();
    return true;
}

bool PellixCompiler::cannotFail(const PellixSyntaxNode* node) {
    if (!node)
        return true;
    switch (node->kind) {
    case PellixSyntaxNode::NODE_CONSTANT:
    case PellixSyntaxNode::NODE_VARIABLE:
        return true;
    case PellixSyntaxNode::NODE_OPERATION:
        switch (node->op) {
        case PellixOperators::OP_ADD:
            return false; // a string may grow past its limit
        case PellixOperators::OP_DIV:
        case PellixOperators::OP_MOD: {
            const PellixSyntaxNode* divisor = node->right;
            if (!divisor || divisor->kind != PellixSyntaxNode::NODE_CONSTANT)
                return false;
            const int value = divisor->payload->getInteger();
            if (value == 0 || value == -1)
                return false;
            break;
        }
        default:
            break;
        }
        return cannotFail(node->left) && cannotFail(node->right);
    default:
        return false;
    }
}

bool PellixCompiler::refersTo(const PellixSyntaxNode* node, int target) {
    if (!node)
        return false;
    if (node->kind == PellixSyntaxNode::NODE_VARIABLE) {
        bool missing = false;
        return variableOperand(const_cast<PellixSyntaxNode*>(node), node->word, missing) == target || missing;
    }
    if (node->kind == PellixSyntaxNode::NODE_OPERATION)
        return refersTo(node->left, target) || refersTo(node->right, target);
    return false;
}

// S = S + a + b + ... appends to S in place while S holds a string, as building a text piece by piece should
// cost. It means the same as the additions one by one because the pieces neither read S nor call anything
// nor fail; when the text would grow past its limit, S is cut back to its old length before the error.
bool PellixCompiler::compileAppend(PellixSyntaxNode* node, int target) {
    std::vector<PellixSyntaxNode*> pieces;
    PellixSyntaxNode* head = node->expr;
    while (head && head->kind == PellixSyntaxNode::NODE_OPERATION && head->op == PellixOperators::OP_ADD) {
        pieces.push_back(head->right);
        head = head->left;
    }
    int headOperand = 0;
    if (pieces.size() < 2 || !head || head->kind != PellixSyntaxNode::NODE_VARIABLE ||
        !leafOperand(head, headOperand) || headOperand != target)
        return false;
    for (const PellixSyntaxNode* piece : pieces) {
        if (!piece || containsCall(piece) || !cannotFail(piece) || refersTo(piece, target))
            return false;
    }
    std::reverse(pieces.begin(), pieces.end());

    const int mark = nextRegister;
    const int length = allocateRegister();
    const size_t begin = emit(PX_BEGIN_APPEND, 0, target, length);
    for (PellixSyntaxNode* piece : pieces) {
        const int pieceMark = nextRegister;
        emit(PX_APPEND, target, operand(piece), length);
        nextRegister = pieceMark;
    }
    const size_t toEnd = emitJump();
    patch(begin, here());
    nextRegister = mark;
    compileInto(node->expr, target);
    patch(toEnd, here());
    return true;
}

void PellixCompiler::compileExit(PellixSyntaxNode* node) {
    switch (node->op) {
    case PellixToken::TK_FUNCTION:
        emit(PX_RETURN, 0, 0, 0);
        return;
    case PellixToken::TK_FOR:
    case PellixToken::TK_DO:
        // Leaves the innermost loop of any kind; SELECTs pass it on.
        for (auto context = contexts.rbegin(); context != contexts.rend(); ++context) {
            if (context->kind != SelectContext) {
                context->exitJumps.push_back(emitJump());
                return;
            }
        }
        return;
    case PellixToken::TK_SELECT: {
        Context& context = contexts.back();
        if (context.kind == LoopContext)
            context.continueJumps.push_back(emitJump());
        else
            context.exitJumps.push_back(emitJump());
        return;
    }
    default:
        return;
    }
}

void PellixCompiler::compileSelect(PellixSyntaxNode* node) {
    contexts.push_back({SelectContext, {}, {}});
    if (!compileSelectTable(node)) {
        for (PellixSyntaxNode* test : node->statements)
            compileStatement(test);
    }
    for (size_t jump : contexts.back().exitJumps)
        patch(jump, here());
    contexts.pop_back();
}

// When the selector calls no function, evaluating it once gives what every test would see, and the first
// matching CASE can be looked up instead of searched for.
bool PellixCompiler::compileSelectTable(PellixSyntaxNode* node) {
    if (node->statements.empty())
        return false;
    const PellixSyntaxNode* selector = nullptr;
    std::vector<std::vector<const PellixVariable*>> caseValues;
    for (const PellixSyntaxNode* test : node->statements) {
        if (test->kind != PellixSyntaxNode::NODE_IF || test->elseBody || !test->expr)
            return false;
        std::vector<const PellixSyntaxNode*> comparisons;
        const PellixSyntaxNode* condition = test->expr;
        while (condition->kind == PellixSyntaxNode::NODE_OPERATION && condition->op == PellixOperators::OP_OR &&
               condition->left && condition->right) {
            comparisons.push_back(condition->right);
            condition = condition->left;
        }
        comparisons.push_back(condition);
        std::reverse(comparisons.begin(), comparisons.end());
        std::vector<const PellixVariable*> valuesOfCase;
        for (const PellixSyntaxNode* comparison : comparisons) {
            if (comparison->kind != PellixSyntaxNode::NODE_OPERATION || comparison->op != PellixOperators::OP_EQ ||
                !comparison->left || !comparison->right || comparison->right->kind != PellixSyntaxNode::NODE_CONSTANT)
                return false;
            if (!selector)
                selector = comparison->left;
            else if (!sameExpression(selector, comparison->left))
                return false;
            valuesOfCase.push_back(comparison->right->payload);
        }
        caseValues.push_back(std::move(valuesOfCase));
    }
    if (containsCall(selector))
        return false;

    PellixCaseTable table;
    std::vector<std::pair<int32_t, int>> integers;
    for (size_t index = 0; index < caseValues.size(); ++index) {
        const int caseIndex = static_cast<int>(index);
        for (const PellixVariable* value : caseValues[index]) {
            char buffer[PellixVariable::numberTextCapacity];
            size_t length = 0;
            const char* text = value->peekText(buffer, length);
            table.texts.emplace(std::string(text, length), caseIndex);
            if (value->type == PellixVariable::String)
                table.strings.emplace(value->stringValue, caseIndex);
            else
                integers.emplace_back(value->getInteger(), caseIndex);
        }
    }
    // Keep the first CASE of each integer.
    std::stable_sort(integers.begin(), integers.end(),
                     [](const std::pair<int32_t, int>& a, const std::pair<int32_t, int>& b) { return a.first < b.first; });
    for (const auto& entry : integers) {
        if (table.integers.empty() || table.integers.back().first != entry.first)
            table.integers.push_back(entry);
    }
    if (!table.integers.empty()) {
        const long long low = table.integers.front().first;
        const long long span = static_cast<long long>(table.integers.back().first) - low + 1;
        if (span <= static_cast<long long>(table.integers.size()) * 4 + 16) {
            table.denseBase = static_cast<int32_t>(low);
            table.dense.assign(static_cast<size_t>(span), -1);
            for (const auto& entry : table.integers)
                table.dense[static_cast<size_t>(entry.first - low)] = entry.second;
        }
    }

    line = node->statements.front()->line;
    const int mark = nextRegister;
    const int selectorOperand = operand(const_cast<PellixSyntaxNode*>(selector));
    nextRegister = mark;
    code.cases.push_back(std::move(table));
    const int tableIndex = static_cast<int>(code.cases.size() - 1);
    emit(PX_SELECT, 0, selectorOperand, tableIndex);
    std::vector<int32_t> targets;
    for (PellixSyntaxNode* test : node->statements) {
        targets.push_back(static_cast<int32_t>(here()));
        compileStatement(test->body);
    }
    code.cases[static_cast<size_t>(tableIndex)].targets = std::move(targets);
    code.cases[static_cast<size_t>(tableIndex)].end = static_cast<int32_t>(here());
    return true;
}

size_t PellixCompiler::compileBranch(PellixSyntaxNode* node, bool jumpWhen) {
    const int mark = nextRegister;
    size_t jump;
    if (node && node->kind == PellixSyntaxNode::NODE_OPERATION && PellixOperators::isComparison(node->op)) {
        const int left = leftOperand(node);
        const int right = operand(node->right);
        jump = emit(branchOpcode(node->op, jumpWhen), 0, left, right);
    } else {
        const int value = operand(node);
        jump = emit(jumpWhen ? PX_JUMP_IF_TRUE : PX_JUMP_IF_FALSE, 0, value, 0);
    }
    nextRegister = mark;
    return jump;
}

int PellixCompiler::operand(PellixSyntaxNode* node) {
    if (!node)
        return undefinedOperand();
    if (node->kind == PellixSyntaxNode::NODE_CONSTANT)
        return literal(node->payload);
    if (node->kind == PellixSyntaxNode::NODE_VARIABLE) {
        bool missing = false;
        const int value = variableOperand(node, node->word, missing);
        if (!missing)
            return value;
    }
    const int slot = allocateRegister();
    compileInto(node, slot);
    return slot;
}

int PellixCompiler::leftOperand(PellixSyntaxNode* operation) {
    PellixSyntaxNode* left = operation->left;
    const int value = operand(left);
    // Frame slots cannot change under a call (the callee has a frame of its own), globals can.
    if (value < 0 && left && left->kind == PellixSyntaxNode::NODE_VARIABLE && containsCall(operation->right)) {
        const int copy = allocateRegister();
        emit(PX_MOVE, copy, value, 0);
        return copy;
    }
    return value;
}

void PellixCompiler::compileInto(PellixSyntaxNode* node, int dest) {
    switch (node->kind) {
    case PellixSyntaxNode::NODE_CONSTANT:
        emit(PX_MOVE, dest, literal(node->payload), 0);
        return;
    case PellixSyntaxNode::NODE_VARIABLE: {
        bool missing = false;
        const int value = variableOperand(node, node->word, missing);
        if (missing) {
            PellixSyntaxNode* owner = node->function;
            emitError("variable not found", node->word, owner ? owner->word : std::string(), owner ? owner->line : 0);
            return;
        }
        emit(PX_MOVE, dest, value, 0);
        return;
    }
    case PellixSyntaxNode::NODE_OPERATION: {
        const int mark = nextRegister;
        const int left = leftOperand(node);
        const int right = operand(node->right);
        emit(arithmeticOpcode(node->op), dest, left, right);
        nextRegister = mark;
        return;
    }
    case PellixSyntaxNode::NODE_CALL:
        compileCall(node, dest);
        return;
    default:
        emitError("evaluate noneval sentence", node->word, node->word, node->line);
        return;
    }
}

void PellixCompiler::compileCall(PellixSyntaxNode* node, int dest) {
    const int mark = nextRegister;
    const int first = nextRegister;
    for (PellixSyntaxNode* argument : node->args) {
        const int slot = allocateRegister();
        compileInto(argument, slot);
        nextRegister = slot + 1;
    }
    PellixCallSite site;
    site.name = node->word;
    site.argc = static_cast<int>(node->args.size());
    auto callee = functions.find(node->word);
    if (callee != functions.end())
        site.callee = callee->second;
    code.calls.push_back(std::move(site));
    emit(PX_CALL, dest, first, static_cast<int>(code.calls.size() - 1));
    nextRegister = mark;
}
