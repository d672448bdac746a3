#include <gtest/gtest.h>

#include <allegro.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/support/TemporaryFile.h"
#include "world/Object.h"
#include "world/PictureFile.h"

using Torvane::Object;
using Torvane::PictureFile;

namespace {

void putLittleEndian(std::string& bytes, size_t at, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xff);
}

// A BMP file header and info header claiming width x height pixels, followed by `pixelBytes` bytes.
std::string bmp(std::int32_t width, std::int32_t height, int bitsPerPixel, int compression, size_t pixelBytes) {
    std::string bytes(54 + pixelBytes, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    putLittleEndian(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
    putLittleEndian(bytes, 10, 54, 4);
    putLittleEndian(bytes, 14, 40, 4);
    putLittleEndian(bytes, 18, static_cast<std::uint32_t>(width), 4);
    putLittleEndian(bytes, 22, static_cast<std::uint32_t>(height), 4);
    putLittleEndian(bytes, 26, 1, 2);
    putLittleEndian(bytes, 28, bitsPerPixel, 2);
    putLittleEndian(bytes, 30, compression, 4);
    return bytes;
}

// The temporary file renamed to end in .bmp, so that Allegro picks its BMP reader.
struct BmpFile {
    explicit BmpFile(const std::string& bytes) : file(bytes), path(file.path + ".bmp") {
        std::rename(file.path.c_str(), path.c_str());
    }
    ~BmpFile() { std::remove(path.c_str()); }
    TemporaryFile file;
    std::string path;
};

}  // namespace

TEST(PictureFile, AHeaderClaimingAHugeSizeIsRefusedBeforeAnythingIsAllocated) {
    // The 118-byte file of the report: 16000 x 16000 pixels of 24 bits.
    BmpFile huge(bmp(16000, 16000, 24, 0, 64));
    std::string reason;
    EXPECT_EQ(PictureFile::load(huge.path, reason), nullptr);
    EXPECT_EQ(reason, "its header claims 16000 x 16000 pixels, more than 16777216 in all");

    BmpFile wide(bmp(16385, 1, 24, 0, 3 * 16385 + 1));
    EXPECT_EQ(PictureFile::checkHeader(wide.path), "its header claims 16385 x 1 pixels, more than 16384 on a side");
    BmpFile tall(bmp(1, -16385, 24, 0, 4 * 16385));
    EXPECT_EQ(PictureFile::checkHeader(tall.path), "its header claims 1 x 16385 pixels, more than 16384 on a side");
    BmpFile empty(bmp(0, 5, 24, 0, 0));
    EXPECT_EQ(PictureFile::checkHeader(empty.path), "its header claims 0 x 5 pixels, which is no picture");
}

TEST(PictureFile, TheLimitsThemselvesAreAllowed) {
    // Compressed (RLE8) files are not measured against their length: the header alone is judged.
    BmpFile atArea(bmp(4096, 4096, 8, 1, 16));
    EXPECT_EQ(PictureFile::checkHeader(atArea.path), "");
    BmpFile pastArea(bmp(4097, 4096, 8, 1, 16));
    EXPECT_EQ(PictureFile::checkHeader(pastArea.path),
              "its header claims 4097 x 4096 pixels, more than 16777216 in all");
    // The longest side that is allowed, with every pixel present, loads.
    BmpFile longest(bmp(16384, 1, 24, 0, 3 * 16384));
    std::string reason;
    BITMAP* picture = PictureFile::load(longest.path, reason);
    ASSERT_NE(picture, nullptr) << reason;
    EXPECT_EQ(picture->w, 16384);
    destroy_bitmap(picture);
}

TEST(PictureFile, AnUncompressedFileMustHoldThePixelsItsHeaderPromises) {
    // 100 x 100 at 24 bits needs 100 rows of 300 bytes after the 54 header bytes.
    BmpFile cut(bmp(100, 100, 24, 0, 300 * 100 - 1));
    EXPECT_EQ(PictureFile::checkHeader(cut.path),
              "its header claims 100 x 100 pixels (30054 bytes) but the file has only 30053 bytes");
    BmpFile whole(bmp(100, 100, 24, 0, 300 * 100));
    EXPECT_EQ(PictureFile::checkHeader(whole.path), "");
    std::string reason;
    BITMAP* picture = PictureFile::load(whole.path, reason);
    ASSERT_NE(picture, nullptr);
    destroy_bitmap(picture);
}

TEST(PictureFile, MissingAndUnreadableFilesSayWhy) {
    std::string reason;
    EXPECT_EQ(PictureFile::load("image/object/there-is-no-such.bmp", reason), nullptr);
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_EQ(PictureFile::load("image", reason), nullptr);
    EXPECT_EQ(reason, "it is a directory");
    BmpFile words("this is no picture at all, only words");
    EXPECT_EQ(PictureFile::load(words.path, reason), nullptr);
    EXPECT_EQ(reason, "it is not a BMP file");
}

TEST(PictureFile, TgaAndPcxHeadersAreMeasuredToo) {
    std::string tga(18 + 16, '\0');
    tga[2] = 2;  // true colour
    putLittleEndian(tga, 12, 60000, 2);
    putLittleEndian(tga, 14, 60000, 2);
    tga[16] = 24;
    TemporaryFile tgaFile(tga);
    std::string tgaPath = tgaFile.path + ".tga";
    std::rename(tgaFile.path.c_str(), tgaPath.c_str());
    EXPECT_EQ(PictureFile::checkHeader(tgaPath), "its header claims 60000 x 60000 pixels, more than 16384 on a side");
    std::remove(tgaPath.c_str());

    std::string pcx(128, '\0');
    pcx[0] = 10;
    putLittleEndian(pcx, 8, 20000 - 1, 2);
    putLittleEndian(pcx, 10, 10 - 1, 2);
    TemporaryFile pcxFile(pcx);
    std::string pcxPath = pcxFile.path + ".pcx";
    std::rename(pcxFile.path.c_str(), pcxPath.c_str());
    EXPECT_EQ(PictureFile::checkHeader(pcxPath), "its header claims 20000 x 10 pixels, more than 16384 on a side");
    std::remove(pcxPath.c_str());
}

TEST(PictureFile, ObjectsReportAPictureOncePerRunWithALineEnd) {
    BmpFile huge(bmp(16000, 16000, 24, 0, 64));
    Object first;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(first.loadImage(huge.path.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Failed to load bitmap " + huge.path + " (its header claims 16000 x 16000 pixels, more than 16777216 in all)\n");
    EXPECT_EQ(first.getImage(), nullptr);
    // Forty fighters of a role with a broken picture: one message, not forty blocking boxes.
    for (int i = 0; i < 40; ++i) {
        Object other;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(other.loadImage(huge.path.c_str()));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }
}

TEST(PictureFile, ANameThatIsNotUtf8NeverReachesAllegro) {
    std::string reason;
    for (const char* name : {"image/object/caf\xe9.bmp", "image/object/\xff\xff\xff.bmp", "image/object/cut\xe2\x82",
                             "image/object/\xc0\xaf.bmp"}) {
        EXPECT_EQ(PictureFile::load(name, reason), nullptr) << name;
        EXPECT_EQ(reason, "its name is not UTF-8 text") << name;
    }
    // UTF-8 names are names like any other.
    EXPECT_EQ(PictureFile::load("image/object/caf\xc3\xa9.bmp", reason), nullptr);
    EXPECT_EQ(reason, "No such file or directory");
}
