#include "engine/navigation/audiofeed.h"

#include "base/errors.h"
#include "engine/output/audiooutput.h"

AudioGate::AudioGate(AudioOutput *output) : output_(output) {}

void AudioGate::close()
{
    std::lock_guard lock(mutex_);
    output_ = nullptr;
    closed_ = true;
}

void AudioGate::whileOpen(const std::function<void()> &call)
{
    std::lock_guard lock(mutex_);
    if (!closed_)
        call();
}

bool AudioGate::use(const std::function<void(AudioOutput &)> &call)
{
    std::lock_guard lock(mutex_);
    if (!output_)
        return false;
    call(*output_);
    return true;
}

AudioFeed::AudioFeed(std::shared_ptr<AudioGate> gate, const PcmFormat &format,
                     std::shared_ptr<const PlaybackTaps> taps, ErrorHandler onError)
    : gate_(std::move(gate)), format_(format), taps_(std::move(taps)), onError_(std::move(onError))
{
}

AudioFeed::~AudioFeed() = default;

void AudioFeed::select(std::optional<AudioSelection> selection)
{
    if (selection == selection_)
        return;
    const bool sameCoding = selection && selection_ && selection->coding == selection_->coding;
    selection_ = selection;
    if (sameCoding && decoder_) {
        // Another stream of the same coding: only its partial frame goes.
        decoder_->flush();
        return;
    }
    decoder_.reset();
    if (selection_ && enabled_)
        openDecoder();
}

void AudioFeed::openDecoder()
{
    try {
        decoder_ = std::make_unique<AudioDecoder>(selection_->coding, format_);
    } catch (const AppError &error) {
        // The pictures go on without sound; the viewer hears why not.
        if (onError_)
            onError_(error);
    }
}

void AudioFeed::feed(std::span<const uint8_t> payload, int64_t pts90k, size_t unitStart)
{
    if (!enabled_ || !decoder_)
        return;
    decoded_.clear();
    decoder_->decode(payload, pts90k >= 0 ? std::optional<int64_t>(pts90k) : std::nullopt, decoded_,
                     unitStart);
    queue(decoded_);
}

void AudioFeed::drain()
{
    if (!enabled_ || !decoder_)
        return;
    decoded_.clear();
    decoder_->drain(decoded_);
    queue(decoded_);
}

void AudioFeed::queue(std::vector<PcmBlock> &blocks)
{
    for (PcmBlock &block : blocks) {
        if (taps_ && taps_->sound)
            gate_->whileOpen([&] { taps_->sound(format_, block); });
        waiting_.push_back(std::move(block));
    }
    pump();
}

void AudioFeed::flush()
{
    waiting_.clear();
    if (decoder_)
        decoder_->flush();
    if (!pushedSinceFlush_)
        return;
    pushedSinceFlush_ = false;
    gate_->use([](AudioOutput &output) { output.flush(); });
}

void AudioFeed::holdForPictures(uint64_t segment)
{
    if (enabled_)
        gate_->use([segment](AudioOutput &output) { output.holdForPictures(segment); });
}

void AudioFeed::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    flush();
    if (!enabled_)
        decoder_.reset();
    else if (selection_)
        openDecoder();
}

bool AudioFeed::pump()
{
    while (!waiting_.empty()) {
        auto result = AudioOutput::PushResult::Closed;
        gate_->use([&](AudioOutput &output) { result = output.push(waiting_.front()); });
        if (result == AudioOutput::PushResult::Full)
            return false;
        pushedSinceFlush_ = true;
        // Accepted, or never to be: a rejected block is dropped, and after
        // the output closed nothing is heard any more.
        waiting_.pop_front();
    }
    return true;
}
