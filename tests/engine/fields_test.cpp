#include "testdisc.h"

#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

// The fields disc against the truth: its title was shot at 50 progressive
// frames a second, interlaced to 25 frames top field first, then goes on at 25
// progressive frames. Played for real, each field must become a picture of
// its own, close to the source frame of its instant, and each progressive
// frame one picture.
namespace
{

using TestDisc::Player;
using TestDisc::Recorder;
using TestDisc::waitFor;

constexpr int64_t kField90k = 1800;
constexpr int64_t kFrame90k = 3600;

struct Figures {
    double mean = 0;
    double worst = 0;
    int count = 0;
};

// The luma the player decoded, from its RGB picture (BT.601, 16 to 235).
QImage lumaOf(const QImage &picture)
{
    QImage luma(picture.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < picture.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        uchar *out = luma.scanLine(y);
        for (int x = 0; x < picture.width(); ++x)
            out[x] = uchar(std::lround(
                16.0 +
                (65.481 * qRed(in[x]) + 128.553 * qGreen(in[x]) + 24.966 * qBlue(in[x])) / 255.0));
    }
    return luma;
}

double psnrY(const QImage &first, const QImage &second)
{
    if (first.size() != second.size() || first.isNull())
        return 0;
    double squares = 0;
    for (int y = 0; y < first.height(); ++y) {
        const uchar *a = first.constScanLine(y);
        const uchar *b = second.constScanLine(y);
        for (int x = 0; x < first.width(); ++x)
            squares += double(a[x] - b[x]) * (a[x] - b[x]);
    }
    const double mean = squares / (double(first.width()) * first.height());
    return mean == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mean);
}

QImage sourceFrame(int number)
{
    return QImage(TestDisc::fieldsFolder() +
                  QStringLiteral("/source/%1.png").arg(number, 3, 10, QLatin1Char('0')))
        .convertToFormat(QImage::Format_Grayscale8);
}

Figures compare(const std::map<int, QImage> &lumaByFrame)
{
    Figures figures{0, 99, 0};
    for (const auto &[number, luma] : lumaByFrame) {
        const double db = psnrY(luma, sourceFrame(number));
        figures.mean += db;
        figures.worst = std::min(figures.worst, db);
        ++figures.count;
    }
    if (figures.count)
        figures.mean /= figures.count;
    return figures;
}

// FFmpeg's own filter, a picture per field, on the title's VOB file: the
// luma of its pictures at the kept source frames.
std::map<int, QImage> ffmpegPictures(const QString &filter, const std::vector<int> &kept)
{
    QTemporaryDir dir;
    QStringList select;
    for (int number : kept)
        select << QStringLiteral("eq(n\\,%1)").arg(number);
    QProcess::execute(
        QStringLiteral("ffmpeg"),
        {"-v", "error", "-y", "-i",
         TestDisc::fieldsFolder() + QStringLiteral("/VIDEO_TS/VTS_01_1.VOB"), "-vf",
         filter + QStringLiteral(",select='%1',extractplanes=y").arg(select.join('+')), "-fps_mode",
         "passthrough", "-start_number", "0", dir.filePath(QStringLiteral("%03d.png"))});
    std::map<int, QImage> pictures;
    for (size_t i = 0; i < kept.size(); ++i) {
        const QImage picture(
            dir.filePath(QStringLiteral("%1.png").arg(i, 3, 10, QLatin1Char('0'))));
        if (!picture.isNull())
            pictures[kept[i]] = picture.convertToFormat(QImage::Format_Grayscale8);
    }
    return pictures;
}

class Fields : public ::testing::Test
{
protected:
    // The title is played once for every test here.
    static void SetUpTestSuite()
    {
        const QJsonObject fields = TestDisc::authored().value("fields").toObject();
        interlacedEnd90k = int64_t(fields.value("interlaced_seconds").toDouble() * 90000);
        watchedEnd90k = interlacedEnd90k + 90000;
        for (const QJsonValue &number : fields.value("kept_source_frames").toArray())
            kept.push_back(number.toInt());
        Player player(TestDisc::fieldsFolder());
        player.recorder.keepImages([](int64_t time90k) {
            return time90k % kField90k == 0 &&
                   std::count(kept.begin(), kept.end(), int(time90k / kField90k)) > 0;
        });
        player.engine->Play();
        waitFor(
            [&] {
                const std::vector<Recorder::Picture> shown = player.recorder.pictures();
                return !shown.empty() && shown.back().titleTime90k >= watchedEnd90k;
            },
            20000);
        pictures = player.recorder.pictures();
        std::erase_if(pictures, [](const Recorder::Picture &picture) {
            return picture.titleTime90k > watchedEnd90k;
        });
    }
    static void TearDownTestSuite() { pictures.clear(); }

