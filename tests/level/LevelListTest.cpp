#include <gtest/gtest.h>

#include <string>

#include "level/LevelList.h"

using Torvane::LevelList;

TEST(LevelList, ReadsTheCampaignAndRefusesPathsOutsideTheData) {
    LevelList list;
    std::string error;
    ASSERT_TRUE(list.parse("# comment\n\nscript/main.fb | The outpost | image/gui/a.bmp\r\n"
                           "  script/b.fb|The gorge|  \n",
                           error))
        << error;
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.at(0).name, "The outpost");
    EXPECT_EQ(list.at(0).picture, "image/gui/a.bmp");
    EXPECT_EQ(list.at(1).script, "script/b.fb");
    EXPECT_EQ(list.at(1).picture, "");

    const std::pair<const char*, const char*> bad[] = {
        {"script/a.fb | A\n", "line 1: a level is \"script | name | picture\", three parts"},
        {"# x\nscript/../../etc/passwd.fb | A |\n", "line 2: \"script/../../etc/passwd.fb\" is not a .fb file under script/"},
        {"/tmp/a.fb | A |\n", "is not a .fb file under script/"},
        {"script/a.txt | A |\n", "is not a .fb file under script/"},
        {"script/a.fb | A | /etc/hostname\n", "is not a picture under image/"},
        {"script/a.fb |  | image/a.bmp\n", "a level's name has 1 to 40 characters"},
        {"# nothing\n", "names no level"},
    };
    for (const auto& c : bad) {
        EXPECT_FALSE(list.parse(c.first, error)) << c.first;
        EXPECT_NE(error.find(c.second), std::string::npos) << error;
        ASSERT_EQ(list.size(), 1) << "a broken list plays the first level alone";
        EXPECT_EQ(list.at(0).script, "script/main.fb");
    }
    std::string many;
    for (int i = 0; i <= LevelList::maxLevels; ++i) many += "script/a.fb | A |\n";
    EXPECT_FALSE(list.parse(many, error));
    EXPECT_NE(error.find("more than 64 levels"), std::string::npos) << error;
}

TEST(LevelList, LevelNumbersCountFromOneAndAWrongOneNamesTheLevels) {
    LevelList list;
    std::string error;
    ASSERT_TRUE(list.parse("script/a.fb | One |\nscript/b.fb | Two |\n", error));
    EXPECT_EQ(list.indexOf("1", error), 0);
    EXPECT_EQ(list.indexOf("2", error), 1);
    for (const char* wrong : {"0", "3", "-1", "1x", "", "99999999999999999999"}) {
        EXPECT_EQ(list.indexOf(wrong, error), -1) << wrong;
        EXPECT_NE(error.find("the levels are:\n  1  One\n  2  Two"), std::string::npos) << error;
    }
}
