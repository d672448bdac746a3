#pragma once

#include <string>

// One word of a script as the lexer classified it.
struct PellixToken {
    enum Type : int {
        TK_NAME = 0,
        TK_STRING = 1,
        TK_NUMBER = 2,
        TK_EOL = 3,
        TK_IF = 4,
        TK_FOR = 5,
        TK_NEXT = 6,
        TK_ELSE = 7,
        TK_EXIT = 8,
        TK_DIM = 9,
        TK_IMPORT = 10,
        TK_CONST = 11,
        TK_OR = 12,
        TK_AND = 13,
        TK_XOR = 14,
        TK_NOT = 15,
        TK_MOD = 16,
        TK_TO = 17,
        TK_CALL = 18,
        TK_LET = 19,
        TK_FUNCTION = 20,
        TK_END = 21,
        TK_THEN = 22,
        TK_STEP = 23,
        TK_DO = 24,
        TK_LOOP = 25,
        TK_UNTIL = 26,
        TK_WHILE = 27,
        TK_WEND = 28,
        TK_SELECT = 29,
        TK_CASE = 30,
        TK_COMMA = 31,
        TK_OPERATOR = 32,
        TK_COLON = 43,
        TK_SEMICOLON = 44,
    };

    int line = 0; // 1-based line on which the token starts
    int type = TK_NAME;
    std::string text;

    bool isOperator(const char* operatorText) const { return type == TK_OPERATOR && text == operatorText; }
};
