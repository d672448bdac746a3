#include <gtest/gtest.h>

#include <allegro.h>

#include <string>
#include <vector>

#include "fighters/Animation.h"
#include "tests/fighters/TestWorld.h"

using Torvane::AniAction;
using Torvane::Animation;

namespace {

// A sheet of `frames` pictures of 10x20 side by side, frame i filled with grey 20 * (i + 1),
// each with one red pixel at its left edge so mirroring can be seen.
std::string writeSheet(const TestWorld::ScratchFolder& folder, const std::string& name, int frames) {
    set_color_depth(32);
    BITMAP* sheet = create_bitmap(10 * frames, 20);
    for (int i = 0; i < frames; ++i) {
        int grey = 20 * (i + 1);
        rectfill(sheet, 10 * i, 0, 10 * i + 9, 19, makecol(grey, grey, grey));
        putpixel(sheet, 10 * i, 5, makecol(255, 0, 0));
    }
    std::string path = folder.file(name);
    save_bitmap(path.c_str(), sheet, nullptr);
    destroy_bitmap(sheet);
    return path;
}

std::string frameLines(int count, int width = 10) {
    std::string text = std::to_string(count) + "\n";
    for (int i = 0; i < count; ++i) {
        text += std::to_string(width * i) + " 0 " + std::to_string(width * i + width) + " 20\n";
    }
    return text;
}

// Loads a description, returning what Allegro's message box printed.
std::string loadCapturing(Animation& animation, const std::string& path, bool* opened = nullptr) {
    testing::internal::CaptureStdout();
    bool result = animation.load(path.c_str());
    if (opened) *opened = result;
    return testing::internal::GetCapturedStdout();
}

std::vector<int> framesAfterCalls(Animation& animation, int calls) {
    std::vector<int> frames;
    for (int i = 0; i < calls; ++i) {
        animation.nextFrame();
        frames.push_back(animation.getFrame());
    }
    return frames;
}

}  // namespace

TEST(Animation, AdvancesWithDelaysLoopsAndStopsOnTheLastFrame) {
    TestWorld::ScratchFolder folder("animation-timing");
    std::string sheet = writeSheet(folder, "sheet.bmp", 3);
    std::string description = folder.write("config.dat", "2\n0 2 1 " + sheet + "\n" + frameLines(3) + "3 0 0 " +
                                                                 sheet + "\n" + frameLines(3));
    Animation animation;
    EXPECT_EQ(loadCapturing(animation, description), "");
    EXPECT_EQ(animation.getActionCount(), 2);
    EXPECT_EQ(animation.getLoadedActionCount(), 2);

    animation.setAction(0);
    EXPECT_EQ(animation.getFrame(), 0);
    EXPECT_EQ(framesAfterCalls(animation, 10), (std::vector<int>{1, 1, 1, 2, 2, 2, 0, 0, 0, 1}));

    // Not looping, the same three frames end on the last and stay there.
    animation.setAction(0, false);
    EXPECT_EQ(framesAfterCalls(animation, 10), (std::vector<int>{1, 1, 1, 2, 2, 2, 2, 2, 2, 2}));

    // Delay 0 changes the frame on every call; loop 0 from the file holds the end.
    animation.setAction(3);
    EXPECT_FALSE(animation.isLooping());
    EXPECT_EQ(framesAfterCalls(animation, 4), (std::vector<int>{1, 2, 2, 2}));
    // ...and the override makes it loop.
    animation.setAction(3, true);
    EXPECT_EQ(framesAfterCalls(animation, 4), (std::vector<int>{1, 2, 0, 1}));

    // setAction always restarts at frame 0 with a fresh delay count.
    animation.setAction(0);
    animation.nextFrame();
    animation.setAction(0);
    EXPECT_EQ(animation.getFrame(), 0);
    EXPECT_EQ(framesAfterCalls(animation, 2), (std::vector<int>{1, 1}));
}