    static inline std::vector<Recorder::Picture> pictures;
    static inline std::vector<int> kept;
    static inline int64_t interlacedEnd90k = 0;
    static inline int64_t watchedEnd90k = 0;
};

} // namespace

// Pictures may be dropped on a busy machine, never split into fields where
// the frame is progressive nor merged where it is interlaced; the change
// from one to the other leaves no gap.
TEST_F(Fields, InterlacedFramesShowEachFieldAndProgressiveFramesOnePicture)
{
    ASSERT_GT(pictures.size(), 100u);
    int steps[2] = {0, 0};
    int exact[2] = {0, 0};
    for (size_t i = 1; i < pictures.size(); ++i) {
        const int64_t from = pictures[i - 1].titleTime90k;
        const int64_t step = pictures[i].titleTime90k - from;
        const bool progressive = from >= interlacedEnd90k;
        const int64_t period = progressive ? kFrame90k : kField90k;
        ASSERT_GT(step, 0) << "at " << from;
        EXPECT_EQ(step % period, 0) << "at " << from << ": a step of " << step;
        ++steps[progressive];
        exact[progressive] += step == period;
    }
    EXPECT_GE(steps[0], 100);
    EXPECT_GE(steps[1], 20);
    EXPECT_GE(exact[0], steps[0] * 9 / 10);
    EXPECT_GE(exact[1], steps[1] * 9 / 10);
}

TEST_F(Fields, EachFieldIsAsCloseToItsSourceFrameAsWithFfmpegsOwnFilters)
{
    std::map<int, QImage> ours;
    for (const Recorder::Picture &picture : pictures) {
        if (!picture.image.isNull())
            ours[int(picture.titleTime90k / kField90k)] = lumaOf(picture.image);
    }
    // A field dropped on a busy machine is not compared.
    ASSERT_GE(ours.size(), kept.size() - 3);
    const Figures player = compare(ours);
    const Figures yadif = compare(ffmpegPictures(QStringLiteral("yadif=1"), kept));
    const Figures bwdif = compare(ffmpegPictures(QStringLiteral("bwdif=1"), kept));
    std::printf("PSNR of Y against the source, mean / worst dB over the instants compared:\n"
                "  player %.2f / %.2f (%d), ffmpeg yadif %.2f / %.2f (%d), bwdif %.2f / %.2f "
                "(%d)\n",
                player.mean, player.worst, player.count, yadif.mean, yadif.worst, yadif.count,
                bwdif.mean, bwdif.worst, bwdif.count);
    EXPECT_GE(player.mean, 31.0);
    EXPECT_GE(player.worst, 29.0);
    EXPECT_EQ(yadif.count, int(kept.size()));
    EXPECT_GE(player.mean, std::max(yadif.mean, bwdif.mean) - 0.5);
}

// Pictures nobody sees (no view shown, no tap taking images) are not
// deinterlaced: one picture a frame, and the filter's work is saved.
TEST(FieldsUnseen, InterlacedFramesNobodyLooksAtStayOnePictureEach)
{
    Player player(TestDisc::fieldsFolder());
    auto unlooked = std::make_shared<PlaybackTaps>(*player.recorder.taps());
    unlooked->pictureImages = false;
    player.engine->setTaps(unlooked);
    player.engine->Play();
    ASSERT_TRUE(waitFor([&] { return player.recorder.pictures().size() > 40; }, 20000));
    const std::vector<Recorder::Picture> pictures = player.recorder.pictures();
    for (size_t i = 1; i < pictures.size(); ++i) {
        const int64_t step = pictures[i].titleTime90k - pictures[i - 1].titleTime90k;
        EXPECT_EQ(step % kFrame90k, 0) << "at " << pictures[i - 1].titleTime90k;
    }
}
