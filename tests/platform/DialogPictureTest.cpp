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

#include "testsupport/DiagnosticCapture.h"
#include "testsupport/TempFolder.h"
#include "writers/BmpWriter.h"
#include "writers/ByteWriter.h"

namespace reef {
namespace {

std::vector<uint8_t> picture(int width, int height) {
    return writeBmp(width, height, 3, std::vector<uint8_t>(static_cast<size_t>(width * height * 3), 0x7F));
}

// A run-length encoded 8-bit BMP of about a kilobyte whose header declares a
// 20000 x 20000 image: a decoder that believes it allocates over a gigabyte.
std::vector<uint8_t> rleBomb() {
    ByteWriter w;
    constexpr uint32_t kRle8 = 1;
    writeBmpHeaders(w, {.width = 20000, .height = 20000, .bitCount = 8, .compression = kRle8, .paletteEntries = 256,
                        .imageBytes = 16});
    w.zeros(256 * bmp::kPaletteEntrySize);
    for (int i = 0; i < 7; ++i) {
        w.u8(255);     // a run of 255 pixels of colour 1
        w.u8(1);
    }
    w.u8(0);           // end of bitmap
    w.u8(1);
    return w.take();
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
        test::captureErrors();
        EXPECT_FALSE(readDialogPicture(folder.file(r.name))) << r.name;
        const std::string lines = test::capturedErrors();
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2)) << r.name;
        EXPECT_EQ(lines, "Dialog picture " + folder.file(r.name) + " not shown: " + r.expectedReason + "\n");
    }
    // A device is never read.
    test::captureErrors();
    EXPECT_FALSE(readDialogPicture("/dev/zero"));
    EXPECT_NE(test::capturedErrors().find("not a regular file"), std::string::npos);
}

TEST(DialogPicture, IconsAndTheIntroPicturePassAndAMissingFileIsSilent) {
    test::TempFolder folder;
    const std::vector<uint8_t> icon = picture(32, 28);
    const std::vector<uint8_t> intro = picture(192, 144);
    const std::vector<uint8_t> largest = picture(kMaxDialogPictureSide, kMaxDialogPictureSide);
    test::writeFile(folder.file("icon.bmp"), icon);
    test::writeFile(folder.file("intro.bmp"), intro);
    test::writeFile(folder.file("largest.bmp"), largest);
    test::captureErrors();
    EXPECT_EQ(readDialogPicture(folder.file("icon.bmp")), icon);
    EXPECT_EQ(readDialogPicture(folder.path() + "\\intro.bmp"), intro);  // folder separators as the data lists write them
    EXPECT_EQ(readDialogPicture(folder.file("largest.bmp")), largest);
    EXPECT_FALSE(readDialogPicture(folder.file("missing.bmp")));
    EXPECT_EQ(test::capturedErrors(), "");
}

}  // namespace
}  // namespace reef
