// Every statement form, its lowering and its errors.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

namespace {

std::string output(const std::string& body, const std::string& more = "") {
    const ScriptOutcome outcome = runBoth("FUNCTION Main\n" + body + "END FUNCTION\n" + more);
    EXPECT_TRUE(outcome.loaded && outcome.ran) << body << ": " << outcome.error;
    return outcome.output;
}

std::string bodyError(const std::string& body) {
    return loadError("FUNCTION Main\n" + body + "END FUNCTION\n");
}

} // namespace

TEST(PellixStatements, ForLoops) {
    EXPECT_EQ(output(" FOR I = 1 TO 3\n  print I\n NEXT\n print \"/\", I\n"), "123/4");
    EXPECT_EQ(output(" FOR I = 10 TO 1 STEP -3\n  print I, \" \"\n NEXT I\n"), "10 7 4 1 ");
    // A step that is no constant keeps the "<=" test: counting down by a variable runs no pass.
    EXPECT_EQ(output(" N = 1\n FOR I = 3 TO 1 STEP -N\n  print I\n NEXT\n print \"x\"\n"), "x");
    EXPECT_EQ(output(" FOR X = 0.5 TO 2 STEP 0.5\n  print X, \" \"\n NEXT\n"), "0.500000 1.000000 1.500000 2.000000 ");
    // Limit and step are evaluated on every pass.
    EXPECT_EQ(output(" L = 5\n FOR I = 1 TO L\n  L = L - 1\n  print I\n NEXT\n"), "123");
    EXPECT_EQ(output(" FOR I = 1 TO 0\n  print I\n NEXT\n print I\n"), "1");
    EXPECT_EQ(output(" FOR I = 1 TO 2\n  FOR J = 1 TO 2\n   print I, J, \" \"\n  NEXT J\n NEXT I\n"), "11 12 21 22 ");
    // A constant is not refused as loop variable.
    EXPECT_EQ(runBoth("CONST C = 9\nFUNCTION Main\n FOR C = 1 TO 2\n NEXT\n print C\nEND FUNCTION\n").output, "3");

    EXPECT_EQ(bodyError(" FOR I 1 TO 2\n NEXT\n"), "At line 2 : Syntax error, missing '=' : 1");
    EXPECT_EQ(bodyError(" FOR I = 1 STEP 2\n NEXT\n"), "At line 2 : Syntax error, missing 'TO' : STEP");
    EXPECT_EQ(bodyError(" FOR I = 1 TO 2\n WEND\n"), "At line 3 : Syntax error, missing 'NEXT' : WEND");
    EXPECT_EQ(bodyError(" FOR I = 1 TO 2\n NEXT J\n"), "At line 3 : Syntax error, missing 'FOR' for NEXT : J");
    EXPECT_EQ(bodyError(" FOR I = 1 TO 2\n END IF\n NEXT\n"), "At line 3 : Syntax error, missing 'NEXT' : IF");
    EXPECT_EQ(bodyError(" FOR I = 1 TO 2 THEN\n NEXT\n"), "At line 2 : Need a new line at : THEN");
}

