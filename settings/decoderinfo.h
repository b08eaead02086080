#pragma once

#include <QString>

// What the settings window tells about the decoders in use.
namespace DecoderInfo
{

// "MPEG-2 video (mpeg2video), libavcodec 59.37.100": the decoder the player
// uses for a codec, with the version of the linked library.
QString videoDecoder();
QString audioDecoder();

// Whether libdvdcss can be loaded, so that encrypted discs can be read.
bool canReadEncryptedDiscs();

// The lines shown under "The DVD decoders include:".
QString description();

} // namespace DecoderInfo
