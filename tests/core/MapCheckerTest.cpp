#include <gtest/gtest.h>
#include <unistd.h>

#include <allegro.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/TemporaryFile.h"
#include "core/MapChecker.h"

using Torvane::MapChecker;

namespace {

bool mentions(const MapChecker& checker, int record, const std::string& text) {
    for (const MapChecker::Problem& problem : checker.getProblems())
        if (problem.recordNumber == record && problem.message.find(text) != std::string::npos) return true;
    return false;
}

std::string all(const MapChecker& checker) {
    std::string text;
    for (const MapChecker::Problem& problem : checker.getProblems()) text += problem.message + "\n";
    return text;
}

// Pictures load at the depth the game runs at, whatever a test before this one left.
class MapCheckerTest : public testing::Test {
protected:
    void SetUp() override { set_color_depth(32); }
};

}  // namespace

TEST_F(MapCheckerTest, PassesTheRealMap) {
    MapChecker checker;
    EXPECT_TRUE(checker.check("map/valley.map")) << all(checker);
    EXPECT_NE(checker.getSummary().find("map/valley.map: 3600 x 1400"), std::string::npos) << checker.getSummary();
}

TEST_F(MapCheckerTest, ReportsEveryBadRecordWithItsNumberAndGoesOnToTheNext) {
    TemporaryFile text("1 1000 700 10 20 30 7\n"
                 "crate.bmp 5 0 100 600 0 0 0 0\n"     // 1: fine
                 "crate.bmp 5 3 100 600 0 0 0 0\n"     // 2: unknown kind
                 "missing.bmp 5 0 100 600 0 0 0 0\n"   // 3: no such picture
                 "crate.bmp 5 0 980 600 0 0 0 0\n"     // 4: reaches past the right edge
                 "crate.bmp 5 1 -500 -500 0 0 0 0\n"   // 5: wholly outside
                 "bush.bmp 5 1 10 10 0 0 0 0\n"        // 6: fine
                 "crate.bmp 5 -1 0 0 0 0 0 0\n"        // 7: unknown kind
                 "stray words\n");
    MapChecker checker;
    EXPECT_FALSE(checker.check(text.path));
    EXPECT_TRUE(mentions(checker, 2, "record 2 (crate.bmp at 100, 600): kind 3 is neither 0 (solid) nor 1"))
        << all(checker);
    EXPECT_TRUE(mentions(checker, 3, "picture image/object/missing.bmp is missing")) << all(checker);
    EXPECT_TRUE(mentions(checker, 4, "its 64 x 64 picture reaches outside the 1000 x 700 map")) << all(checker);
    EXPECT_TRUE(mentions(checker, 5, "lies outside the 1000 x 700 map")) << all(checker);
    EXPECT_TRUE(mentions(checker, 7, "kind -1")) << all(checker);
    EXPECT_TRUE(mentions(checker, 0, "\"stray\" follows the last of the 7 records")) << all(checker);
    EXPECT_EQ(checker.getProblems().size(), 6u) << all(checker);
    for (const MapChecker::Problem& problem : checker.getProblems())
        EXPECT_EQ(problem.message.find("Map file " + text.path), 0u) << problem.message;
}

TEST_F(MapCheckerTest, RejectsEachKindOfUnreadableMap) {
    struct Case {
        std::string text;
        std::string message;
    };
    std::string crate = "crate.bmp 5 0 100 600 0 0 0 0\n";
    Case cases[] = {
        {"1 1000 700 10 20 30 3\n" + crate + crate, "record 3 of 3: the file ends where the picture name should be"},
        {"1 1000 700 10 20 30 -1\n", "the piece count \"-1\" is outside 0 to 10000"},
        {"1 1000 700 10 20 30 1000000\n", "the piece count \"1000000\" is outside 0 to 10000"},
        {"1 0 700 10 20 30 0\n", "the map width \"0\" is outside 1 to 16384"},
        {"1 1000 70000 10 20 30 0\n", "the map height \"70000\" is outside 1 to 16384"},
        {"1 1000 700 10 20 thirty 0\n", "the background blue \"thirty\" is not a whole number"},
        {"1 1000 700 10 20 30 1 crate.bmp 5 0 x 600 0 0 0 0\n", "record 1 of 1: the x \"x\" is not a whole number"},
    };
    for (const Case& c : cases) {
        TemporaryFile text(c.text);
        MapChecker checker;
        EXPECT_FALSE(checker.check(text.path)) << c.text;
        EXPECT_NE(all(checker).find(c.message), std::string::npos) << all(checker);
        EXPECT_NE(all(checker).find("the game loads nothing after this point"), std::string::npos) << all(checker);
    }
    MapChecker missing;
    EXPECT_FALSE(missing.check("map/there-is-no-such.map"));
    EXPECT_TRUE(mentions(missing, 0, "map/there-is-no-such.map cannot be opened")) << all(missing);
}

// Found by fuzzing: a picture name that is not UTF-8 made Allegro read past the end of the name and crash.
TEST_F(MapCheckerTest, APictureNameThatIsNotUtf8IsReportedNotHandedToAllegro) {
    TemporaryFile text("1 3600 1400 142 192 232 3\n"
                       "hills.bmp 0 1 0 860 0 0 0 0\n"
                       "c\x94\x96\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\x99\xa3.bmp 2 0 3200 1040 0 0 0 0\n"
                       "caf\xe9.bmp 2 0 3200 1040 0 0 0 0\n");
    MapChecker checker;
    EXPECT_FALSE(checker.check(text.path));
    EXPECT_TRUE(mentions(checker, 2, "is missing or not a readable bitmap (its name is not UTF-8 text)")) << all(checker);
    EXPECT_TRUE(mentions(checker, 3, "(its name is not UTF-8 text)")) << all(checker);
}