TEST(Animation, UnknownIdsAndFrameBoundsLeaveTheStateSafe) {
    TestWorld::ScratchFolder folder("animation-bounds");
    std::string sheet = writeSheet(folder, "sheet.bmp", 3);
    std::string description = folder.write("config.dat", "1\n0 2 1 " + sheet + "\n" + frameLines(3));
    Animation animation;

    // Before any action: nothing to draw, nothing to measure, nothing advances.
    EXPECT_EQ(animation.getFrameWidth(), 0);
    EXPECT_EQ(animation.getFrameHeight(), 0);
    animation.nextFrame();
    EXPECT_EQ(animation.getFrame(), 0);
    BITMAP* target = create_bitmap(40, 40);
    clear_to_color(target, makecol(0, 0, 0));
    animation.draw(target, 0, 0);
    EXPECT_EQ(getpixel(target, 5, 5), makecol(0, 0, 0));

    loadCapturing(animation, description);
    animation.setAction(0);
    animation.setFrame(2);
    EXPECT_EQ(animation.getFrame(), 2);
    EXPECT_EQ(animation.getFrameWidth(), 10);
    EXPECT_EQ(animation.getFrameHeight(), 20);

    // An id no action has changes nothing.
    animation.setAction(7);
    EXPECT_EQ(animation.getAction(), 0);
    EXPECT_EQ(animation.getFrame(), 2);
    // The loop override applies even when no action matched.
    animation.setAction(7, false);
    EXPECT_FALSE(animation.isLooping());
    animation.setAction(0);

    animation.setFrame(-1);
    EXPECT_EQ(animation.getFrame(), 0);
    animation.setFrame(2);
    animation.setFrame(3);
    EXPECT_EQ(animation.getFrame(), 0);
    destroy_bitmap(target);

    // Two blocks with one id: the first in the file is the one played.
    std::string twice = folder.write("twice.dat", "2\n5 2 1 " + sheet + "\n" + frameLines(3) + "5 0 1 " + sheet + "\n" +
                                                      frameLines(2));
    Animation doubled;
    loadCapturing(doubled, twice);
    ASSERT_EQ(doubled.getLoadedActionCount(), 2);
    doubled.setAction(5);
    EXPECT_EQ(doubled.getAction(), 5);
    EXPECT_EQ(framesAfterCalls(doubled, 4), (std::vector<int>{1, 1, 1, 2}));
}

TEST(Animation, FacingLeftDrawsTheSameFrameMirroredInPlace) {
    TestWorld::ScratchFolder folder("animation-mirror");
    std::string sheet = writeSheet(folder, "sheet.bmp", 2);
    std::string description = folder.write("config.dat", "1\n0 0 1 " + sheet + "\n" + frameLines(2));
    Animation animation;
    loadCapturing(animation, description);
    animation.setAction(0);
    animation.setFrame(1);

    BITMAP* target = create_bitmap(60, 40);
    const int black = makecol(0, 0, 0), red = makecol(255, 0, 0), grey = makecol(40, 40, 40);
    clear_to_color(target, black);
    animation.draw(target, 20, 10);
    EXPECT_EQ(getpixel(target, 20, 15), red);    // marker on the left edge
    EXPECT_EQ(getpixel(target, 29, 15), grey);
    EXPECT_EQ(getpixel(target, 19, 15), black);  // nothing outside the frame
    EXPECT_EQ(getpixel(target, 30, 15), black);

    clear_to_color(target, black);
    animation.setDirection(1);
    animation.draw(target, 20, 10);
    EXPECT_EQ(getpixel(target, 29, 15), red);    // the marker moved to the right edge
    EXPECT_EQ(getpixel(target, 20, 15), grey);
    EXPECT_EQ(getpixel(target, 19, 15), black);
    EXPECT_EQ(getpixel(target, 30, 15), black);
    destroy_bitmap(target);
}

TEST(Animation, MagentaInTheSheetIsTransparent) {
    TestWorld::ScratchFolder folder("animation-mask");
    set_color_depth(32);
    BITMAP* sheet = create_bitmap(10, 10);
    clear_to_color(sheet, makecol(255, 0, 255));
    putpixel(sheet, 4, 4, makecol(0, 0, 255));
    std::string path = folder.file("masked.bmp");
    save_bitmap(path.c_str(), sheet, nullptr);
    destroy_bitmap(sheet);
    std::string description = folder.write("config.dat", "1\n0 0 1 " + path + "\n1\n0 0 10 10\n");
    Animation animation;
    loadCapturing(animation, description);
    animation.setAction(0);
    BITMAP* target = create_bitmap(10, 10);
    clear_to_color(target, makecol(0, 128, 0));
    animation.draw(target, 0, 0);
    EXPECT_EQ(getpixel(target, 0, 0), makecol(0, 128, 0));
    EXPECT_EQ(getpixel(target, 4, 4), makecol(0, 0, 255));
    destroy_bitmap(target);
}

