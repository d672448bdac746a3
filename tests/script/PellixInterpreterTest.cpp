// Running scripts: operators by type, frames and calls, results, globals, and the interpreters' own errors.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

namespace {

std::string printed(const std::string& expression, const std::string& setup = "") {
    const ScriptOutcome outcome = runBoth("FUNCTION Main\n" + setup + " print " + expression + "\nEND FUNCTION\n");
    EXPECT_TRUE(outcome.loaded && outcome.ran) << expression << ": " << outcome.error;
    return outcome.output;
}

std::string runError(const std::string& body, const std::string& more = "") {
    const ScriptOutcome outcome = runBoth("FUNCTION Main\n" + body + "END FUNCTION\n" + more);
    EXPECT_TRUE(outcome.loaded) << outcome.error;
    EXPECT_FALSE(outcome.ran);
    return outcome.error;
}

} // namespace

TEST(PellixInterpreter, ArithmeticByTypeOfTheLeftOperand) {
    EXPECT_EQ(printed("7 / 2, \" \", -7 / 2, \" \", 7.0 / 2, \" \", -7 MOD 2, \" \", 7 MOD -2"), "3 -3 3.500000 -1 1");
    EXPECT_EQ(printed("1 + 2.5, \" \", 2.5 + 1, \" \", 2.5 * 2, \" \", 3 * 2.9, \" \", 0.5 - 1"),
              "3 3.500000 5.000000 6 -0.500000");
    EXPECT_EQ(printed("\"A\" + 1, \" \", 1 + \"2\", \" \", 1 + \"A\", \" \", \"x\" + 2.5, \" \", \"n\" + U",
                      " DIM U\n"),
              "A1 3 1 x2.500000 nundefined");
    EXPECT_EQ(printed("\"6\" * 7, \" \", \"9\" - \"4\", \" \", \"8\" / 2"), "42 5 4");
    // An undefined left operand gives an undefined result; on the right it reads as 0 or NaN.
    EXPECT_EQ(printed("U + 1, \" \", U * 2, \" \", U < 1, \" \", 1 + U, \" \", 1.5 + U, \" \", U = 0", " DIM U\n"),
              "undefined undefined undefined 1 nan 1");
    EXPECT_EQ(printed("1 AND 2, \" \", 1 OR 2, \" \", 5 XOR 3, \" \", NOT 5, \" \", NOT 0, \" \", 6.9 AND 3"),
              "0 3 6 0 1 2");
}

TEST(PellixInterpreter, ComparisonsByType) {
    EXPECT_EQ(printed("1.5 = 1.2, \" \", 1.5 > 1.2, \" \", 1.5 < 2, \" \", 1 > 1.5"), "1 1.000000 1.000000 0");
    EXPECT_EQ(printed("\"1\" = 1, \" \", \"1.0\" = 1, \" \", 1 = \"1\", \" \", \"a\" <> \"A\", \" \", \"b\" = \"b\""),
              "1 0 1 1 1");
    // Ordering compares integers, also for strings: "10" < "9" is 10 < 9.
    EXPECT_EQ(printed("\"10\" < \"9\", \" \", \"abc\" <= 0, \" \", 3 >= 3, \" \", 2 <> 2.5"), "0 1 1 0");
    EXPECT_EQ(printed("N < 1, \" \", N = N", " N = 0.0 / 0.0\n"), "0.000000 1");
}

TEST(PellixInterpreter, IntegerEdgesAreDefined) {
    EXPECT_EQ(printed("2147483647 + 1, \" \", 0 - 2147483647 - 2, \" \", 65536 * 65536, \" \", 46341 * 46341"),
              "-2147483648 2147483647 0 -2147479015");
    EXPECT_EQ(printed("M MOD -1, \" \", M / 1, \" \", M / 2", " M = -2147483647 - 1\n"), "0 -2147483648 -1073741824");
    EXPECT_EQ(printed("0 + 3000000000.0, \" \", 0 + N, \" \", 0 - I, \" \", 0.0 - I",
                      " N = 0.0 / 0.0\n I = 1.0 / 0.0\n"),
              "2147483647 0 -2147483647 -inf");
    EXPECT_EQ(printed("340282346638528859811704183484516925440.0"),
              "340282346638528859811704183484516925440.000000");
    EXPECT_EQ(printed("99999999999"), "2147483647");
}

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
    // Float division by zero follows IEEE arithmetic.
    EXPECT_EQ(printed("1.0 / 0, \" \", (0.0 - 1) / 0"), "inf -inf");
}

TEST(PellixInterpreter, FramesCallsAndResults) {
    const std::string functions = "FUNCTION Pair(A, B)\n Pair = \"\" + A + \"/\" + B\nEND FUNCTION\n"
                                  "FUNCTION Nothing\nEND FUNCTION\n"
                                  "FUNCTION Swap(A, B)\n T = A\n A = B\n B = T\n Swap = A\nEND FUNCTION\n"
                                  "FUNCTION IsEven(N)\n IF N = 0 THEN\n  IsEven = 1\n ELSE\n  IsEven = IsOdd(N - 1)\n"
                                  " END IF\nEND FUNCTION\n"
                                  "FUNCTION IsOdd(N)\n IF N = 0 THEN\n  IsOdd = 0\n ELSE\n  IsOdd = IsEven(N - 1)\n"
                                  " END IF\nEND FUNCTION\n";
    auto run = [&](const std::string& body) {
        const ScriptOutcome outcome = runBoth("FUNCTION Main\n" + body + "END FUNCTION\n" + functions);
        EXPECT_TRUE(outcome.ran) << outcome.error;
        return outcome.output;
    };
    EXPECT_EQ(run(" print Pair(1, 2), \" \", Pair(\"x\")\n"), "1/2 x/undefined");
    EXPECT_EQ(run(" print Nothing(), \" \", isNull(Nothing())\n"), "undefined 1");
    // Arguments are copies: the callee's changes stay in its frame.
    EXPECT_EQ(run(" A = 1, B = 2\n print Swap(A, B), A, B\n"), "212");
    EXPECT_EQ(run(" print IsEven(10), IsEven(7), IsOdd(7)\n"), "101");
    // A surplus argument within the frame initialises the result slot.
    EXPECT_EQ(run(" print Pair(1, 2, 3)\n"), "1/2");
    EXPECT_EQ(runError(" print Pair(1, 2, 3, 4)\n", functions), "At line 0 : PAIR: Too many parameters : PAIR");
}

