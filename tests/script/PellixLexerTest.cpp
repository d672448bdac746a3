// Tokens: operators, numbers, names, strings, comments and line ends.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

namespace {

std::vector<int> tokenLines(const std::string& text) {
    PellixScript script;
    std::deque<PellixToken> queue;
    EXPECT_TRUE(script.scan(text, queue));
    std::vector<int> lines;
    for (const PellixToken& token : queue)
        lines.push_back(token.line);
    return lines;
}

} // namespace

TEST(PellixLexer, TwoCharacterOperatorsMergeAcrossBlanks) {
    EXPECT_EQ(describeTokens("a<=b\n"), "0:A 32:<= 0:B 3:\\n");
    EXPECT_EQ(describeTokens("a < = b\n"), "0:A 32:<= 0:B 3:\\n");
    EXPECT_EQ(describeTokens("a <= b\n"), "0:A 32:<= 0:B 3:\\n");
    EXPECT_EQ(describeTokens("a <> b >= c\n"), "0:A 32:<> 0:B 32:>= 0:C 3:\\n");
    EXPECT_EQ(describeTokens("a =< b\n"), "0:A 32:= 32:< 0:B 3:\\n");
    EXPECT_EQ(describeTokens("a => b >< c\n"), "0:A 32:= 32:> 0:B 32:> 32:< 0:C 3:\\n");
    EXPECT_EQ(describeTokens("a <\n= b\n"), "0:A 32:< 3:\\n 32:= 0:B 3:\\n");
    // Only operators merge: the one-character string "<" before "=" stays a string.
    EXPECT_EQ(describeTokens("\"<\" = 1\n"), "1:< 32:= 2:1 3:\\n");
    EXPECT_EQ(describeTokens("()[]+-*/\n"), "32:( 32:) 32:[ 32:] 32:+ 32:- 32:* 32:/ 3:\\n");
}

TEST(PellixLexer, NumbersNamesAndKeywords) {
    EXPECT_EQ(describeTokens("x1.5 1e5 .5 1.2.3 7abc\n"), "0:X1.5 2:1e5 2:.5 2:1.2.3 2:7abc 3:\\n");
    EXPECT_EQ(describeTokens("if Then eNd function\n"), "4:IF 22:THEN 21:END 20:FUNCTION 3:\\n");
    EXPECT_EQ(describeTokens("FOR NEXT ELSE EXIT DIM IMPORT CONST OR AND XOR NOT MOD TO CALL LET STEP\n"),
              "5:FOR 6:NEXT 7:ELSE 8:EXIT 9:DIM 10:IMPORT 11:CONST 12:OR 13:AND 14:XOR 15:NOT 16:MOD 17:TO 18:CALL "
              "19:LET 23:STEP 3:\\n");
    EXPECT_EQ(describeTokens("DO LOOP UNTIL WHILE WEND SELECT CASE , : ;\n"),
              "24:DO 25:LOOP 26:UNTIL 27:WHILE 28:WEND 29:SELECT 30:CASE 31:, 43:: 44:; 3:\\n");
    // The underscore and other odd characters are one-character names of their own.
    EXPECT_EQ(describeTokens("MY_VAR @!\n"), "0:MY 0:_ 0:VAR 0:@ 0:! 3:\\n");
    EXPECT_EQ(describeTokens("forX ifs\n"), "0:FORX 0:IFS 3:\\n");
}

TEST(PellixLexer, NamesCloseToKeywordsStayNames) {
    // Same first letter and length as a keyword, or a keyword with a letter more or less.
    EXPECT_EQ(describeTokens("ELSA EXIST CASH CALF CONS WHILST UNTO SELECTS FUNCTIONS EN E\n"),
              "0:ELSA 0:EXIST 0:CASH 0:CALF 0:CONS 0:WHILST 0:UNTO 0:SELECTS 0:FUNCTIONS 0:EN 0:E 3:\\n");
    EXPECT_EQ(describeTokens("else exit end case call const\n"), "7:ELSE 8:EXIT 21:END 30:CASE 18:CALL 11:CONST 3:\\n");
}

TEST(PellixLexer, ANulByteFailsAtItsLineAndColumn) {
    using namespace std::string_literals;
    // Wherever it stands, with the script going on after it; lines as an editor counts them.
    const struct {
        std::string text;
        const char* error;
    } cases[] = {
        {"a\0b\n"s, "At line 1 : NUL byte at column 2 : "},
        {"FUNCTION Main\r\n print \"x\0\"\nEND FUNCTION\n"s, "At line 2 : NUL byte at column 10 : "},
        {"X = \"a\rb\0\"\n"s, "At line 2 : NUL byte at column 2 : "},
        {"' note\n' \0\n"s, "At line 2 : NUL byte at column 3 : "},
        {std::string(1, '\0'), "At line 1 : NUL byte at column 1 : "},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.error);
        EXPECT_EQ(loadError(entry.text), entry.error);
    }
}

