#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "level/MatchSettings.h"

using Torvane::MatchSettings;

TEST(MatchSettings, TakesTheOptionsAndRefusesBadOnesNamingTheMaps) {
    const std::vector<std::string> maps = {"quarry", "rooftops"};
    std::string error;
    MatchSettings match;
    EXPECT_FALSE(match.take("--level", "2")) << "not a match option";
    EXPECT_FALSE(match.isAsked());
    ASSERT_TRUE(match.take("--match", "rooftops"));
    ASSERT_TRUE(match.check(maps, error)) << error;
    EXPECT_EQ(match.getTeamSize(), 4);
    EXPECT_EQ(match.getScore(), 20);
    EXPECT_EQ(match.getMinutes(), 5);
    EXPECT_EQ(match.getMapPath(), "map/versus/rooftops.map");
    match.take("--team-size", "8");
    match.take("--score", "1");
    match.take("--minutes", "60");
    ASSERT_TRUE(match.check(maps, error)) << error;
    EXPECT_EQ(match.getTeamSize(), 8);

    const std::pair<std::pair<const char*, const char*>, const char*> bad[] = {
        {{"--team-size", "9"}, "--team-size 9 is not a whole number from 1 to 8"},
        {{"--team-size", "0"}, "from 1 to 8"},
        {{"--score", "-3"}, "--score -3 is not"},
        {{"--minutes", "5x"}, "--minutes 5x is not"},
        {{"--minutes", ""}, "is not a whole number from 1 to 60"},
        {{"--score", "99999999999999"}, "from 1 to 999"},
    };
    for (const auto& c : bad) {
        MatchSettings one;
        one.take("--match", "quarry");
        one.take(c.first.first, c.first.second);
        EXPECT_FALSE(one.check(maps, error)) << c.first.first << " " << c.first.second;
        EXPECT_NE(error.find(c.second), std::string::npos) << error;
    }
    MatchSettings unknown;
    unknown.take("--match", "../outpost");
    EXPECT_FALSE(unknown.check(maps, error));
    EXPECT_EQ(error, "there is no versus map \"../outpost\"; the maps are quarry and rooftops");
    MatchSettings nameless;
    nameless.take("--team-size", "2");
    EXPECT_FALSE(nameless.check(maps, error));
    EXPECT_NE(error.find("--match needs the name of a versus map"), std::string::npos) << error;
}

TEST(MatchSettings, ListsOnlyPlainMapNamesOfTheVersusFolder) {
    char folder[] = "/tmp/torvane-maps-XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    const std::string root = folder;
    EXPECT_TRUE(MatchSettings::availableMaps(root).empty()) << "no folder: no maps";
    ASSERT_EQ(mkdir((root + "/map").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((root + "/map/versus").c_str(), 0700), 0);
    const char* files[] = {"b.map", "a-1.map", ".hidden.map", "Upper.map", "notes.txt", "with space.map", ".map"};
    for (const char* name : files) {
        std::FILE* file = std::fopen((root + "/map/versus/" + name).c_str(), "w");
        ASSERT_TRUE(file);
        std::fclose(file);
    }
    EXPECT_EQ(MatchSettings::availableMaps(root), (std::vector<std::string>{"a-1", "b"}));
    EXPECT_EQ(MatchSettings::mapListText({}), "none");
    EXPECT_EQ(MatchSettings::mapListText({"a", "b", "c"}), "a, b and c");
    for (const char* name : files) std::remove((root + "/map/versus/" + name).c_str());
    rmdir((root + "/map/versus").c_str());
    rmdir((root + "/map").c_str());
    rmdir(folder);
}
