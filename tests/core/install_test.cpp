#include "programrun.h"

#include "core/programoptions.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// make install and make uninstall, into a staging folder (DESTDIR).
namespace
{

QString buildFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
}

QString sourceFolder()
{
    QFile cache(buildFolder() + QStringLiteral("/CMakeCache.txt"));
    if (!cache.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray &line : cache.readAll().split('\n'))
        if (line.startsWith("CMAKE_HOME_DIRECTORY:INTERNAL="))
            return QString::fromLocal8Bit(line.mid(line.indexOf('=') + 1));
    return QString();
}

int run(const QString &program, const QStringList &arguments, const QString &destination,
        QByteArray *output = nullptr)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), destination);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (output)
        *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

TEST(Install, PutsTheProgramItsDesktopEntryAndIconsUnderThePrefixAndTakesThemAway)
{
    QTemporaryDir stage;
    const QString prefix = QStringLiteral("/opt/vidora-test");
    QByteArray log;
    ASSERT_EQ(run(QStringLiteral("cmake"),
                  {QStringLiteral("--install"), buildFolder(), QStringLiteral("--prefix"), prefix},
                  stage.path(), &log),
              0)
        << log.toStdString();
    const QString root = stage.path() + prefix;
    EXPECT_TRUE(QFileInfo(root + "/bin/vidora").isExecutable());
    for (const char *size : {"32x32", "48x48", "64x64", "128x128", "256x256"})
        EXPECT_FALSE(QImage(root + "/share/icons/hicolor/" + size + "/apps/vidora.png").isNull())
            << size;

    const QString entry = root + "/share/applications/vidora.desktop";
    EXPECT_EQ(run(QStringLiteral("desktop-file-validate"), {entry}, QString(), &log), 0)
        << log.toStdString();
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_TRUE(lines.contains("Exec=" + prefix.toUtf8() + "/bin/vidora %f"));
    EXPECT_TRUE(lines.contains("Icon=vidora"));
    EXPECT_TRUE(lines.contains("MimeType=x-content/video-dvd;application/x-cd-image;"));

    // The manual page and the metadata pass their checkers, and the page
    // names every option of the usage.
    const QString manual = root + "/share/man/man1/vidora.1.gz";
    EXPECT_EQ(
        run(QStringLiteral("mandoc"), {"-T", "lint", "-W", "warning", manual}, QString(), &log), 0)
        << log.toStdString();
    QByteArray page;
    ASSERT_EQ(run(QStringLiteral("gzip"), {"-dc", manual}, QString(), &page), 0);
    static const QRegularExpression option(QStringLiteral("--[a-z-]+"));
    for (const QRegularExpressionMatch &match : option.globalMatch(ProgramOptions::usage())) {
        QByteArray escaped = match.captured().toUtf8();
        escaped.replace("-", "\\-");
        EXPECT_TRUE(page.contains(escaped)) << match.captured().toStdString();
    }
    EXPECT_EQ(
        run(QStringLiteral("appstreamcli"),
            {"validate", "--no-net", root + "/share/metainfo/example.korvane.Vidora.metainfo.xml"},
            QString(), &log),
        0)
        << log.toStdString();

    ASSERT_FALSE(sourceFolder().isEmpty());
    ASSERT_EQ(
        run(sourceFolder() + "/tools/uninstall.sh", {buildFolder(), prefix}, stage.path(), &log), 0)
        << log.toStdString();
    EXPECT_FALSE(QFile::exists(root + "/bin/vidora"));
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_FALSE(QFile::exists(manual));
    EXPECT_FALSE(QFile::exists(root + "/share/icons/hicolor/48x48/apps/vidora.png"));
}
