// The embedding surface: host functions, running functions by name, the last error.
#include "script/PellixScript.h"

#include <algorithm>
#include <cstdio>
#include <utility>


PellixScript::PellixScript() {
    setLastError("No error.", "", -1);
}

PellixScript::~PellixScript() {
    nodes.clear();
    values.clear();
}

bool PellixScript::addFunction(std::string name, PellixHostFunction function) {
    toUpperString(name);
    if (functions.count(name) || globals.count(name)) {
        setLastError("function redefined", name, -1);
        return false;
    }
    PellixSyntaxNode* node = newNode(nullptr);
    node->kind = PellixSyntaxNode::NODE_EXTERNAL;
    node->word = name;
    node->hostFunction = function;
    functions[name] = node;
    return true;
}

bool PellixScript::run(std::string name) {
    toUpperString(name);
    try {
        invokeFunction(name, 0);
        return true;
    } catch (const PellixRuntimeException& exception) {
        setLastError(exception.getFunction() + ": " + exception.getError(), exception.getDetail(),
                     exception.getLine());
        return false;
    }
}

int PellixScript::parameterCount(const std::string& name) const {
    auto entry = functions.find(name);
    if (entry == functions.end() || entry->second->kind != PellixSyntaxNode::NODE_FUNCTION)
        return -1;
    return entry->second->parameterCount;
}

std::string PellixScript::describeHostCallPlace() const {
    if (!hostCallPlace.file)
        return "host";
    return *hostCallPlace.file + ":" + std::to_string(hostCallPlace.line);
}

std::string PellixScript::getLastError() const {
    return lastError;
}

void PellixScript::setLastError(std::string error, std::string detail, int line) {
    if (line != -1) {
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "At line %d : ", line);
        lastError = prefix;
    } else {
        lastError.clear();
    }
    lastError += error;
    lastError += " : ";
    lastError += detail;
}

PellixVariable PellixScript::invokeFunction(std::string name, int argc) {
    // A stopped engine runs nothing more, not even the game's handlers, until the host clears the request.
    checkStop(name, 0);
    if (argc < 0 || static_cast<size_t>(argc) > runtimeStack.size())
        throw PellixRuntimeException("Fewer values on the run-time stack than arguments", name, name, 0);
    if (hostReentry >= maxHostReentry) {
        throw PellixRuntimeException("Host functions calling scripts nested too deeply, the limit is " +
                                         std::to_string(maxHostReentry),
                                     name, name, 0);
    }

    // Whatever happens, the engine is left as it was found: the calls in progress and the stack above the
    // caller's arguments (the machine restores its own frames).
    struct Restore {
        PellixScript& script;
        size_t stackSize;
        int callDepth;
        const PellixSyntaxNode* function;
        int line;
        ~Restore() {
            --script.hostReentry;
            if (script.runtimeStack.size() > stackSize)
                script.runtimeStack.resize(stackSize);
            script.callDepth = callDepth;
            script.currentFunction = function;
            script.currentLine = line;
        }
    } restore{*this, runtimeStack.size(), callDepth, currentFunction, currentLine};
    if (hostReentry++ == 0)
        stepBudget.refill();

    if (interpreter == TreeWalking)
        return invokeWalking(name, argc);

    PellixVariable result;
    PellixSyntaxNode* function = findCallee(name, argc, result);
    if (function->kind == PellixSyntaxNode::NODE_EXTERNAL)
        return result;
    return machine.run(function, runtimeStack.size() - static_cast<size_t>(argc));
}

PellixSyntaxNode* PellixScript::findCallee(const std::string& name, int argc, PellixVariable& hostResult) {
    auto entry = functions.find(name);
    if (entry == functions.end())
        throw PellixRuntimeException("Function not found", name, name, 0);
    PellixSyntaxNode* function = entry->second;
    if (function->kind == PellixSyntaxNode::NODE_EXTERNAL) {
        hostCallPlace = PellixCallPlace{currentFunction ? currentFunction->file : nullptr, currentLine};
        function->hostFunction(runtimeStack, hostResult, argc);
        checkStop(currentFunction ? currentFunction->word : name, currentLine);
        return function;
    }
    if (function->kind != PellixSyntaxNode::NODE_FUNCTION)
        throw PellixRuntimeException("Not a valid function", name, name, 0);
    if (argc > function->localCount)
        throw PellixRuntimeException("Too many parameters", name, name, 0);
    return function;
}

const PellixFunctionCode* PellixScript::compiledCode(std::string name) {
    toUpperString(name);
    auto entry = functions.find(name);
    if (entry == functions.end() || entry->second->kind != PellixSyntaxNode::NODE_FUNCTION)
        return nullptr;
    return machine.codeFor(entry->second);
}

std::vector<PellixVariable>* PellixScript::getRuntimeStack() {
    return &runtimeStack;
}

PellixVariable PellixScript::hostArgument(const std::vector<PellixVariable>& stack, int argc, int positionFromTop) {
    if (positionFromTop < 1 || positionFromTop > argc || static_cast<size_t>(positionFromTop) > stack.size())
        return PellixVariable();
    return stack[stack.size() - static_cast<size_t>(positionFromTop)];
}

bool PellixScript::allArgumentsUndefined(const std::vector<PellixVariable>& stack, int argc) {
    const size_t count = std::min(stack.size(), static_cast<size_t>(std::max(argc, 0)));
    for (size_t index = stack.size() - count; index < stack.size(); ++index) {
        if (stack[index].type != PellixVariable::Undefined)
            return false;
    }
    return true;
}

bool PellixScript::invokeExternal(std::string name, int argc) {
    (void)argc;
    toUpperString(name);
    return functions.find(name) == functions.end();
}
