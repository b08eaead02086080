#include "engine/navigation/readermode.h"

bool ReaderMode::holding() const
{
    return state_ == State::DrainForWait || state_ == State::DrainForStill ||
           state_ == State::Still;
}

// A still the screen shows is left whatever comes next; one still draining
// was never shown.
ReaderMode::Action ReaderMode::leaveStillState(State next)
{
    const bool shown = state_ == State::Still || state_ == State::StillLeft;
    state_ = next;
    return shown ? Action::LeaveStill : Action::None;
}

ReaderMode::Action ReaderMode::metWait()
{
    return leaveStillState(State::DrainForWait);
}

bool ReaderMode::metStill(int seconds)
{
    if (state_ == State::StillLeft) {
        state_ = State::Still;
        return false;
    }
    state_ = State::DrainForStill;
    stillSeconds_ = seconds;
    return true;
}

ReaderMode::Action ReaderMode::drained(Clock::time_point now)
{
    switch (state_) {
    case State::DrainForWait:
        state_ = State::Reading;
        return Action::SkipWait;
    case State::DrainForStill:
        state_ = State::Still;
        stillEnds_ = now + std::chrono::seconds(stillSeconds_);
        pausedAt_.reset();
        return Action::ShowStill;
    default:
        return Action::None;
    }
}

ReaderMode::Action ReaderMode::progressed()
{
    return state_ == State::StillLeft ? leaveStillState(State::Reading) : Action::None;
}

// The VM may have moved: the reader reads on. A still in force is reported
// again by the VM, and its time runs on; one still draining starts afresh.
ReaderMode::Action ReaderMode::commandRan()
{
    switch (state_) {
    case State::DrainForWait:
    case State::DrainForStill:
        state_ = State::Reading;
        break;
    case State::Still:
        state_ = State::StillLeft;
        break;
    default:
        break;
    }
    return Action::None;
}

ReaderMode::Action ReaderMode::startStepping()
{
    return leaveStillState(State::Stepping);
}

void ReaderMode::stopStepping()
{
    if (state_ == State::Stepping)
        state_ = State::Reading;
}

ReaderMode::Action ReaderMode::tick(Clock::time_point now, bool paused)
{
    if (state_ != State::Still)
        return Action::None;
    if (paused && !pausedAt_) {
        pausedAt_ = now;
    } else if (!paused && pausedAt_) {
        stillEnds_ += now - *pausedAt_;
        pausedAt_.reset();
    }
    if (paused || stillSeconds_ == kEndlessStill || now < stillEnds_)
        return Action::None;
    state_ = State::Reading;
    return Action::SkipStill;
}

std::optional<ReaderMode::Clock::time_point> ReaderMode::stillEnds() const
{
    if (state_ != State::Still || pausedAt_ || stillSeconds_ == kEndlessStill)
        return std::nullopt;
    return stillEnds_;
}
