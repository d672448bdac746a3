// The statement parser. FOR, DO, WHILE and SELECT CASE are lowered here into assignments, conditional loops,
// IF tests and exits, the few node kinds that the interpreters know.
#include <string>

#include "script/PellixDepthGuard.h"
#include "script/PellixOperators.h"
#include "script/PellixScript.h"

// stmts: statements up to END (consumed) or a word that cannot start one (left for the caller).
void PellixScript::parseBody(PellixSyntaxNode* block) {
    PellixDepthGuard level(blockDepth);
    if (blockDepth > maxBlockDepth) {
        // Name the first statement of the block that is one too many.
        const PellixToken* token = &getToken();
        for (const PellixToken& candidate : *tokens) {
            token = &candidate;
            if (candidate.type != PellixToken::TK_EOL)
                break;
        }
        throw PellixSyntaxException("Blocks nested too deeply, the limit is " + std::to_string(maxBlockDepth),
                                    token->text, token->line);
    }
    for (;;) {
        PellixToken& front = getToken();
        PellixSyntaxNode* statement = nullptr;
        switch (front.type) {
        case PellixToken::TK_EOL:
            popToken();
            continue;
        case PellixToken::TK_END:
            popToken();
            return;
        case PellixToken::TK_NAME:
            statement = parseNameStatement(block);
            break;
        case PellixToken::TK_LET: {
            popToken();
            PellixToken& name = getToken();
            if (name.type != PellixToken::TK_NAME)
                throw PellixSyntaxException("Syntax error, not a valid name", name.text, name.line);
            statement = parseNameStatement(block);
            break;
        }
        case PellixToken::TK_IF:
            statement = parseIF(block);
            break;
        case PellixToken::TK_FOR:
            statement = parseFOR(block);
            break;
        case PellixToken::TK_EXIT:
            statement = parseEXIT(block);
            break;
        case PellixToken::TK_DIM:
            popToken();
            parseDIM(block);
            break;
        case PellixToken::TK_DO:
            statement = parseDO(block);
            break;
        case PellixToken::TK_WHILE:
            statement = parseWHILE(block);
            break;
        case PellixToken::TK_SELECT:
            statement = parseSELECT(block);
            break;
        default:
            return;
        }
        if (statement)
            appendStatement(block, statement);
        endLine();
    }
}

// IF expr THEN EOL stmts [ ELSE EOL stmts ] END IF
PellixSyntaxNode* PellixScript::parseIF(PellixSyntaxNode* block) {
    PellixSyntaxNode* statement = newStatement(block, getToken().line, getToken().text);
    statement->kind = PellixSyntaxNode::NODE_IF;
    popToken();
    statement->expr = parseExpression(statement);

    PellixToken& then = getToken();
    if (then.type != PellixToken::TK_THEN)
        throw PellixSyntaxException("Syntax error, missing THEN", then.text, then.line);
    popToken();
    endLine();

    statement->body = newStatement(statement, statement->line, "");
    statement->body->kind = PellixSyntaxNode::NODE_BLOCK;
    parseBody(statement->body);
    if (getToken().type == PellixToken::TK_ELSE) {
        popToken();
        endLine();
        statement->elseBody = newStatement(statement, statement->line, "");
        statement->elseBody->kind = PellixSyntaxNode::NODE_BLOCK;
        parseBody(statement->elseBody);
    }

    PellixToken& closing = getToken();
    if (closing.type != PellixToken::TK_IF)
        throw PellixSyntaxException("Syntax error, missing END IF", closing.text, closing.line);
    popToken();
    return statement;
}

