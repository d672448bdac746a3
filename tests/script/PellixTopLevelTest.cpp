// The top level: declarations, function definitions, placeholders, IMPORT and name resolution.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

TEST(PellixTopLevel, EmptyAndCommentOnlyScriptsLoad) {
    EXPECT_EQ(loadError(""), "");
    EXPECT_EQ(loadError("' nothing here\n\n   \n' more\n"), "");
    EXPECT_EQ(loadError("X = 1\n"), "At line 1 : unknown word : X");
    EXPECT_EQ(loadError("\n\nprint 1\n"), "At line 3 : unknown word : PRINT");
    EXPECT_EQ(loadError("END FUNCTION\n"), "At line 1 : unknown word : END");
}

TEST(PellixTopLevel, FunctionHeadersAndParameters) {
    PellixScript script;
    ASSERT_TRUE(script.parse("FUNCTION F\nEND FUNCTION\nFUNCTION G()\nEND FUNCTION\nFUNCTION H(A B, , C)\n"
                             "X = 1\nEND FUNCTION\n"))
        << script.getLastError();
    const auto& functions = script.getFunctions();
    EXPECT_EQ(functions.at("F")->localCount, 1); // the result variable
    EXPECT_EQ(functions.at("G")->localCount, 1);
    const PellixSyntaxNode* h = functions.at("H");
    EXPECT_EQ(h->localCount, 5);
    EXPECT_EQ(h->variables.at("A")->slot, 0);
    EXPECT_EQ(h->variables.at("B")->slot, 1);
    EXPECT_EQ(h->variables.at("C")->slot, 2);
    EXPECT_EQ(h->variables.at("H")->slot, 3);
    EXPECT_EQ(h->variables.at("X")->slot, 4);
    EXPECT_EQ(h->line, 5);
    EXPECT_EQ(h->function, h);

    EXPECT_EQ(loadError("FUNCTION F [A]\nEND FUNCTION\n"), "At line 1 : Syntax error, missing ( : [");
    EXPECT_EQ(loadError("FUNCTION F(1)\nEND FUNCTION\n"), "At line 1 : Syntax error, unknown word : 1");
    EXPECT_EQ(loadError("FUNCTION F(A, A)\nEND FUNCTION\n"), "At line 1 : Parameter redefined : A");
    EXPECT_EQ(loadError("FUNCTION 5\nEND FUNCTION\n"), "At line 1 : Syntax error : 5");
    EXPECT_EQ(loadError("FUNCTION F() X\nEND FUNCTION\n"), "At line 1 : Need a new line at : X");
    EXPECT_EQ(loadError("FUNCTION F\nIF 1 THEN\nEND IF\nEND IF\n"), "At line 4 : Missing END FUNCTION : IF");
    EXPECT_EQ(loadError("FUNCTION F\nNEXT\n"), "At line 2 : Missing END FUNCTION : NEXT");
    EXPECT_EQ(loadError("FUNCTION F\nEND FUNCTION X\n"), "At line 2 : Need a new line at : X");
    EXPECT_EQ(loadError("FUNCTION F\nEND FUNCTION\nFUNCTION f\nEND FUNCTION\n"), "At line 3 : Function redefined : F");
    EXPECT_EQ(loadError("FUNCTION Print\nEND FUNCTION\n"), "At line 1 : Function redefined : PRINT");
}

TEST(PellixTopLevel, PlaceholdersOfCallsNeverDefined) {
    EXPECT_EQ(loadError("FUNCTION Main\n Never 1\n Zulu\nEND FUNCTION\n"), "Function not implemented : NEVER");
    // Reading a variable before it is assigned in the text makes it a call.
    EXPECT_EQ(loadError("FUNCTION Main\n X = Y + 1\nEND FUNCTION\n"), "Function not implemented : Y");
    EXPECT_EQ(loadError("FUNCTION Main\n X = Y + 1\n Y = 2\nEND FUNCTION\n"),
              "At line 0 : Name conflicts against a function name. : Y");
    // A failed load keeps what it entered before the error.
    PellixScript script;
    EXPECT_FALSE(script.parse("DIM G\nFUNCTION F\nEND FUNCTION\nFUNCTION F\n"));
    EXPECT_EQ(script.getFunctions().count("F"), 1u);
    EXPECT_EQ(script.getGlobals().count("G"), 1u);
}

