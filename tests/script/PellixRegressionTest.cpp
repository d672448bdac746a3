// Inputs that once broke the engine (most found by fuzzing): each must load or fail cleanly, and every function
// in it must run or fail cleanly on both interpreters, with the same outcome.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ScriptTestSupport.h"

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

bool hitsDepthLimit(const std::string& error) {
    return error.find("nested too deeply") != std::string::npos ||
           error.find("Run-time stack full") != std::string::npos;
}

} // namespace

TEST(PellixRegressions, SavedInputsRunCleanlyOnBothInterpreters) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(PELLIX_REGRESSIONS_DIR))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    TemporaryDirectory workingDirectory; // IMPORTs in the inputs find nothing
    for (const std::filesystem::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string text = readFile(file);
        PellixScript compiled;
        PellixScript walking;
        walking.setInterpreter(PellixScript::TreeWalking);
        registerTestHostFunctions(compiled);
        registerTestHostFunctions(walking);
        const bool loaded = compiled.parse(text);
        EXPECT_EQ(walking.parse(text), loaded);
        EXPECT_EQ(compiled.getLastError(), walking.getLastError());
        for (const auto& entry : compiled.getFunctions()) {
            if (entry.second->kind != PellixSyntaxNode::NODE_FUNCTION)
                continue;
            takePrintedText();
            const bool compiledRan = compiled.run(entry.first);
            const std::string compiledOutput = takePrintedText();
            const bool walkingRan = walking.run(entry.first);
            const std::string walkingOutput = takePrintedText();
            const std::string compiledError = compiledRan ? "" : compiled.getLastError();
            const std::string walkingError = walkingRan ? "" : walking.getLastError();
            EXPECT_TRUE(compiled.getRuntimeStack()->empty());
            EXPECT_TRUE(walking.getRuntimeStack()->empty());
            if (hitsDepthLimit(compiledError) || hitsDepthLimit(walkingError))
                break;
            EXPECT_EQ(compiledRan, walkingRan) << entry.first;
            EXPECT_EQ(compiledError, walkingError) << entry.first;
            EXPECT_EQ(compiledOutput, walkingOutput) << entry.first;
        }
    }
}
