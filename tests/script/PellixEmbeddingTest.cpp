// The surface a host uses: host functions, running and invoking functions, the last error.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "script/PellixStandInHost.h"

namespace {

std::vector<std::string> seenArguments;
size_t seenStackSize = 0;

void recordArguments(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    seenStackSize = stack.size();
    seenArguments.clear();
    for (int index = argc; index > 0; --index)
        seenArguments.push_back(stack[stack.size() - static_cast<size_t>(index)].getString());
    result.setString("host result");
}

PellixScript* reentered = nullptr;

// Calls back into the script from inside a host function.
void callBack(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    PellixVariable argument;
    argument.setInteger(argc > 0 ? stack.back().getInteger() * 10 : -1);
    stack.push_back(argument);
    result = reentered->invokeFunction("TIMESTWO", 1);
    stack.pop_back();
}

// Runs the script function Leaf from inside a host function.
void callLeaf(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    (void)stack;
    (void)argc;
    result = reentered->invokeFunction("LEAF", 0);
}

void failingHost(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    (void)stack;
    (void)result;
    (void)argc;
    throw PellixRuntimeException("host refused", "detail", "HOST", 42);
}

} // namespace

// A text too long for the string's own buffer: it lives on the heap, so a value the machine forgets shows up
// as a leak under the sanitizer build.
void longText(std::vector<PellixVariable>&, PellixVariable& result, int) {
    result.setString(std::string(200, 'x'));
}

TEST(PellixEmbedding, LastErrorTexts) {
    PellixScript script;
    EXPECT_EQ(script.getLastError(), "No error. : ");
    script.setLastError("Failed", "thing", -1);
    EXPECT_EQ(script.getLastError(), "Failed : thing");
    script.setLastError("Syntax error, missing THEN", "PRINT", 12);
    EXPECT_EQ(script.getLastError(), "At line 12 : Syntax error, missing THEN : PRINT");
    script.setLastError("x", "", 0);
    EXPECT_EQ(script.getLastError(), "At line 0 : x : ");
}

TEST(PellixEmbedding, AddFunctionFoldsNamesAndRefusesDuplicates) {
    PellixScript script;
    EXPECT_TRUE(script.addFunction("recordArgs", recordArguments));
    EXPECT_EQ(script.getFunctions().count("RECORDARGS"), 1u);
    EXPECT_TRUE(script.invokeExternal("print", 0));
    EXPECT_FALSE(script.invokeExternal("RecordArgs", 0));
    EXPECT_FALSE(script.addFunction("RECORDARGS", recordArguments));
    EXPECT_EQ(script.getLastError(), "function redefined : RECORDARGS");

    ASSERT_TRUE(script.parse("DIM Shared\nFUNCTION Main\n Later 1\nEND FUNCTION\nFUNCTION Later(X)\nEND FUNCTION\n"));
    EXPECT_FALSE(script.addFunction("shared", recordArguments));
    EXPECT_EQ(script.getLastError(), "function redefined : SHARED");
    EXPECT_FALSE(script.addFunction("Main", recordArguments));

    // Host functions must come before the scripts that call them.
    PellixScript late;
    EXPECT_FALSE(late.parse("FUNCTION Main\n Host 1\nEND FUNCTION\n"));
    EXPECT_EQ(late.getLastError(), "Function not implemented : HOST");
    EXPECT_FALSE(late.addFunction("host", recordArguments));
    EXPECT_EQ(late.getLastError(), "function redefined : HOST");
}

