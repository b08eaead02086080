#include "engine/decode/subpicturedecoder.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

// Subpictures made by the authoring tool the test discs use, read back out of
// the program stream it writes.
namespace
{

using Bytes = std::vector<uint8_t>;

struct Payload {
    Bytes data; // after the sub-stream id byte
    int64_t pts;
};

const QRect kSubtitleArea(100, 300, 400, 90);
const QRgb kColours[] = {qRgba(0, 0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 0, 0)};

// Random pixels of four colours, one of them transparent; the border is
// opaque so that the tool keeps the whole image.
QImage noiseImage()
{
    QImage image(kSubtitleArea.size(), QImage::Format_ARGB32);
    std::mt19937 random(7);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool border =
                x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1;
            image.setPixel(x, y, kColours[border ? 1 : random() % 4]);
        }
    }
    return image;
}

int64_t readPts(const uint8_t *p)
{
    return int64_t((p[0] >> 1) & 7) << 30 | int64_t(p[1]) << 22 | int64_t(p[2] >> 1) << 15 |
           int64_t(p[3]) << 7 | int64_t(p[4] >> 1);
}

// The payloads of private stream 1 with the given sub-stream id, in order.
std::vector<Payload> subpicturePayloads(const QByteArray &stream, uint8_t subId)
{
    const auto *d = reinterpret_cast<const uint8_t *>(stream.constData());
    const size_t size = size_t(stream.size());
    std::vector<Payload> payloads;
    for (size_t i = 0; i + 14 <= size;) {
        if (d[i] != 0 || d[i + 1] != 0 || d[i + 2] != 1) {
            ++i;
        } else if (d[i + 3] == 0xBA) {
            i += 14 + (d[i + 13] & 7);
        } else if (d[i + 3] == 0xB9) {
            i += 4;
        } else {
            const size_t length = size_t(d[i + 4] << 8 | d[i + 5]);
            const uint8_t *pes = d + i + 6;
            const uint8_t *payload = pes + 3 + pes[2];
            if (d[i + 3] == 0xBD && i + 6 + length <= size && payload < pes + length &&
                payload[0] == subId)
                payloads.push_back({Bytes(payload + 1, pes + length),
                                    (pes[1] & 0x80) ? readPts(pes + 3) : int64_t(-1)});
            i += 6 + length;
        }
    }
    return payloads;
}

QString run(const QString &program, const QStringList &arguments, const QString &input,
            const QString &output, const QString &directory)
{
    QProcess process;
    process.setWorkingDirectory(directory);
    if (!input.isEmpty())
        process.setStandardInputFile(input);
    if (!output.isEmpty())
        process.setStandardOutputFile(output);
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VIDEO_FORMAT"), QStringLiteral("PAL"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return program + QStringLiteral(" failed: ") + process.readAllStandardError();
    return {};
}

// A one-second PAL stream with a subtitle from 0.2 s to 0.6 s and a forced one
// from 0.7 s on, muxed as sub-stream 0x20.
struct Authored {
    QString error;
    std::vector<Payload> payloads;

    Authored()
    {
        QTemporaryDir dir;
        const QString path = dir.path();
        noiseImage().save(path + "/noise.png");
        QImage forced(64, 20, QImage::Format_ARGB32);
        forced.fill(kColours[3]);
        forced.save(path + "/forced.png");
        QFile script(path + "/subtitles.xml");
        script.open(QIODevice::WriteOnly);
        script.write(R"(<subpictures><stream>
<spu start="00:00:00.20" end="00:00:00.60" image="noise.png" xoffset="100" yoffset="300"/>
<spu start="00:00:00.70" image="forced.png" force="yes" xoffset="200" yoffset="50"/>
</stream></subpictures>)");
        script.close();
        error = run("ffmpeg",
                    {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                     "color=black:size=720x576:rate=25", "-t", "1", "-target", "pal-dvd", "-an",
                     "plain.mpg"},
                    {}, {}, path);
        if (error.isEmpty())
            error = run("spumux", {"subtitles.xml"}, path + "/plain.mpg", path + "/out.mpg", path);
        QFile out(path + "/out.mpg");
        if (error.isEmpty() && out.open(QIODevice::ReadOnly))
            payloads = subpicturePayloads(out.readAll(), 0x20);
    }

