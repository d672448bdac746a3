// Running scripts: globals across runs and the interpreters' own errors. What operators, calls and the
// compiled short cuts compute is in cases/interpreter_*.fb.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

namespace {

std::string runError(const std::string& body, const std::string& more = "") {
    const ScriptOutcome outcome = runBoth("FUNCTION Main\n" + body + "END FUNCTION\n" + more);
    EXPECT_TRUE(outcome.loaded) << outcome.error;
    EXPECT_FALSE(outcome.ran);
    return outcome.error;
}

} // namespace

TEST(PellixInterpreter, DivisionByZeroIsARuntimeError) {
    EXPECT_EQ(runError(" X = 1\n Y = X / 0\n"), "At line 3 : MAIN: Division by zero : /");
    EXPECT_EQ(runError(" X = 0\n print 5 MOD X\n"), "At line 3 : MAIN: Division by zero : MOD");
    EXPECT_EQ(runError(" print 7 / 0.5\n"), "At line 2 : MAIN: Division by zero : /");
    EXPECT_EQ(runError(" M = -2147483647 - 1\n print M / -1\n"),
              "At line 3 : MAIN: Integer overflow: -2147483648 divided by -1 : /");
    EXPECT_EQ(runError(" Helper 0\n", "FUNCTION Helper(D)\n\n IF 1 / D THEN\n END IF\nEND FUNCTION\n"),
              "At line 6 : HELPER: Division by zero : /");
    EXPECT_EQ(runError(" FOR I = 1 TO 10 / 0\n NEXT\n"), "At line 2 : MAIN: Division by zero : /");
    EXPECT_EQ(runError(" SELECT CASE 1 MOD 0\n CASE 1\n END SELECT\n"), "At line 2 : MAIN: Division by zero : MOD");
}

TEST(PellixInterpreter, GlobalsPersistAcrossRuns) {
    for (PellixScript::Interpreter interpreter : {PellixScript::Compiled, PellixScript::TreeWalking}) {
        PellixScript script;
        script.setInterpreter(interpreter);
        registerTestHostFunctions(script);
        ASSERT_TRUE(script.parse("DIM Count\nFUNCTION Tick\n Count = Count + 1\n L = L + 1\n print Count, L\n"
                                 "END FUNCTION\n"));
        takePrintedText();
        ASSERT_TRUE(script.run("Tick"));
        ASSERT_TRUE(script.run("tick"));
        // Count was undefined: undefined + 1 stays undefined until it is set.
        EXPECT_EQ(takePrintedText(), "undefinedundefinedundefinedundefined");
        ASSERT_TRUE(script.parse("FUNCTION Start\n Count = 0\nEND FUNCTION\n"));
        ASSERT_TRUE(script.run("Start"));
        ASSERT_TRUE(script.run("Tick"));
        ASSERT_TRUE(script.run("Tick"));
        // Locals start undefined on every call.
        EXPECT_EQ(takePrintedText(), "1undefined2undefined");
    }
}

TEST(PellixInterpreter, MissingStorageAndMalformedTrees) {
    for (PellixScript::Interpreter interpreter : {PellixScript::Compiled, PellixScript::TreeWalking}) {
        PellixScript script;
        script.setInterpreter(interpreter);
        // The failed load leaves the placeholder G, which has no result variable.
        EXPECT_FALSE(script.parse("FUNCTION Main\n G\nEND FUNCTION\n"));
        EXPECT_FALSE(script.run("G"));
        EXPECT_EQ(script.getLastError(), "G: variable not found : G");
        EXPECT_FALSE(script.run("Main"));
        EXPECT_EQ(script.getLastError(), "G: variable not found : G");
        EXPECT_FALSE(script.run("Missing"));
        EXPECT_EQ(script.getLastError(), "At line 0 : MISSING: Function not found : MISSING");
    }

    // Statements and expressions in the wrong place.
    PellixScript script;
    ASSERT_TRUE(script.parse("FUNCTION Main\n X = 1\n IF X THEN\n END IF\nEND FUNCTION\n"));
    PellixSyntaxNode* main = script.getFunctions().at("MAIN");
    PellixSyntaxNode* assignment = main->statements.at(0);
    PellixSyntaxNode* test = main->statements.at(1);
    try {
        script.interpret(assignment->expr);
        FAIL() << "a constant is no statement";
    } catch (const PellixRuntimeException& exception) {
        EXPECT_EQ(exception.getError(), "Unknown syntax");
    }
    try {
        script.evaluate(test);
        FAIL() << "an IF has no value";
    } catch (const PellixRuntimeException& exception) {
        EXPECT_EQ(exception.getError(), "evaluate noneval sentence");
        EXPECT_EQ(exception.getLine(), 3);
    }
    EXPECT_EQ(script.interpret(main), PellixScript::FLOW_NORMAL);
}

// What the compiled interpreter's short cuts mean is in cases/interpreter_compiled_shortcuts.fb; appending in
// place must also leave a text that would pass its limit as it was.
TEST(PellixInterpreter, AppendPastTheLimitKeepsTheText) {
    // When the text would pass its limit the variable keeps its old text.
    const std::string nearLimit =
        "DIM S, Copy\nFUNCTION Fill\n S = \"x\"\n DO WHILE 1\n  S = S + S\n LOOP\nEND FUNCTION\n"
        "FUNCTION Trim\n Copy = S\nEND FUNCTION\n"
        "FUNCTION Grow\n S = S + \"a\" + \"b\"\nEND FUNCTION\n"
        "FUNCTION Check\n print S = Copy\nEND FUNCTION\n";
    for (PellixScript::Interpreter interpreter : {PellixScript::Compiled, PellixScript::TreeWalking}) {
        PellixScript script;
        script.setInterpreter(interpreter);
        registerTestHostFunctions(script);
        ASSERT_TRUE(script.parse(nearLimit)) << script.getLastError();
        EXPECT_FALSE(script.run("Fill")); // S stops at 2^24 characters, exactly the limit
        ASSERT_TRUE(script.run("Trim"));
        EXPECT_FALSE(script.run("Grow"));
        EXPECT_EQ(script.getLastError(), "At line 12 : GROW: String too long, the limit is 16777216 characters : +");
        takePrintedText();
        ASSERT_TRUE(script.run("Check"));
        EXPECT_EQ(takePrintedText(), "1");
    }
}
