#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/TemporaryFile.h"
#include "core/MapFile.h"

using Torvane::MapFile;

namespace {

const char* header = "7 3000 1200 120 170 215 ";

}  // namespace

TEST(MapFile, ReadsHeaderAndRecordsSeparatedByAnyWhiteSpace) {
    TemporaryFile text("7\n3000\t1200\r\n 120 170 215\n3\n"
                 "ground.bmp 2 0 0 1160 0 0 0 0\n"
                 "tree.bmp -4 1 -30 880 9 9 9 9   bush.bmp 1 5 10 20 0 0 0 0\n");
    MapFile map;
    ASSERT_TRUE(map.load(text.path));
    EXPECT_TRUE(map.isComplete()) << map.getError();
    EXPECT_EQ(map.getWidth(), 3000);
    EXPECT_EQ(map.getHeight(), 1200);
    EXPECT_EQ(map.getRed(), 120);
    EXPECT_EQ(map.getGreen(), 170);
    EXPECT_EQ(map.getBlue(), 215);
    ASSERT_EQ(map.getPieces().size(), 3u);
    const Torvane::MapPiece& tree = map.getPieces()[1];
    EXPECT_EQ(tree.recordNumber, 2);
    EXPECT_EQ(tree.imageName, "tree.bmp");
    EXPECT_EQ(tree.layer, -4);
    EXPECT_EQ(tree.kind, 1);
    EXPECT_EQ(tree.x, -30);
    EXPECT_EQ(tree.y, 880);
    EXPECT_EQ(map.getPieces()[2].kind, 5) << "unknown kinds are read like any other";
    EXPECT_FALSE(map.hasTrailingText());

    MapFile none;
    EXPECT_FALSE(none.load("/tmp/no/such/map.map"));
    EXPECT_NE(none.getError().find("/tmp/no/such/map.map cannot be opened"), std::string::npos) << none.getError();
}

TEST(MapFile, StopsAtTheFirstProblemKeepingWhatCameBefore) {
    struct Case {
        std::string text;
        std::string message;  // part of the error
        bool size, background;
        size_t pieces;
    };
    std::string one = "1 ";
    std::string piece = "crate.bmp 2 0 10 20 0 0 0 0 ";
    Case cases[] = {
        {"", "the file ends where the first value should be", false, false, 0},
        {"7 3000", "the file ends where the map height should be", false, false, 0},
        {"7 -5 1200", "the map width \"-5\" is outside 1 to 16384", false, false, 0},
        {"7 3000 0", "the map height \"0\" is outside 1 to 16384", false, false, 0},
        {"7 16384 16384", "the map size 16384 x 16384 is more than 33554432 pixels", false, false, 0},
        {"7 wide 1200", "the map width \"wide\" is not a whole number", false, false, 0},
        {"7 3000 1200 120 300 215", "the background green \"300\" is outside 0 to 255", true, false, 0},
        {header + std::string("-1"), "the piece count \"-1\" is outside 0 to 10000", true, true, 0},
        {header + std::string("2000000000"), "the piece count \"2000000000\" is outside 0 to 10000", true, true, 0},
        {header + std::string("99999999999999999999"), "is outside 0 to 10000", true, true, 0},
        {header + std::string("3 ") + piece + piece + "crate.bmp 2 0 10",
         "record 3 of 3: the file ends where the y should be", true, true, 2},
        {header + std::string("2 ") + piece + "crate.bmp 2 solid 10 20 0 0 0 0",
         "record 2 of 2: the kind \"solid\" is not a whole number", true, true, 1},
        {header + one + "crate.bmp 2 0 12abc 20 0 0 0 0", "record 1 of 1: the x \"12abc\" is not a whole number",
         true, true, 0},
        {header + one + "crate.bmp 2 0 10 -1000001 0 0 0 0", "the y \"-1000001\" is outside -1000000 to 1000000",
         true, true, 0},
        {header + one + "crate.bmp 2 0 10 20 0 0 0 4294967296", "the ninth value \"4294967296\" is outside",
         true, true, 0},
        {header + one + std::string(300, 'a') + " 2 0 10 20 0 0 0 0",
         "record 1 of 1: the picture name is longer than 255 characters", true, true, 0},
        {header + std::string("5 ") + piece, "record 2 of 5: the file ends where the picture name should be", true,
         true, 1},
        {std::string("7 3000 1200 1\x01\x02 0 0"), "the background red \"1??\" is not a whole number", true, false, 0},
        // A NUL byte inside a word must not end the number early: "12<NUL>5" is no 12.
        {header + one + "crate.bmp 2 0 12" + std::string(1, '\0') + "5 20 0 0 0 0",
         "record 1 of 1: the x \"12?5\" is not a whole number", true, true, 0},
    };
    for (const Case& c : cases) {
        TemporaryFile text(c.text);
        MapFile map;
        ASSERT_TRUE(map.load(text.path));
        EXPECT_FALSE(map.isComplete()) << c.text;
        EXPECT_NE(map.getError().find(c.message), std::string::npos) << map.getError();
        EXPECT_EQ(map.getError().find("Map file " + text.path + ": "), 0u) << "names the file: " << map.getError();
        EXPECT_EQ(map.hasSize(), c.size) << c.text;
        EXPECT_EQ(map.hasBackground(), c.background) << c.text;
        EXPECT_EQ(map.getPieces().size(), c.pieces) << c.text;
    }
}

TEST(MapFile, ReportsTextAfterTheLastRecordAndFilesThatCannotBeRead) {
    TemporaryFile text(header + std::string("1 crate.bmp 2 0 10 20 0 0 0 0 extra.bmp 2 0 1 1 0 0 0 0"));
    MapFile map;
    ASSERT_TRUE(map.load(text.path));
    EXPECT_TRUE(map.isComplete()) << "the game ignores what follows";
    EXPECT_TRUE(map.hasTrailingText());
    EXPECT_EQ(map.getTrailingText(), "\"extra.bmp\"");

    MapFile directory;
    EXPECT_FALSE(directory.load("/tmp")) << "a directory opens but cannot be read: it is no map";
    EXPECT_FALSE(directory.isComplete());
    EXPECT_FALSE(directory.hasSize());
    EXPECT_NE(directory.getError().find("Map file /tmp cannot be opened (it is a directory)"), std::string::npos) << directory.getError();
}

TEST(MapFile, AByteOrderMarkAtTheStartIsSkipped) {
    TemporaryFile text(std::string("\xEF\xBB\xBF") + header + std::string("1 crate.bmp 2 0 10 20 0 0 0 0\n"));
    MapFile map;
    ASSERT_TRUE(map.load(text.path));
    EXPECT_TRUE(map.isComplete()) << map.getError();
    EXPECT_EQ(map.getPieces().size(), 1u);

    // Only at the very start: further in, it is a word like any other.
    TemporaryFile inside(header + std::string("1 \xEF\xBB\xBF 2 0 10 20 0 0 0 0\n"));
    ASSERT_TRUE(map.load(inside.path));
    ASSERT_EQ(map.getPieces().size(), 1u);
    EXPECT_EQ(map.getPieces()[0].imageName, "\xEF\xBB\xBF");
    // A file of the mark alone is an empty map file.
    TemporaryFile alone("\xEF\xBB\xBF");
    ASSERT_TRUE(map.load(alone.path));
    EXPECT_NE(map.getError().find("the file ends where the first value should be"), std::string::npos) << map.getError();
}
