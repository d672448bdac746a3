// Which form each instruction of the compiled interpreter runs in. A form without type tests is only right
// where the type holds on every path; what the forms compute is checked against the tree walker in
// cases/interpreter_known_types.fb.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/PellixFunctionCode.h"
#include "script/PellixScript.h"
#include "script/PellixStepMaker.h"
#include "ScriptTestSupport.h"

namespace {

// The form of every instruction with the given opcode in the function Main, in order.
std::vector<int> formsOf(const std::string& text, int opcode) {
    PellixScript script;
    script.addFunction("print", [](std::vector<PellixVariable>&, PellixVariable&, int) {});
    EXPECT_TRUE(script.parse(text)) << script.getLastError();
    const PellixFunctionCode* code = script.compiledCode("Main");
    std::vector<int> forms;
    if (!code)
        return forms;
    EXPECT_EQ(code->steps.size(), code->instructions.size());
    for (size_t index = 0; index < code->instructions.size(); ++index) {
        if (code->instructions[index].op == opcode)
            forms.push_back(PellixStepMaker::formOf(code->steps[index].op));
    }
    return forms;
}

using Form = PellixStepMaker::Form;

} // namespace

TEST(PellixStepMaker, KnownIntegersAndFloatsSkipTheTypeTests) {
    // Integers from literals and FOR counters, through a nested loop.
    const std::string loops = "FUNCTION Main\n S = 0\n FOR Y = 1 TO 40\n  FOR X = 1 TO Y\n"
                              "   S = S + ((X XOR Y) AND 255)\n  NEXT\n NEXT\n print S\nEND FUNCTION\n";
    EXPECT_EQ(formsOf(loops, PX_XOR), std::vector<int>{Form::IntFrameFrame});
    EXPECT_EQ(formsOf(loops, PX_AND), std::vector<int>{Form::IntFrameImmediate});
    EXPECT_EQ(formsOf(loops, PX_ADD), std::vector<int>{Form::IntFrameFrame});
    // The inner loop's limit is a counter in the frame; the outer one's a literal.
    EXPECT_EQ(formsOf(loops, PX_FOR_STEP), (std::vector<int>{Form::IntFrameFrame, Form::IntFrameImmediate}));

    // A float on the left makes a float, whatever is on the right.
    const std::string floats = "FUNCTION Main\n N = 10\n H = 1.0 / N\n X = H * 2.0\n Y = 4.0 / X\n"
                               " IF Y < 0.5 THEN\n  print Y\n END IF\nEND FUNCTION\n";
    EXPECT_EQ(formsOf(floats, PX_DIV), (std::vector<int>{Form::LiteralFrame, Form::FloatImmediateFrame}));
    EXPECT_EQ(formsOf(floats, PX_MUL), std::vector<int>{Form::FloatFrameImmediate});
    EXPECT_EQ(formsOf(floats, PX_BRANCH_NOT_LT), std::vector<int>{Form::FloatFrameImmediate});
}

