#include "testdisc.h"

#include "base/localpath.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

// The headless modes, run as the program itself.
namespace
{

struct ProgramRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../vidora");
}

ProgramRun vidora(const QStringList &arguments, const QString &workingDirectory = {})
{
    QProcess process;
    process.setProgram(program());
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDirectory);
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

// A copy of the sample disc's VIDEO_TS in `folder`, its files linked, with
// the named file a FIFO instead.
void discWithFifo(const QString &folder, const QString &fifoName)
{
    const QString videoTs = folder + QStringLiteral("/VIDEO_TS");
    QDir().mkpath(videoTs);
    const QDir source(TestDisc::folder() + QStringLiteral("/VIDEO_TS"));
    for (const QString &name : source.entryList(QDir::Files)) {
        const QString target = videoTs + u'/' + name;
        if (name == fifoName)
            ASSERT_EQ(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        else
            QFile::link(source.filePath(name), target);
    }
}

} // namespace

TEST(DvdCommandLine, FifosInPlaceOfDiscFilesAreRefusedNotWaitedOn)
{
    QTemporaryDir dir;
    for (const QString &name : {QStringLiteral("VTS_01_0.IFO"), QStringLiteral("VTS_01_1.VOB")}) {
        const QString folder = dir.filePath(name);
        discWithFifo(folder, name);
        const ProgramRun info = vidora({"--dvd-info", folder});
        EXPECT_EQ(info.status, 1) << name.toStdString();
        EXPECT_TRUE(info.err.contains("not a plain file")) << info.err.toStdString();
    }
    const QString image = dir.filePath(QStringLiteral("fifo.iso"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(image).constData(), 0600), 0);
    EXPECT_EQ(vidora({"--dvd-info", image}).status, 1);
}

// Title 2 lives in a title set of its own, title 1 in the first.
TEST(DvdCommandLine, TitlesOfAnUnreadableTitleSetAreMarkedSo)
{
    QTemporaryDir dir;
    const QString videoTs = dir.filePath(QStringLiteral("disc/VIDEO_TS"));
    QDir().mkpath(videoTs);
    const QDir source(TestDisc::folder() + QStringLiteral("/VIDEO_TS"));
    for (const QString &name : source.entryList(QDir::Files))
        QFile::link(source.filePath(name), videoTs + u'/' + name);
    const auto zero = [&](const QString &set) {
        for (const QString &end : {QStringLiteral(".IFO"), QStringLiteral(".BUP")}) {
            const QString path = videoTs + u'/' + set + end;
            QFile::remove(path);
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, '\0'));
        }
    };
    zero(QStringLiteral("VTS_02_0"));
    const QString disc = dir.filePath(QStringLiteral("disc"));
    const ProgramRun info = vidora({"--dvd-info", disc});
    EXPECT_EQ(info.status, 0) << info.err.toStdString();
    const QJsonArray titles =
        QJsonDocument::fromJson(info.out).object().value(QStringLiteral("titles")).toArray();
    ASSERT_EQ(titles.size(), 2);
    EXPECT_TRUE(titles.at(0).toObject().value("readable").toBool());
    EXPECT_FALSE(titles.at(1).toObject().value("readable").toBool(true));
    EXPECT_FALSE(titles.at(1).toObject().value("reason").toString().isEmpty());

    const ProgramRun snapshot = vidora({"--dvd-snapshot", disc, "--title", "2", "--at", "1",
                                        "--out", dir.filePath(QStringLiteral("x.png"))});
    EXPECT_EQ(snapshot.status, 1);
    EXPECT_TRUE(snapshot.err.contains("title 2 cannot be read")) << snapshot.err.toStdString();

    zero(QStringLiteral("VTS_01_0"));
    EXPECT_EQ(vidora({"--dvd-info", disc}).status, 1);
}

// Blanks at the ends of a path and bytes that are no valid UTF-8 are part of
// the name.
TEST(DvdCommandLine, SourcePathsAreTakenByteForByte)
{
    QTemporaryDir dir;
    const QString blanks = dir.filePath(QStringLiteral(" disc "));
    QDir().mkpath(blanks);
    QFile::link(TestDisc::folder() + QStringLiteral("/VIDEO_TS"), blanks + "/VIDEO_TS");
    const ProgramRun withBlanks = vidora({"--dvd-info", blanks});
    EXPECT_EQ(withBlanks.status, 0) << withBlanks.err.toStdString();

    ASSERT_EQ(::symlink(QFile::encodeName(TestDisc::folder()).constData(),
                        (QFile::encodeName(dir.path()) + "/caf\xe9").constData()),
              0);
    QProcess shell;
    shell.start(
        QStringLiteral("/bin/sh"),
        {"-c", "exec \"$0\" --dvd-info \"$1/caf$(printf '\\351')\"", program(), dir.path()});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    EXPECT_TRUE(shell.readAllStandardOutput().contains("\"titles\""));
    ::unlink((QFile::encodeName(dir.path()) + "/caf\xe9").constData());
}

// A FIFO as the output blocked for ever, and a name that is no UTF-8 wrote
// another file: outputs are plain files or new, named byte for byte.
TEST(DvdCommandLine, OutputsArePlainFilesOrNewNamedByteForByte)
{
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.path()) + "/fifo.png";
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const ProgramRun toFifo = vidora({"--dvd-snapshot", TestDisc::folder(), "--title", "1", "--at",
                                      "1", "--out", QFile::decodeName(fifo)});
    EXPECT_EQ(toFifo.status, 1);
    EXPECT_TRUE(toFifo.err.contains("not a plain file")) << toFifo.err.toStdString();

    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"),
                {"-c",
                 "exec \"$0\" --dvd-snapshot \"$1\" --title 1 --at 1 --out "
                 "\"$2/caf$(printf '\\351').png\"",
                 program(), TestDisc::folder(), dir.path()});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    const QByteArray written = QFile::encodeName(dir.path()) + "/caf\xe9.png";
    struct stat status {
    };
    EXPECT_EQ(::stat(written.constData(), &status), 0);
    EXPECT_EQ(LocalPath::entries(dir.path()).size(), 2) << "only the FIFO and the picture";
    ::unlink(written.constData());
}

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
        EXPECT_TRUE(title.value("readable").toBool());
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
    const ProgramRun optionForValue = vidora(
        {"--dvd-snapshot", TestDisc::folder(), "--title", "1", "--at", "1", "--out", "--title"},
        dir.path());
    EXPECT_EQ(optionForValue.status, 2);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("--title"))));
    const ProgramRun missing = vidora({"--dvd-info", dir.filePath(QStringLiteral("nothing"))});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("does not exist"));
    EXPECT_TRUE(missing.out.isEmpty());
}