TEST(PellixInterpreter, OperandsAreCopiedBeforeCallsOnTheRight) {
    const std::string globals = "DIM G\nFUNCTION Bump\n G = G + 10\n Bump = 1\nEND FUNCTION\n";
    auto run = [&](const std::string& body) {
        const ScriptOutcome outcome = runBoth(globals + "FUNCTION Main\n G = 1\n" + body + "END FUNCTION\n");
        EXPECT_TRUE(outcome.ran) << outcome.error;
        return outcome.output;
    };
    EXPECT_EQ(run(" X = G + Bump()\n print X, \" \", G\n"), "2 11");
    EXPECT_EQ(run(" X = Bump() + G\n print X\n"), "12");
    EXPECT_EQ(run(" G = G + Bump()\n print G\n"), "2");
    EXPECT_EQ(run(" print G, Bump(), G\n"), "1111");
    EXPECT_EQ(run(" IF G = Bump() THEN\n  print \"same\"\n END IF\n print G\n"), "same11");
    // Both operands are evaluated: no short cut.
    EXPECT_EQ(run(" X = 0 AND Bump()\n print G\n"), "11");
    // The same for strings, which the compiled interpreter otherwise reads in place.
    EXPECT_EQ(runBoth("DIM S\nFUNCTION Change\n S = \"changed\"\nEND FUNCTION\n"
                      "FUNCTION Main\n S = \"kept\"\n print S + Change()\nEND FUNCTION\n")
                  .output,
              "keptundefined");
}

TEST(PellixInterpreter, AVariableAssignedToItselfKeepsItsValue) {
    // Locals and a global of every type, strings long enough to live outside the short-string buffer.
    const ScriptOutcome outcome = runBoth(
        "DIM G\nFUNCTION Main\n G = \"a global text well past any short-string buffer\"\n G = G\n"
        " S = \"a local text, also longer than a short-string buffer holds\"\n S = S\n"
        " N = 42\n N = N\n F = 1.5\n F = F\n U = U\n"
        " print G, \"|\", S, \"|\", N, \"|\", F, \"|\", U\nEND FUNCTION\n");
    ASSERT_TRUE(outcome.ran) << outcome.error;
    EXPECT_EQ(outcome.output, "a global text well past any short-string buffer|"
                              "a local text, also longer than a short-string buffer holds|42|1.500000|undefined");
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

// The compiled interpreter takes short cuts (a fused FOR step, text appended in place, SELECT by table);
// each must mean exactly what the plain tree walk means.
TEST(PellixInterpreter, CompiledShortcutsMeanTheSame) {
    auto both = [](const std::string& text) {
        const ScriptOutcome outcome = runBoth(text);
        EXPECT_TRUE(outcome.ran) << outcome.error;
        return outcome.output;
    };
    // A step and a limit that change inside the loop are read again on every pass.
    EXPECT_EQ(both("FUNCTION Main\n S = 1, L = 40\n FOR I = 1 TO L STEP S\n  print I, \" \"\n  S = S * 2\n"
                   "  L = L - 10\n NEXT\n print I\nEND FUNCTION\n"),
              "1 3 7 15");
    EXPECT_EQ(both("FUNCTION Main\n I = 1\n DO WHILE I <= 3\n  print I\n  I = I + 1\n LOOP\nEND FUNCTION\n"), "123");
    EXPECT_EQ(both("FUNCTION Main\n FOR I = 3 TO 1 STEP -1\n  print I\n NEXT\n FOR S = \"1\" TO 3\n  print S, \",\"\n"
                   " NEXT\nEND FUNCTION\n"),
              "3211,");
    EXPECT_EQ(both("DIM G\nFUNCTION Main\n FOR G = 1 TO 3\n NEXT\n print G\nEND FUNCTION\n"), "4");

    // Appending in place, and the cases that must not.
    EXPECT_EQ(both("FUNCTION Main\n S = \"a\"\n FOR I = 1 TO 3\n  S = S + \"-\" + I * 2 + \".\"\n NEXT\n print S\n"
                   "END FUNCTION\n"),
              "a-2.-4.-6.");
    EXPECT_EQ(both("FUNCTION Main\n S = \"ab\"\n S = S + \"x\" + S\n print S\nEND FUNCTION\n"), "abxab");
    EXPECT_EQ(both("FUNCTION Main\n S = 5\n S = S + \"x\" + 1\n print S\nEND FUNCTION\n"), "6");
    EXPECT_EQ(both("FUNCTION Main\n DIM S\n S = S + \"x\" + 1\n print S\nEND FUNCTION\n"), "undefined");
    EXPECT_EQ(both("FUNCTION Main\n DIM U\n S = \"n=\"\n S = S + 7 / 2 + \"|\" + 2.5 + U\n print S\nEND FUNCTION\n"),
              "n=3|2.500000undefined");
    EXPECT_EQ(both("DIM T\nFUNCTION Main\n T = \"g\"\n T = T + 1 + 2\n print T\nEND FUNCTION\n"), "g12");

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
