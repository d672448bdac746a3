// Every statement form's lowering and errors; what the statements do is in cases/statement_*.fb.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

namespace {

std::string bodyError(const std::string& body) {
    return loadError("FUNCTION Main\n" + body + "END FUNCTION\n");
}

} // namespace

TEST(PellixStatements, ForLoopErrors) {
    EXPECT_EQ(bodyError(" FOR I 1 TO 2\n NEXT\n"), "At line 2 : Syntax error, missing '=' : 1");
    EXPECT_EQ(bodyError(" FOR I = 1 STEP 2\n NEXT\n"), "At line 2 : Syntax error, missing 'TO' : STEP");
    EXPECT_EQ(bodyError(" FOR I = 1 TO 2\n WEND\n"), "At line 3 : Syntax error, missing 'NEXT' : WEND");
    EXPECT_EQ(bodyError(" FOR I = 1 TO 2\n NEXT J\n"), "At line 3 : Syntax error, missing 'FOR' for NEXT : J");
    EXPECT_EQ(bodyError(" FOR I = 1 TO 2\n END IF\n NEXT\n"), "At line 3 : Syntax error, missing 'NEXT' : IF");
    EXPECT_EQ(bodyError(" FOR I = 1 TO 2 THEN\n NEXT\n"), "At line 2 : Need a new line at : THEN");
}

TEST(PellixStatements, IfElseTreeAndErrors) {
    PellixScript script;
    ASSERT_TRUE(script.parse("FUNCTION Main\n IF 1 THEN\n X = 1\n END IF\nEND FUNCTION\n"));
    const PellixSyntaxNode* statement = script.getFunctions().at("MAIN")->statements.at(0);
    EXPECT_EQ(statement->kind, PellixSyntaxNode::NODE_IF);
    EXPECT_EQ(statement->elseBody, nullptr);
    EXPECT_EQ(statement->body->kind, PellixSyntaxNode::NODE_BLOCK);

    EXPECT_EQ(bodyError(" IF 1\n END IF\n"), "At line 2 : Syntax error, missing THEN : \n");
    EXPECT_EQ(bodyError(" IF 1 THEN X = 1\n END IF\n"), "At line 2 : Need a new line at : X");
    EXPECT_EQ(bodyError(" IF 1 THEN\n NEXT\n"), "At line 3 : Syntax error, missing END IF : NEXT");
    EXPECT_EQ(bodyError(" IF 1 THEN\n ELSE IF 2 THEN\n END IF\n END IF\n"), "At line 3 : Need a new line at : IF");
    EXPECT_EQ(bodyError(" IF 1 THEN\n CALL F\n END IF\n"), "At line 3 : Syntax error, missing END IF : CALL");
    EXPECT_EQ(bodyError(" CALL F\n"), "At line 2 : Missing END FUNCTION : CALL");
}

TEST(PellixStatements, DoAndWhileLoopErrors) {
    EXPECT_EQ(bodyError(" DO FOREVER\n LOOP\n"), "At line 2 : Syntax error, missing 'WHILE' or 'UNTIL' for 'DO' : FOREVER");
    EXPECT_EQ(bodyError(" DO WHILE 1\n WEND\n"), "At line 3 : Syntax error, missing 'LOOP' for 'DO' : WEND");
    EXPECT_EQ(bodyError(" DO\n LOOP 1\n"), "At line 3 : Syntax error, missing 'WHILE' or 'UNTIL' for 'LOOP' : 1");
    // Neither line with a condition is refused rather than reading one from the next line.
    EXPECT_EQ(bodyError(" DO\n LOOP\n X = 1\n"), "At line 3 : Syntax error, missing 'WHILE' or 'UNTIL' for 'LOOP' : \n");
    EXPECT_EQ(bodyError(" DO WHILE 1\n LOOP WHILE 1\n"), "At line 3 : Need a new line at : WHILE");
    EXPECT_EQ(bodyError(" WHILE 1\n LOOP\n"), "At line 3 : Syntax error, missing 'WEND' for 'WHILE' : LOOP");
}

TEST(PellixStatements, SelectCaseErrors) {
    EXPECT_EQ(bodyError(" SELECT X\n"), "At line 2 : Syntax error, missing 'CASE' for 'SELECT' : X");
    EXPECT_EQ(bodyError(" SELECT CASE 1\n\n CASE 1\n END SELECT\n"), "At line 3 : Syntax error, missing 'CASE' : \n");
    EXPECT_EQ(bodyError(" SELECT CASE 1\n ' note\n CASE 1\n END SELECT\n"),
              "At line 3 : Syntax error, missing 'CASE' : \n");
    EXPECT_EQ(bodyError(" SELECT CASE 1\n CASE 1\n END IF\n"), "At line 4 : Syntax error, missing 'CASE' : IF");
    EXPECT_EQ(bodyError(" SELECT CASE 1\n END IF\n"), "At line 3 : Syntax error, missing 'SELECT' for 'END' : IF");
    EXPECT_EQ(bodyError(" Y = 1\n SELECT CASE 1\n CASE Y\n END SELECT\n"),
              "At line 3 : Error: case value should be a constant : ");
    EXPECT_EQ(loadError("CONST K = 1\nFUNCTION Main\n SELECT CASE 1\n CASE 2, K\n END SELECT\nEND FUNCTION\n"),
              "At line 3 : Error: case value should be a constant : ");
}

TEST(PellixStatements, ExitErrors) {
    EXPECT_EQ(bodyError(" EXIT WHILE\n"), "At line 2 : Syntax error, invalid procedure : WHILE");
    EXPECT_EQ(bodyError(" EXIT SELECT\n"), "At line 2 : Syntax error, invalid procedure : SELECT");
}

TEST(PellixStatements, AssignmentAndDimErrors) {
    // DIM inside a nested block enters a table no lookup consults: the name is a call then.
    EXPECT_EQ(bodyError(" IF 1 THEN\n  DIM Z\n  print Z\n END IF\n"), "Function not implemented : Z");

    EXPECT_EQ(bodyError(" LET 5 = 1\n"), "At line 2 : Syntax error, not a valid name : 5");
    EXPECT_EQ(bodyError(" X = 1 Y = 2\n"), "At line 2 : Error, should be endline or comma : Y");
    EXPECT_EQ(bodyError(" X = 1; Y = 2\n"), "At line 2 : Error, should be endline or comma : ;");
    EXPECT_EQ(bodyError(" X = 1, 2\n"), "At line 2 : Error, should be symbol after comma : 2");
    EXPECT_EQ(bodyError(" DIM A\n DIM A\n"), "At line 3 : Redim variable : A");
    EXPECT_EQ(bodyError(" 5\n"), "At line 2 : Missing END FUNCTION : 5");
}