TEST(PellixStatements, IfElse) {
    const std::string test = " IF A > 1 THEN\n  print \"big\"\n ELSE\n  print \"small\"\n END IF\n";
    EXPECT_EQ(output(" A = 2\n" + test), "big");
    EXPECT_EQ(output(" A = 1\n" + test), "small");
    EXPECT_EQ(output(" IF 0.5 THEN\n  print 1\n ELSE\n  print 0\n END IF\n"), "0");
    EXPECT_EQ(output(" IF \"1\" THEN\n  print 1\n END IF\n"), "1");

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

TEST(PellixStatements, DoAndWhileLoops) {
    EXPECT_EQ(output(" I = 0\n DO WHILE I < 3\n  I = I + 1\n  print I\n LOOP\n"), "123");
    EXPECT_EQ(output(" I = 0\n DO UNTIL I >= 3\n  I = I + 1\n  print I\n LOOP\n"), "123");
    EXPECT_EQ(output(" I = 0\n DO\n  I = I + 1\n  print I\n LOOP WHILE I < 3\n"), "123");
    EXPECT_EQ(output(" I = 0\n DO\n  I = I + 1\n  print I\n LOOP UNTIL I = 3\n"), "123");
    // The condition is tested before every pass, also when it stands on the LOOP line.
    EXPECT_EQ(output(" DO\n  print \"never\"\n LOOP WHILE 0\n"), "");
    EXPECT_EQ(output(" DO\n  print \"never\"\n LOOP UNTIL 1\n"), "");
    EXPECT_EQ(output(" I = 5\n WHILE I > 0\n  print I\n  I = I - 2\n WEND\n"), "531");

    EXPECT_EQ(bodyError(" DO FOREVER\n LOOP\n"), "At line 2 : Syntax error, missing 'WHILE' or 'UNTIL' for 'DO' : FOREVER");
    EXPECT_EQ(bodyError(" DO WHILE 1\n WEND\n"), "At line 3 : Syntax error, missing 'LOOP' for 'DO' : WEND");
    EXPECT_EQ(bodyError(" DO\n LOOP 1\n"), "At line 3 : Syntax error, missing 'WHILE' or 'UNTIL' for 'LOOP' : 1");
    // Neither line with a condition is refused rather than reading one from the next line.
    EXPECT_EQ(bodyError(" DO\n LOOP\n X = 1\n"), "At line 3 : Syntax error, missing 'WHILE' or 'UNTIL' for 'LOOP' : \n");
    EXPECT_EQ(bodyError(" DO WHILE 1\n LOOP WHILE 1\n"), "At line 3 : Need a new line at : WHILE");
    EXPECT_EQ(bodyError(" WHILE 1\n LOOP\n"), "At line 3 : Syntax error, missing 'WEND' for 'WHILE' : LOOP");
}

TEST(PellixStatements, SelectCase) {
    const std::string select = " SELECT CASE X\n CASE 1, 2\n  print \"low\"\n CASE 3\n  print \"three\"\n"
                               " CASE \"a\", 1.5\n  print \"text\"\n CASE 2\n  print \"unreached\"\n END SELECT\n";
    EXPECT_EQ(output(" X = 1\n" + select), "low");
    EXPECT_EQ(output(" X = 2\n" + select), "low");
    EXPECT_EQ(output(" X = 3\n" + select), "three");
    EXPECT_EQ(output(" X = 9\n" + select), "");
    EXPECT_EQ(output(" X = \"a\"\n" + select), "text");
    // "=" with a string compares texts: the string 1.500000 matches the CASE 1.5, the string 1 matches CASE 1.
    EXPECT_EQ(output(" X = \"1.500000\"\n" + select), "text");
    EXPECT_EQ(output(" X = \"1\"\n" + select), "low");
    // Without strings it compares integers: 3.7 reads as 3, 1.5 as 1.
    EXPECT_EQ(output(" X = 3.7\n" + select), "three");
    EXPECT_EQ(output(" X = 1.5\n" + select), "low");
    EXPECT_EQ(output(" DIM X\n" + select), "");
    EXPECT_EQ(output(" SELECT CASE \"b\"\n CASE \"a\"\n  print 1\n CASE \"b\"\n  print 2\n END SELECT\n"), "2");
    EXPECT_EQ(output(" X = 0\n SELECT CASE X\n CASE \"undefined\", 0\n  print \"zero\"\n END SELECT\n"), "zero");
    EXPECT_EQ(output(" DIM U\n SELECT CASE U\n CASE \"undefined\"\n  print \"u\"\n END SELECT\n"), "u");
    EXPECT_EQ(output(" SELECT CASE 1\n END SELECT\n print \"empty\"\n"), "empty");

    // A selector that calls a function is evaluated once per CASE tested.
    const std::string counter = "DIM Calls\nFUNCTION Bump\n Calls = Calls + 1\n Bump = Calls\nEND FUNCTION\n";
    EXPECT_EQ(runBoth(counter + "FUNCTION Main\n Calls = 0\n SELECT CASE Bump()\n CASE 5\n  print \"five\"\n"
                                " CASE 2, 3\n  print \"two or three\"\n CASE 9\n  print \"nine\"\n END SELECT\n"
                                " print \" \", Calls\nEND FUNCTION\n")
                  .output,
              "two or three 3");

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

TEST(PellixStatements, ExitLeavesLoopsSelectsAndFunctions) {
    EXPECT_EQ(output(" FOR I = 1 TO 9\n  IF I = 3 THEN\n   EXIT FOR\n  END IF\n NEXT\n print I\n"), "3");
    EXPECT_EQ(output(" I = 0\n WHILE 1\n  I = I + 1\n  IF I = 4 THEN\n   EXIT DO\n  END IF\n WEND\n print I\n"), "4");
    EXPECT_EQ(output(" FOR I = 1 TO 3\n  DO WHILE 1\n   EXIT FOR\n  LOOP\n  print I\n NEXT\n"), "123");
    EXPECT_EQ(output(" FOR I = 1 TO 5\n  SELECT CASE I\n  CASE 2\n   EXIT FOR\n  CASE 1\n   print \"one\"\n"
                     "  END SELECT\n NEXT\n print I\n"),
              "one2");
    // Outside any loop EXIT FOR ends the blocks around it; at the top of a function it does nothing.
    EXPECT_EQ(output(" IF 1 THEN\n  print \"a\"\n  EXIT FOR\n  print \"b\"\n END IF\n print \"c\"\n"), "ac");
    EXPECT_EQ(output(" EXIT DO\n print \"still\"\n"), "still");
    EXPECT_EQ(output(" SELECT CASE 1\n CASE 1\n  EXIT DO\n  print \"x\"\n END SELECT\n print \"y\"\n"), "y");

    const std::string early = "FUNCTION Early(N)\n Early = 1\n FOR I = 1 TO 3\n  IF I = N THEN\n   Early = I * 10\n"
                              "   EXIT FUNCTION\n  END IF\n NEXT\n Early = -1\nEND FUNCTION\n";
    EXPECT_EQ(output(" print Early(2), \" \", Early(7)\n", early), "20 -1");
    EXPECT_EQ(bodyError(" EXIT WHILE\n"), "At line 2 : Syntax error, invalid procedure : WHILE");
    EXPECT_EQ(bodyError(" EXIT SELECT\n"), "At line 2 : Syntax error, invalid procedure : SELECT");
}

TEST(PellixStatements, AssignmentsCallsLetAndDim) {
    EXPECT_EQ(output(" X = 1, Y = 2, print X\n print Y\n"), "12");
    EXPECT_EQ(output(" LET X = 5\n print X\n"), "5");
    // Without parentheses a call takes everything up to the line end, nested calls included.
    EXPECT_EQ(output(" print 1, 2, print 3\n"), "312undefined");
    EXPECT_EQ(output(" DIM A, B\n print isNull(A, B)\n A = 1\n print isNull(A, B)\n"), "10");
    // DIM inside a nested block enters a table no lookup consults: the name behaves as undeclared.
    EXPECT_EQ(output(" IF 1 THEN\n  DIM Z\n  Z = 4\n  print Z\n END IF\n"), "4");
    EXPECT_EQ(bodyError(" IF 1 THEN\n  DIM Z\n  print Z\n END IF\n"), "Function not implemented : Z");

    EXPECT_EQ(bodyError(" LET 5 = 1\n"), "At line 2 : Syntax error, not a valid name : 5");
    EXPECT_EQ(bodyError(" X = 1 Y = 2\n"), "At line 2 : Error, should be endline or comma : Y");
    EXPECT_EQ(bodyError(" X = 1; Y = 2\n"), "At line 2 : Error, should be endline or comma : ;");
    EXPECT_EQ(bodyError(" X = 1, 2\n"), "At line 2 : Error, should be symbol after comma : 2");
    EXPECT_EQ(bodyError(" DIM A\n DIM A\n"), "At line 3 : Redim variable : A");
    EXPECT_EQ(bodyError(" 5\n"), "At line 2 : Missing END FUNCTION : 5");
}
