#include "script/PellixDisassembler.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "script/PellixFunctionCode.h"
#include "script/PellixOperators.h"
#include "script/PellixSyntaxNode.h"

namespace {

const char* mnemonic(int op) {
    switch (op) {
    case PX_MOVE: return "move";
    case PX_UNDEFINED: return "undefined";
    case PX_ADD: return "add";
    case PX_SUB: return "sub";
    case PX_MUL: return "mul";
    case PX_DIV: return "div";
    case PX_MOD: return "mod";
    case PX_OR: return "or";
    case PX_AND: return "and";
    case PX_XOR: return "xor";
    case PX_NOT: return "not";
    case PX_GT: return "gt";
    case PX_GE: return "ge";
    case PX_LT: return "lt";
    case PX_LE: return "le";
    case PX_NE: return "ne";
    case PX_EQ: return "eq";
    case PX_JUMP: return "jump";
    case PX_JUMP_IF_FALSE: return "jump-if-false";
    case PX_JUMP_IF_TRUE: return "jump-if-true";
    case PX_BRANCH_GT: return "branch-gt";
    case PX_BRANCH_GE: return "branch-ge";
    case PX_BRANCH_LT: return "branch-lt";
    case PX_BRANCH_LE: return "branch-le";
    case PX_BRANCH_NE: return "branch-ne";
    case PX_BRANCH_EQ: return "branch-eq";
    case PX_BRANCH_NOT_GT: return "branch-not-gt";
    case PX_BRANCH_NOT_GE: return "branch-not-ge";
    case PX_BRANCH_NOT_LT: return "branch-not-lt";
    case PX_BRANCH_NOT_LE: return "branch-not-le";
    case PX_BRANCH_NOT_NE: return "branch-not-ne";
    case PX_BRANCH_NOT_EQ: return "branch-not-eq";
    case PX_LOOP_IF_FALSE: return "loop-if-false";
    case PX_LOOP_IF_TRUE: return "loop-if-true";
    case PX_LOOP_BRANCH_GT: return "loop-gt";
    case PX_LOOP_BRANCH_GE: return "loop-ge";
    case PX_LOOP_BRANCH_LT: return "loop-lt";
    case PX_LOOP_BRANCH_LE: return "loop-le";
    case PX_LOOP_BRANCH_NE: return "loop-ne";
    case PX_LOOP_BRANCH_EQ: return "loop-eq";
    case PX_LOOP_BRANCH_NOT_GT: return "loop-not-gt";
    case PX_LOOP_BRANCH_NOT_GE: return "loop-not-ge";
    case PX_LOOP_BRANCH_NOT_LT: return "loop-not-lt";
    case PX_LOOP_BRANCH_NOT_LE: return "loop-not-le";
    case PX_LOOP_BRANCH_NOT_NE: return "loop-not-ne";
    case PX_LOOP_BRANCH_NOT_EQ: return "loop-not-eq";
    case PX_FOR_STEP: return "for-step";
    case PX_FOR_STEP_DOWN: return "for-step-down";
    case PX_BEGIN_APPEND: return "begin-append";
    case PX_APPEND: return "append";
    case PX_CALL: return "call";
    case PX_SELECT: return "select";
    case PX_RETURN: return "return";
    case PX_ERROR: return "error";
    case PX_STEP: return "step";
    default: return "?";
    }
}

// The operator an arithmetic, comparison or branch opcode applies, 0 for the others.
int operatorOf(int op) {
    switch (op) {
    case PX_ADD: return PellixOperators::OP_ADD;
    case PX_SUB: return PellixOperators::OP_SUB;
    case PX_MUL: return PellixOperators::OP_MUL;
    case PX_DIV: return PellixOperators::OP_DIV;
    case PX_MOD: return PellixOperators::OP_MOD;
    case PX_OR: return PellixOperators::OP_OR;
    case PX_AND: return PellixOperators::OP_AND;
    case PX_XOR: return PellixOperators::OP_XOR;
    case PX_GT: return PellixOperators::OP_GT;
    case PX_GE: return PellixOperators::OP_GE;
    case PX_LT: return PellixOperators::OP_LT;
    case PX_LE: return PellixOperators::OP_LE;
    case PX_NE: return PellixOperators::OP_NE;
    case PX_EQ: return PellixOperators::OP_EQ;
    default: break;
    }
    // Branches come in six runs of the same order: GT, GE, LT, LE, NE, EQ.
    static const int comparisons[] = {PellixOperators::OP_GT, PellixOperators::OP_GE, PellixOperators::OP_LT,
                                      PellixOperators::OP_LE, PellixOperators::OP_NE, PellixOperators::OP_EQ};
    for (int first : {PX_BRANCH_GT, PX_BRANCH_NOT_GT, PX_LOOP_BRANCH_GT, PX_LOOP_BRANCH_NOT_GT}) {
        if (op >= first && op < first + 6)
            return comparisons[op - first];
    }
    return 0;
}

std::string quoted(const std::string& text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '\n')
            result += "\\n";
        else if (c == '"' || c == '\\')
            result += std::string("\\") + c;
        else
            result += c;
    }
    return result + "\"";
}

class Writer {
public:
    Writer(const PellixSyntaxNode& function, const PellixFunctionCode& code,
           const std::map<std::string, PellixVariable*>& globals)
        : code(code) {
        for (const auto& entry : function.variables) {
            const int slot = entry.second->slot;
            if (slot >= 0 && slot < function.localCount && !localNames.count(slot))
                localNames[slot] = entry.first;
        }
        for (const auto& entry : globals)
            globalNames.emplace(entry.second, entry.first);
    }

