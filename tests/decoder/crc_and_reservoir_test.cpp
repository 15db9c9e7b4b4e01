#include "FrameCrc.h"
#include "MainDataReservoir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace audiocore;

TEST(FrameCrc, MatchesTheStandardCheckValues) {
    FrameCrc zeros;
    zeros.AddBits(0, 16);
    EXPECT_EQ(zeros.Value(), 0x800D);

    // CRC-16 with generator 0x8005, start 0xFFFF, no reflection: "123456789"
    // checks to 0xAEE7, fed in any split of bit widths.
    const char* text = "123456789";
    FrameCrc bytewise;
    for (std::size_t i = 0; i < std::strlen(text); ++i)
        bytewise.AddBits(static_cast<std::uint8_t>(text[i]), 8);
    EXPECT_EQ(bytewise.Value(), 0xAEE7);

    FrameCrc split;
    split.AddBits(0x3132, 16);
    split.AddBits(0x3, 4);
    split.AddBits(0x3, 4);
    split.AddBits(0x343536, 24);
    split.AddBits(0x373839, 24);
    EXPECT_EQ(split.Value(), 0xAEE7);

    split.Restart();
    EXPECT_EQ(split.Value(), FrameCrc::kStart);
}

TEST(MainDataReservoir, GetBitsSpansBytesAndLeavesTheRestOfTheLastByte) {
    MainDataReservoir r;
    for (std::uint32_t b : {0xA5u, 0x3Cu, 0xF0u, 0x0Fu})
        r.PutByte(b);
    EXPECT_EQ(r.GetBits(5), 0x14u); // 10100
    // 3 bits left of 0xA5 (101), all of 0x3C, then 1 bit of 0xF0.
    EXPECT_EQ(r.GetBits(12), 0b101'00111100'1u);
    EXPECT_EQ(r.GetBits(7), 0x70u) << "7 bits were left in 0xF0";
    EXPECT_EQ(r.BitsRead(), 24);
    EXPECT_EQ(r.GetBits(0), 0u);
    EXPECT_EQ(r.BitsRead(), 24);
}

TEST(MainDataReservoir, SingleBitsAndWideReadsAgree) {
    std::mt19937 random(3);
    MainDataReservoir wide, single;
    for (int i = 0; i < 100; ++i) {
        std::uint32_t b = random() & 0xFF;
        wide.PutByte(b);
        single.PutByte(b);
    }
    for (int read = 0; read < 20; ++read) {
        int n = static_cast<int>(random() % 33);
        std::uint32_t expected = 0;
        for (int i = 0; i < n; ++i)
            expected = (expected << 1) | single.GetBit();
        ASSERT_EQ(wide.GetBits(n), expected);
    }
    EXPECT_EQ(wide.BitsRead(), single.BitsRead());
}

TEST(MainDataReservoir, RewindingReplaysTheSameBits) {
    MainDataReservoir r;
    for (std::uint32_t b = 0; b < 64; ++b)
        r.PutByte(b * 7);
    r.GetBits(13);
    std::uint32_t first = r.GetBits(29);
    r.RewindBits(29);
    EXPECT_EQ(r.GetBits(29), first);
    r.GetBits(6); // 48 bits: a byte boundary
    std::uint32_t bytes = r.GetBits(16);
    r.RewindBytes(2);
    EXPECT_EQ(r.GetBits(16), bytes);
    EXPECT_EQ(r.BitsRead(), 13 + 29 + 6 + 16);
}

TEST(MainDataReservoir, RingWrapsAfter4096BytesAndRewindKeepsReading) {
    MainDataReservoir r;
    for (int i = 0; i < 4096; ++i)
        r.PutByte(static_cast<std::uint32_t>(i & 0xFF));
    EXPECT_EQ(r.WriteIndex(), 0);
    r.PutByte(0xEE); // overwrites slot 0
    EXPECT_EQ(r.GetBits(8), 0xEEu);
    for (int i = 1; i < 4096; ++i)
        r.GetBits(8);
    // The frame decoder keeps the counters small by stepping both back a
    // whole ring; the next byte read is still slot 0.
    r.RewindBytes(4096);
    r.PutByte(0x11); // slot 1
    EXPECT_EQ(r.GetBits(8), 0xEEu) << "slot 0 again, after the ring";
    EXPECT_EQ(r.GetBits(8), 0x11u);
}
