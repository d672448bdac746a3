#pragma once

#include <string>
#include <vector>

#include "script/PellixScript.h"

// What running a script's function gave: whether it loaded and ran, what "print" wrote, the last error.
struct ScriptOutcome {
    bool loaded = false;
    bool ran = false;
    std::string output;
    std::string error;
};

// Registers "print" (into a buffer) and "isNull" as the game does.
void registerTestHostFunctions(PellixScript& script);
// The text "print" has written since the last call, which empties it.
std::string takePrintedText();

// Loads text into a new engine with the test host functions and runs function on the given interpreter.
ScriptOutcome runScript(const std::string& text, PellixScript::Interpreter interpreter,
                        const std::string& function = "Main");

// Runs on both interpreters and requires them to agree; returns the common outcome.
ScriptOutcome runBoth(const std::string& text, const std::string& function = "Main");

// The last error after loading text into a fresh engine (empty when the load succeeds).
std::string loadError(const std::string& text);

// Tokens of text, as "type:text" items separated by blanks (line ends shown as \n).
std::string describeTokens(const std::string& text);

// A fresh, empty working directory for the lifetime of the object (IMPORT reads relative to it).
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    void write(const std::string& relativePath, const std::string& text) const;
    const std::string& path() const { return directory; }

private:
    std::string directory;
    std::string previous;
};
