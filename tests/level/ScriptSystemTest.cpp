#include <gtest/gtest.h>

#include <set>

#include "level/HostFunctionNames.h"
#include "level/HostFunctions.h"
#include "level/ScriptSystem.h"
#include "tests/fighters/TestWorld.h"
#include "tests/support/TemporaryFile.h"

using namespace Torvane;

namespace {

// A script system with the game's host functions and a script of the test's, served
// on the test's thread instead of the script thread.
class ScriptEvents : public ::testing::Test {
protected:
    void SetUp() override {
        TestWorld::reset();
        Torvane::game = &TestWorld::game();
        registerHostFunctions(system.getScript());
    }
    void load(const std::string& source) {
        TemporaryFile file(source);
        ASSERT_TRUE(system.getScript().load(file.path)) << system.getScript().getLastError();
    }
    std::string serve() {
        testing::internal::CaptureStdout();
        system.serveEvents();
        return testing::internal::GetCapturedStdout();
    }

    ScriptSystem system;
};

}  // namespace

TEST_F(ScriptEvents, ServedInTheOrderRaisedWithTheirThreeNumbers) {
    load("FUNCTION OnKill(victim, x, y)\n"
         "  print \"kill \", victim, \" \", x, \" \", y, \"\\n\"\n"
         "END FUNCTION\n"
         "FUNCTION onpresent(box, x, y)\n"
         "  print \"present \", box, \"\\n\"\n"
         "END FUNCTION\n");
    system.raise("OnKill", 7, 100, 200);
    system.raise("OnPresent", 9, 0, 0);
    system.raise("OnKill", 8, -1, -2);
    const size_t stackBefore = system.getScript().getRuntimeStack()->size();
    EXPECT_EQ(serve(), "kill 7 100 200\npresent 9\nkill 8 -1 -2\n");
    EXPECT_EQ(system.getEventCount(), 0u);
    EXPECT_EQ(system.getScript().getRuntimeStack()->size(), stackBefore);
}

TEST_F(ScriptEvents, FailingHandlersAreReportedAndTheNextEventIsServed) {
    // Short handlers fail however many locals would have taken the values: two parameters, or one with locals.
    load("FUNCTION OnKill(victim)\n"
         "  DIM a, b, c\n"
         "  print \"killed \", victim, \"\\n\"\n"
         "END FUNCTION\n"
         "FUNCTION OnLanded(x, y)\n"
         "  print \"landed\\n\"\n"
         "END FUNCTION\n"
         "FUNCTION OnHit(a, b, c)\n"
         "  DIM zero\n"
         "  print a / zero\n"
         "END FUNCTION\n"
         "FUNCTION OnDone(a, b, c, d)\n"
         "  print \"done \", isNull(d), \"\\n\"\n"
         "END FUNCTION\n");
    system.raise("OnPresent", 1, 2, 3);
    system.raise("OnKill", 1, 2, 3);
    system.raise("OnLanded", 1, 2, 3);
    system.raise("OnHit", 1, 2, 3);
    system.raise("OnDone", 1, 2, 3);
    const size_t stackBefore = system.getScript().getRuntimeStack()->size();
    const std::string output = serve();
    EXPECT_NE(output.find("ONPRESENT(0): Function not found : ONPRESENT\n"), std::string::npos) << output;
    EXPECT_NE(output.find("ONKILL(0): Too many parameters : ONKILL\n"), std::string::npos) << output;
    EXPECT_NE(output.find("ONLANDED(0): Too many parameters : ONLANDED\n"), std::string::npos) << output;
    EXPECT_EQ(output.find("killed"), std::string::npos) << output;
    EXPECT_EQ(output.find("landed"), std::string::npos) << output;
    EXPECT_NE(output.find("ONHIT(10): "), std::string::npos) << output;
    // Parameters beyond three arrive undefined.
    EXPECT_EQ(output.substr(output.size() - 7), "done 1\n") << output;
    EXPECT_EQ(system.getScript().getRuntimeStack()->size(), stackBefore);
}

// The pellix tool registers hostFunctionNames too: the game must know exactly those names.
TEST_F(ScriptEvents, TheGameRegistersExactlyTheNamesThePellixToolKnows) {
    std::set<std::string> expected;
    for (const char* name : hostFunctionNames) {
        std::string upper = name;
        PellixScript::toUpperString(upper);
        expected.insert(upper);
    }
    std::set<std::string> registered;
    for (const auto& entry : system.getScript().getFunctions()) registered.insert(entry.first);
    EXPECT_EQ(registered, expected);
    EXPECT_EQ(registered.size(), 50u);
    // And each name reaches its own function: a script sees isNull's answer under "isNull".
    load("FUNCTION Main\n  print isNull(), \" \", isNull(1), \"\\n\"\nEND FUNCTION\n");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(system.getScript().run("Main"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "1 0\n");
}
