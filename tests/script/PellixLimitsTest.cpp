// Every limit that input can reach ends in a clean error naming it, never in a crash.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "ScriptTestSupport.h"

namespace {

std::string repeat(const std::string& text, int count) {
    std::string result;
    for (int index = 0; index < count; ++index)
        result += text;
    return result;
}

} // namespace

TEST(PellixLimits, EndlessRecursionThroughTwoFunctions) {
    const std::string text = "FUNCTION Ping(N)\n Ping = Pong(N + 1)\nEND FUNCTION\n"
                             "FUNCTION Pong(N)\n Pong = Ping(N + 1)\nEND FUNCTION\n";
    const ScriptOutcome compiled = runScript(text, PellixScript::Compiled, "Ping");
    EXPECT_FALSE(compiled.ran);
    EXPECT_EQ(compiled.error, "At line 5 : PONG: Calls nested too deeply, the limit is 10000 : PING");
    const ScriptOutcome walked = runScript(text, PellixScript::TreeWalking, "Ping");
    EXPECT_FALSE(walked.ran);
    EXPECT_NE(walked.error.find("the limit is 3000 levels"), std::string::npos) << walked.error;

    // Just below the limit the same recursion works.
    const std::string counted = "FUNCTION Down(N)\n IF N > 0 THEN\n  Down = Up(N - 1)\n ELSE\n  Down = \"bottom\"\n"
                                " END IF\nEND FUNCTION\nFUNCTION Up(N)\n Up = Down(N)\nEND FUNCTION\n"
                                "FUNCTION Main\n print Down(4990)\nEND FUNCTION\n";
    const ScriptOutcome deep = runScript(counted, PellixScript::Compiled);
    EXPECT_TRUE(deep.ran) << deep.error;
    EXPECT_EQ(deep.output, "bottom");
}

TEST(PellixLimits, DeeplyNestedBlocks) {
    const std::string nested = "FUNCTION Main\n" + repeat("IF 1 THEN\n", 250) + "print 1\n" +
                               repeat("END IF\n", 250) + "END FUNCTION\n";
    EXPECT_EQ(loadError(nested), "At line 202 : Blocks nested too deeply, the limit is 200 : IF");
    const std::string loops = "FUNCTION Main\n" + repeat("WHILE 1\n", 300) + repeat("WEND\n", 300) + "END FUNCTION\n";
    EXPECT_EQ(loadError(loops), "At line 202 : Blocks nested too deeply, the limit is 200 : WHILE");
    const std::string fine = "FUNCTION Main\n" + repeat("IF 1 THEN\n", 150) + "print 7\n" + repeat("END IF\n", 150) +
                             "END FUNCTION\n";
    EXPECT_EQ(runBoth(fine).output, "7");
}

TEST(PellixLimits, LongOperatorChainsAndDeepParentheses) {
    const std::string chain = "FUNCTION Main\n A = 1\n X = A" + repeat(" + A", 2000) + "\nEND FUNCTION\n";
    EXPECT_EQ(loadError(chain), "At line 3 : Expression nested too deeply, the limit is 500 : ");
    const std::string rightNested =
        "FUNCTION Main\n A = 1\n X = " + repeat("A + (", 600) + "A" + repeat(")", 600) + "\nEND FUNCTION\n";
    EXPECT_EQ(loadError(rightNested), "At line 3 : Expression nested too deeply, the limit is 500 : ");
    const std::string unary = "FUNCTION Main\n A = 1\n X = " + repeat("- ", 1000) + "A\nEND FUNCTION\n";
    EXPECT_EQ(loadError(unary), "At line 3 : Expression nested too deeply, the limit is 500 : ");
    const std::string calls = "FUNCTION Main\n X = " + repeat("F(", 1000) + "1" + repeat(")", 1000) +
                              "\nEND FUNCTION\nFUNCTION F(N)\nEND FUNCTION\n";
    EXPECT_EQ(loadError(calls), "At line 2 : Expression nested too deeply, the limit is 500 : F");
    // Parentheses alone add no depth, and operators on constants fold away.
    const std::string parentheses = "FUNCTION Main\n X = " + repeat("(", 20000) + "1" + repeat(")", 20000) +
                                    " + " + repeat("1 + ", 5000) + "1\n print X\nEND FUNCTION\n";
    EXPECT_EQ(runBoth(parentheses).output, "5002");
    const std::string wide = "FUNCTION Main\n A = 1\n X = A" + repeat(" + A", 450) + "\n print X\nEND FUNCTION\n";
    EXPECT_EQ(runBoth(wide).output, "451");
    std::string manyValues = "FUNCTION Main\n SELECT CASE 1\n CASE 0";
    for (int value = 1; value < 700; ++value)
        manyValues += ", " + std::to_string(value);
    manyValues += "\n END SELECT\nEND FUNCTION\n";
    EXPECT_EQ(loadError(manyValues), "At line 2 : Expression nested too deeply, the limit is 500 : ");
}