// FOR name = expr TO expr [ STEP expr ] EOL stmts NEXT [ name ]
// becomes: name = start, then a loop on name <= limit (>= for a negative constant step) whose body ends with
// name = name + step. Limit and step are evaluated again on every pass.
PellixSyntaxNode* PellixScript::parseFOR(PellixSyntaxNode* block) {
    const int line = getToken().line;
    PellixSyntaxNode* statement = newStatement(block, line, getToken().text);
    statement->kind = PellixSyntaxNode::NODE_LOOP;
    popToken();

    const std::string name = getToken().text;
    statement->word = name;
    popToken();
    PellixToken& equals = getToken();
    if (!equals.isOperator("="))
        throw PellixSyntaxException("Syntax error, missing '='", equals.text, equals.line);
    popToken();

    PellixSyntaxNode* initial = newStatement(block, line, name);
    initial->kind = PellixSyntaxNode::NODE_ASSIGN;
    initial->payload = getVariable(block, name, true);
    initial->expr = parseExpression(initial);
    appendStatement(block, initial);

    PellixToken& to = getToken();
    if (to.type != PellixToken::TK_TO)
        throw PellixSyntaxException("Syntax error, missing 'TO'", to.text, to.line);
    popToken();
    PellixSyntaxNode* limit = parseExpression(statement);
    PellixSyntaxNode* step = nullptr;
    if (getToken().type == PellixToken::TK_STEP) {
        popToken();
        step = parseExpression(statement);
    } else {
        step = newIntegerConstant(statement, 1);
    }

    statement->body = newStatement(block, line, "");
    statement->body->kind = PellixSyntaxNode::NODE_BLOCK;

    PellixSyntaxNode* increment = newStatement(statement->body, line, name);
    increment->kind = PellixSyntaxNode::NODE_ASSIGN;
    increment->payload = initial->payload;
    PellixSyntaxNode* counter = newStatement(increment, line, name);
    counter->kind = PellixSyntaxNode::NODE_VARIABLE;
    counter->payload = initial->payload;
    increment->expr = newOperation(increment, PellixOperators::OP_ADD, counter, step, line);

    endLine();
    parseBody(statement->body);

    PellixToken& next = getToken();
    if (next.type != PellixToken::TK_NEXT)
        throw PellixSyntaxException("Syntax error, missing 'NEXT'", next.text, next.line);
    popToken();
    PellixToken& after = getToken();
    if (after.type == PellixToken::TK_NAME) {
        if (after.text != name)
            throw PellixSyntaxException("Syntax error, missing 'FOR' for NEXT", after.text, after.line);
        popToken();
    }
    appendStatement(statement->body, increment);

    PellixSyntaxNode* tested = newStatement(statement, line, name);
    tested->kind = PellixSyntaxNode::NODE_VARIABLE;
    tested->payload = initial->payload;
    const bool countsDown = step->kind == PellixSyntaxNode::NODE_CONSTANT && step->payload->getInteger() < 0;
    statement->expr = newOperation(statement, countsDown ? PellixOperators::OP_GE : PellixOperators::OP_LE, tested,
                                   limit, line);
    return statement;
}

// EXIT FOR | EXIT DO | EXIT FUNCTION
PellixSyntaxNode* PellixScript::parseEXIT(PellixSyntaxNode* block) {
    PellixSyntaxNode* statement = newStatement(block, getToken().line, getToken().text);
    statement->kind = PellixSyntaxNode::NODE_EXIT;
    popToken();
    PellixToken& target = getToken();
    if (target.type != PellixToken::TK_FOR && target.type != PellixToken::TK_DO &&
        target.type != PellixToken::TK_FUNCTION)
        throw PellixSyntaxException("Syntax error, invalid procedure", target.text, target.line);
    statement->op = target.type;
    popToken();
    return statement;
}

// DO [ WHILE expr | UNTIL expr ] EOL stmts LOOP [ WHILE expr | UNTIL expr ], the condition on one of the lines.
// Either way the condition is tested before every pass.
PellixSyntaxNode* PellixScript::parseDO(PellixSyntaxNode* block) {
    PellixSyntaxNode* statement = newStatement(block, getToken().line, getToken().text);
    statement->kind = PellixSyntaxNode::NODE_LOOP;
    popToken();

    PellixToken& form = getToken();
    if (form.type != PellixToken::TK_UNTIL && form.type != PellixToken::TK_WHILE &&
        form.type != PellixToken::TK_EOL)
        throw PellixSyntaxException("Syntax error, missing 'WHILE' or 'UNTIL' for 'DO'", form.text, form.line);
    int conditionType = form.type;
    popToken();
    if (conditionType != PellixToken::TK_EOL) {
        statement->expr = parseExpression(statement);
        endLine();
    }

    PellixSyntaxNode* body = newStatement(block, statement->line, "");
    body->kind = PellixSyntaxNode::NODE_BLOCK;
    parseBody(body);
    PellixToken& loop = getToken();
    if (loop.type != PellixToken::TK_LOOP)
        throw PellixSyntaxException("Syntax error, missing 'LOOP' for 'DO'", loop.text, loop.line);
    popToken();

    // A DO line without a condition needs one on the LOOP line; a loop without any is refused rather than
    // given a meaning of its own (write DO WHILE 1 for an endless loop).
    if (conditionType == PellixToken::TK_EOL) {
        PellixToken& tail = getToken();
        if (tail.type != PellixToken::TK_UNTIL && tail.type != PellixToken::TK_WHILE)
            throw PellixSyntaxException("Syntax error, missing 'WHILE' or 'UNTIL' for 'LOOP'", tail.text,
                                        tail.line);
        conditionType = tail.type;
        popToken();
        statement->expr = parseExpression(statement);
    }
    if (conditionType == PellixToken::TK_UNTIL)
        statement->elseBody = body;
    else
        statement->body = body;
    return statement;
}

