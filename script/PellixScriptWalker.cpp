// The tree-walking interpreter: runs the syntax tree node by node, locals addressed from the top of the
// run-time stack. It is the plain statement of what a script means; the compiled interpreter must agree with
// it on every script (the fuzzer checks that).
#include <string>
#include <utility>

#include "script/PellixDepthGuard.h"
#include "script/PellixOperators.h"
#include "script/PellixScript.h"

namespace {

} // namespace

void PellixScript::throwRuntime(const std::string& error, const std::string& detail) const {
    const std::string function = currentFunction ? currentFunction->word : std::string();
    throw PellixRuntimeException(error, detail, function, currentLine);
}

// The walker recurses natively with the script; the depth in nodes bounds it on every build, and the stack it
// has used bounds it where frames are large (sanitizer builds).
void PellixScript::checkWalkerDepth(const PellixSyntaxNode* node) {
    const char* here = static_cast<const char*>(__builtin_frame_address(0));
    if (walkerDepth == 0)
        walkerStackBase = here;
    const size_t used = walkerStackBase > here ? static_cast<size_t>(walkerStackBase - here) : 0;
    if (walkerDepth >= maxWalkerDepth || used > maxWalkerStack) {
        throwRuntime("Script nested too deeply for the tree-walking interpreter, the limit is " +
                         std::to_string(maxWalkerDepth) + " levels or " + std::to_string(maxWalkerStack) +
                         " bytes of stack",
                     node->word);
    }
}

void PellixScript::pushStackValue(PellixVariable value) {
    if (runtimeStack.size() >= maxStackSize)
        throwRuntime("Run-time stack full, the limit is " + std::to_string(maxStackSize) + " values", "");
    runtimeStack.push_back(std::move(value));
}

PellixVariable PellixScript::invokeWalking(const std::string& name, int argc) {
    PellixVariable hostResult;
    PellixSyntaxNode* function = findCallee(name, argc, hostResult);
    if (function->kind == PellixSyntaxNode::NODE_EXTERNAL)
        return hostResult;
    if (callDepth >= maxCallDepth)
        throwRuntime("Calls nested too deeply, the limit is " + std::to_string(maxCallDepth), name);

    struct Scope {
        PellixScript& script;
        const PellixSyntaxNode* function;
        int line;
        ~Scope() {
            --script.callDepth;
            script.currentFunction = function;
            script.currentLine = line;
        }
    } scope{*this, currentFunction, currentLine};
    ++callDepth;
    currentFunction = function;
    currentLine = function->line;
    stepBudget.spend(function->word, function->line);
    checkStop(function->word, function->line);

    const size_t pushed = static_cast<size_t>(function->localCount - argc);
    if (runtimeStack.size() + pushed > maxStackSize)
        throwRuntime("Run-time stack full, the limit is " + std::to_string(maxStackSize) + " values", name);
    runtimeStack.resize(runtimeStack.size() + pushed);
    for (PellixSyntaxNode* statement : function->statements) {
        if (interpret(statement) > 4)
            break;
    }
    PellixVariable result = getRuntimeVar(function, function->word);
    runtimeStack.resize(runtimeStack.size() - pushed);
    return result;
}

PellixVariable PellixScript::call(PellixSyntaxNode* callNode) {
    std::vector<PellixVariable> arguments;
    arguments.reserve(callNode->args.size());
    for (PellixSyntaxNode* argument : callNode->args)
        arguments.push_back(evaluate(argument));
    for (PellixVariable& argument : arguments)
        pushStackValue(std::move(argument));
    const int argc = static_cast<int>(arguments.size());
    PellixVariable result = invokeWalking(callNode->word, argc);
    runtimeStack.resize(runtimeStack.size() - static_cast<size_t>(argc));
    return result;
}