TEST(Animation, BrokenDescriptionsAreReportedAndTheGoodPartKept) {
    TestWorld::ScratchFolder folder("animation-broken");
    std::string sheet = writeSheet(folder, "sheet.bmp", 3);
    std::string wide = writeSheet(folder, "wide.bmp", 25);

    {
        // An unopenable file: no message, nothing loaded, reported through the result.
        Animation animation;
        bool opened = true;
        EXPECT_EQ(loadCapturing(animation, folder.file("absent.dat"), &opened), "");
        EXPECT_FALSE(opened);
        EXPECT_EQ(animation.getLoadedActionCount(), 0);
    }
    {
        // The second sheet is missing: one action and the message naming the sheet.
        std::string path = folder.write("missing-sheet.dat", "2\n0 0 1 " + sheet + "\n" + frameLines(3) +
                                                                 "3 0 0 " + folder.file("nowhere.bmp") + "\n" +
                                                                 frameLines(3));
        Animation animation;
        std::string message = loadCapturing(animation, path);
        EXPECT_EQ(message, "failed to load bitmap: " + folder.file("nowhere.bmp") +
                               " (No such file or directory; named in " + path + " line 7)\n");
        EXPECT_EQ(animation.getLoadedActionCount(), 1);
        EXPECT_NE(animation.findAction(0), nullptr);
        EXPECT_EQ(animation.findAction(3), nullptr);
    }
    {
        // An empty file: the count of actions is missing.
        std::string path = folder.write("empty.dat", "");
        Animation animation;
        std::string message = loadCapturing(animation, path);
        EXPECT_NE(message.find(path), std::string::npos);
        EXPECT_NE(message.find("the number of actions"), std::string::npos);
        EXPECT_EQ(animation.getLoadedActionCount(), 0);
    }
    {
        // More than 20 frames: the first 20 are used, the rest read past, and the
        // next action still loads.
        std::string path = folder.write("too-many.dat", "2\n0 0 1 " + wide + "\n" + frameLines(25) + "3 0 0 " +
                                                            sheet + "\n" + frameLines(3));
        Animation animation;
        std::string message = loadCapturing(animation, path);
        EXPECT_NE(message.find("has 25 frames; only the first 20 are used"), std::string::npos);
        ASSERT_NE(animation.findAction(0), nullptr);
        EXPECT_EQ(animation.findAction(0)->frameCount, AniAction::maxFrames);
        ASSERT_NE(animation.findAction(3), nullptr);
        EXPECT_EQ(animation.findAction(3)->frameCount, 3);
        animation.setAction(0, true);
        for (int i = 0; i < 25; ++i) animation.nextFrame();
        EXPECT_EQ(animation.getFrame(), 25 % 20);
    }
    {
        // Frames outside their sheet are left out with a message naming the line.
        std::string path = folder.write("outside.dat", "1\n0 0 1 " + sheet +
                                                           "\n4\n0 0 10 20\n-5 0 5 20\n25 0 35 20\n10 0 10 20\n");
        Animation animation;
        std::string message = loadCapturing(animation, path);
        EXPECT_NE(message.find(path + " line 5: frame 1 of action 1 of 1 (-5 0 5 20) is not inside the 30x20 sheet"),
                  std::string::npos);
        EXPECT_NE(message.find("line 6: frame 2"), std::string::npos);
        EXPECT_NE(message.find("line 7: frame 3"), std::string::npos);
        ASSERT_NE(animation.findAction(0), nullptr);
        EXPECT_EQ(animation.findAction(0)->frameCount, 1);
        animation.setAction(0);
        EXPECT_EQ(animation.getFrameWidth(), 10);
    }
    {
        // A malformed number stops the reading where it stands; frames read so far stay.
        std::string path = folder.write("malformed.dat", "1\n0 0 1 " + sheet + "\n3\n0 0 10 20\n10 0 2x 20\n");
        Animation animation;
        std::string message = loadCapturing(animation, path);
        EXPECT_NE(message.find(path + " line 5: the right edge of frame 1 of action 1 of 1 should be a whole "
                                      "number, found \"2x\""),
                  std::string::npos);
        ASSERT_NE(animation.findAction(0), nullptr);
        EXPECT_EQ(animation.findAction(0)->frameCount, 1);
    }
    {
        // A file cut short in the middle of a frame; and a decimal delay.
        std::string cut = folder.write("cut.dat", "1\n0 0 1 " + sheet + "\n3\n0 0 10 20\n10 0");
        Animation animation;
        std::string message = loadCapturing(animation, cut);
        EXPECT_NE(message.find("the file ends at line 5 where the right edge of frame 1"), std::string::npos);
        EXPECT_EQ(animation.findAction(0)->frameCount, 1);

        std::string decimal = folder.write("decimal.dat", "1\n0 1.5 1 " + sheet + "\n1\n0 0 10 20\n");
        Animation other;
        message = loadCapturing(other, decimal);
        EXPECT_NE(message.find("the delay of action 1 of 1 should be a whole number, found \"1.5\""), std::string::npos);
        EXPECT_EQ(other.getLoadedActionCount(), 0);
    }
    {
        // Negative counts: nothing read for the actions, a stop for the frames.
        std::string path = folder.write("negative.dat", "-2\n");
        Animation animation;
        EXPECT_NE(loadCapturing(animation, path).find("the number of actions is -2"), std::string::npos);
        EXPECT_EQ(animation.getLoadedActionCount(), 0);

        std::string frames = folder.write("negative-frames.dat", "1\n0 0 1 " + sheet + "\n-3\n");
        Animation other;
        EXPECT_NE(loadCapturing(other, frames).find("has -3 frames"), std::string::npos);
        ASSERT_EQ(other.getLoadedActionCount(), 1);
        other.setAction(0);
        other.nextFrame();
        EXPECT_EQ(other.getFrame(), 0);
        EXPECT_EQ(other.getFrameWidth(), 0);
    }
}