TEST(PellixLexer, StringsKeepCaseResolveEscapesAndLineEnds) {
    EXPECT_EQ(describeTokens("\"Hello, World\"\n"), "1:Hello, World 3:\\n");
    EXPECT_EQ(describeTokens("\"it's\" ' a comment\n"), "1:it's 3:\\n");
    EXPECT_EQ(describeTokens("\"\"\n"), "1: 3:\\n");

    PellixScript script;
    std::deque<PellixToken> queue;
    ASSERT_TRUE(script.scan("\"\\n\" \"a\\tb\\rc\\\\d\\qe\" \"x\\\"\n", queue));
    ASSERT_EQ(queue.size(), 4u);
    EXPECT_EQ(queue[0].text, "\n");
    EXPECT_EQ(queue[1].text, "a\tb\rc\\dqe");
    // A backslash does not protect the closing quote; left alone at the end it stays a backslash.
    EXPECT_EQ(queue[2].type, PellixToken::TK_STRING);
    EXPECT_EQ(queue[2].text, "x\\");

    // A line end inside a string is kept and does not count: the next tokens keep the string's line.
    queue.clear();
    ASSERT_TRUE(script.scan("\"a\nb\" c\nd\n", queue));
    ASSERT_EQ(queue.size(), 5u);
    EXPECT_EQ(queue[0].text, "a\nb");
    EXPECT_EQ(queue[1].line, 1);
    EXPECT_EQ(queue[2].line, 1);
    EXPECT_EQ(queue[3].line, 2);
}

TEST(PellixLexer, CommentsAndLineEnds) {
    EXPECT_EQ(describeTokens("a ' comment \"not a string\n b\n"), "0:A 3:\\n 0:B 3:\\n");
    EXPECT_EQ(describeTokens("'only a comment\n"), "3:\\n");
    EXPECT_EQ(tokenLines("a\r\nb\rc\nd\n\re\n"), (std::vector<int>{1, 1, 2, 2, 3, 3, 4, 4, 5, 6, 6}));
    EXPECT_EQ(describeTokens("a ' comment\r\nb\r"), "0:A 3:\\n 0:B 3:\\n");
    // The last word of a text without a final line end is dropped.
    EXPECT_EQ(describeTokens("a b"), "0:A");
    EXPECT_EQ(loadError("FUNCTION Main\nEND FUNCTION"), "At line 0 : Syntax not finished : ");
}

TEST(PellixLexer, UnclosedStringNamesItsLine) {
    EXPECT_EQ(loadError("FUNCTION Main\n print \"abc\nEND FUNCTION\n"), "At line 2 : Unclosed string. : missing \"");
    EXPECT_EQ(loadError("\n\n\n\""), "At line 4 : Unclosed string. : missing \"");
}

TEST(PellixLexer, LoadNamesTheFileOfAFailure) {
    using namespace std::string_literals;
    TemporaryDirectory directory;
    directory.write("main.fb", "IMPORT lib.part\nFUNCTION Main\nEND FUNCTION\n");
    directory.write("lib/part.fb", "FUNCTION Part\n print 1\0\nEND FUNCTION\n"s);
    PellixScript script;
    registerTestHostFunctions(script);
    EXPECT_FALSE(script.load("main.fb"));
    EXPECT_EQ(script.getLastError(),
              "At line 1 : Failed to include the file lib/part.fb : At line 2 : NUL byte at column 9 : lib/part.fb");

    EXPECT_FALSE(script.load("missing.fb"));
    EXPECT_EQ(script.getLastError(), "Failed to open file. : missing.fb");
    // A directory opens on Linux but is no script.
    EXPECT_FALSE(script.load("."));
    EXPECT_EQ(script.getLastError(), "Failed to open file. : .");
}

TEST(PellixLexer, TokenQueueHelpers) {
    PellixScript script;
    EXPECT_THROW(script.getToken(), PellixSyntaxException);
    std::deque<PellixToken> queue;
    ASSERT_TRUE(script.scan("", queue));
    EXPECT_TRUE(queue.empty());
    std::string word = "mixed_Case9";
    PellixScript::toUpperString(word);
    EXPECT_EQ(word, "MIXED_CASE9");
    try {
        script.getToken();
        FAIL() << "an empty queue has no token";
    } catch (const PellixSyntaxException& exception) {
        EXPECT_EQ(exception.getError(), "Syntax not finished");
        EXPECT_EQ(exception.getDetail(), "");
        EXPECT_EQ(exception.getLine(), 0);
    }
}
