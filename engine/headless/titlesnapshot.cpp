#include "engine/headless/titlesnapshot.h"

#include "engine/common/dvderrors.h"
#include "engine/navigation/loopguard.h"
#include "engine/navigation/navigationcore.h"
#include "engine/present/presentationcore.h"
#include "engine/source/dvdsource.h"

#include <chrono>
#include <exception>
#include <future>
#include <thread>

namespace
{

// Decoding starts this long before the wanted point, so that a subtitle that
// began earlier is on screen too.
constexpr int64_t kLeadIn90k = 5 * 90000;
// Blocks read before giving up on reaching the point.
constexpr int kMaxSteps = 400000;

class DirectSink : public MediaSink
{
public:
    explicit DirectSink(PresentationCore &core) : core_(core) {}
    void push(MediaItem item) override
    {
        core_.feed(std::move(item));
        core_.settle();
    }
    void startSegment() override { core_.feed(SegmentStart{}); }

private:
    PresentationCore &core_;
};

class SnapshotRun
{
public:
    SnapshotRun(const SnapshotRequest &request, QString path, LoopGuard &guard)
        : request_(request), path_(std::move(path)), guard_(guard)
    {
    }

    QImage run();

private:
    void start(NavSession &session);
    // Takes the decoded pictures; true once one lies past the wanted point.
    bool takePictures(PresentationCore &core);
    bool inTitle(const FrameOnScreen &frame) const
    {
        return frame.position.domain == DvdDomain::kTitle && frame.position.title == request_.title;
    }

    const SnapshotRequest &request_;
    QString path_;
    LoopGuard &guard_;
    int64_t target90k_ = 0;
    std::optional<FrameOnScreen> kept_;
    bool leftTitle_ = false;
};

void SnapshotRun::start(NavSession &session)
{
    session.check(dvdnav_title_play(session.handle(), request_.title),
                  QStringLiteral("starting title %1").arg(request_.title));
    if (request_.subtitle >= 0) {
        const std::vector<SubpictureStreamInfo> streams = session.subpictureStreams();
        const bool exists = std::any_of(streams.begin(), streams.end(), [&](const auto &info) {
            return info.stream == request_.subtitle;
        });
        if (!exists)
            throw DvdErrors::noSuchStream(QStringLiteral("subtitle stream"), request_.subtitle,
                                          int(streams.size()));
        session.setStreamRegisters(-1, request_.subtitle | 0x40);
    }
    target90k_ = int64_t(request_.seconds * 90000.0 + 0.5);
    const int64_t from = std::max<int64_t>(0, target90k_ - kLeadIn90k);
    if (from > 0)
        session.check(dvdnav_time_search(session.handle(), uint64_t(from)),
                      QStringLiteral("seeking in title %1").arg(request_.title));
}

bool SnapshotRun::takePictures(PresentationCore &core)
{
    while (std::optional<DecodedPicture> picture = core.nextPicture()) {
        FrameOnScreen frame = core.show(*picture, ButtonState{});
        if (!inTitle(frame)) {
            leftTitle_ = kept_.has_value();
            continue;
        }
        if (frame.position.titleTime90k > target90k_ && kept_)
            return true;
        kept_ = std::move(frame);
    }
    return leftTitle_;
}

// Every call into libdvdnav is marked for the loop guard; decoding is not.
QImage SnapshotRun::run()
{
    guard_.attachCurrentThread();
    PresentationCore core;
    std::optional<NavSession> session;
    {
        LoopGuard::Section section(guard_);
        session.emplace(path_);
        start(*session);
    }
    DirectSink sink(core);
    NavigationCore navigation(*session, sink);
    uint64_t drain = 0;
    for (int step = 0; step < kMaxSteps; ++step) {
        LoopGuard::Section section(guard_);
        const NavigationCore::Step next = navigation.readNext();
        if (next.result != NavigationCore::Result::Continue)
            core.feed(DrainRequest{++drain});
        if (takePictures(core) || next.result == NavigationCore::Result::Stop)
            break;
        if (next.result == NavigationCore::Result::Wait)
            dvdnav_wait_skip(session->handle());
        if (next.result == NavigationCore::Result::Still)
            dvdnav_still_skip(session->handle());
    }
    if (!kept_)
        throw DvdErrors::notPermitted(QStringLiteral("A snapshot"),
                                      QStringLiteral("title %1 shows no picture at %2 s")
                                          .arg(request_.title)
                                          .arg(request_.seconds));
    const ShownPicture &picture = kept_->picture;
    return picture.image.scaled(picture.displayWidth(), picture.image.height(),
                                Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void checkRequest(const SnapshotRequest &request, const DiscInfo &disc)
{
    const TitleInfo *title = disc.title(request.title);
    if (!title)
        throw DvdErrors::invalidArgument(
            QStringLiteral("There is no title %1: the disc has titles 1 to %2.")
                .arg(request.title)
                .arg(disc.titles.size()));
    if (!title->unreadable.isEmpty())
        throw DvdErrors::unreadableSource(request.source,
                                          QStringLiteral("title %1 cannot be read: %2")
                                              .arg(request.title)
                                              .arg(title->unreadable));
    const double length = double(title->duration90k) / 90000.0;
    if (request.seconds < 0 || request.seconds >= length)
        throw DvdErrors::invalidArgument(
            QStringLiteral("Title %1 is %2 seconds long; %3 s is outside it.")
                .arg(request.title)
                .arg(length, 0, 'f', 2)
                .arg(request.seconds));
}

} // namespace

QImage renderTitleSnapshot(const SnapshotRequest &request)
{
    const ProbedDisc disc = DvdSource::probe(DvdSource::resolve(request.source));
    checkRequest(request, disc.info);
    // The navigation runs on a thread of its own, watched: a disc whose
    // commands loop inside libdvdnav must not hang the caller.
    auto guard = std::make_shared<LoopGuard>();
    auto result = std::make_shared<std::promise<QImage>>();
    std::future<QImage> picture = result->get_future();
    std::thread worker([request, path = disc.source.path, guard, result] {
        try {
            SnapshotRun run(request, path, *guard);
            result->set_value(run.run());
        } catch (...) {
            result->set_exception(std::current_exception());
        }
    });
    while (picture.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        if (guard->stuck()) {
            worker.detach();
            throw DvdErrors::endlessCommandLoop();
        }
    }
    worker.join();
    return picture.get();
}