    // The bytes of the first packet, joined from its payloads.
    Bytes firstPacket() const
    {
        Bytes packet;
        for (const Payload &payload : payloads)
            packet.insert(packet.end(), payload.data.begin(), payload.data.end());
        packet.resize(std::min<size_t>(packet.size(), size_t(packet[0] << 8 | packet[1])));
        return packet;
    }
};

const Authored &authored()
{
    static const Authored instance;
    return instance;
}

void expectConsistent(const std::vector<SubpictureUnit> &units)
{
    for (const SubpictureUnit &unit : units) {
        ASSERT_LE(unit.area.width(), 720);
        ASSERT_LE(unit.area.height(), 576);
        ASSERT_EQ(unit.pixelTypes.size(), size_t(unit.area.width() * unit.area.height()));
        for (uint8_t type : unit.pixelTypes)
            ASSERT_LE(type, 3);
    }
}

} // namespace

TEST(AuthoredSubpicture, DecodesToTheAuthoredImageAndTimes)
{
    const Authored &a = authored();
    ASSERT_TRUE(a.error.isEmpty()) << a.error.toStdString();
    ASSERT_GE(a.payloads.size(), 3u);
    ASSERT_GT(a.firstPacket().size(), a.payloads[0].data.size())
        << "the first packet should span several payloads";

    SubpictureAssembler assembler;
    std::vector<SubpictureUnit> units;
    for (const Payload &payload : a.payloads) {
        assembler.feed(payload.data.data(), payload.data.size(), payload.pts);
        while (auto unit = assembler.take())
            units.push_back(std::move(*unit));
    }
    ASSERT_EQ(units.size(), 2u);
    const SubpictureUnit &subtitle = units[0];
    ASSERT_EQ(subtitle.area, kSubtitleArea);
    EXPECT_FALSE(subtitle.forced);
    EXPECT_NEAR(subtitle.endPts - subtitle.startPts, 36000, 1024);
    EXPECT_NEAR(units[1].startPts - subtitle.startPts, 45000, 90);
    EXPECT_TRUE(units[1].forced);
    EXPECT_EQ(units[1].endPts, -1);
    EXPECT_EQ(units[1].area, QRect(200, 50, 64, 20));

    // Each image colour must come out as one pixel type of its own, and only
    // the transparent one may be invisible.
    const QImage image = noiseImage();
    std::map<QRgb, uint8_t> typeOf;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const uint8_t type = subtitle.pixelTypes[size_t(y * image.width() + x)];
            const auto [it, added] = typeOf.emplace(image.pixel(x, y), type);
            ASSERT_EQ(it->second, type) << "pixel " << x << "," << y;
        }
    }
    ASSERT_EQ(typeOf.size(), 4u);
    std::set<uint8_t> types;
    for (const auto &[colour, type] : typeOf) {
        types.insert(type);
        EXPECT_EQ(subtitle.contrast[type] == 0, qAlpha(colour) == 0) << std::hex << colour;
    }
    EXPECT_EQ(types.size(), 4u);
}

TEST(AuthoredSubpicture, TruncatedAndMutatedPacketsFailCleanly)
{
    const Authored &a = authored();
    ASSERT_TRUE(a.error.isEmpty()) << a.error.toStdString();
    const Bytes packet = a.firstPacket();
    ASSERT_EQ(decodeSubpicturePacket(packet.data(), packet.size(), 0).size(), 1u);

    // Cut anywhere in the control area (the size field follows the cut, so
    // the cut is parsed), and at sampled points in the picture data.
    const size_t control = size_t(packet[2] << 8 | packet[3]);
    for (size_t length = 0; length < packet.size(); length += length < control ? 97 : 1) {
        Bytes cut(packet.begin(), packet.begin() + length);
        if (length >= 2) {
            cut[0] = uint8_t(length >> 8);
            cut[1] = uint8_t(length);
        }
        expectConsistent(decodeSubpicturePacket(cut.data(), cut.size(), 0));
    }

    std::mt19937 random(99);
    for (int round = 0; round < 2000; ++round) {
        Bytes mutated = packet;
        for (int changes = 1 + int(random() % 4); changes > 0; --changes) {
            // Most changes hit the header and control area, where the lengths are.
            const size_t index = random() % 3 == 0 ? random() % packet.size()
                                 : random() % 2 == 0
                                     ? random() % 4
                                     : control + random() % (packet.size() - control);
            mutated[index] = uint8_t(random());
        }
        expectConsistent(decodeSubpicturePacket(mutated.data(), mutated.size(), 0));
    }
}
