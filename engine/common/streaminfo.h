#pragma once

#include <QString>

// The streams of a program chain, as the IFO files and the VM describe them.
struct AudioStreamInfo {
    int stream = 0;     // logical stream number, from 0
    int formatCode = 0; // IFO audio_format: 0 AC-3, 2/3 MPEG, 4 LPCM, 6 DTS
    QString lang;       // two-letter code or empty
    QString language;   // English name, "Unknown" without a code
    QString format;     // "AC-3", "MPEG", "LPCM", "DTS"
    int channels = 0;
};

struct SubpictureStreamInfo {
    int stream = 0;
    QString lang;
    QString language;
};