TEST(PellixEmbedding, HostFunctionsSeeTheirArgumentsOnTopOfTheStack) {
    for (PellixScript::Interpreter interpreter : {PellixScript::Compiled, PellixScript::TreeWalking}) {
        PellixScript script;
        script.setInterpreter(interpreter);
        registerTestHostFunctions(script);
        script.addFunction("recordArgs", recordArguments);
        ASSERT_TRUE(script.parse("FUNCTION Main\n A = 5\n X = RecordArgs(\"a\", A + 1, 2.5)\n print X\nEND FUNCTION\n"));
        takePrintedText();
        ASSERT_TRUE(script.run("Main")) << script.getLastError();
        EXPECT_EQ(seenArguments, (std::vector<std::string>{"a", "6", "2.500000"}));
        EXPECT_GE(seenStackSize, 3u + 3u); // Main's frame (A, MAIN, X) lies below the arguments
        EXPECT_EQ(takePrintedText(), "host result");
        EXPECT_TRUE(script.getRuntimeStack()->empty());
    }
}

TEST(PellixEmbedding, HostsInvokeScriptFunctionsWithPushedArguments) {
    for (PellixScript::Interpreter interpreter : {PellixScript::Compiled, PellixScript::TreeWalking}) {
        PellixScript script;
        script.setInterpreter(interpreter);
        registerTestHostFunctions(script);
        ASSERT_TRUE(script.parse("DIM Last\nFUNCTION OnKill(Victim, X, Y)\n Last = Victim\n print Victim, \",\", X, \",\", Y\n"
                                 " OnKill = X + Y\nEND FUNCTION\nFUNCTION Two(A)\n print isNull(A)\nEND FUNCTION\n"
                                 "FUNCTION Broken\n X = 1 / 0\nEND FUNCTION\n"));
        takePrintedText();
        std::vector<PellixVariable>& stack = *script.getRuntimeStack();
        for (int value : {7, 100, 200}) {
            PellixVariable argument;
            argument.setInteger(value);
            stack.push_back(argument);
        }
        const PellixVariable result = script.invokeFunction("ONKILL", 3);
        EXPECT_EQ(result.getInteger(), 300);
        EXPECT_EQ(stack.size(), 3u) << "the host pops its own arguments";
        stack.clear();
        EXPECT_EQ(takePrintedText(), "7,100,200");

        // Fewer arguments than parameters: the rest are undefined. More than the frame: an exception.
        EXPECT_EQ(script.invokeFunction("TWO", 0).type, PellixVariable::Undefined);
        EXPECT_EQ(takePrintedText(), "1");
        stack.resize(3);
        try {
            script.invokeFunction("TWO", 3);
            FAIL() << "three arguments do not fit a frame of two";
        } catch (const PellixRuntimeException& exception) {
            EXPECT_EQ(exception.getError(), "Too many parameters");
            EXPECT_EQ(exception.getFunction(), "TWO");
            EXPECT_EQ(exception.getLine(), 0);
        }
        EXPECT_EQ(stack.size(), 3u);
        try {
            script.invokeFunction("ONPRESENT", 3);
            FAIL() << "no such handler";
        } catch (const PellixRuntimeException& exception) {
            EXPECT_EQ(exception.getFunction() + "(" + std::to_string(exception.getLine()) + "): " +
                          exception.getError() + " : " + exception.getDetail(),
                      "ONPRESENT(0): Function not found : ONPRESENT");
        }
        // A failing function leaves the stack as the host had it.
        EXPECT_THROW(script.invokeFunction("BROKEN", 3), PellixRuntimeException);
        EXPECT_EQ(stack.size(), 3u);
        stack.clear();
        EXPECT_THROW(script.invokeFunction("TWO", 1), PellixRuntimeException) << "no value to take as argument";
        EXPECT_TRUE(stack.empty());
        EXPECT_TRUE(script.run("Broken") == false);
        EXPECT_EQ(script.getLastError(), "At line 11 : BROKEN: Division by zero : /");
        EXPECT_TRUE(stack.empty());
        // The engine keeps working after errors.
        stack.resize(1);
        stack[0].setString("again");
        script.invokeFunction("ONKILL", 1);
        stack.clear();
        EXPECT_EQ(takePrintedText(), "again,undefined,undefined");
    }
}

