#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "core/Progress.h"
#include "core/UserFiles.h"

using Torvane::Progress;

TEST(Progress, KeepsTheBestGameOfEachLevelAcrossSaveAndLoad) {
    char pattern[] = "/tmp/torvane-progress-XXXXXX";
    const std::string path = std::string(mkdtemp(pattern)) + "/torvane/progress";
    Progress progress;
    std::string warning, error;
    progress.load(path, warning);
    EXPECT_TRUE(progress.isEmpty());
    EXPECT_EQ(warning, "") << "a missing file is a new player, not a fault";

    progress.record("script/main.fb", {9000, 9, 3, 35, 1});
    progress.record("script/main.fb", {9500, 12, 5, 50, 0});  // slower: not kept
    progress.record("script/gorge.fb", {12000, 14, 2, 30, 2});
    ASSERT_TRUE(progress.save(path, error)) << error;

    Progress again;
    again.load(path, warning);
    EXPECT_EQ(warning, "");
    ASSERT_TRUE(again.isFinished("script/main.fb"));
    EXPECT_EQ(again.bestOf("script/main.fb")->frames, 9000);
    EXPECT_EQ(again.bestOf("script/main.fb")->kills, 9);
    EXPECT_EQ(again.bestOf("script/gorge.fb")->deaths, 2);
    EXPECT_FALSE(again.isFinished("script/night.fb"));

    // A damaged file is "nothing finished yet", said once; an empty one silently so.
    for (const char* damaged : {"script/main.fb time 9000 kills\n", "script/main.fb time x kills 1 headshots 1 "
                                "accuracy 1 deaths 1\n", "script/main.fb time 9 kills 1 headshots 1 accuracy 101 deaths 1\n"}) {
        std::ofstream(path) << "# progress\n" << damaged;
        again.load(path, warning);
        EXPECT_TRUE(again.isEmpty()) << damaged;
        EXPECT_NE(warning.find(path + " is damaged (line 2); starting with nothing finished"), std::string::npos)
            << warning;
    }
    std::ofstream(path).close();
    again.load(path, warning);
    EXPECT_TRUE(again.isEmpty());
    EXPECT_EQ(warning, "");
    std::remove(path.c_str());
}
