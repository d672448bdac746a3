// The expression parser: the trees it builds, folding and its errors. What expressions compute is in
// cases/expression_*.fb.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

namespace {

// What Main prints for "print <expression>" after the given assignments.
std::string valueOf(const std::string& expression, const std::string& setup = "") {
    const ScriptOutcome outcome =
        runBoth("FUNCTION Main\n" + setup + " Value = " + expression + "\n print Value\nEND FUNCTION\n");
    EXPECT_TRUE(outcome.loaded && outcome.ran) << expression << ": " << outcome.error;
    return outcome.output;
}

// The expression assigned by the first statement of Main, as parsed.
const PellixSyntaxNode* parsedExpression(PellixScript& script, const std::string& expression) {
    EXPECT_TRUE(script.parse("FUNCTION Main\n X = " + expression + "\nEND FUNCTION\n")) << script.getLastError();
    return script.getFunctions().at("MAIN")->statements.at(0)->expr;
}

std::string expressionError(const std::string& expression) {
    return loadError("FUNCTION Main\n A = 1, B = 2, K = 3\n X = " + expression + "\nEND FUNCTION\n");
}

} // namespace

TEST(PellixExpression, UnaryOperatorsApplyToTheNextOperand) {
    PellixScript script;
    ASSERT_TRUE(script.parse("FUNCTION Main\n A = 2, B = 3\n X = -A * B\nEND FUNCTION\n")) << script.getLastError();
    const PellixSyntaxNode* product = script.getFunctions().at("MAIN")->statements.at(2)->expr;
    ASSERT_EQ(product->kind, PellixSyntaxNode::NODE_OPERATION);
    EXPECT_EQ(product->op, 47);
    ASSERT_EQ(product->left->kind, PellixSyntaxNode::NODE_OPERATION);
    EXPECT_EQ(product->left->op, 50);
    EXPECT_EQ(product->left->left->kind, PellixSyntaxNode::NODE_CONSTANT);
    EXPECT_EQ(product->left->left->payload->intValue, 0);
    EXPECT_EQ(product->left->right->word, "A");
    EXPECT_EQ(product->right->word, "B");
}

TEST(PellixExpression, ConstantsFold) {
    PellixScript script;
    const PellixSyntaxNode* minusOne = parsedExpression(script, "-1");
    ASSERT_EQ(minusOne->kind, PellixSyntaxNode::NODE_CONSTANT);
    EXPECT_EQ(minusOne->payload->type, PellixVariable::Integer);
    EXPECT_EQ(minusOne->payload->intValue, -1);

    PellixScript strings;
    const PellixSyntaxNode* joined = parsedExpression(strings, "\"a\" + \"b\"");
    ASSERT_EQ(joined->kind, PellixSyntaxNode::NODE_CONSTANT);
    EXPECT_EQ(joined->payload->stringValue, "ab");

    // The inserted 0 is an integer and decides the type: -1.5 is the integer -1.
    PellixScript negative;
    const PellixSyntaxNode* truncated = parsedExpression(negative, "-1.5");
    ASSERT_EQ(truncated->kind, PellixSyntaxNode::NODE_CONSTANT);
    EXPECT_EQ(truncated->payload->type, PellixVariable::Integer);
    EXPECT_EQ(truncated->payload->intValue, -1);
    PellixScript floats;
    const PellixSyntaxNode* exact = parsedExpression(floats, "0.0 - 1.5");
    ASSERT_EQ(exact->kind, PellixSyntaxNode::NODE_CONSTANT);
    EXPECT_EQ(exact->payload->type, PellixVariable::Float);
    EXPECT_FLOAT_EQ(exact->payload->floatValue, -1.5f);

    PellixScript numbers;
    const PellixSyntaxNode* longChain = parsedExpression(numbers, "1 + 2 * 3 - (4 - 5) * 6 MOD 4");
    ASSERT_EQ(longChain->kind, PellixSyntaxNode::NODE_CONSTANT);
    EXPECT_EQ(longChain->payload->intValue, 1 + 6 - (-6 % 4));
    EXPECT_EQ(valueOf("1e5"), "1");
    EXPECT_EQ(valueOf("1.5e1 + 0"), "15.000000");

    // Division by zero is not folded: the load succeeds and the run fails.
    PellixScript division;
    const PellixSyntaxNode* unfolded = parsedExpression(division, "1 / 0");
    EXPECT_EQ(unfolded->kind, PellixSyntaxNode::NODE_OPERATION);
    EXPECT_EQ(loadError("CONST Z = 1 / 0\n"), "At line 1 : Not a proper constant value : =");
    EXPECT_EQ(loadError("CONST Z = 5 MOD 0\n"), "At line 1 : Not a proper constant value : =");
    EXPECT_EQ(loadError("CONST Z = (-2147483647 - 1) / -1\n"), "At line 1 : Not a proper constant value : =");
}