TEST(PellixEmbedding, HostFunctionsMayCallBackIntoTheEngine) {
    for (PellixScript::Interpreter interpreter : {PellixScript::Compiled, PellixScript::TreeWalking}) {
        PellixScript script;
        script.setInterpreter(interpreter);
        registerTestHostFunctions(script);
        script.addFunction("callBack", callBack);
        script.addFunction("fail", failingHost);
        reentered = &script;
        ASSERT_TRUE(script.parse("FUNCTION TimesTwo(N)\n TimesTwo = N * 2\nEND FUNCTION\n"
                                 "FUNCTION Main\n A = 1\n print CallBack(3), A\nEND FUNCTION\n"
                                 "FUNCTION Refused\n fail\nEND FUNCTION\n"));
        takePrintedText();
        ASSERT_TRUE(script.run("Main")) << script.getLastError();
        EXPECT_EQ(takePrintedText(), "601");
        // A host exception that is the engine's own type ends the run like any run-time error.
        EXPECT_FALSE(script.run("Refused"));
        EXPECT_EQ(script.getLastError(), "At line 42 : HOST: host refused : detail");
        EXPECT_TRUE(script.getRuntimeStack()->empty());
        reentered = nullptr;
    }
}

TEST(PellixEmbedding, HostArgumentsNeverReadBelowTheCall) {
    std::vector<PellixVariable> stack(3);
    stack[0].setString("other frame");
    stack[1].setInteger(1);
    stack[2].setInteger(2);
    // A host function of three arguments called with two: the missing first one is undefined, not the value
    // of another frame below.
    EXPECT_EQ(PellixScript::hostArgument(stack, 2, 1).getInteger(), 2);
    EXPECT_EQ(PellixScript::hostArgument(stack, 2, 2).getInteger(), 1);
    EXPECT_EQ(PellixScript::hostArgument(stack, 2, 3).type, PellixVariable::Undefined);
    EXPECT_EQ(PellixScript::hostArgument(stack, 0, 1).type, PellixVariable::Undefined);
    EXPECT_EQ(PellixScript::hostArgument(stack, 5, 4).type, PellixVariable::Undefined);
    std::vector<PellixVariable> empty;
    EXPECT_EQ(PellixScript::hostArgument(empty, 1, 1).type, PellixVariable::Undefined);
}

TEST(PellixEmbedding, EntryFunctionWithoutResultRuns) {
    const ScriptOutcome outcome = runBoth("FUNCTION Main\n X = 1\nEND FUNCTION\n", "main");
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.error, "");
    PellixScript script;
    ASSERT_TRUE(script.parse("FUNCTION Main\nEND FUNCTION\n"));
    EXPECT_FALSE(script.run("Nothing"));
    EXPECT_EQ(script.getLastError(), "At line 0 : NOTHING: Function not found : NOTHING");
    EXPECT_TRUE(script.run("MAIN"));
}

TEST(PellixEmbedding, AllArgumentsUndefinedLooksOnlyAtTheCallsArguments) {
    std::vector<PellixVariable> stack(3);
    stack[0].setInteger(7);  // below the call: not an argument
    EXPECT_TRUE(PellixScript::allArgumentsUndefined(stack, 2));
    EXPECT_TRUE(PellixScript::allArgumentsUndefined(stack, 0));
    EXPECT_FALSE(PellixScript::allArgumentsUndefined(stack, 3));
    // A count beyond the stack never reads below it.
    EXPECT_FALSE(PellixScript::allArgumentsUndefined(stack, 50));
    std::vector<PellixVariable> empty;
    EXPECT_TRUE(PellixScript::allArgumentsUndefined(empty, 5));
}

