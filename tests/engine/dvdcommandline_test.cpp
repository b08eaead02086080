#include "testdisc.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The headless modes, run as the program itself.
namespace
{

struct ProgramRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

ProgramRun vidora(const QStringList &arguments)
{
    QProcess process;
    process.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/../vidora"));
    process.setArguments(arguments);
    // Headless means no display at all.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start();
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QImage snapshot(const QTemporaryDir &dir, const QStringList &options)
{
    const QString out = dir.filePath(QStringLiteral("picture.png"));
    QFile::remove(out);
    const ProgramRun run =
        vidora(QStringList{QStringLiteral("--dvd-snapshot"), TestDisc::folder()} + options +
               QStringList{QStringLiteral("--out"), out});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    return QImage(out);
}

// Frame n of title 1 as FFmpeg decodes it straight from the disc's VOB file.
QImage ffmpegFrame(const QTemporaryDir &dir, int frame)
{
    const QString out = dir.filePath(QStringLiteral("ffmpeg-%1.png").arg(frame));
    QProcess::execute(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                       QStringLiteral("-i"),
                       TestDisc::folder() + QStringLiteral("/VIDEO_TS/VTS_01_1.VOB"),
                       QStringLiteral("-map"), QStringLiteral("0:v:0"), QStringLiteral("-vf"),
                       QStringLiteral("select=eq(n\\,%1)").arg(frame), QStringLiteral("-frames:v"),
                       QStringLiteral("1"), out});
    return QImage(out).convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(DvdCommandLine, InfoAgreesWithWhatWasAuthored)
{
    const ProgramRun run = vidora({QStringLiteral("--dvd-info"), TestDisc::iso()});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject info = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(info.value(QStringLiteral("disc_id")).toString().size(), 32);
    const QJsonArray titles = info.value(QStringLiteral("titles")).toArray();
    const QJsonArray authored = TestDisc::authored().value(QStringLiteral("titles")).toArray();
    ASSERT_EQ(titles.size(), authored.size());
    for (qsizetype i = 0; i < titles.size(); ++i) {
        const QJsonObject title = titles.at(i).toObject();
        const QJsonObject expected = authored.at(i).toObject();
        EXPECT_EQ(title.value("title").toInt(), expected.value("title").toInt());
        EXPECT_EQ(title.value("chapters").toInt(), expected.value("chapters").toInt());
        EXPECT_NEAR(title.value("duration_seconds").toDouble(),
                    expected.value("duration_seconds").toDouble(), 0.05);
        EXPECT_EQ(title.value("angles").toInt(), 1);
        const QJsonArray audio = title.value("audio").toArray();
        const QJsonArray expectedAudio = expected.value("audio").toArray();
        ASSERT_EQ(audio.size(), expectedAudio.size());
        for (qsizetype a = 0; a < audio.size(); ++a) {
            for (const char *key : {"stream", "lang", "format", "channels"})
                EXPECT_EQ(audio.at(a).toObject().value(key),
                          expectedAudio.at(a).toObject().value(key))
                    << key;
        }
        const QJsonArray subpictures = title.value("subpictures").toArray();
        const QJsonArray expectedSubpictures = expected.value("subpictures").toArray();
        ASSERT_EQ(subpictures.size(), expectedSubpictures.size());
        for (qsizetype s = 0; s < subpictures.size(); ++s)
            EXPECT_EQ(subpictures.at(s).toObject().value("lang"),
                      expectedSubpictures.at(s).toObject().value("lang"));
    }
    EXPECT_EQ(titles.at(0).toObject().value("audio").toArray().at(1).toObject().value("language"),
              QJsonValue(QStringLiteral("French")));
}

TEST(DvdCommandLine, SnapshotShowsTheSubtitleOnlyWhenAskedAndKeepsTheAspect)
{
    QTemporaryDir dir;
    const QImage plain = snapshot(dir, {"--title", "1", "--at", "2"});
    ASSERT_EQ(plain.size(), QSize(768, 576));
    EXPECT_EQ(TestDisc::brightPixels(plain, TestDisc::subtitleBand(plain)), 0);
    const QImage subtitled = snapshot(dir, {"--title", "1", "--at", "2", "--subtitle", "1"});
    EXPECT_GT(TestDisc::brightPixels(subtitled, TestDisc::subtitleBand(subtitled)), 200);
    const QImage wide = snapshot(dir, {"--title", "2", "--at", "1.5"});
    EXPECT_EQ(wide.size(), QSize(1024, 576));
}

TEST(DvdCommandLine, SnapshotMatchesFfmpegsOwnDecodingOfThatFrame)
{
    QTemporaryDir dir;
    // 3.0 s into title 1 is its frame 75; the neighbours must match worse.
    const QImage ours = snapshot(dir, {"--title", "1", "--at", "3.0"});
    auto displayed = [](const QImage &frame) {
        return frame.scaled(768, 576, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    const double exact = TestDisc::psnr(ours, displayed(ffmpegFrame(dir, 75)));
    EXPECT_GE(exact, 35.0);
    EXPECT_GT(exact, TestDisc::psnr(ours, displayed(ffmpegFrame(dir, 74))) + 1.0);
    EXPECT_GT(exact, TestDisc::psnr(ours, displayed(ffmpegFrame(dir, 76))) + 1.0);
}

TEST(DvdCommandLine, FailuresExitNonZeroWithTheReasonOnStderr)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("x.png"));
    const ProgramRun noTitle =
        vidora({"--dvd-snapshot", TestDisc::folder(), "--title", "3", "--at", "1", "--out", out});
    EXPECT_EQ(noTitle.status, 1);
    EXPECT_TRUE(noTitle.err.contains("no title 3"));
    const ProgramRun pastEnd =
        vidora({"--dvd-snapshot", TestDisc::folder(), "--title", "2", "--at", "9", "--out", out});
    EXPECT_EQ(pastEnd.status, 1);
    const ProgramRun badNumber =
        vidora({"--dvd-snapshot", TestDisc::folder(), "--title", "one", "--at", "1", "--out", out});
    EXPECT_EQ(badNumber.status, 2);
    EXPECT_FALSE(QFile::exists(out));
    const ProgramRun missing = vidora({"--dvd-info", dir.filePath(QStringLiteral("nothing"))});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("does not exist"));
    EXPECT_TRUE(missing.out.isEmpty());
}
