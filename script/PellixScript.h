#pragma once

#include <atomic>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "script/PellixHostFunction.h"
#include "script/PellixMachine.h"
#include "script/PellixPool.h"
#include "script/PellixRuntimeException.h"
#include "script/PellixStepBudget.h"
#include "script/PellixSyntaxException.h"
#include "script/PellixSyntaxNode.h"
#include "script/PellixToken.h"
#include "script/PellixVariable.h"

struct PellixFunctionCode;

// The Pellix engine: a host registers its functions, loads script files and runs script functions by name.
// load, run and addFunction report failure by their result and a one-line last error; invokeFunction throws
// PellixRuntimeException. Not safe for two threads at once (except the stop request); host functions run on
// the caller's thread.
//
// The source is split by phase: PellixScriptLexer.cpp, PellixScriptParser.cpp (top level and declarations),
// PellixScriptExpression.cpp, PellixScriptStatements.cpp, PellixScriptWalker.cpp (the tree-walking
// interpreter) and PellixScript.cpp (the embedding); the compiled interpreter is a PellixMachine of its own.
class PellixScript {
public:
    // Which interpreter runs functions: the compiled one (the default) or the tree walker, which runs the
    // syntax tree exactly as parsed and serves as the reference that the compiled one is checked against.
    enum Interpreter { Compiled, TreeWalking };

    // Flow codes by which a statement reports how control leaves it.
    enum Flow : int { FLOW_NORMAL = 0, FLOW_EXIT_SELECT = 1, FLOW_EXIT_LOOP = 2, FLOW_EXIT_FUNCTION = 5 };

    // Limits on what input can make the engine nest; each past-the-limit error names the limit.
    static constexpr int maxBlockDepth = 200;       // nested IF, FOR, DO, WHILE and SELECT blocks
    static constexpr int maxExpressionDepth = 500;  // height of an expression tree, nested call arguments
    static constexpr int maxCallDepth = 10000;      // script function calls in progress at once
    static constexpr int maxHostReentry = 100;      // host functions calling back into the engine
    static constexpr int maxImportDepth = 16;       // files importing files
    static constexpr int maxLocals = 32767;         // local slots of one function
    static constexpr size_t maxStackSize = 1u << 20; // values on the run-time stack
    static constexpr int maxWalkerDepth = 3000;     // native recursion of the tree walker, in nodes
    static constexpr size_t maxWalkerStack = 1u << 20; // and in bytes of native stack
    static constexpr size_t maxFileSize = 1u << 20;    // bytes of one script file

    PellixScript();
    ~PellixScript();
    PellixScript(const PellixScript&) = delete;
    PellixScript& operator=(const PellixScript&) = delete;

    // --- Embedding ---
    bool addFunction(std::string name, PellixHostFunction function);
    bool load(std::string fileName);
    bool run(std::string name);
    std::string getLastError() const;
    void setLastError(std::string error, std::string detail, int line);
    // Runs the function of that (upper-case) name with the top argc stack entries as its arguments, which the
    // caller pushes before and pops after. On an exception the stack is restored to what it was on entry.
    PellixVariable invokeFunction(std::string name, int argc);
    std::vector<PellixVariable>* getRuntimeStack();
    static void toUpperString(std::string& text);
    // True when no function of that name is registered.
    bool invokeExternal(std::string name, int argc);
    // For host functions that take their arguments by position from the top of the stack: the argument
    // positionFromTop places below the top (1 is the last argument), or an undefined value when the call
    // passed fewer arguments, so that a short call never reads below the stack or into another frame.
    static PellixVariable hostArgument(const std::vector<PellixVariable>& stack, int argc, int positionFromTop);
    // Whether every argument of a host call is undefined (also with none): what "isNull" answers.
    static bool allArgumentsUndefined(const std::vector<PellixVariable>& stack, int argc);

    // Asks a running script to end, from any thread: both interpreters look at the request on every backward
    // jump and every script function call, and end with a "Script stopped" PellixRuntimeException. Until it is
    // cleared, every later run and invokeFunction fails at once the same way.
    // The parameters the script function of that (upper-case) name declares; -1 when there is no such function.
    int parameterCount(const std::string& name) const;
    // For a host function while it runs: where the script called it, as "FILE:LINE" ("host" when the host
    // itself called it). A stop requested during a host call ends the script as soon as the call returns.
    std::string describeHostCallPlace() const;
    void requestStop() { stopRequested.store(true, std::memory_order_relaxed); }
    void clearStopRequest() { stopRequested.store(false, std::memory_order_relaxed); }
    bool isStopRequested() const { return stopRequested.load(std::memory_order_relaxed); }

    void setInterpreter(Interpreter interpreter) { this->interpreter = interpreter; }
    Interpreter getInterpreter() const { return interpreter; }
    const std::map<std::string, PellixSyntaxNode*>& getFunctions() const { return functions; }
    const std::map<std::string, PellixVariable*>& getGlobals() const { return globals; }
    // What the compiled interpreter runs for the script function of that name, compiled now if need be; null
    // when there is no such script function. For tools that show it (pellix dump).
    const PellixFunctionCode* compiledCode(std::string name);

    // --- Lexer ---
    bool parse(std::string text);
    // Tokenizes text into queue (for tools and tests; parse uses it). False after an unclosed string or at a NUL
    // byte, with the last error set.
    bool scan(const std::string& text, std::deque<PellixToken>& queue);
    void addToken(int line, std::string text);
    PellixToken& getToken();
    void popToken();
    void pushToken(PellixToken token);

