#pragma once

#include <cstdint>
#include <optional>

// Where the audio output's PCM goes: a real device, or a silent stand-in that
// consumes at wall-clock pace. Lives on the audio thread; every call comes
// from there.
class AudioBackend
{
public:
    virtual ~AudioBackend() = default;

    // Called every few milliseconds by the audio thread.
    virtual void service() = 0;
    // New data after the ring ran empty.
    virtual void wake() = 0;
    virtual void suspend() = 0;
    virtual void resume() = 0;
    // Drops what the device holds and has not played yet, where it can.
    virtual void discard() = 0;
    virtual void setVolume(float volume) = 0;

    // Bytes taken from the ring that the listener has not heard yet; nothing
    // while the device cannot tell (suspended, stopped).
    virtual std::optional<int64_t> pendingBytes() const = 0;
    // Consuming now (neither suspended nor stopped).
    virtual bool isRunning() const = 0;
    // The device broke down and will not play again.
    virtual bool hasFailed() const = 0;
};