TEST(PellixTopLevel, DimAndConstDeclarations) {
    EXPECT_EQ(loadError("DIM A\nDIM B, A\n"), "At line 2 : Redim variable : A");
    EXPECT_EQ(loadError("DIM A B\n"), "At line 1 : Syntax error : B");
    EXPECT_EQ(loadError("DIM 1\n"), "At line 1 : Syntax error : 1");
    EXPECT_EQ(loadError("DIM , A, , B\nDIM\n"), "");
    EXPECT_EQ(loadError("CONST A 5\n"), "At line 1 : Syntax error, missing '=' : 5");
    EXPECT_EQ(loadError("CONST A = 1, A = 2\n"), "At line 1 : Redefine variable : A");
    EXPECT_EQ(loadError("DIM A\nCONST A = 1\n"), "At line 2 : Redefine variable : A");
    EXPECT_EQ(loadError("CONST A = 1\nCONST B = A + 1\n"), "At line 2 : Not a proper constant value : =");
    EXPECT_EQ(loadError("CONST A = 1 B\n"), "At line 1 : Syntax error : B");
    EXPECT_EQ(loadError("CONST A = 1;\n"), "At line 1 : Syntax error : ;");

    PellixScript script;
    ASSERT_TRUE(script.parse("CONST A = -1, S = \"a\" + \"b\", F = 0.0 - 1.5\nDIM G\n")) << script.getLastError();
    const PellixVariable* a = script.getGlobals().at("A");
    EXPECT_TRUE(a->isConst);
    EXPECT_TRUE(a->isGlobal);
    EXPECT_EQ(a->type, PellixVariable::Integer);
    EXPECT_EQ(a->intValue, -1);
    EXPECT_EQ(script.getGlobals().at("S")->stringValue, "ab");
    EXPECT_FLOAT_EQ(script.getGlobals().at("F")->floatValue, -1.5f);
    EXPECT_FALSE(script.getGlobals().at("G")->isConst);
    EXPECT_EQ(script.getGlobals().at("G")->type, PellixVariable::Undefined);

    EXPECT_EQ(loadError("CONST K = 3\nFUNCTION Main\n K = 4\nEND FUNCTION\n"),
              "At line 3 : Error, trying to assign a new value to a constant : =");
}

TEST(PellixTopLevel, NamesThatConflictWithFunctions) {
    // How names resolve when they do not conflict is in cases/toplevel_names.fb.
    EXPECT_EQ(loadError("FUNCTION Main\n Print = 1\nEND FUNCTION\n"),
              "At line 0 : Name conflicts against a function name. : PRINT");
    EXPECT_EQ(loadError("FUNCTION Main\n X = Helper\nEND FUNCTION\nFUNCTION Helper\n Main = 1\nEND FUNCTION\n"),
              "At line 0 : Name conflicts against a function name. : MAIN");
}

TEST(PellixTopLevel, ImportReadsFilesRelativeToTheWorkingDirectory) {
    TemporaryDirectory directory;
    directory.write("script/main.fb", "IMPORT script.Tools\nFUNCTION Main\n Greet \"you\"\nEND FUNCTION\n");
    directory.write("script/tools.fb", "DIM Count\nFUNCTION Greet(Name)\n print \"hi \", Name\nEND FUNCTION\n");
    {
        PellixScript script;
        registerTestHostFunctions(script);
        ASSERT_TRUE(script.load("script/main.fb")) << script.getLastError();
        ASSERT_TRUE(script.run("Main")) << script.getLastError();
        EXPECT_EQ(takePrintedText(), "hi you");
        EXPECT_EQ(script.getGlobals().count("COUNT"), 1u);
    }

    // Paths do not follow the importing file's folder.
    directory.write("script/relative.fb", "IMPORT tools\n");
    PellixScript script;
    EXPECT_FALSE(script.load("script/relative.fb"));
    EXPECT_EQ(script.getLastError(), "At line 1 : Failed to include the file tools.fb : Failed to open file. : tools.fb");

    // The same file twice defines its functions twice.
    directory.write("twice.fb", "IMPORT script.tools\nIMPORT script.tools\n");
    PellixScript again;
    registerTestHostFunctions(again);
    EXPECT_FALSE(again.load("twice.fb"));
    EXPECT_EQ(again.getLastError(),
              "At line 2 : Failed to include the file script/tools.fb : At line 1 : Redim variable : COUNT");

    // A call to a function defined later in the importing file is still open while the import is parsed.
    directory.write("late.fb", "FUNCTION Main\n Later\nEND FUNCTION\nIMPORT script.tools\nFUNCTION Later\nEND FUNCTION\n");
    PellixScript late;
    registerTestHostFunctions(late);
    EXPECT_FALSE(late.load("late.fb"));
    EXPECT_EQ(late.getLastError(),
              "At line 4 : Failed to include the file script/tools.fb : Function not implemented : LATER");

    // A file importing itself stops with a clear message instead of recursing.
    directory.write("loop.fb", "IMPORT loop\n");
    PellixScript circular;
    EXPECT_FALSE(circular.load("loop.fb"));
    EXPECT_EQ(circular.getLastError(),
              "At line 1 : IMPORT of a file that is already being loaded (circular IMPORT) : loop.fb");
    directory.write("ping.fb", "IMPORT pong\n");
    directory.write("pong.fb", "IMPORT ping\n");
    EXPECT_FALSE(circular.load("ping.fb"));
    EXPECT_EQ(circular.getLastError(),
              "At line 1 : Failed to include the file pong.fb : At line 1 : IMPORT of a file that is already being "
              "loaded (circular IMPORT) : ping.fb");
}

TEST(PellixTopLevel, ImportChainsAreLimited) {
    TemporaryDirectory directory;
    for (int index = 0; index < 40; ++index)
        directory.write("f" + std::to_string(index) + ".fb", "IMPORT f" + std::to_string(index + 1) + "\n");
    PellixScript script;
    EXPECT_FALSE(script.load("f0.fb"));
    EXPECT_NE(script.getLastError().find("Imports nested too deeply, the limit is 16 : f17.fb"), std::string::npos)
        << script.getLastError();
}