// WHILE expr EOL stmts WEND
PellixSyntaxNode* PellixScript::parseWHILE(PellixSyntaxNode* block) {
    PellixSyntaxNode* statement = newStatement(block, getToken().line, getToken().text);
    statement->kind = PellixSyntaxNode::NODE_LOOP;
    popToken();
    statement->expr = parseExpression(statement);
    statement->body = newStatement(block, statement->line, "");
    statement->body->kind = PellixSyntaxNode::NODE_BLOCK;
    parseBody(statement->body);
    PellixToken& wend = getToken();
    if (wend.type != PellixToken::TK_WEND)
        throw PellixSyntaxException("Syntax error, missing 'WEND' for 'WHILE'", wend.text, wend.line);
    popToken();
    return statement;
}

// SELECT CASE expr EOL { CASE constant { , constant } EOL stmts } END SELECT
// becomes a list of tests "IF selector = constant [OR selector = constant ...]" whose blocks end with an exit
// from the SELECT. Each test evaluates the selector again.
PellixSyntaxNode* PellixScript::parseSELECT(PellixSyntaxNode* block) {
    PellixSyntaxNode* statement = newStatement(block, getToken().line, getToken().text);
    statement->kind = PellixSyntaxNode::NODE_SELECT;
    popToken();
    PellixToken& caseWord = getToken();
    if (caseWord.type != PellixToken::TK_CASE)
        throw PellixSyntaxException("Syntax error, missing 'CASE' for 'SELECT'", caseWord.text, caseWord.line);
    popToken();
    PellixSyntaxNode* selector = parseExpression(statement);
    endLine();

    auto parseCaseValue = [&]() {
        PellixSyntaxNode* value = parseExpression(statement);
        if (value->kind != PellixSyntaxNode::NODE_CONSTANT)
            throw PellixSyntaxException("Error: case value should be a constant", "", statement->line);
        return newOperation(statement, PellixOperators::OP_EQ, copyNode(selector), value, statement->line);
    };

    for (;;) {
        PellixToken& front = getToken();
        if (front.type == PellixToken::TK_END) {
            popToken();
            PellixToken& select = getToken();
            if (select.type != PellixToken::TK_SELECT)
                throw PellixSyntaxException("Syntax error, missing 'SELECT' for 'END'", select.text, select.line);
            popToken();
            break;
        }
        if (front.type != PellixToken::TK_CASE)
            throw PellixSyntaxException("Syntax error, missing 'CASE'", front.text, front.line);
        const int caseLine = front.line;
        popToken();

        PellixSyntaxNode* test = newStatement(block, statement->line, "CASE");
        test->kind = PellixSyntaxNode::NODE_IF;
        PellixSyntaxNode* condition = parseCaseValue();
        while (getToken().type == PellixToken::TK_COMMA) {
            popToken();
            condition = newOperation(statement, PellixOperators::OP_OR, condition, parseCaseValue(),
                                     statement->line);
        }
        test->expr = condition;
        endLine();

        PellixSyntaxNode* body = newStatement(block, caseLine, "");
        body->kind = PellixSyntaxNode::NODE_BLOCK;
        parseBody(body);
        PellixSyntaxNode* exit = newStatement(body, caseLine, "EXIT");
        exit->kind = PellixSyntaxNode::NODE_EXIT;
        exit->op = PellixToken::TK_SELECT;
        appendStatement(body, exit);
        test->body = body;
        statement->statements.push_back(test);

        if (getToken().type == PellixToken::TK_SELECT) {
            popToken();
            break;
        }
    }
    deleteNode(selector);
    return statement;
}

// name = expr | name [ arguments ], optionally followed by more of them after commas on the same line.
PellixSyntaxNode* PellixScript::parseNameStatement(PellixSyntaxNode* block) {
    PellixSyntaxNode* statement = newStatement(block, getToken().line, getToken().text);
    for (;;) {
        const std::string name = getToken().text;
        statement->word = name;
        statement->line = getToken().line;
        popToken();

        PellixToken& front = getToken();
        if (front.isOperator("=")) {
            statement->kind = PellixSyntaxNode::NODE_ASSIGN;
            statement->payload = getVariable(block, name, true);
            if (statement->payload->isConst)
                throw PellixSyntaxException("Error, trying to assign a new value to a constant", "=", front.line);
            popToken();
            statement->expr = parseExpression(statement);
        } else {
            statement->kind = PellixSyntaxNode::NODE_CALL;
            parseCALL(statement);
        }
        if (getToken().type == PellixToken::TK_EOL)
            return statement;

        appendStatement(block, statement);
        statement = newStatement(block, getToken().line, getToken().text);
        PellixToken& comma = getToken();
        if (comma.type != PellixToken::TK_COMMA)
            throw PellixSyntaxException("Error, should be endline or comma", comma.text, comma.line);
        popToken();
        PellixToken& next = getToken();
        if (next.type != PellixToken::TK_NAME)
            throw PellixSyntaxException("Error, should be symbol after comma", next.text, next.line);
    }
}
