#include "engine/navigation/navigationworker.h"

#include "engine/common/dvderrors.h"
#include "engine/common/visitor.h"

namespace
{
// Commands that take the reader somewhere else: a scan does not go on there.
bool movesReader(const NavCommand &command)
{
    if (const auto *pointer = std::get_if<PointerButton>(&command))
        return pointer->activate;
    return std::holds_alternative<MenuCall>(command) ||
           std::holds_alternative<ButtonActivate>(command) ||
           std::holds_alternative<ChapterPlay>(command) ||
           std::holds_alternative<BookmarkJump>(command);
}
} // namespace

// Commands run between two block reads. A stream change waits for the end of
// a still or wait: the VM's SetSTN would cut the still short. Changes that
// waited run before newer commands, so that the user's last choice wins.
void NavigationWorker::runCommands(NavSession &session, NavigationCore &core)
{
    std::vector<NavCommand> commands;
    if (!mode_.holding()) {
        commands.assign(deferred_.begin(), deferred_.end());
        deferred_.clear();
    }
    for (NavCommand &command : parts_.commands->takeAll())
        commands.push_back(std::move(command));
    for (const NavCommand &command : commands) {
        core.userActed();
        const auto *registers = std::get_if<StreamRegisters>(&command);
        if (registers && mode_.holding()) {
            deferred_.push_back(*registers);
            continue;
        }
        if (movesReader(command))
            leaveScan(core, std::nullopt);
        try {
            LoopGuard::Section section(*parts_.guard);
            execute(session, core, command);
        } catch (const AppError &error) {
            parts_.store->reportError(error.number(), error.description());
        }
        noteApplied(command);
        if (!registers && !std::holds_alternative<ScanChange>(command))
            act(session, mode_.commandRan());
    }
    if (!commands.empty())
        core.refreshStreams();
}

// A choice the VM refused counts as applied too: the window then reads what
// the VM kept.
void NavigationWorker::noteApplied(const NavCommand &command)
{
    if (const auto *registers = std::get_if<StreamRegisters>(&command);
        registers && registers->choice)
        applied_.streams = registers->choice;
    if (const auto *angle = std::get_if<AngleChange>(&command); angle && angle->choice)
        applied_.angles = angle->choice;
}

void NavigationWorker::execute(NavSession &session, NavigationCore &core, const NavCommand &command)
{
    std::visit(Visitor{
                   [&](const MenuCall &call) { callMenu(session, core, call.menu); },
                   [&](const ButtonMove &move) { moveButton(session, move.direction); },
                   [&](const ButtonActivate &) { activateButton(session); },
                   [&](const PointerButton &pointer) { pointAt(session, pointer); },
                   [&](const StreamRegisters &registers) {
                       session.setStreamRegisters(registers.audio, registers.subpicture);
                       core.noteStreamRegisters(registers.audio, registers.subpicture);
                   },
                   [&](const AngleChange &change) {
                       session.check(dvdnav_angle_change(session.handle(), change.angle),
                                     QStringLiteral("angle change"));
                   },
                   [&](const ChapterPlay &play) {
                       session.check(dvdnav_part_play(session.handle(), play.title, play.chapter),
                                     QStringLiteral("chapter change"));
                   },
                   [&](const ScanChange &scan) { changeScan(core, scan); },
                   [&](const BookmarkJump &jump) { restoreBookmark(session, core, jump); },
                   [&](const RegionMask &region) { setRegionMask(session, region.mask); },
               },
               command);
}

// A menu called from a title saves where the VM is, and Resume returns
// there; the reader is seconds ahead of the picture, so the VM goes back to
// the picture on screen first.
void NavigationWorker::callMenu(NavSession &session, NavigationCore &core, int menu)
{
    if (const std::shared_ptr<const NavMarker> shown = parts_.link->onScreen(); shown && menu != 0)
        core.returnTo(shown->position);
    const auto id = menu == 0 ? DVD_MENU_Escape : DVDMenuID_t(menu);
    if (dvdnav_menu_call(session.handle(), id) != DVDNAV_STATUS_OK) {
        const QString operation = menu == 0 ? QStringLiteral("Resume") : QStringLiteral("ShowMenu");
        throw DvdErrors::notPermitted(operation, session.error());
    }
}

