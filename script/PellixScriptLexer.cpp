// The lexer: script text to a queue of tokens, one file at a time.
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "script/PellixScript.h"

namespace {

struct TokenRecord {
    int type;
    char text[12];
};

// Searched in this order; the comma, semicolon and colon reach their types through it too.
const TokenRecord tokenStrings[31] = {
    {PellixToken::TK_EOL, "\n"},        {PellixToken::TK_IF, "IF"},         {PellixToken::TK_FOR, "FOR"},
    {PellixToken::TK_NEXT, "NEXT"},     {PellixToken::TK_ELSE, "ELSE"},     {PellixToken::TK_EXIT, "EXIT"},
    {PellixToken::TK_DIM, "DIM"},       {PellixToken::TK_IMPORT, "IMPORT"}, {PellixToken::TK_CONST, "CONST"},
    {PellixToken::TK_OR, "OR"},         {PellixToken::TK_AND, "AND"},       {PellixToken::TK_XOR, "XOR"},
    {PellixToken::TK_NOT, "NOT"},       {PellixToken::TK_MOD, "MOD"},       {PellixToken::TK_TO, "TO"},
    {PellixToken::TK_CALL, "CALL"},     {PellixToken::TK_LET, "LET"},       {PellixToken::TK_FUNCTION, "FUNCTION"},
    {PellixToken::TK_END, "END"},       {PellixToken::TK_THEN, "THEN"},     {PellixToken::TK_STEP, "STEP"},
    {PellixToken::TK_WHILE, "WHILE"},   {PellixToken::TK_DO, "DO"},         {PellixToken::TK_UNTIL, "UNTIL"},
    {PellixToken::TK_LOOP, "LOOP"},     {PellixToken::TK_SELECT, "SELECT"}, {PellixToken::TK_CASE, "CASE"},
    {PellixToken::TK_WEND, "WEND"},     {PellixToken::TK_COMMA, ","},       {PellixToken::TK_SEMICOLON, ";"},
    {PellixToken::TK_COLON, ":"},
};

const char operators[] = "()[]=><+-*/";

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Puts the previous token queue back when a (possibly nested) scan or parse ends, however it ends.
class QueueRestorer {
public:
    QueueRestorer(std::deque<PellixToken>*& current, std::deque<PellixToken>* replacement)
        : current(current), previous(current) {
        current = replacement;
    }
    ~QueueRestorer() { current = previous; }
    QueueRestorer(const QueueRestorer&) = delete;
    QueueRestorer& operator=(const QueueRestorer&) = delete;

private:
    std::deque<PellixToken>*& current;
    std::deque<PellixToken>* previous;
};

class FileCloser {
public:
    explicit FileCloser(FILE* file) : file(file) {}
    ~FileCloser() { std::fclose(file); }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;

private:
    FILE* file;
};

} // namespace

