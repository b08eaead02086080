#include "settings/decoderregistration.h"

#include "base/errors.h"
#include "core/module2.h"
#include "platform/appdirs.h"
#include "platform/desktop.h"
#include "platform/windows1252.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace DecoderRegistration
{

namespace
{

// Replaces the file whole; a folder, pipe or device in its place is left alone.
void writeBatchFile(const QString &path, const QByteArray &bytes)
{
    if (QFileInfo(path).exists() && !QFileInfo(path).isFile())
        throw AppError(ErrorNumbers::kFileError, QStringLiteral("\"%1\": not a file").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(ErrorNumbers::kFileError,
                       QStringLiteral("\"%1\": %2").arg(path, file.errorString()));
}

} // namespace

QByteArray batch(const QString &directory, bool install)
{
    const QString quote = QStringLiteral("\"");
    QStringList lines = {QStringLiteral("cd ") + quote + directory + quote};
    if (install)
        lines << QStringLiteral("regsvr32 MPG2AUDIO.AX") << QStringLiteral("regsvr32 MPG2VIDEO.AX");
    else
        lines << QStringLiteral("regsvr32 /u MPG2AUDIO.AX")
              << QStringLiteral("regsvr32 /u MPG2VIDEO.AX");
    lines << QStringLiteral("exit");
    return Windows1252::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void run(bool install)
{
    IgnoreErrors steps;
    const QString name =
        install ? QStringLiteral("installdecoders") : QStringLiteral("uninstalldecoders");
    const QString directory = AppDirs::programDirectory();
    const QString path = directory + QStringLiteral("/") + name + QStringLiteral(".bat");
    steps.step([&] {
        ShowMessage(install
                        ? QStringLiteral("If the installation of both decoders was successful "
                                         "you will get two message boxes informing the "
                                         "success.")
                        : QStringLiteral("If the uninstallation of both decoders was successful "
                                         "you will get two message boxes informing the "
                                         "success."));
    });
    bool written = false;
    steps.step([&] {
        writeBatchFile(path, batch(directory, install));
        written = true;
    });
    if (written)
        Desktop::runBatchFile(path);
}

} // namespace DecoderRegistration