TEST(PellixStepMaker, WhatHoldsOnOnlySomePathsKeepsTheTests) {
    // X is a text on one path: the addition after the IF must test (the literal is still an immediate).
    EXPECT_EQ(formsOf("FUNCTION Main\n FOR I = 1 TO 3\n  IF I = 2 THEN\n   X = \"t\"\n  ELSE\n   X = I\n"
                      "  END IF\n  Y = X + 1\n NEXT\nEND FUNCTION\n",
                      PX_ADD),
              std::vector<int>{Form::FrameInteger});
    // A change at the end of a loop reaches its top: K is not known there, though it starts as an integer.
    EXPECT_EQ(formsOf("FUNCTION Main\n K = 0\n DO WHILE K < 3\n  Y = K * 2\n  K = \"x\"\n LOOP\nEND FUNCTION\n",
                      PX_MUL),
              std::vector<int>{Form::FrameInteger});
    // Arguments and call results may be anything; a local set before a call keeps its type across it.
    const std::string calls = "FUNCTION Other(A)\n Other = A\nEND FUNCTION\n"
                              "FUNCTION Main(P)\n Q = P + 1\n L = 2\n R = Other(L) * 3\n print L - 1\nEND FUNCTION\n";
    EXPECT_EQ(formsOf(calls, PX_ADD), std::vector<int>{Form::FrameInteger});
    EXPECT_EQ(formsOf(calls, PX_MUL), std::vector<int>{Form::FrameInteger});
    EXPECT_EQ(formsOf(calls, PX_SUB), std::vector<int>{Form::IntFrameImmediate});
    // A FOR counter that the body may turn into a text steps with its tests.
    EXPECT_EQ(formsOf("FUNCTION Main\n FOR I = 1 TO 3\n  IF I = 2 THEN\n   I = \"9\"\n  END IF\n NEXT\n"
                      "END FUNCTION\n",
                      PX_FOR_STEP),
              std::vector<int>{Form::FrameLiteral});
    // A literal divisor of zero or minus one keeps the full rules (an error, a wrap); a positive one is safe.
    EXPECT_EQ(formsOf("FUNCTION Main\n Z = 5\n A = Z MOD 0\n B = Z MOD -1\n C = Z MOD 4\nEND FUNCTION\n", PX_MOD),
              (std::vector<int>{Form::FrameLiteral, Form::FrameLiteral, Form::IntFrameImmediate}));
    // An ordered comparison with a float on the left gives a float, so adding an integer to it must test.
    EXPECT_EQ(formsOf("FUNCTION Main\n F = 2.5\n C = (F > 1) + 1\n D = (1 > F) + 1\nEND FUNCTION\n", PX_ADD),
              (std::vector<int>{Form::FrameInteger, Form::IntFrameImmediate}));
    // Moving a known number copies it without looking for a text; a value that may be a text keeps the test.
    EXPECT_EQ(formsOf("FUNCTION Main(P)\n A = 3\n F = 0.5\n B = A\n G = F\n H = P\nEND FUNCTION\n", PX_MOVE),
              (std::vector<int>{Form::FrameLiteral, Form::FrameLiteral, Form::IntFrameFrame, Form::FloatFrameFrame,
                                Form::FrameFrame}));
    // "=" reads floats as integers: no float form for it.
    EXPECT_EQ(formsOf("FUNCTION Main\n F = 1.5\n IF F = 1.0 THEN\n  print F\n END IF\nEND FUNCTION\n",
                      PX_BRANCH_NOT_EQ),
              std::vector<int>{Form::FrameLiteral});
}

TEST(PellixStepMaker, SelectJumpsThroughATableOnlyForKnownIntegers) {
    const std::string head = "FUNCTION Main(P)\n FOR I = -2 TO 12\n  SELECT CASE ";
    const std::string arms = "\n  CASE 1, 3\n   print 1\n  CASE 2\n   print 2\n";
    const std::string tail = "  END SELECT\n NEXT\nEND FUNCTION\n";
    EXPECT_EQ(formsOf(head + "I MOD 5" + arms + tail, PX_SELECT), std::vector<int>{Form::IntFrameFrame});
    // A text CASE compares printed forms; an argument may be a text.
    EXPECT_EQ(formsOf(head + "I" + arms + "  CASE \"4\"\n   print 4\n" + tail, PX_SELECT),
              std::vector<int>{Form::General});
    EXPECT_EQ(formsOf(head + "P" + arms + tail, PX_SELECT), std::vector<int>{Form::General});
}

TEST(PellixStepMaker, AFunctionTooLargeForThePassStillRunsWithTestedSteps) {
    // One state per frame slot per instruction: 4,200 locals set one by one make more than 16 million.
    auto script = [](int locals) {
        std::string text = "FUNCTION Main\n";
        for (int index = 0; index < locals; ++index)
            text += " V" + std::to_string(index) + " = " + std::to_string(index) + "\n";
        return text + " S = V1 + 1\n print S\nEND FUNCTION\n";
    };
    EXPECT_EQ(formsOf(script(100), PX_ADD), std::vector<int>{Form::IntFrameImmediate});
    EXPECT_EQ(formsOf(script(4200), PX_ADD), std::vector<int>{Form::FrameInteger});
    const ScriptOutcome outcome = runBoth(script(4200));
    EXPECT_TRUE(outcome.ran) << outcome.error;
    EXPECT_EQ(outcome.output, "2");
}
