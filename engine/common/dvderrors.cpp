#include "engine/common/dvderrors.h"

namespace DvdErrors
{

AppError noDisc(const QString &tried)
{
    const QString where = tried.isEmpty() ? QStringLiteral("no DVD drive was found")
                                          : QStringLiteral("tried: %1").arg(tried);
    return AppError(ErrorNumbers::kNoDisc,
                    QStringLiteral("No DVD-Video disc was found (%1). Insert a DVD into the drive, "
                                   "or choose a VIDEO_TS folder or an ISO image.")
                        .arg(where));
}

AppError sourceMissing(const QString &source)
{
    return AppError(ErrorNumbers::kUnreadableSource,
                    QStringLiteral("The DVD source \"%1\" does not exist. Choose a DVD drive, a "
                                   "folder holding VIDEO_TS, or an ISO image.")
                        .arg(source));
}

AppError notADiscFolder(const QString &folder)
{
    return AppError(ErrorNumbers::kUnreadableSource,
                    QStringLiteral("The folder \"%1\" holds no VIDEO_TS folder. Choose the folder "
                                   "that contains VIDEO_TS, or VIDEO_TS itself.")
                        .arg(folder));
}

AppError unreadableSource(const QString &source, const QString &detail)
{
    QString text =
        QStringLiteral("The DVD source \"%1\" could not be read as a DVD-Video disc").arg(source);
    if (!detail.isEmpty())
        text += QStringLiteral(" (%1)").arg(detail);
    text += QStringLiteral(". The disc or image may be damaged or incomplete; clean the disc or "
                           "make the image again.");
    return AppError(ErrorNumbers::kUnreadableSource, text);
}

AppError encryptedWithoutLibrary(const QString &source)
{
    return AppError(
        ErrorNumbers::kDecoderFailed,
        QStringLiteral("The DVD in \"%1\" is encrypted (CSS) and the decryption library "
                       "libdvdcss is not installed. Install libdvdcss (Debian package "
                       "libdvd-pkg) and play the disc again.")
            .arg(source));
}

AppError decoderMissing(const QString &codec)
{
    return AppError(ErrorNumbers::kDecoderMissing,
                    QStringLiteral("The %1 decoder is missing from the installed FFmpeg libraries. "
                                   "Install the libavcodec package of your distribution.")
                        .arg(codec));
}

AppError decoderFailed(const QString &detail)
{
    return AppError(ErrorNumbers::kDecoderFailed,
                    QStringLiteral("The video decoder failed (%1).").arg(detail));
}

AppError endlessCommandLoop()
{
    return AppError(ErrorNumbers::kUnreadableSource,
                    QStringLiteral("The disc's navigation commands run in an endless loop, so "
                                   "playback was stopped. The disc is badly authored or damaged."));
}

AppError unreadablePast(int title, int64_t time90k)
{
    const int64_t seconds = std::max<int64_t>(0, time90k / 90000);
    return AppError(ErrorNumbers::kUnreadableSource,
                    QStringLiteral("The disc could not be read past %1:%2:%3 of title %4.")
                        .arg(seconds / 3600)
                        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                        .arg(title));
}

AppError notPlaying()
{
    return AppError(ErrorNumbers::kNotPermitted,
                    QStringLiteral("No disc is playing. Start playback first."));
}

AppError notPermitted(const QString &operation, const QString &reason)
{
    return AppError(ErrorNumbers::kNotPermitted,
                    QStringLiteral("%1 is not possible now: %2.").arg(operation, reason));
}

AppError prohibitedByDisc(const QString &operation)
{
    return AppError(ErrorNumbers::kNotPermitted,
                    QStringLiteral("The disc does not allow %1 at this point.").arg(operation));
}

AppError noSuchStream(const QString &kind, int requested, int available)
{
    return AppError(ErrorNumbers::kInvalidArgument,
                    QStringLiteral("There is no %1 %2: the disc offers %3 here.")
                        .arg(kind)
                        .arg(requested)
                        .arg(available));
}

AppError invalidArgument(const QString &what)
{
    return AppError(ErrorNumbers::kInvalidArgument, what);
}

} // namespace DvdErrors
