#include "engine/decode/subpicturedecoder.h"

#include <gtest/gtest.h>

#include <random>

namespace
{

using Bytes = std::vector<uint8_t>;

struct Sequence {
    uint16_t delay;
    Bytes commands; // without the closing 0xFF
};

// A packet: size, control offset, the RLE bytes, then the sequences chained
// by their next offsets, the last pointing at itself.
Bytes makePacket(const Bytes &rle, const std::vector<Sequence> &sequences)
{
    Bytes packet{0, 0, 0, 0};
    packet.insert(packet.end(), rle.begin(), rle.end());
    const size_t control = packet.size();
    for (size_t i = 0; i < sequences.size(); ++i) {
        const size_t start = packet.size();
        const size_t next = start + 4 + sequences[i].commands.size() + 1;
        const size_t link = i + 1 < sequences.size() ? next : start;
        packet.insert(packet.end(), {uint8_t(sequences[i].delay >> 8), uint8_t(sequences[i].delay),
                                     uint8_t(link >> 8), uint8_t(link)});
        packet.insert(packet.end(), sequences[i].commands.begin(), sequences[i].commands.end());
        packet.push_back(0xFF);
    }
    packet[0] = uint8_t(packet.size() >> 8);
    packet[1] = uint8_t(packet.size());
    packet[2] = uint8_t(control >> 8);
    packet[3] = uint8_t(control);
    return packet;
}

Bytes area(int x1, int x2, int y1, int y2)
{
    return {0x05,        uint8_t(x1 >> 4), uint8_t((x1 & 15) << 4 | x2 >> 8),
            uint8_t(x2), uint8_t(y1 >> 4), uint8_t((y1 & 15) << 4 | y2 >> 8),
            uint8_t(y2)};
}

Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Field offsets relative to the RLE data (which starts at byte 4).
Bytes fields(int top, int bottom)
{
    return {0x06, 0, uint8_t(4 + top), 0, uint8_t(4 + bottom)};
}

// A 3x2 area of type-1 pixels: each field is one "fill line with type 1" code.
const Bytes kFilledRle{0x00, 0x01, 0x00, 0x01};
const Bytes kFilledDisplay = area(0, 2, 0, 1) + fields(0, 2);

std::vector<SubpictureUnit> decode(const Bytes &packet, int64_t pts = 1000)
{
    return decodeSubpicturePacket(packet.data(), packet.size(), pts);
}

} // namespace

TEST(SubpictureDecoder, DecodesEveryRunFormAndInterlacesTheFields)
{
    // Top field, line 0: 1 x type 1 (4-bit), 5 x type 2 (8-bit), 20 x type 3
    // (12-bit), 70 x type 1 (16-bit), the rest type 2; line 2: all type 1.
    // Bottom field, line 1: 3 x type 1 then the rest type 0, padded to a
    // byte; line 3: all type 3.
    const Bytes top{0x51, 0x60, 0x53, 0x01, 0x19, 0x00, 0x02, 0x00, 0x01};
    const Bytes bottom{0xD0, 0x00, 0x00, 0x00, 0x03};
    const auto units = decode(makePacket(
        top + bottom, {{0, Bytes{0x01} + area(10, 109, 20, 23) + fields(0, int(top.size()))}}));
    ASSERT_EQ(units.size(), 1u);
    const SubpictureUnit &unit = units[0];
    EXPECT_EQ(unit.area, QRect(10, 20, 100, 4));
    ASSERT_EQ(unit.pixelTypes.size(), 400u);
    auto line = [&](int y) {
        return Bytes(unit.pixelTypes.begin() + y * 100, unit.pixelTypes.begin() + (y + 1) * 100);
    };
    Bytes line0(100, 2);
    std::fill_n(line0.begin(), 1, 1);
    std::fill_n(line0.begin() + 1, 5, 2);
    std::fill_n(line0.begin() + 6, 20, 3);
    std::fill_n(line0.begin() + 26, 70, 1);
    Bytes line1(100, 0);
    std::fill_n(line1.begin(), 3, 1);
    EXPECT_EQ(line(0), line0);
    EXPECT_EQ(line(1), line1);
    EXPECT_EQ(line(2), Bytes(100, 1));
    EXPECT_EQ(line(3), Bytes(100, 3));
}

