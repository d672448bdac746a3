#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "core/DataDirectory.h"

using namespace Torvane;

namespace {

// A scratch tree: data/ (holds script/main.fb), prefix/bin/torvane beside prefix/share/torvane (an installed
// copy), build/torvane (a program where it was built) and empty/ (nothing).
class DataDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/torvane-datadirectory-XXXXXX";
        root = mkdtemp(pattern);
        for (const char* directory : {"/data", "/data/script", "/prefix", "/prefix/bin", "/prefix/share",
                                      "/prefix/share/torvane", "/prefix/share/torvane/script", "/build", "/empty"})
            mkdir((root + directory).c_str(), 0755);
        for (const char* file : {"/data/script/main.fb", "/prefix/share/torvane/script/main.fb"})
            std::ofstream(root + file) << "SUB Main\nEND SUB\n";
        nowhere.current = root + "/empty";
        nowhere.program = root + "/elsewhere/bin/torvane";
    }
    void TearDown() override {
        for (const char* path : {"/data/script/main.fb", "/prefix/share/torvane/script/main.fb", "/data/script",
                                 "/data", "/prefix/share/torvane/script", "/prefix/share/torvane", "/prefix/share",
                                 "/prefix/bin", "/prefix", "/build", "/empty", ""})
            std::remove((root + path).c_str());
    }
    std::string root;
    DataDirectory::Places nowhere;
    DataDirectory data;
};

}  // namespace

TEST_F(DataDirectoryTest, TheOptionComesFirstAndIsTakenAtItsWord) {
    DataDirectory::Places places = nowhere;
    places.option = root + "/empty";
    places.environment = root + "/data";
    places.current = root + "/data";
    ASSERT_TRUE(data.find(places)) << data.getError();
    EXPECT_EQ(data.getPath(), root + "/empty");
    places.option = root + "/missing";
    EXPECT_FALSE(data.find(places));
    EXPECT_EQ(data.getError(), "--data " + root + "/missing: no such directory");
}

TEST_F(DataDirectoryTest, TheEnvironmentComesBeforeTheCurrentDirectory) {
    DataDirectory::Places places = nowhere;
    places.environment = root + "/empty";
    places.current = root + "/data";
    ASSERT_TRUE(data.find(places)) << data.getError();
    EXPECT_EQ(data.getPath(), root + "/empty");
    places.environment = root + "/missing";
    EXPECT_FALSE(data.find(places));
    EXPECT_EQ(data.getError(), "TORVANE_DATA=" + root + "/missing: no such directory");
}

TEST_F(DataDirectoryTest, TheCurrentDirectoryWhenItHoldsTheMainScript) {
    DataDirectory::Places places = nowhere;
    places.current = root + "/data";
    places.program = root + "/prefix/bin/torvane";
    ASSERT_TRUE(data.find(places)) << data.getError();
    EXPECT_EQ(data.getPath(), root + "/data");
}

TEST_F(DataDirectoryTest, ThenShareBesideTheProgramsBin) {
    DataDirectory::Places places = nowhere;
    places.program = root + "/prefix/bin/torvane";
    places.buildDirectory = root + "/prefix";
    places.sourceData = root + "/data";
    ASSERT_TRUE(data.find(places)) << data.getError();
    EXPECT_EQ(data.getPath(), root + "/prefix/share/torvane");
}

TEST_F(DataDirectoryTest, AProgramInItsBuildDirectoryReadsTheSourceData) {
    DataDirectory::Places places = nowhere;
    places.program = root + "/build/torvane";
    places.buildDirectory = root + "/build";
    places.sourceData = root + "/data";
    ASSERT_TRUE(data.find(places)) << data.getError();
    EXPECT_EQ(data.getPath(), root + "/data");
    places.buildDirectory = root + "/bui";  // a prefix of the name is not the directory
    EXPECT_FALSE(data.find(places));
}

TEST_F(DataDirectoryTest, NowhereNamesEveryPlaceLookedInOnOneLine) {
    EXPECT_FALSE(data.find(nowhere));
    EXPECT_EQ(data.getError(), "no game data (script/main.fb) found in the current directory " + root +
                                   "/empty, " + root + "/elsewhere/share/torvane; give --data DIR or set TORVANE_DATA");
    EXPECT_EQ(data.getPath(), "");
}

TEST_F(DataDirectoryTest, EnterMakesItTheCurrentDirectory) {
    char here[4096];
    ASSERT_TRUE(getcwd(here, sizeof here));
    DataDirectory::Places places = nowhere;
    places.option = root + "/data";
    ASSERT_TRUE(data.find(places));
    ASSERT_TRUE(data.enter()) << data.getError();
    std::ifstream script("script/main.fb");
    EXPECT_TRUE(script.good());
    ASSERT_EQ(chdir(here), 0);
}
