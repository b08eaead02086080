#include "base/errors.h"
#include "engine/decode/audiodecoder.h"
#include "engine/demux/psdemuxer.h"
#include "engine/present/presentationcore.h"

#include <dvdread/nav_read.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// VOB data played as the player plays it, without the disc around it: packs
// split by the demuxer, NAV packets turned into the markers that carry the
// menu buttons, pictures decoded and composed with the subpicture and the
// highlight, the sound of the first stream of each coding decoded. The
// input is one byte of settings (bit 0: a 16:9 title, bit 1: NTSC, bits 2-6:
// the subpicture stream, bit 7: subtitles shown), then 2048-byte packs, at
// most kMostBlocks of them, the last one zero-filled.
namespace
{

constexpr size_t kMostBlocks = 64;
class Player
{
public:
    explicit Player(uint8_t settings) : subpictureStream_((settings >> 2) & 0x1F)
    {
        PictureFormat format;
        format.wide = settings & 1;
        format.planeHeight = settings & 2 ? 480 : 576;
        format.framesPerSecond = settings & 2 ? 30 : 25;
        core_.feed(format);
        PaletteChange palette;
        for (size_t i = 0; i < palette.clut.size(); ++i)
            palette.clut[i] = uint32_t(0x10 + i * 14) << 16 | 0x8080;
        core_.feed(palette);
        core_.feed(SubpictureMode{subpictureStream_, (settings & 0x80) != 0});
        for (const AudioCoding coding :
             {AudioCoding::Ac3, AudioCoding::Dts, AudioCoding::Lpcm, AudioCoding::Mpeg})
            audio_.push_back(std::make_unique<AudioDecoder>(coding, PcmFormat{}));
    }

    void play(const uint8_t *pack)
    {
        if (PsDemuxer::isNavPack(pack))
            navPacket(pack);
        else
            data(pack);
        core_.settle();
        showPictures();
    }

    void finish()
    {
        core_.feed(DrainRequest{1});
        showPictures();
        std::vector<PcmBlock> sound;
        for (const auto &decoder : audio_)
            decoder->drain(sound);
    }

private:
    void navPacket(const uint8_t *pack)
    {
        auto marker = std::make_shared<NavMarker>();
        navRead_PCI(&marker->pci, const_cast<uint8_t *>(pack + PsDemuxer::kPciAt));
        marker->vobuStart = marker->pci.pci_gi.vobu_s_ptm;
        marker->vobuEnd = marker->pci.pci_gi.vobu_e_ptm;
        marker->position.domain = DvdDomain::kVideoManagerMenu;
        core_.feed(std::shared_ptr<const NavMarker>(std::move(marker)));
    }

    void data(const uint8_t *pack)
    {
        for (const PsDemuxer::Payload &payload : PsDemuxer::split(pack)) {
            if (payload.streamId == PsDemuxer::kVideoStream) {
                core_.feed(VideoData{{payload.data, payload.data + payload.size}, payload.pts});
            } else if (PsDemuxer::isSubpicture(payload)) {
                if (int(payload.subId & 0x1F) == subpictureStream_)
                    core_.feed(
                        SubpictureData{{payload.data, payload.data + payload.size}, payload.pts});
            } else {
                decodeSound(payload);
            }
        }
    }

    void decodeSound(const PsDemuxer::Payload &payload)
    {
        std::vector<PcmBlock> sound;
        for (const auto &decoder : audio_) {
            const auto ids = audioStreamIds(decoder->coding(), 0);
            if (payload.streamId != ids.first ||
                (ids.first == PsDemuxer::kPrivateStream1 && payload.subId != ids.second))
                continue;
            decoder->decode({payload.data, payload.size},
                            payload.pts >= 0 ? std::optional<int64_t>(payload.pts) : std::nullopt,
                            sound, payload.unitStart);
        }
    }

    // Every picture composed with the first button highlighted, as a menu
    // shows it.
    void showPictures()
    {
        while (std::optional<DecodedPicture> picture = core_.nextPicture())
            core_.show(*picture, ButtonState{1, false});
    }

    PresentationCore core_;
    int subpictureStream_ = 0;
    std::vector<std::unique_ptr<AudioDecoder>> audio_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    try {
        Player player(data[0]);
        std::vector<uint8_t> pack(PsDemuxer::kBlockSize);
        const size_t end = std::min(size, 1 + kMostBlocks * PsDemuxer::kBlockSize);
        for (size_t at = 1; at < end; at += PsDemuxer::kBlockSize) {
            const size_t length = std::min(PsDemuxer::kBlockSize, end - at);
            std::fill(std::copy(data + at, data + at + length, pack.begin()), pack.end(), 0);
            player.play(pack.data());
        }
        player.finish();
    } catch (const AppError &) {
        // Only opening a decoder throws, and FFmpeg has them all.
    }
    return 0;
}