TEST(PellixLimits, LocalsStackAndStrings) {
    std::string many = "FUNCTION Main\n DIM V0";
    for (int index = 1; index < 33000; ++index)
        many += ", V" + std::to_string(index);
    many += "\nEND FUNCTION\n";
    EXPECT_EQ(loadError(many), "At line 2 : Too many local variables in one function, the limit is 32767 : V32766");

    // Big frames fill the run-time stack long before the call limit.
    std::string big = "FUNCTION Main\n X = Deeper(1)\nEND FUNCTION\nFUNCTION Deeper(N)\n Deeper = Grow(N)\nEND FUNCTION\n"
          "FUNCTION Grow(N)\n DIM L0";
    for (int index = 1; index < 30000; ++index)
        big += ", L" + std::to_string(index);
    big += "\n Grow = Deeper(N)\nEND FUNCTION\n";
    const ScriptOutcome full = runScript(big, PellixScript::Compiled);
    EXPECT_FALSE(full.ran);
    EXPECT_EQ(full.error, "At line 7 : GROW: Run-time stack full, the limit is 1048576 values : GROW");

    const std::string doubling = "FUNCTION Main\n S = \"ab\"\n DO WHILE 1\n  S = S + S\n LOOP\nEND FUNCTION\n";
    const ScriptOutcome tooLong = runBoth(doubling);
    EXPECT_EQ(tooLong.error, "At line 4 : MAIN: String too long, the limit is 16777216 characters : +");
    const std::string copying = "FUNCTION Main\n S = \"abcdefgh\"\n DO WHILE 1\n  T = S + S\n  S = T\n LOOP\n"
                                "END FUNCTION\n";
    EXPECT_EQ(runBoth(copying).error, "At line 4 : MAIN: String too long, the limit is 16777216 characters : +");
}

TEST(PellixLimits, ScriptFileSize) {
    TemporaryDirectory directory;
    const std::string function = "FUNCTION Main\n print \"fits\"\nEND FUNCTION\n";
    // Exactly at the limit the file loads; one byte more and it is refused with the limit named.
    const std::string padding(PellixScript::maxFileSize - function.size(), '\n');
    directory.write("largest.fb", padding + function);
    PellixScript largest;
    registerTestHostFunctions(largest);
    EXPECT_TRUE(largest.load("largest.fb")) << largest.getLastError();
    directory.write("too-large.fb", "\n" + padding + function);
    PellixScript tooLarge;
    EXPECT_FALSE(tooLarge.load("too-large.fb"));
    EXPECT_EQ(tooLarge.getLastError(), "File too large, the limit is 1048576 bytes. : too-large.fb");
}

TEST(PellixLimits, ReadingStopsAtTheFirstNulByte) {
    // Devices and FIFOs are not read at all: /dev/zero would never end, a FIFO would block the load.
    TemporaryDirectory directory;
    ASSERT_EQ(mkfifo("fifo.fb", 0600), 0);
    for (const char* path : {"/dev/zero", "fifo.fb"}) {
        PellixScript special;
        EXPECT_FALSE(special.load(path));
        EXPECT_EQ(special.getLastError(), std::string("Not a regular file. : ") + path);
    }

    // Past the NUL the file is too large, but it fails for the NUL.
    directory.write("nul.fb", "FUNCTION Main\n print \"before\"\nEND FUNCTION\n" + std::string(1, '\0') +
                                  std::string(PellixScript::maxFileSize, '!'));
    PellixScript script;
    EXPECT_FALSE(script.load("nul.fb"));
    EXPECT_EQ(script.getLastError(), "At line 4 : NUL byte at column 1 : nul.fb");
}

TEST(PellixLimits, AByteOrderMarkStartingAFileIsSkipped) {
    TemporaryDirectory directory;
    directory.write("marked.fb", "\xEF\xBB\xBF" "FUNCTION Main\n print \"marked\"\nEND FUNCTION\n");
    PellixScript script;
    registerTestHostFunctions(script);
    ASSERT_TRUE(script.load("marked.fb")) << script.getLastError();
    takePrintedText();
    ASSERT_TRUE(script.run("Main")) << script.getLastError();
    EXPECT_EQ(takePrintedText(), "marked");
}
