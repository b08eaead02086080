#pragma once

#include "engine/output/audioringbuffer.h"

#include <QIODevice>

#include <chrono>

// The ring buffer as the sequential, read-only device a QAudioSink pulls from
// in pull mode.
class AudioRingDevice : public QIODevice
{
    Q_OBJECT
public:
    explicit AudioRingDevice(AudioRingBuffer &ring, QObject *parent = nullptr);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

    // Tells the sink that data is there again after it found the ring empty.
    void announceData() { emit readyRead(); }
    // Everything the sink has read since the device was made.
    int64_t bytesTaken() const { return taken_; }
    // Where and when the sink last found sound again after finding none: no
    // byte from there on can have been heard sooner than its own length later.
    struct Resumption {
        int64_t at = 0;
        std::chrono::steady_clock::time_point when;
    };
    const Resumption &lastResumption() const { return resumed_; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    AudioRingBuffer &ring_;
    int64_t taken_ = 0;
    bool dry_ = true;
    Resumption resumed_;
};
