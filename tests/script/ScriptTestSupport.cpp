#include "ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "script/PellixStandInHost.h"

namespace {

std::string printed;

} // namespace

void registerTestHostFunctions(PellixScript& script) {
    PellixStandInHost::printTo(&printed);
    PellixStandInHost::registerOn(script);
}

std::string takePrintedText() {
    std::string text;
    text.swap(printed);
    return text;
}

ScriptOutcome runScript(const std::string& text, PellixScript::Interpreter interpreter, const std::string& function) {
    PellixScript script;
    script.setInterpreter(interpreter);
    registerTestHostFunctions(script);
    takePrintedText();
    ScriptOutcome outcome;
    outcome.loaded = script.parse(text);
    if (outcome.loaded)
        outcome.ran = script.run(function);
    outcome.output = takePrintedText();
    if (!outcome.loaded || !outcome.ran)
        outcome.error = script.getLastError();
    EXPECT_TRUE(script.getRuntimeStack()->empty()) << "the run-time stack must be empty after a run";
    return outcome;
}

ScriptOutcome runBoth(const std::string& text, const std::string& function) {
    const ScriptOutcome compiled = runScript(text, PellixScript::Compiled, function);
    const ScriptOutcome walked = runScript(text, PellixScript::TreeWalking, function);
    EXPECT_EQ(compiled.loaded, walked.loaded) << text;
    EXPECT_EQ(compiled.ran, walked.ran) << text;
    EXPECT_EQ(compiled.output, walked.output) << text;
    EXPECT_EQ(compiled.error, walked.error) << text;
    return compiled;
}

std::string loadError(const std::string& text) {
    PellixScript script;
    registerTestHostFunctions(script);
    if (script.parse(text))
        return "";
    return script.getLastError();
}

std::string describeTokens(const std::string& text) {
    PellixScript script;
    std::deque<PellixToken> queue;
    if (!script.scan(text, queue))
        return "error: " + script.getLastError();
    std::string description;
    for (const PellixToken& token : queue) {
        if (!description.empty())
            description += ' ';
        description += std::to_string(token.type) + ":" + (token.type == PellixToken::TK_EOL ? "\\n" : token.text);
    }
    return description;
}

TemporaryDirectory::TemporaryDirectory() {
    char pattern[] = "/tmp/pellix-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made)
        throw std::runtime_error("cannot make a temporary directory");
    directory = made;
    previous = std::filesystem::current_path().string();
    std::filesystem::current_path(directory);
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
    std::filesystem::remove_all(directory, ignored);
}

void TemporaryDirectory::write(const std::string& relativePath, const std::string& text) const {
    const std::filesystem::path file = std::filesystem::path(directory) / relativePath;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream stream(file, std::ios::binary);
    stream << text;
}