bool PellixScript::load(std::string fileName) {
    std::string text;
    {
        FILE* file = std::fopen(fileName.c_str(), "rb");
        if (!file) {
            setLastError("Failed to open file.", fileName, -1);
            return false;
        }
        FileCloser closer(file);
        char buffer[65536];
        size_t count;
        bool ended = false;
        // The text ends at the first NUL byte: what follows it is never read (/dev/zero ends at once).
        while (!ended && (count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            const char* nul = static_cast<const char*>(std::memchr(buffer, '\0', count));
            if (nul) {
                count = static_cast<size_t>(nul - buffer);
                ended = true;
            }
            if (text.size() + count > maxFileSize) {
                setLastError("File too large, the limit is " + std::to_string(maxFileSize) + " bytes.", fileName, -1);
                return false;
            }
            text.append(buffer, count);
        }
        // A directory opens but cannot be read: it is no script.
        if (std::ferror(file)) {
            setLastError("Failed to open file.", fileName, -1);
            return false;
        }
    }
    // A UTF-8 byte-order mark, as some editors write, is no word of the script.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);

    filesLoading.push_back(fileName);
    struct Unwind {
        std::vector<std::string>& files;
        ~Unwind() { files.pop_back(); }
    } unwind{filesLoading};
    return parse(std::move(text));
}

bool PellixScript::parse(std::string text) {
    // Compiled functions may refer to names whose meaning this load can change; compile them again.
    machine.forgetCode();
    std::deque<PellixToken> queue;
    QueueRestorer restorer(tokens, &queue);
    if (!scan(text, queue))
        return false;
    return parseSyntax();
}

bool PellixScript::scan(const std::string& text, std::deque<PellixToken>& queue) {
    QueueRestorer restorer(tokens, &queue);
    enum State { Normal, Comment, InString } state = Normal;
    int line = 1;
    std::string word;
    auto flush = [&]() {
        if (!word.empty()) {
            addToken(line, std::move(word));
            word.clear();
        }
    };

    const size_t length = text.size();
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        const bool lineEnd = c == '\n' || c == '\r';
        // CR LF is one line end.
        if (c == '\r' && i + 1 < length && text[i + 1] == '\n' && state != InString)
            ++i;
        switch (state) {
        case Normal:
            if (c == ' ' || c == '\t') {
                flush();
            } else if (lineEnd) {
                flush();
                addToken(line, "\n");
                ++line;
            } else if (c == '"') {
                flush();
                word = "\"";
                state = InString;
            } else if (c == '\'') {
                flush();
                state = Comment;
            } else if (isLetter(c) || isDigit(c) || c == '.') {
                word += c;
            } else {
                flush();
                addToken(line, std::string(1, c));
            }
            break;
        case Comment:
            if (lineEnd) {
                addToken(line, "\n");
                ++line;
                state = Normal;
            }
            break;
        case InString:
            // Line ends inside a string are kept and do not count as lines.
            word += c;
            if (c == '"') {
                flush();
                state = Normal;
            }
            break;
        }
    }
    if (state == InString) {
        setLastError("Unclosed string.", "missing \"", line);
        return false;
    }
    // A word still being collected is dropped: every statement needs its closing line end anyway.
    return true;
}

void PellixScript::addToken(int line, std::string text) {
    if (text.empty() || !tokens)
        return;
    PellixToken token;
    token.line = line;
    if (text.size() == 1 && std::strchr(operators, text[0])) {
        // "<=", "<>" and ">=" arrive as two one-character words, possibly with blanks between them. Only an
        // operator merges: a string literal "<" followed by "=" stays a string and an operator.
        if (!tokens->empty()) {
            PellixToken& last = tokens->back();
            if (last.type == PellixToken::TK_OPERATOR && last.text.size() == 1) {
                const char first = last.text[0];
                const char second = text[0];
                if ((first == '<' && (second == '=' || second == '>')) || (first == '>' && second == '=')) {
                    last.text += second;
                    return;
                }
            }
        }
        token.type = PellixToken::TK_OPERATOR;
        token.text = std::move(text);
    } else if (text[0] == '"') {
        token.type = PellixToken::TK_STRING;
        // The characters between the quotes; a backslash makes the next character stand for itself, except
        // n, t and r. A backslash with nothing after it stays a backslash.
        const size_t end = text.size() >= 2 ? text.size() - 1 : 1;
        token.text.reserve(end);
        for (size_t i = 1; i < end; ++i) {
            char c = text[i];
            if (c == '\\' && i + 1 < end) {
                c = text[++i];
                if (c == 'n')
                    c = '\n';
                else if (c == 't')
                    c = '\t';
                else if (c == 'r')
                    c = '\r';
            }
            token.text += c;
        }
    } else if (isDigit(text[0]) || text[0] == '.') {
        token.type = PellixToken::TK_NUMBER;
        token.text = std::move(text);
    } else {
        toUpperString(text);
        token.type = PellixToken::TK_NAME;
        for (const TokenRecord& record : tokenStrings) {
            if (text == record.text) {
                token.type = record.type;
                break;
            }
        }
        token.text = std::move(text);
    }
    tokens->push_back(std::move(token));
}

PellixToken& PellixScript::getToken() {
    if (!tokens || tokens->empty())
        throw PellixSyntaxException("Syntax not finished", "", 0);
    return tokens->front();
}

void PellixScript::popToken() {
    if (tokens && !tokens->empty())
        tokens->pop_front();
}

void PellixScript::pushToken(PellixToken token) {
    if (tokens)
        tokens->push_back(std::move(token));
}

void PellixScript::toUpperString(std::string& text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
}
