#include "settings/decoderinfo.h"

#include <QLibrary>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace DecoderInfo
{

namespace
{

QString libraryVersion()
{
    const unsigned version = avcodec_version();
    return QStringLiteral("libavcodec %1.%2.%3")
        .arg(AV_VERSION_MAJOR(version))
        .arg(AV_VERSION_MINOR(version))
        .arg(AV_VERSION_MICRO(version));
}

QString decoderFor(AVCodecID id)
{
    const AVCodec *codec = avcodec_find_decoder(id);
    if (!codec)
        return QStringLiteral("%1: not available").arg(QString::fromLatin1(avcodec_get_name(id)));
    return QStringLiteral("%1 (%2), %3")
        .arg(QString::fromUtf8(codec->long_name ? codec->long_name : codec->name),
             QString::fromLatin1(codec->name), libraryVersion());
}

} // namespace

QString videoDecoder()
{
    return decoderFor(AV_CODEC_ID_MPEG2VIDEO);
}

QString audioDecoder()
{
    return decoderFor(AV_CODEC_ID_AC3);
}

// libdvdread looks for the same library when it opens an encrypted disc.
bool canReadEncryptedDiscs()
{
    QLibrary library(QStringLiteral("dvdcss"), 2);
    return library.load();
}

QString description()
{
    return QStringLiteral("Video: %1\nAudio: %2\nEncrypted discs: %3")
        .arg(videoDecoder(), audioDecoder(),
             canReadEncryptedDiscs() ? QStringLiteral("readable (libdvdcss found)")
                                     : QStringLiteral("not readable (libdvdcss is not installed)"));
}

} // namespace DecoderInfo