TEST(Animation, DuplicateIdsAbsurdDelaysAndOutOfRangeIdsAreWarnedAboutWithFileAndLine) {
    TestWorld::ScratchFolder folder("animation-warnings");
    std::string sheet = writeSheet(folder, "sheet.bmp", 3);
    std::string path = folder.write("warned.dat", "4\n"
                                                  "0 0 1 " + sheet + "\n" + frameLines(1) +
                                                  "0 2 1 " + sheet + "\n" + frameLines(1) +
                                                  "-1 0 1 " + sheet + "\n" + frameLines(1) +
                                                  "3 661 0 " + sheet + "\n" + frameLines(1));
    Animation animation;
    std::string message = loadCapturing(animation, path);
    EXPECT_NE(message.find(path + " line 5: action 2 of 4 has the id 0 of an earlier action; only the first one is "
                                  "ever played\n"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find(path + " line 8: the id of action 3 of 4 is -1, outside 0 to 255"), std::string::npos)
        << message;
    EXPECT_NE(message.find(path + " line 11: the delay of action 4 of 4 is 661 frames, more than 660"),
              std::string::npos)
        << message;
    // Warnings only: every action is loaded, and the first of the twins is the one played.
    EXPECT_EQ(animation.getLoadedActionCount(), 4);
    EXPECT_EQ(animation.findAction(0)->delay, 0);
    EXPECT_EQ(animation.findAction(3)->delay, 661);

    // At the limits nothing is said.
    std::string quiet = folder.write("quiet.dat", "2\n0 660 1 " + sheet + "\n" + frameLines(1) + "255 0 1 " + sheet +
                                                      "\n" + frameLines(1));
    Animation calm;
    EXPECT_EQ(loadCapturing(calm, quiet), "");
    EXPECT_EQ(calm.getLoadedActionCount(), 2);
}

TEST(Animation, ASheetPathWithoutEndStopsTheReadingAtItsLimit) {
    TestWorld::ScratchFolder folder("animation-long-path");
    std::string sheet = writeSheet(folder, "sheet.bmp", 3);
    // A path of a megabyte, after one good action.
    std::string path = folder.write("long.dat", "2\n0 0 1 " + sheet + "\n" + frameLines(1) + "3 0 0 " +
                                                    std::string(1 << 20, 'a') + "\n" + frameLines(1));
    Animation animation;
    std::string message = loadCapturing(animation, path);
    EXPECT_EQ(message, path + " line 5: the sheet file of action 2 of 2 is longer than 255 characters; reading stops "
                              "here\n");
    EXPECT_EQ(animation.getLoadedActionCount(), 1);

    // 255 characters is a path like any other (here one that does not exist).
    std::string longest = folder.getPath() + "/" + std::string(255 - folder.getPath().size() - 5, 'b') + ".bmp";
    ASSERT_EQ(longest.size(), 255u);
    std::string fits = folder.write("fits.dat", "1\n0 0 1 " + longest + "\n" + frameLines(1));
    Animation other;
    EXPECT_NE(loadCapturing(other, fits).find("failed to load bitmap: " + longest + " (No such file"),
              std::string::npos);
}

TEST(Animation, ASheetWhoseHeaderClaimsAHugeSizeIsRefusedAndReportedOnce) {
    TestWorld::ScratchFolder folder("animation-huge-sheet");
    // 118 bytes claiming 16000 x 16000 pixels of 24 bits.
    std::string bytes(118, '\0');
    const unsigned char header[] = {'B', 'M', 118, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                    0x80, 0x3e, 0, 0, 0x80, 0x3e, 0, 0, 1, 0, 24, 0};
    bytes.replace(0, sizeof header, reinterpret_cast<const char*>(header), sizeof header);
    std::string sheet = folder.write("huge.bmp", bytes);
    std::string path = folder.write("huge.dat", "1\n0 0 1 " + sheet + "\n" + frameLines(1));
    Animation first;
    EXPECT_EQ(loadCapturing(first, path), "failed to load bitmap: " + sheet +
                                              " (its header claims 16000 x 16000 pixels, more than 16777216 in all; "
                                              "named in " + path + " line 2)\n");
    EXPECT_EQ(first.getLoadedActionCount(), 0);
    // Forty fighters of that role would give forty message boxes: a second load says nothing.
    Animation second;
    EXPECT_EQ(loadCapturing(second, path), "");
    EXPECT_EQ(second.getLoadedActionCount(), 0);
}