TEST(SubpictureDecoder, RunsLongerThanTheLineAreCutAtItsEnd)
{
    // 8-bit code: 15 x type 2 on a 3-pixel line; each field one line.
    const auto units =
        decode(makePacket({0x3E, 0x3E}, {{0, Bytes{0x01} + area(0, 2, 0, 1) + fields(0, 1)}}));
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].pixelTypes, Bytes(6, 2));
}

TEST(SubpictureDecoder, ReadsColoursContrastsForcedAndTimesFromTheControlSequences)
{
    const Bytes look{0x03, 0x12, 0x34, 0x04, 0xF8, 0x30};
    const auto packet =
        makePacket(kFilledRle, {{0, Bytes{0x00} + look + kFilledDisplay}, {100, {0x02}}});
    auto units = decode(packet, 90000);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].color, (std::array<uint8_t, 4>{4, 3, 2, 1}));
    EXPECT_EQ(units[0].contrast, (std::array<uint8_t, 4>{0, 3, 8, 15}));
    EXPECT_TRUE(units[0].forced);
    EXPECT_EQ(units[0].startPts, 90000);
    EXPECT_EQ(units[0].endPts, 90000 + 100 * 1024);

    units = decode(makePacket(kFilledRle, {{10, Bytes{0x01} + kFilledDisplay}}), 5000);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_FALSE(units[0].forced);
    EXPECT_EQ(units[0].startPts, 5000 + 10 * 1024);
    EXPECT_EQ(units[0].endPts, -1);

    units = decode(packet, -1);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].startPts, -1);
    EXPECT_EQ(units[0].endPts, -1);
}

TEST(SubpictureDecoder, AChangeWhileShownStartsANewDisplay)
{
    const auto units =
        decode(makePacket(kFilledRle, {{0, Bytes{0x00, 0x04, 0x00, 0x20} + kFilledDisplay},
                                       {5, {0x04, 0x00, 0x20}},
                                       {10, {0x04, 0x00, 0xF0}},
                                       {20, {0x02}}}),
               0);
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].contrast[1], 2);
    EXPECT_EQ(units[0].endPts, 10 * 1024);
    EXPECT_EQ(units[1].contrast[1], 15);
    EXPECT_TRUE(units[1].forced);
    EXPECT_EQ(units[1].startPts, 10 * 1024);
    EXPECT_EQ(units[1].endPts, 20 * 1024);
    EXPECT_EQ(units[1].pixelTypes, Bytes(6, 1));
}

TEST(SubpictureDecoder, APacketThatOnlyStopsYieldsAnEmptyUnitThatClears)
{
    const auto units = decode(makePacket({}, {{3, {0x02}}}), 100);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_TRUE(units[0].area.isEmpty());
    EXPECT_TRUE(units[0].pixelTypes.empty());
    EXPECT_EQ(units[0].startPts, 100 + 3 * 1024);
}

TEST(SubpictureDecoder, DropsMalformedPackets)
{
    const Bytes start{0x01};
    const auto good = makePacket(kFilledRle, {{0, start + kFilledDisplay}});
    ASSERT_EQ(decode(good).size(), 1u);

    const size_t control = good[3];
    auto withByte = [&](size_t index, uint8_t value) {
        Bytes packet = good;
        packet[index] = value;
        return packet;
    };
    const std::vector<std::pair<const char *, Bytes>> cases{
        {"size beyond the data", withByte(1, uint8_t(good.size() + 1))},
        {"size below the header", withByte(1, 3)},
        {"control offset past the end", withByte(3, uint8_t(good.size()))},
        {"control offset inside the header", withByte(3, 2)},
        {"next sequence points backwards", withByte(control + 3, 0)},
        {"next sequence past the end", withByte(control + 2, 0xF0)},
        {"reversed area", makePacket(kFilledRle, {{0, start + area(5, 2, 0, 1) + fields(0, 2)}})},
        {"area wider than a picture",
         makePacket(kFilledRle, {{0, start + area(0, 720, 0, 1) + fields(0, 2)}})},
        {"area taller than a picture",
         makePacket(kFilledRle, {{0, start + area(0, 2, 0, 576) + fields(0, 2)}})},
        {"start without an area", makePacket(kFilledRle, {{0, start + fields(0, 2)}})},
        {"start without field offsets", makePacket(kFilledRle, {{0, start + area(0, 2, 0, 1)}})},
        {"field offset in the header",
         makePacket(kFilledRle, {{0, start + area(0, 2, 0, 1) + Bytes{0x06, 0, 2, 0, 6}}})},
        {"field data runs out",
         makePacket(kFilledRle, {{0, start + area(0, 2, 0, 575) + fields(0, 2)}})},
        {"unknown command", makePacket(kFilledRle, {{0, Bytes{0x08} + start + kFilledDisplay}})},
        {"sequence cut by the end", Bytes{0, 7, 0, 4, 0, 0, 0}},
        {"command cut by the end", Bytes{0, 10, 0, 4, 0, 0, 0, 4, 0x05, 0}},
        {"no end of commands", withByte(good.size() - 1, 0x01)},
        {"colour change block past the end",
         makePacket(kFilledRle, {{0, start + kFilledDisplay + Bytes{0x07, 0x10, 0x00}}})},
    };
    for (const auto &[name, packet] : cases)
        EXPECT_TRUE(decode(packet).empty()) << name;
}

