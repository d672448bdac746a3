#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "core/UserFiles.h"

using namespace Torvane;

TEST(UserFiles, DirectoriesFollowXdgWithHomeDefaults) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", "/home/player", 1);
    setenv("XDG_DATA_HOME", "/x/data", 1);
    setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(UserFiles::directory(UserFiles::Kind::Data), "/x/data/torvane");
    EXPECT_EQ(UserFiles::directory(UserFiles::Kind::Config), "/home/player/.config/torvane");
    EXPECT_EQ(UserFiles::directory(UserFiles::Kind::State), "/home/player/.local/state/torvane");
    unsetenv("HOME");
    EXPECT_EQ(UserFiles::directory(UserFiles::Kind::State), "");
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
}

TEST(UserFiles, WritesWholeFilesAndKeepsTheOldOneOnFailure) {
    char pattern[] = "/tmp/torvane-userfiles-XXXXXX";
    const std::string root = mkdtemp(pattern);
    const std::string path = root + "/a/b/progress";
    std::string error, contents;
    EXPECT_FALSE(UserFiles::read(path, 100, contents, error));
    EXPECT_EQ(error, "") << "a missing file is no error";
    ASSERT_TRUE(UserFiles::writeSafely(path, "first\n", error)) << error;
    ASSERT_TRUE(UserFiles::writeSafely(path, "second\n", error)) << error;
    ASSERT_TRUE(UserFiles::read(path, 100, contents, error));
    EXPECT_EQ(contents, "second\n");
    EXPECT_FALSE(UserFiles::read(path, 3, contents, error));
    EXPECT_NE(error.find("larger than 3 bytes"), std::string::npos) << error;
    // A directory that cannot be made (a file stands in its place): the write fails, says so, leaves nothing.
    std::ofstream(root + "/plain") << "x";
    EXPECT_FALSE(UserFiles::writeSafely(root + "/plain/settings", "y", error));
    EXPECT_NE(error.find("cannot write " + root + "/plain/settings: Not a directory"), std::string::npos) << error;
    for (const char* made : {"/a/b/progress", "/a/b", "/a", "/plain", ""}) std::remove((root + made).c_str());
}