TEST(PellixExpression, MalformedExpressions) {
    EXPECT_EQ(expressionError("A + B K"), "At line 3 : One or more operands are still in the stack : ");
    EXPECT_EQ(loadError("FUNCTION Main\n IF THEN\n END IF\nEND FUNCTION\n"),
              "At line 2 : One or more operands are still in the stack : ");
    EXPECT_EQ(expressionError("(A + B"), "At line 3 : Internal error: failed to determine the operator : (");
    EXPECT_EQ(expressionError("A [ B"), "At line 3 : Internal error: failed to determine the operator : [");
    EXPECT_EQ(expressionError("A +"), "At line 3 : Syntax error: missing operand for : +");
    EXPECT_EQ(expressionError("*"), "At line 3 : Syntax error: missing operand for : *");
    EXPECT_EQ(expressionError("- ()"), "At line 3 : Syntax error: missing operand for : -");
    EXPECT_EQ(expressionError("NOT (())"), "At line 3 : Syntax error: missing operand for : NOT");
    EXPECT_EQ(expressionError("A )"), "At line 3 : Error, should be endline or comma : )");
    EXPECT_EQ(loadError("FUNCTION Main\n Print(1 2)\nEND FUNCTION\n"), "At line 2 : Missing ',' before : 2");
    EXPECT_EQ(loadError("FUNCTION Main\n Print 1 \"a\"\nEND FUNCTION\n"), "At line 2 : Missing ',' before : a");
    EXPECT_EQ(expressionError("(A) B"), "At line 3 : Error, should be endline or comma : B");
    EXPECT_EQ(expressionError("A * (B K)"), "At line 3 : One or more operands are still in the stack : ");
    EXPECT_EQ(loadError("FUNCTION Main\n X = 1\nEND FUNCTION\nFUNCTION F(N)\n X = F(N - 1)\nEND FUNCTION\n"),
              "At line 5 : One or more operands are still in the stack : ");
}

TEST(PellixExpression, CallsInExpressionsParse) {
    // A call without parentheses takes the rest of the line, so IF Twice THEN has no condition left.
    const std::string twice = "FUNCTION Twice(N)\n Twice = N * 2\nEND FUNCTION\n";
    EXPECT_EQ(loadError("FUNCTION Main\n IF Twice THEN\n END IF\nEND FUNCTION\n" + twice),
              "At line 2 : One or more operands are still in the stack : ");

    PellixScript script;
    ASSERT_TRUE(script.parse("FUNCTION Main\n X = F(1, 2)\n Y = F 3, 4\nEND FUNCTION\nFUNCTION F(A, B)\nEND FUNCTION\n"))
        << script.getLastError();
    const PellixSyntaxNode* main = script.getFunctions().at("MAIN");
    EXPECT_EQ(main->statements.at(0)->expr->kind, PellixSyntaxNode::NODE_CALL);
    EXPECT_EQ(main->statements.at(0)->expr->args.size(), 2u);
    EXPECT_EQ(main->statements.at(1)->expr->args.size(), 2u);
    EXPECT_EQ(main->statements.at(0)->expr->expr, script.getFunctions().at("F"));
}

TEST(PellixExpression, ArgumentsInsideAnOpenExpressionKeepItsOperators) {
    // Each argument is an expression of its own, parsed while the enclosing ones wait half built.
    const ScriptOutcome outcome =
        runBoth("FUNCTION Main\n print 2 * (1 + Add(3 * Add(1, 2 - 3), (4 + 5) * 2)) - -1, Add(Add(1, 2), 3) * 2\n"
                "END FUNCTION\nFUNCTION Add(A, B)\n Add = A + B\nEND FUNCTION\n");
    EXPECT_TRUE(outcome.loaded && outcome.ran) << outcome.error;
    EXPECT_EQ(outcome.output, "3912");

    // A parse that fails deep inside an argument leaves nothing behind for the next one.
    PellixScript script;
    registerTestHostFunctions(script);
    EXPECT_FALSE(script.parse("FUNCTION Main\n X = 1 + isNull(2 * (3 + isNull(4,\nEND FUNCTION\n"));
    ASSERT_TRUE(script.parse("FUNCTION Other\n print 5 - 2 * 2\nEND FUNCTION\n")) << script.getLastError();
    EXPECT_TRUE(script.run("Other")) << script.getLastError();
    EXPECT_EQ(takePrintedText(), "1");
}

TEST(PellixExpression, OperatorPriorityTable) {
    EXPECT_EQ(PellixScript::getOperatorPriority("NOT"), 2);
    EXPECT_EQ(PellixScript::getOperatorPriority("MOD"), 3);
    EXPECT_EQ(PellixScript::getOperatorPriority("-"), 4);
    EXPECT_EQ(PellixScript::getOperatorPriority("<="), 6);
    EXPECT_EQ(PellixScript::getOperatorPriority("<>"), 7);
    EXPECT_EQ(PellixScript::getOperatorPriority("AND"), 8);
    EXPECT_EQ(PellixScript::getOperatorPriority("XOR"), 9);
    EXPECT_EQ(PellixScript::getOperatorPriority("("), 99);
    EXPECT_EQ(PellixScript::getOperatorPriority("["), -1);
}
