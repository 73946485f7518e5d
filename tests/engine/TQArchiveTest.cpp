// The TQArchive container: header recognition and payload decoding.
#include <gtest/gtest.h>

#include "engine/TQArchive.h"
#include "engine/TQArchiveFormat.h"
#include "writers/ArchiveWriter.h"

namespace reef {
namespace {

const std::vector<uint8_t> kPayload = {0x00, 0x6B, 0xFF, 'a', 'b', 'c', 0x94};

TEST(TQArchive, PayloadFollowsTheFlags) {
    struct Case {
        uint32_t flags;
        bool scrambled;
        bool empty;
    };
    const Case cases[] = {
        {0, false, false},           // plain
        {1, true, false},            // scrambled
        {2, false, true},            // packed: nothing can unpack it
        {3, true, true},             // packed and scrambled
        {0xFFFFFFF0u, false, false}, // bits above bit 1 are ignored
        {0x80000001u, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        const std::vector<uint8_t> file = wrapInArchive(kPayload, c.flags, 0x1234, 0xBEEF);
        // The writer stores scrambled bytes for bit 0; decoding must give back the payload.
        std::vector<uint8_t> stored(file.begin() + tqarchive::kPayloadOffset, file.end());
        if (c.scrambled) {
            EXPECT_EQ(stored[1], 0x00);  // 0x6B ^ 0x6B
        } else {
            EXPECT_EQ(stored, kPayload);
        }
        TQArchive archive;
        ASSERT_TRUE(TQArchive::isArchive(file));
        ASSERT_TRUE(archive.open(file));
        EXPECT_EQ(archive.field1(), 0x1234);
        EXPECT_EQ(archive.field2(), 0xBEEF);
        EXPECT_EQ(archive.flags(), c.flags);
        if (c.empty) {
            EXPECT_TRUE(archive.payload().empty());
        } else {
            EXPECT_EQ(archive.payload(), kPayload);
        }
        archive.close();
        EXPECT_TRUE(archive.payload().empty());
        EXPECT_FALSE(archive.isOpen());
    }
}

TEST(TQArchive, RecognisesOnlyAFullHeaderWithTheTerminatedMagic) {
    const std::vector<uint8_t> good = wrapInArchive({}, 0);
    ASSERT_EQ(good.size(), tqarchive::kHeaderSize);
    EXPECT_TRUE(TQArchive::isArchive(good));

    std::vector<uint8_t> shortFile(good.begin(), good.end() - 1);  // 23 bytes
    EXPECT_FALSE(TQArchive::isArchive(shortFile));
    TQArchive archive;
    EXPECT_FALSE(archive.open(shortFile));

    std::vector<uint8_t> letter = good;
    letter[9] = 's';  // "TQArchives": a letter where the zero belongs
    EXPECT_FALSE(TQArchive::isArchive(letter));
    EXPECT_FALSE(archive.open(letter));
    EXPECT_FALSE(archive.isOpen());

    std::vector<uint8_t> tail = good;
    for (size_t i = 10; i < 16; ++i) tail[i] = 'x';  // after the zero: not examined
    EXPECT_TRUE(TQArchive::isArchive(tail));

    std::vector<uint8_t> wrongCase = good;
    wrongCase[0] = 't';
    EXPECT_FALSE(TQArchive::isArchive(wrongCase));
    EXPECT_FALSE(TQArchive::isArchive(nullptr, 100));
}

TEST(TQArchive, UnwrapLeavesPlainBytesAlone) {
    std::vector<uint8_t> plain = {'I', 'D', 'P', '3', 1, 2, 3};
    EXPECT_TRUE(TQArchive::unwrap(plain));
    EXPECT_EQ(plain.size(), 7u);
    std::vector<uint8_t> wrapped = wrapInArchive(kPayload, 1);
    EXPECT_TRUE(TQArchive::unwrap(wrapped));
    EXPECT_EQ(wrapped, kPayload);
}

}  // namespace
}  // namespace reef