    // --- Top level and declarations ---
    bool parseSyntax();
    void parseDIM(PellixSyntaxNode* scope);
    void parseCONST(PellixSyntaxNode* scope);
    void parseFUNCTION();
    void parseIMPORT();
    void endLine();
    PellixVariable* getVariable(PellixSyntaxNode* node, const std::string& name, bool create);

    // --- Expressions ---
    PellixSyntaxNode* parseExpression(PellixSyntaxNode* parent);
    static int getOperatorPriority(const std::string& op);
    PellixSyntaxNode* buildOperation(const std::string& op, std::vector<PellixSyntaxNode*>& operands, int line);
    void parseCALL(PellixSyntaxNode* call);

    // --- Statements ---
    void parseBody(PellixSyntaxNode* block);

    // --- Tree-walking interpreter ---
    PellixVariable call(PellixSyntaxNode* callNode);
    int interpret(PellixSyntaxNode* node);
    PellixVariable evaluate(PellixSyntaxNode* node);
    PellixVariable& getRuntimeVar(PellixSyntaxNode* node, const std::string& name);
    void remove(PellixSyntaxNode* node);

private:
    // Node and value storage: everything the parser makes lives until the engine dies, except what remove
    // releases.
    PellixSyntaxNode* newNode(PellixSyntaxNode* parent);
    PellixSyntaxNode* newStatement(PellixSyntaxNode* parent, int line, std::string word);
    PellixSyntaxNode* newIntegerConstant(PellixSyntaxNode* parent, int value);
    PellixSyntaxNode* newOperation(PellixSyntaxNode* parent, int code, PellixSyntaxNode* left,
                                   PellixSyntaxNode* right, int line);
    PellixSyntaxNode* copyNode(const PellixSyntaxNode* node);
    void deleteNode(PellixSyntaxNode* node);
    PellixVariable* newValue();
    void deleteValue(PellixVariable* value);
    PellixVariable* newLocal(PellixSyntaxNode* scope, const std::string& name, int line);
    void appendStatement(PellixSyntaxNode* block, PellixSyntaxNode* statement);
    void checkDepth(PellixSyntaxNode* node, int line);
    // addToken without the string: the lexer passes runs of the text.
    void addWord(int line, const char* text, size_t length);

    // Statement parsers, each consuming its statement up to (not including) the closing line end.
    PellixSyntaxNode* parseIF(PellixSyntaxNode* block);
    PellixSyntaxNode* parseFOR(PellixSyntaxNode* block);
    PellixSyntaxNode* parseEXIT(PellixSyntaxNode* block);
    PellixSyntaxNode* parseDO(PellixSyntaxNode* block);
    PellixSyntaxNode* parseWHILE(PellixSyntaxNode* block);
    PellixSyntaxNode* parseSELECT(PellixSyntaxNode* block);
    PellixSyntaxNode* parseNameStatement(PellixSyntaxNode* block);

    // The function a call by name reaches, checked for argc arguments: a host function
    // (its result already in hostResult) or a script function still to be run.
    PellixSyntaxNode* findCallee(const std::string& name, int argc, PellixVariable& hostResult);

    // Tree walker.
    PellixVariable invokeWalking(const std::string& name, int argc);
    void pushStackValue(PellixVariable value);
    void checkWalkerDepth(const PellixSyntaxNode* node);

    [[noreturn]] void throwRuntime(const std::string& error, const std::string& detail) const;
    // Cheap enough for the hot paths: the message is built only when the script is stopped.
    void checkStop(const std::string& function, int line) const {
        if (stopRequested.load(std::memory_order_relaxed))
            PellixRuntimeException::throwStopped(function, line);
    }

    std::deque<PellixToken>* tokens = nullptr;
    std::map<std::string, PellixSyntaxNode*> functions;
    std::map<std::string, PellixVariable*> globals;
    std::string lastError;
    std::vector<PellixVariable> runtimeStack;

    Interpreter interpreter = Compiled;
    PellixPool<PellixSyntaxNode> nodes;
    PellixPool<PellixVariable> values;
    std::vector<std::string> filesLoading;
    // Every file a function came from, for saying where a host call was made; a set keeps each name put.
    std::set<std::string> scriptFiles;

    int blockDepth = 0;
    int expressionNesting = 0;
    // The operator and operand stacks of parseExpression, one set for each level of nesting (a deque, so that a
    // deeper level added does not move the ones in use).
    struct ExpressionScratch {
        std::vector<std::string> operators;
        std::vector<PellixSyntaxNode*> operands;
        std::vector<bool> savedFlags;
        std::vector<int> savedCounts;
    };
    std::deque<ExpressionScratch> expressionScratch;
    int callDepth = 0;
    int hostReentry = 0;
    int walkerDepth = 0;
    const char* walkerStackBase = nullptr;
    PellixStepBudget stepBudget;
    // Relaxed is enough: the flag guards no other data, and a stop seen a few jumps late is still in time.
    std::atomic<bool> stopRequested{false};
    // Where the tree walker is, for the errors the engine adds of its own (division by zero, limits).
    const PellixSyntaxNode* currentFunction = nullptr;
    int currentLine = 0;

    PellixCallPlace hostCallPlace;

    // Declared last: it keeps references to the members above.
    PellixMachine machine{{runtimeStack, callDepth, stopRequested, stepBudget, functions, globals, hostCallPlace}};
};
