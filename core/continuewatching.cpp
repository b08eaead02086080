#include "core/continuewatching.h"

#include "base/errors.h"
#include "core/continuestore.h"
#include "core/forms.h"
#include "core/module2.h"
#include "core/playerstate.h"
#include "core/version.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/dialogs.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QStringList>

namespace ContinueWatching
{

namespace
{

bool enabled()
{
    QString value;
    IgnoreErrors steps;
    steps.step([&] {
        value = SettingsStore::Read(SettingsKeys::kPlayer, SettingsKeys::kSaveSection,
                                    SettingsKeys::kContinueDiscs, QStringLiteral("1"));
    });
    return value != QLatin1String("0");
}

ContinueStore store()
{
    return ContinueStore(ContinueStore::defaultFilePath());
}

int secondsOf(const QString &hoursMinutesSeconds)
{
    int seconds = 0;
    for (const QString &part : hoursMinutesSeconds.split(QLatin1Char(':')))
        seconds = seconds * 60 + part.toInt();
    return seconds;
}

QString clockText(double seconds)
{
    const int whole = int(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600)
        .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

// The place on screen while a title plays; nothing in a menu or stopped.
std::optional<LeftPlace> placeNow(DvdControl *control)
{
    bool inTitle = false;
    IgnoreErrors steps;
    if (!steps.step([&] { inTitle = control->CurrentDomain() == DvdDomain::kTitle; }) || !inTitle)
        return std::nullopt;
    LeftPlace now;
    if (!steps.step([&] {
            now.discId = control->DiscUniqueId();
            now.place = control->CurrentPlace();
            now.titleSeconds = secondsOf(control->TotalTitleTime());
        }))
        return std::nullopt;
    return now;
}

void offer(DvdControl *control, const QString &discId)
{
    const std::optional<DiscPlace> place = store().load(discId);
    if (!place)
        return;
    const QString name = playerState().discName == QLatin1String("None")
                             ? QStringLiteral("this DVD")
                             : playerState().discName;
    const QString question =
        QStringLiteral("Continue %1 from %2?").arg(name, clockText(place->seconds));
    if (!Dialogs::current().askYesNoDefaultYes(nullptr, Version::programTitle(), question))
        return;
    if (const auto error = trapFirstError([&] { control->PlayFromPlace(*place); }))
        ShowMessage(error->description());
}

} // namespace

// Remembering the place is a few reads of the control; the settings file is
// read only when there is something to ask or keep.
void atNotification()
{
    DvdControl *control = dvdControl();
    QString discId;
    IgnoreErrors steps;
    if (!steps.step([&] { discId = control->DiscUniqueId(); }) || discId.isEmpty())
        return;
    PlayerState &state = playerState();
    if (state.placeOnScreen && state.placeOnScreen->discId != discId)
        leave(control);
    if (state.continueAskedFor != discId) {
        state.continueAskedFor = discId;
        if (enabled())
            offer(control, discId);
    }
    if (std::optional<LeftPlace> now = placeNow(control); now && now->discId == discId)
        state.placeOnScreen = std::move(now);
}

void leave(DvdControl *control)
{
    PlayerState &state = playerState();
    if (std::optional<LeftPlace> now = placeNow(control);
        now && state.placeOnScreen && now->discId == state.placeOnScreen->discId)
        state.placeOnScreen = std::move(now);
    const std::optional<LeftPlace> left = std::exchange(state.placeOnScreen, std::nullopt);
    state.continueAskedFor.clear();
    if (!left || !enabled())
        return;
    const double seconds = left->place.seconds;
    IgnoreErrors steps;
    if (seconds > left->titleSeconds - kMarginSeconds)
        steps.step([&] { store().remove(left->discId); });
    else if (seconds >= kMarginSeconds)
        steps.step([&] { store().save(left->discId, left->place); });
}

} // namespace ContinueWatching
