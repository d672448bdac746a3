// The top level of a script: declarations, function definitions, IMPORT, and name resolution.
#include <algorithm>
#include <string>

#include "script/PellixScript.h"

PellixSyntaxNode* PellixScript::newNode(PellixSyntaxNode* parent) {
    return nodes.make(parent);
}

PellixSyntaxNode* PellixScript::newStatement(PellixSyntaxNode* parent, int line, std::string word) {
    return nodes.make(parent, nullptr, nullptr, line, std::move(word));
}

PellixSyntaxNode* PellixScript::copyNode(const PellixSyntaxNode* node) {
    PellixSyntaxNode* copy = nodes.make(*node);
    copy->code = nullptr;
    return copy;
}

// The pool keeps the node until the engine dies; only what it holds is released now. Releasing twice is
// harmless.
void PellixScript::deleteNode(PellixSyntaxNode* node) {
    *node = PellixSyntaxNode(nullptr);
}

PellixVariable* PellixScript::newValue() {
    return values.make();
}

void PellixScript::deleteValue(PellixVariable* value) {
    *value = PellixVariable();
}

PellixSyntaxNode* PellixScript::newIntegerConstant(PellixSyntaxNode* parent, int value) {
    PellixSyntaxNode* node = newNode(parent);
    node->kind = PellixSyntaxNode::NODE_CONSTANT;
    node->payload = newValue();
    node->payload->setInteger(value);
    return node;
}

void PellixScript::appendStatement(PellixSyntaxNode* block, PellixSyntaxNode* statement) {
    if (!block->statements.empty()) {
        statement->left = block->statements.back();
        block->statements.back()->right = statement;
    }
    block->statements.push_back(statement);
}

// A new local of scope (a function, or a nested block whose table no lookup consults) in its next slot.
PellixVariable* PellixScript::newLocal(PellixSyntaxNode* scope, const std::string& name, int line) {
    if (scope->localCount >= maxLocals) {
        throw PellixSyntaxException("Too many local variables in one function, the limit is " +
                                        std::to_string(maxLocals),
                                    name, line);
    }
    PellixVariable* variable = newValue();
    variable->isGlobal = false;
    variable->slot = static_cast<int16_t>(scope->localCount++);
    scope->variables[name] = variable;
    return variable;
}

bool PellixScript::parseSyntax() {
    try {
        for (;;) {
            if (!tokens || tokens->empty()) {
                for (const auto& entry : functions) {
                    if (entry.second->line == -1) {
                        setLastError("Function not implemented", entry.first, -1);
                        return false;
                    }
                }
                return true;
            }
            PellixToken& token = tokens->front();
            switch (token.type) {
            case PellixToken::TK_EOL:
                popToken();
                break;
            case PellixToken::TK_DIM:
                popToken();
                parseDIM(nullptr);
                break;
            case PellixToken::TK_IMPORT:
                popToken();
                parseIMPORT();
                break;
            case PellixToken::TK_CONST:
                popToken();
                parseCONST(nullptr);
                break;
            case PellixToken::TK_FUNCTION:
                popToken();
                parseFUNCTION();
                break;
            default:
                setLastError("unknown word", token.text, token.line);
                return false;
            }
        }
    } catch (const PellixSyntaxException& exception) {
        setLastError(exception.getError(), exception.getDetail(), exception.getLine());
        return false;
    }
}

// DIM name { , name }   (the line end is left to the caller)
void PellixScript::parseDIM(PellixSyntaxNode* scope) {
    std::map<std::string, PellixVariable*>& table = scope ? scope->variables : globals;
    bool nameExpected = true;
    for (;;) {
        PellixToken& token = getToken();
        if (token.type == PellixToken::TK_NAME && nameExpected) {
            if (table.count(token.text))
                throw PellixSyntaxException("Redim variable", token.text, token.line);
            if (scope) {
                newLocal(scope, token.text, token.line);
            } else {
                PellixVariable* variable = newValue();
                variable->isGlobal = true;
                globals[token.text] = variable;
            }
            popToken();
            nameExpected = false;
        } else if (token.type == PellixToken::TK_COMMA) {
            popToken();
            nameExpected = true;
        } else if (token.type == PellixToken::TK_EOL) {
            return;
        } else {
            throw PellixSyntaxException("Syntax error", token.text, token.line);
        }
    }
}

