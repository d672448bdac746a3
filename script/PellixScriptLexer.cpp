// The lexer: script text to a queue of tokens, one file at a time.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/PellixScript.h"

namespace {

// Views, so that a lookup compares lengths before any characters: every name of a script is looked up here.
struct TokenRecord {
    int type;
    std::string_view text;
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

// Which records begin with each character, in table order, so that a word is compared with at most three.
struct KeywordIndex {
    std::vector<const TokenRecord*> byFirst[256];
    KeywordIndex() {
        for (const TokenRecord& record : tokenStrings)
            byFirst[static_cast<unsigned char>(record.text[0])].push_back(&record);
    }
};

const KeywordIndex& keywordIndex() {
    static const KeywordIndex index;
    return index;
}

// The one-character operators "()[]=><+-*/".
bool isOperatorCharacter(char c) {
    switch (c) {
    case '(': case ')': case '[': case ']': case '=': case '>': case '<':
    case '+': case '-': case '*': case '/':
        return true;
    default:
        return false;
    }
}

// Where the byte at index stands as an editor counts: lines from 1 (CR LF, CR and LF each end one, inside
// strings too), columns in bytes from 1.
std::pair<int, size_t> lineAndColumn(const std::string& text, size_t index) {
    int line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < index; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++line;
            lineStart = i + 1;
        }
    }
    return {line, index - lineStart + 1};
}

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
        // Only a regular file: a FIFO or a device named by an IMPORT would block the load for ever.
        struct stat status {};
        if (stat(fileName.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
            setLastError(S_ISDIR(status.st_mode) ? "Failed to open file." : "Not a regular file.", fileName, -1);
            return false;
        }
        FILE* file = std::fopen(fileName.c_str(), "rb");
        if (!file) {
            setLastError("Failed to open file.", fileName, -1);
            return false;
        }
        FileCloser closer(file);
        char buffer[65536];
        size_t count;
        bool ended = false;
        // Reading ends at the limit or at the first NUL byte, which the lexer then reports: nothing after it can
        // make the file load, and a device such as /dev/zero is not read on.
        while (!ended && (count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            const char* nul = static_cast<const char*>(std::memchr(buffer, '\0', count));
            if (nul) {
                count = static_cast<size_t>(nul - buffer) + 1;
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
    // A NUL byte is no character of a script (a binary file, a broken copy): the load fails, naming where.
    const size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        const std::pair<int, size_t> at = lineAndColumn(text, nul);
        const std::string file = filesLoading.empty() ? "" : filesLoading.back();
        setLastError("NUL byte at column " + std::to_string(at.second), file, at.first);
        return false;
    }
    enum State { Normal, Comment, InString } state = Normal;
    int line = 1;
    // A word is a run of the text, from wordStart up to the character that ends it; none is open at npos.
    constexpr size_t none = std::string::npos;
    size_t wordStart = none;
    auto flush = [&](size_t end) {
        if (wordStart != none) {
            addWord(line, text.data() + wordStart, end - wordStart);
            wordStart = none;
        }
    };

    const size_t length = text.size();
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        const bool lineEnd = c == '\n' || c == '\r';
        // CR LF is one line end.
        const size_t at = i;
        if (c == '\r' && i + 1 < length && text[i + 1] == '\n' && state != InString)
            ++i;
        switch (state) {
        case Normal:
            if (isLetter(c) || isDigit(c) || c == '.') {
                if (wordStart == none)
                    wordStart = at;
            } else if (c == ' ' || c == '\t') {
                flush(at);
            } else if (lineEnd) {
                flush(at);
                addWord(line, "\n", 1);
                ++line;
            } else if (c == '"') {
                flush(at);
                wordStart = at;
                state = InString;
            } else if (c == '\'') {
                flush(at);
                state = Comment;
            } else {
                flush(at);
                addWord(line, &text[at], 1);
            }
            break;
        case Comment:
            if (lineEnd) {
                addWord(line, "\n", 1);
                ++line;
                state = Normal;
            }
            break;
        case InString:
            // Line ends inside a string are kept and do not count as lines.
            if (c == '"') {
                flush(at + 1);
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
    addWord(line, text.data(), text.size());
}

void PellixScript::addWord(int line, const char* text, size_t length) {
    if (length == 0 || !tokens)
        return;
    // Each text is built in place: assigning to a default string goes through a slower library call.
    PellixToken token;
    token.line = line;
    if (length == 1 && isOperatorCharacter(text[0])) {
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
        token.text = std::string(text, text + length);
    } else if (text[0] == '"') {
        token.type = PellixToken::TK_STRING;
        // The characters between the quotes; a backslash makes the next character stand for itself, except
        // n, t and r. A backslash with nothing after it stays a backslash.
        const size_t end = length >= 2 ? length - 1 : 1;
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
        token.text = std::string(text, text + length);
    } else {
        token.text = std::string(text, text + length);
        toUpperString(token.text);
        token.type = PellixToken::TK_NAME;
        const std::string_view word(token.text);
        for (const TokenRecord* record : keywordIndex().byFirst[static_cast<unsigned char>(word[0])]) {
            if (word == record->text) {
                token.type = record->type;
                break;
            }
        }
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