// The NAV data of the picture on screen: buttons act on what the user sees,
// not on where the reader has got to.
pci_t NavigationWorker::onScreenButtons() const
{
    const std::shared_ptr<const NavMarker> marker = parts_.link->onScreen();
    if (!marker || !marker->hasButtons())
        throw DvdErrors::notPermitted(QStringLiteral("Selecting a button"),
                                      QStringLiteral("no menu buttons are on screen"));
    return marker->pci;
}

void NavigationWorker::moveButton(NavSession &session, ButtonDirection direction)
{
    pci_t pci = onScreenButtons();
    dvdnav_t *nav = session.handle();
    dvdnav_status_t status = DVDNAV_STATUS_ERR;
    switch (direction) {
    case ButtonDirection::Up:
        status = dvdnav_upper_button_select(nav, &pci);
        break;
    case ButtonDirection::Down:
        status = dvdnav_lower_button_select(nav, &pci);
        break;
    case ButtonDirection::Left:
        status = dvdnav_left_button_select(nav, &pci);
        break;
    case ButtonDirection::Right:
        status = dvdnav_right_button_select(nav, &pci);
        break;
    }
    if (status != DVDNAV_STATUS_OK)
        throw DvdErrors::notPermitted(QStringLiteral("Selecting a button"), session.error());
    parts_.link->setButtons({session.currentButton(), false});
}

void NavigationWorker::activateButton(NavSession &session)
{
    pci_t pci = onScreenButtons();
    // The press shows in the button's action colours until the menu goes.
    parts_.link->setButtons({session.currentButton(), true});
    if (dvdnav_button_activate(session.handle(), &pci) != DVDNAV_STATUS_OK)
        throw DvdErrors::notPermitted(QStringLiteral("Activating a button"), session.error());
}

void NavigationWorker::pointAt(NavSession &session, const PointerButton &pointer)
{
    pci_t pci = onScreenButtons();
    if (!pointer.activate) {
        if (dvdnav_mouse_select(session.handle(), &pci, pointer.x, pointer.y) == DVDNAV_STATUS_OK)
            parts_.link->setButtons({session.currentButton(), false});
        return;
    }
    if (dvdnav_mouse_select(session.handle(), &pci, pointer.x, pointer.y) != DVDNAV_STATUS_OK)
        return;
    parts_.link->setButtons({session.currentButton(), true});
    if (dvdnav_mouse_activate(session.handle(), &pci, pointer.x, pointer.y) != DVDNAV_STATUS_OK)
        throw DvdErrors::notPermitted(QStringLiteral("Activating a button"), session.error());
}

// Where a bookmark was: its chapter, the time within (to the VOBU), then the
// angle and streams, which the VM keeps for the title from there on.
void NavigationWorker::restoreBookmark(NavSession &session, NavigationCore &core,
                                       const BookmarkJump &jump)
{
    session.check(dvdnav_part_play(session.handle(), jump.title, jump.chapter),
                  QStringLiteral("going to the bookmark"));
    if (jump.time90k > 0)
        core.seek(jump.time90k);
    if (jump.angle > 1)
        dvdnav_angle_change(session.handle(), jump.angle);
    if (jump.audio >= 0 || jump.subpicture >= 0) {
        session.setStreamRegisters(jump.audio, jump.subpicture);
        core.noteStreamRegisters(jump.audio, jump.subpicture);
    }
}

// A mask of 0 keeps the VM's own and only reports it.
void NavigationWorker::setRegionMask(NavSession &session, int mask)
{
    if (mask)
        dvdnav_set_region_mask(session.handle(), mask);
    int32_t now = 0;
    if (dvdnav_get_region_mask(session.handle(), &now) != DVDNAV_STATUS_OK)
        return;
    parts_.store->update([now](PlaybackSnapshot &snapshot) { snapshot.regionMask = now; });
}