int PellixScript::interpret(PellixSyntaxNode* node) {
    checkWalkerDepth(node);
    PellixDepthGuard level(walkerDepth);
    switch (node->kind) {
    case PellixSyntaxNode::NODE_ASSIGN: {
        currentLine = node->line;
        PellixVariable value = node->expr ? evaluate(node->expr) : PellixVariable();
        getRuntimeVar(node, node->word).storeValue(value);
        return FLOW_NORMAL;
    }
    case PellixSyntaxNode::NODE_IF: {
        currentLine = node->line;
        const PellixVariable condition = node->expr ? evaluate(node->expr) : PellixVariable();
        if (condition.getInteger() != 0)
            return node->body ? interpret(node->body) : FLOW_NORMAL;
        return node->elseBody ? interpret(node->elseBody) : FLOW_NORMAL;
    }
    case PellixSyntaxNode::NODE_LOOP: {
        // body: repeated while the condition holds; elseBody: repeated until it holds.
        const bool whileForm = node->body != nullptr;
        PellixSyntaxNode* body = whileForm ? node->body : node->elseBody;
        for (;;) {
            currentLine = node->line;
            if (PellixStepBudget::enabled)
                stepBudget.spend(currentFunction ? currentFunction->word : std::string(), node->line);
            if (isStopRequested())
                PellixRuntimeException::throwStopped(currentFunction ? currentFunction->word : std::string(),
                                                     node->line);
            const PellixVariable condition = node->expr ? evaluate(node->expr) : PellixVariable();
            const bool holds = condition.getInteger() != 0;
            if (holds != whileForm)
                return FLOW_NORMAL;
            const int flow = body ? interpret(body) : FLOW_NORMAL;
            if (flow >= FLOW_EXIT_LOOP)
                return flow == FLOW_EXIT_LOOP ? FLOW_NORMAL : flow;
        }
    }
    case PellixSyntaxNode::NODE_BLOCK:
        for (PellixSyntaxNode* statement : node->statements) {
            const int flow = interpret(statement);
            if (flow > FLOW_NORMAL)
                return flow;
        }
        return FLOW_NORMAL;
    case PellixSyntaxNode::NODE_CALL:
        currentLine = node->line;
        call(node);
        return FLOW_NORMAL;
    case PellixSyntaxNode::NODE_EXIT:
        switch (node->op) {
        case PellixToken::TK_FOR:
        case PellixToken::TK_DO:
            return FLOW_EXIT_LOOP;
        case PellixToken::TK_FUNCTION:
            return FLOW_EXIT_FUNCTION;
        case PellixToken::TK_SELECT:
            return FLOW_EXIT_SELECT;
        default:
            return FLOW_NORMAL;
        }
    case PellixSyntaxNode::NODE_SELECT:
        for (PellixSyntaxNode* test : node->statements) {
            const int flow = interpret(test);
            if (flow >= FLOW_EXIT_SELECT)
                return flow == FLOW_EXIT_SELECT ? FLOW_NORMAL : flow;
        }
        return FLOW_NORMAL;
    case PellixSyntaxNode::NODE_FUNCTION:
    case PellixSyntaxNode::NODE_VARIABLE:
        return FLOW_NORMAL;
    default:
        throw PellixRuntimeException("Unknown syntax", node->word, node->word, node->line);
    }
}

PellixVariable PellixScript::evaluate(PellixSyntaxNode* node) {
    checkWalkerDepth(node);
    PellixDepthGuard level(walkerDepth);
    switch (node->kind) {
    case PellixSyntaxNode::NODE_VARIABLE:
        return getRuntimeVar(node, node->word);
    case PellixSyntaxNode::NODE_CONSTANT:
        return *node->payload;
    case PellixSyntaxNode::NODE_CALL:
        return call(node);
    case PellixSyntaxNode::NODE_OPERATION: {
        // Both operands are always evaluated, left first; the left one is a copy taken before the right one
        // runs, so a call on the right cannot change it.
        const PellixVariable left = node->left ? evaluate(node->left) : PellixVariable();
        const PellixVariable right = node->right ? evaluate(node->right) : PellixVariable();
        PellixVariable result;
        const PellixOperators::Status status = PellixOperators::apply(node->op, left, right, result);
        if (status != PellixOperators::Ok)
            throwRuntime(PellixOperators::statusMessage(status), PellixOperators::operatorText(node->op));
        return result;
    }
    default:
        throw PellixRuntimeException("evaluate noneval sentence", node->word, node->word, node->line);
    }
}

PellixVariable& PellixScript::getRuntimeVar(PellixSyntaxNode* node, const std::string& name) {
    PellixSyntaxNode* function = node->function;
    if (function) {
        auto local = function->variables.find(name);
        if (local != function->variables.end()) {
            // The frame is the top localCount entries of the stack.
            const size_t fromTop = static_cast<size_t>(function->localCount - local->second->slot);
            if (fromTop <= runtimeStack.size() && fromTop > 0)
                return runtimeStack[runtimeStack.size() - fromTop];
        }
    }
    auto global = globals.find(name);
    if (global != globals.end())
        return *global->second;
    throw PellixRuntimeException("variable not found", name, function ? function->word : std::string(),
                                 function ? function->line : 0);
}

void PellixScript::remove(PellixSyntaxNode* node) {
    // Iterative, so that no expression is too deep to release.
    std::vector<PellixSyntaxNode*> pending{node};
    while (!pending.empty()) {
        PellixSyntaxNode* current = pending.back();
        pending.pop_back();
        if (!current)
            continue;
        if (current->kind == PellixSyntaxNode::NODE_CONSTANT && current->payload) {
            deleteValue(current->payload);
        } else if (current->kind == PellixSyntaxNode::NODE_OPERATION) {
            pending.push_back(current->left);
            pending.push_back(current->right);
        }
        deleteNode(current);
    }
}