// CONST name = expression { , name = expression } EOL
void PellixScript::parseCONST(PellixSyntaxNode* scope) {
    std::map<std::string, PellixVariable*>& table = scope ? scope->variables : globals;
    bool nameExpected = true;
    for (;;) {
        PellixToken& token = getToken();
        if (token.type == PellixToken::TK_NAME && nameExpected) {
            const std::string name = token.text;
            const int nameLine = token.line;
            if (table.count(name))
                throw PellixSyntaxException("Redefine variable", name, nameLine);
            popToken();
            PellixToken& equals = getToken();
            if (!equals.isOperator("="))
                throw PellixSyntaxException("Syntax error, missing '='", equals.text, equals.line);
            const int equalsLine = equals.line;
            popToken();
            PellixSyntaxNode* value = parseExpression(scope);
            if (value->kind != PellixSyntaxNode::NODE_CONSTANT)
                throw PellixSyntaxException("Not a proper constant value", "=", equalsLine);
            PellixVariable* variable = nullptr;
            if (scope) {
                variable = newLocal(scope, name, nameLine);
                const int16_t slot = variable->slot;
                *variable = *value->payload;
                variable->slot = slot;
                variable->isGlobal = false;
            } else {
                variable = newValue();
                *variable = *value->payload;
                variable->isGlobal = true;
                globals[name] = variable;
            }
            variable->isConst = true;
            remove(value);
            nameExpected = false;
        } else if (token.type == PellixToken::TK_COMMA) {
            popToken();
            nameExpected = true;
        } else if (token.type == PellixToken::TK_EOL) {
            popToken();
            return;
        } else {
            throw PellixSyntaxException("Syntax error", token.text, token.line);
        }
    }
}

// FUNCTION name [ ( [ param { , param } ] ) ] EOL body END FUNCTION EOL
void PellixScript::parseFUNCTION() {
    PellixToken& nameToken = getToken();
    if (nameToken.type != PellixToken::TK_NAME)
        throw PellixSyntaxException("Syntax error", nameToken.text, nameToken.line);
    const std::string name = nameToken.text;
    const int line = nameToken.line;

    PellixSyntaxNode* function = nullptr;
    auto existing = functions.find(name);
    if (existing != functions.end()) {
        if (existing->second->line != -1)
            throw PellixSyntaxException("Function redefined", name, line);
        // A placeholder made by an earlier call becomes the function, so that call reaches it.
        function = existing->second;
    } else {
        function = newNode(nullptr);
        functions[name] = function;
    }
    function->line = line;
    function->kind = PellixSyntaxNode::NODE_FUNCTION;
    function->function = function;
    function->localCount = 0;
    function->word = name;
    function->variables.clear();
    function->statements.clear();
    function->code = nullptr;
    popToken();

    PellixToken* token = &getToken();
    if (token->type != PellixToken::TK_EOL) {
        if (!token->isOperator("("))
            throw PellixSyntaxException("Syntax error, missing (", token->text, token->line);
        popToken();
        for (token = &getToken(); !token->isOperator(")"); token = &getToken()) {
            if (token->type == PellixToken::TK_COMMA) {
                popToken();
                continue;
            }
            if (token->type != PellixToken::TK_NAME)
                throw PellixSyntaxException("Syntax error, unknown word", token->text, token->line);
            if (function->variables.count(token->text))
                throw PellixSyntaxException("Parameter redefined", token->text, token->line);
            newLocal(function, token->text, token->line);
            popToken();
        }
        popToken();
    }
    endLine();
    function->parameterCount = function->localCount;
    // Text handed to parse comes from no file.
    function->file = &*scriptFiles.insert(filesLoading.empty() ? std::string("script") : filesLoading.back()).first;

    // The result variable: a local named like the function, in the slot after the parameters.
    getVariable(function, name, true);
    parseBody(function);

    PellixToken& closing = getToken();
    if (closing.type != PellixToken::TK_FUNCTION)
        throw PellixSyntaxException("Missing END FUNCTION", closing.text, closing.line);
    popToken();
    endLine();
}

// IMPORT word: loads the file the word names, relative to the working directory (a.b reads a/b.fb).
void PellixScript::parseIMPORT() {
    PellixToken& token = getToken();
    std::string path = token.text;
    const int line = token.line;
    popToken();
    for (char& c : path) {
        if (c == '.')
            c = '/';
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    path += ".fb";

    if (std::find(filesLoading.begin(), filesLoading.end(), path) != filesLoading.end())
        throw PellixSyntaxException("IMPORT of a file that is already being loaded (circular IMPORT)", path, line);
    if (static_cast<int>(filesLoading.size()) > maxImportDepth)
        throw PellixSyntaxException("Imports nested too deeply, the limit is " + std::to_string(maxImportDepth),
                                    path, line);
    if (!load(path))
        throw PellixSyntaxException("Failed to include the file " + path, lastError, line);
}

void PellixScript::endLine() {
    PellixToken& token = getToken();
    if (token.type != PellixToken::TK_EOL)
        throw PellixSyntaxException("Need a new line at", token.text, token.line);
    popToken();
}

PellixVariable* PellixScript::getVariable(PellixSyntaxNode* node, const std::string& name, bool create) {
    PellixSyntaxNode* function = node ? node->function : nullptr;
    if (function) {
        auto local = function->variables.find(name);
        if (local != function->variables.end())
            return local->second;
    }
    auto global = globals.find(name);
    if (global != globals.end())
        return global->second;
    if (!create || !function)
        return nullptr;
    if (functions.count(name) && name != function->word)
        throw PellixSyntaxException("Name conflicts against a function name.", name, 0);
    return newLocal(function, name, 0);
}