TEST(PellixEmbedding, StandInPrintWritesOnlyTheArgumentsUpToItsLimit) {
    std::vector<PellixVariable> stack(4);
    stack[0].setString("below"); // not an argument
    stack[1].setInteger(12);
    stack[2].setString("ab");
    stack[3].setFloat(0.5f);
    PellixVariable result;
    std::string output;
    PellixStandInHost::printTo(&output);
    PellixStandInHost::print(stack, result, 3);
    EXPECT_EQ(output, "12ab0.500000");
    EXPECT_EQ(result.type, PellixVariable::Undefined);
    // A count beyond the stack prints what there is and nothing from below it.
    output.clear();
    PellixStandInHost::print(stack, result, 50);
    EXPECT_EQ(output, "below12ab0.500000");
    std::string limited = "xyz";
    PellixStandInHost::printTo(&limited, 6);
    PellixStandInHost::print(stack, result, 3);
    PellixStandInHost::print(stack, result, 1);
    EXPECT_EQ(limited, "xyz12a");
    PellixStandInHost::printTo(nullptr);

    PellixStandInHost::isNull(stack, result, 0);
    EXPECT_EQ(result.getInteger(), 1);
    PellixStandInHost::isNull(stack, result, 1);
    EXPECT_EQ(result.getInteger(), 0);
}

TEST(PellixEmbedding, CallsThroughAHostFunctionCountTowardsTheCallLimit) {
    // Main is call 1 and Down(K) call 2; the recursion reaches N = 0 at call K + 2, whose host function runs
    // Leaf as call K + 3, and Leaf's call of Tip is one more: at K = 9997 that is past the limit of 10000.
    // The compiled interpreter only: the tree walker stops far earlier at its own recursion limit.
    const std::string text = "FUNCTION Down(N)\n IF N > 0 THEN\n  Down = Up(N - 1)\n ELSE\n  Down = CallLeaf()\n"
                             " END IF\nEND FUNCTION\n"
                             "FUNCTION Up(N)\n IF N > 0 THEN\n  Up = Down(N - 1)\n ELSE\n  Up = CallLeaf()\n"
                             " END IF\nEND FUNCTION\n"
                             "FUNCTION Leaf\n Leaf = Tip()\nEND FUNCTION\n"
                             "FUNCTION Tip\n Tip = 5\nEND FUNCTION\n"
                             "FUNCTION Fits\n print Down(9996)\nEND FUNCTION\n"
                             "FUNCTION TooDeep\n print Down(9997)\nEND FUNCTION\n";
    PellixScript script;
    registerTestHostFunctions(script);
    script.addFunction("callLeaf", callLeaf);
    reentered = &script;
    ASSERT_TRUE(script.parse(text)) << script.getLastError();
    takePrintedText();
    ASSERT_TRUE(script.run("Fits")) << script.getLastError();
    EXPECT_EQ(takePrintedText(), "5");
    EXPECT_FALSE(script.run("TooDeep"));
    EXPECT_EQ(script.getLastError(), "At line 16 : LEAF: Calls nested too deeply, the limit is 10000 : TIP");
    // The count is back where it was: the same depth fits again.
    ASSERT_TRUE(script.run("Fits")) << script.getLastError();
    EXPECT_EQ(takePrintedText(), "5");
    reentered = nullptr;
}

TEST(PellixEmbedding, HostResultsReplaceLongTextsWithoutLosingThem) {
    for (PellixScript::Interpreter interpreter : {PellixScript::Compiled, PellixScript::TreeWalking}) {
        PellixScript script;
        script.setInterpreter(interpreter);
        registerTestHostFunctions(script);
        ASSERT_TRUE(script.addFunction("LongText", longText));
        // Each call's result takes the place of the text before it, which must be freed, not dropped.
        ASSERT_TRUE(script.parse("FUNCTION Main\n S = \"\"\n FOR I = 1 TO 3\n  S = LongText() + I\n"
                                 "  T = LongText()\n NEXT\n print S, T\nEND FUNCTION\n"));
        takePrintedText();
        ASSERT_TRUE(script.run("Main")) << script.getLastError();
        EXPECT_EQ(takePrintedText(), std::string(200, 'x') + "3" + std::string(200, 'x'));
    }
}