TEST(SubpictureDecoder, SkipsPerLineColourChangeBlocks)
{
    const auto units = decode(
        makePacket(kFilledRle, {{0, Bytes{0x01, 0x07, 0x00, 0x06, 1, 2, 3, 4} + kFilledDisplay}}));
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].area, QRect(0, 0, 3, 2));
}

TEST(SubpictureAssembler, ReassemblesAPacketSpreadOverSeveralPayloads)
{
    const auto packet = makePacket(kFilledRle, {{0, Bytes{0x01} + kFilledDisplay}, {50, {0x02}}});
    SubpictureAssembler assembler;
    assembler.feed(packet.data(), 1, 9000);
    assembler.feed(packet.data() + 1, 10, -1);
    EXPECT_FALSE(assembler.take());
    // The last payload carries padding after the packet and a stray timestamp.
    Bytes last(packet.begin() + 11, packet.end());
    last.insert(last.end(), {0xFF, 0xFF, 0xFF});
    assembler.feed(last.data(), last.size(), 777777);
    auto unit = assembler.take();
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->startPts, 9000);
    EXPECT_EQ(unit->endPts, 9000 + 50 * 1024);
    EXPECT_EQ(unit->pixelTypes, Bytes(6, 1));
    EXPECT_FALSE(assembler.take());

    // The next packet starts with the next payload.
    assembler.feed(packet.data(), packet.size(), 20000);
    unit = assembler.take();
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->startPts, 20000);
}

TEST(SubpictureAssembler, ResetDropsPartialPacketsAndQueuedUnits)
{
    const auto packet = makePacket(kFilledRle, {{0, Bytes{0x01} + kFilledDisplay}});
    SubpictureAssembler assembler;
    assembler.feed(packet.data(), packet.size(), 0);
    assembler.feed(packet.data(), 5, 100);
    assembler.reset();
    EXPECT_FALSE(assembler.take());
    assembler.feed(packet.data(), packet.size(), 300);
    const auto unit = assembler.take();
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->startPts, 300);
}

TEST(SubpictureAssembler, SurvivesRandomPayloads)
{
    std::mt19937 random(12345);
    SubpictureAssembler assembler;
    for (int round = 0; round < 3000; ++round) {
        Bytes payload(random() % 200);
        for (uint8_t &byte : payload)
            byte = uint8_t(random());
        // Keep sizes small often, so that many payloads complete a packet.
        if (payload.size() >= 4 && random() % 2 == 0) {
            payload[0] = 0;
            payload[1] = uint8_t(payload.size());
            payload[2] = 0;
            payload[3] = uint8_t(4 + random() % (payload.size() - 3));
        }
        assembler.feed(payload.data(), payload.size(), round);
        while (const auto unit = assembler.take()) {
            ASSERT_EQ(unit->pixelTypes.size(), size_t(unit->area.width() * unit->area.height()));
            ASSERT_LE(unit->area.width(), 720);
            ASSERT_LE(unit->area.height(), 576);
        }
    }
}
