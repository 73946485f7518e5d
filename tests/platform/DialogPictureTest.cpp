// The dialogs' pictures as a hostile set or install leaves them: a FIFO named
// as an icon, a kilobyte that declares a 20000 x 20000 image, a device, a
// picture too large for any dialog. Each is refused at once with one line;
// real icons and the intro picture pass.
#include "platform/DialogPicture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "tests/engine/BmpWriter.h"
#include "testsupport/TempFolder.h"

namespace reef {
namespace {

std::vector<uint8_t> picture(int width, int height) {
    return test::makeBmp(width, height, 3, std::vector<uint8_t>(static_cast<size_t>(width * height * 3), 0x7F));
}

// A run-length encoded 8-bit BMP of about a kilobyte whose header declares a
// 20000 x 20000 image: a decoder that believes it allocates over a gigabyte.
std::vector<uint8_t> rleBomb() {
    test::ByteWriter w;
    w.u8('B');
    w.u8('M');
    w.u32(1078 + 16);  // file size
    w.u32(0);
    w.u32(1078);       // pixels after the 256-colour palette
    w.u32(40);         // info header size
    w.i32(20000);      // width
    w.i32(20000);      // height
    w.u16(1);          // planes
    w.u16(8);          // bits per pixel
    w.u32(1);          // BI_RLE8
    w.u32(16);         // compressed size
    w.i32(2835);
    w.i32(2835);
    w.u32(256);        // colours used
    w.u32(0);
    w.zeros(1024);     // palette
    for (int i = 0; i < 7; ++i) {
        w.u8(255);     // a run of 255 pixels of colour 1
        w.u8(1);
    }
    w.u8(0);           // end of bitmap
    w.u8(1);
    return w.bytes;
}

struct Refusal {
    const char* name;
    std::string expectedReason;
};

TEST(DialogPicture, HostileFilesAreRefusedAtOnceWithOneLine) {
    test::TempFolder folder;
    ASSERT_EQ(mkfifo(folder.file("fifo.bmp").c_str(), 0600), 0);
    test::writeFile(folder.file("bomb.bmp"), rleBomb());
    test::writeFile(folder.file("wide.bmp"), picture(kMaxDialogPictureSide + 1, 2));
    test::writeFile(folder.file("huge.bmp"), std::vector<uint8_t>(kMaxDialogPictureBytes + 1, 'B'));
    test::writeFile(folder.file("text.bmp"), {'h', 'e', 'l', 'l', 'o'});

    const Refusal refusals[] = {
        {"fifo.bmp", "not a regular file"},
        {"bomb.bmp", "compressed"},
        {"wide.bmp", "larger than a dialog picture can be"},
        {"huge.bmp", "too large"},
        {"text.bmp", "not a BMP file"},
    };
    for (const Refusal& r : refusals) {
        const auto started = std::chrono::steady_clock::now();
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(readDialogPicture(folder.file(r.name))) << r.name;
        const std::string lines = ::testing::internal::GetCapturedStderr();
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2)) << r.name;
        EXPECT_EQ(lines, "Dialog picture " + folder.file(r.name) + " not shown: " + r.expectedReason + "\n");
    }
    // A device is never read.
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(readDialogPicture("/dev/zero"));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("not a regular file"), std::string::npos);
}

TEST(DialogPicture, IconsAndTheIntroPicturePassAndAMissingFileIsSilent) {
    test::TempFolder folder;
    const std::vector<uint8_t> icon = picture(32, 28);
    const std::vector<uint8_t> intro = picture(192, 144);
    const std::vector<uint8_t> largest = picture(kMaxDialogPictureSide, kMaxDialogPictureSide);
    test::writeFile(folder.file("icon.bmp"), icon);
    test::writeFile(folder.file("intro.bmp"), intro);
    test::writeFile(folder.file("largest.bmp"), largest);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(readDialogPicture(folder.file("icon.bmp")), icon);
    EXPECT_EQ(readDialogPicture(folder.path() + "\\intro.bmp"), intro);  // folder separators as the data lists write them
    EXPECT_EQ(readDialogPicture(folder.file("largest.bmp")), largest);
    EXPECT_FALSE(readDialogPicture(folder.file("missing.bmp")));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace reef