    std::string operand(int value) const {
        if (value >= 0) {
            auto local = localNames.find(value);
            return local != localNames.end() ? local->second : "t" + std::to_string(value);
        }
        const size_t index = static_cast<size_t>(~value);
        if (index >= code.references.size())
            return "?";
        const PellixVariable* referenced = code.references[index];
        auto global = globalNames.find(referenced);
        if (global != globalNames.end())
            return "global " + global->second;
        PellixVariable copy = *referenced;
        return copy.type == PellixVariable::String ? quoted(copy.stringValue) : copy.getString();
    }

    std::string target(int index) const { return std::to_string(index); }

    std::string meaning(const PellixInstruction& in) const {
        const int op = in.op;
        const int operatorCode = operatorOf(op);
        const std::string a = operand(in.a), b = operand(in.b), c = operand(in.c);
        switch (op) {
        case PX_MOVE:
            return a + " = " + b;
        case PX_UNDEFINED:
            return a + " = undefined";
        case PX_NOT:
            return a + " = NOT " + c;
        case PX_JUMP:
            return "to " + target(in.a);
        case PX_JUMP_IF_FALSE:
        case PX_LOOP_IF_FALSE:
            return "to " + target(in.a) + " unless " + b;
        case PX_JUMP_IF_TRUE:
        case PX_LOOP_IF_TRUE:
            return "to " + target(in.a) + " if " + b;
        case PX_FOR_STEP:
        case PX_FOR_STEP_DOWN:
            return b + " = " + b + " + " + operand(in.d) + ", to " + target(in.a) + " if " + b +
                   (op == PX_FOR_STEP ? " <= " : " >= ") + c;
        case PX_BEGIN_APPEND:
            return "to " + target(in.a) + " unless " + b + " is a string, else its length into t" +
                   std::to_string(in.c);
        case PX_APPEND:
            return a + " += " + b + " (length before in t" + std::to_string(in.c) + ")";
        case PX_CALL: {
            if (in.c < 0 || static_cast<size_t>(in.c) >= code.calls.size())
                return "?";
            const PellixCallSite& site = code.calls[static_cast<size_t>(in.c)];
            std::string text = a + " = " + site.name + "(";
            for (int argument = 0; argument < site.argc; ++argument)
                text += (argument ? ", " : "") + operand(in.b + argument);
            text += ")";
            if (!site.callee)
                text += ", not found";
            else if (site.callee->kind == PellixSyntaxNode::NODE_EXTERNAL)
                text += ", host";
            return text;
        }
        case PX_SELECT:
            return selectMeaning(in);
        case PX_RETURN:
            return code.resultMissing ? "fails: no storage for the result" : operand(code.resultOperand);
        case PX_ERROR: {
            if (in.c < 0 || static_cast<size_t>(in.c) >= code.errors.size())
                return "?";
            const PellixRuntimeException& error = code.errors[static_cast<size_t>(in.c)];
            return error.getError() + " : " + error.getDetail();
        }
        case PX_STEP:
            return "";
        default:
            break;
        }
        if (operatorCode == 0)
            return "?";
        const std::string comparison = b + " " + PellixOperators::operatorText(operatorCode) + " " + c;
        if (op >= PX_ADD && op <= PX_EQ)
            return a + " = " + comparison;
        const bool negated = (op >= PX_BRANCH_NOT_GT && op < PX_BRANCH_NOT_GT + 6) ||
                             (op >= PX_LOOP_BRANCH_NOT_GT && op < PX_LOOP_BRANCH_NOT_GT + 6);
        return "to " + target(in.a) + (negated ? " unless " : " if ") + comparison;
    }

private:
    // Values in a fixed order (integers ascending, then strings sorted), each with the CASE body it selects.
    std::string selectMeaning(const PellixInstruction& in) const {
        if (in.c < 0 || static_cast<size_t>(in.c) >= code.cases.size())
            return "?";
        const PellixCaseTable& table = code.cases[static_cast<size_t>(in.c)];
        auto body = [&](int match) {
            return match >= 0 && static_cast<size_t>(match) < table.targets.size()
                       ? target(table.targets[static_cast<size_t>(match)])
                       : std::string("?");
        };
        std::string text = "on " + operand(in.b) + ":";
        for (const auto& entry : table.integers)
            text += " " + std::to_string(entry.first) + " to " + body(entry.second) + ",";
        std::vector<std::pair<std::string, int>> strings(table.strings.begin(), table.strings.end());
        std::sort(strings.begin(), strings.end());
        for (const auto& entry : strings)
            text += " " + quoted(entry.first) + " to " + body(entry.second) + ",";
        return text + " else to " + target(table.end);
    }

    const PellixFunctionCode& code;
    std::map<int, std::string> localNames;
    std::map<const PellixVariable*, std::string> globalNames;
};

} // namespace

std::string PellixDisassembler::listing(const PellixSyntaxNode& function, const PellixFunctionCode& code,
                                        const std::map<std::string, PellixVariable*>& globals) {
    const Writer writer(function, code, globals);
    std::string text = "FUNCTION " + code.name + ", line " + std::to_string(code.line) + ": " +
                       std::to_string(code.localCount) + " locals, " + std::to_string(code.frameSize) +
                       " values in the frame\n";
    for (size_t index = 0; index < code.instructions.size(); ++index) {
        const PellixInstruction& in = code.instructions[index];
        const int line = index < code.lines.size() ? code.lines[index] : 0;
        char head[64];
        std::snprintf(head, sizeof head, "%5zu  line %-5d %-14s ", index, line, mnemonic(in.op));
        std::string row = head + writer.meaning(in);
        while (!row.empty() && row.back() == ' ')
            row.pop_back();
        text += row + "\n";
    }
    return text;
}
