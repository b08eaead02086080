#!/usr/bin/python3
"""The control bar as a screen reader sees it, through AT-SPI.

Runs the player on the sample disc under a private Xvfb, session bus and
accessibility bus, lists the bar's controls with their names and roles, and
presses Stop and then Play through the action interface: Play must play the
disc again. Exits 77 (skipped) when the accessibility bus cannot start.

usage: bar_atspi_test.py PLAYER DISC
"""
import os
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
BAR_BUTTONS = [
    "Previous chapter", "Stop", "Play", "Next chapter",
    "Scan backward 8x", "Scan backward 4x", "Scan backward 2x", "Normal play",
    "Scan forward 2x", "Scan forward 4x", "Scan forward 8x",
    "Show or hide DVD panel", "Menu", "DVD database", "Settings",
]
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def wait_for(what, condition, seconds=20.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + what)


class Session:
    """Xvfb, a session bus and the accessibility bus, ended in reverse."""

    def __init__(self):
        self.processes = []
        self.environment = dict(os.environ)

    def start(self, arguments, env=None, **options):
        process = subprocess.Popen(arguments, env=env or self.environment, **options)
        self.processes.append(process)
        return process

    def start_display(self):
        # Without -noreset the server resets when its last client leaves (an
        # accessibility bus launcher that lost the race for its bus name), and
        # drops a client still in its handshake: the player.
        read, write = os.pipe()
        server = self.start(["Xvfb", "-displayfd", str(write), "-screen", "0",
                             "1280x800x24", "-nolisten", "tcp", "-noreset"],
                            pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number or server.poll() is not None:
            raise AssertionError("Xvfb did not start")
        self.environment["DISPLAY"] = ":" + number

    def start_buses(self):
        bus = self.start(["dbus-daemon", "--session", "--nofork", "--print-address"],
                         stdout=subprocess.PIPE, text=True)
        self.environment["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        if not os.access(BUS_LAUNCHER, os.X_OK):
            return False
        self.start([BUS_LAUNCHER, "--launch-immediately"], stderr=subprocess.DEVNULL)
        # The launcher answers on the session bus once its own bus runs.
        def bus_address():
            asked = subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                 "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                env=self.environment, capture_output=True, text=True)
            return asked.returncode == 0 and "unix:" in asked.stdout
        try:
            wait_for("the accessibility bus", bus_address, 10)
        except AssertionError:
            return False
        return True

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


def descendants(node):
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def fresh(node, attribute):
    """What the player says now, not what the bus cached of it."""
    node.clear_cache()
    return getattr(node, attribute)


def press(pyatspi, button):
    action = button.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    assert "press" in names, "no press action on %s: %s" % (button.name, names)
    action.doAction(names.index("press"))


def check(pyatspi, player_pid):
    desktop = pyatspi.Registry.getDesktop(0)

    def application():
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.get_process_id() == player_pid:
                return app
        return None

    app = wait_for("the player on the accessibility bus", application)

    def window(title_start):
        for index in range(app.childCount):
            child = app.getChildAtIndex(index)
            if child is not None and child.name.startswith(title_start):
                return child
        return None

    bar = wait_for("the control bar", lambda: window("KORVANE Vidora"))
    controls = list(descendants(bar))
    print("%s (%s)" % (bar.name, bar.getRoleName()))
    assert bar.getRole() == pyatspi.ROLE_FRAME, "the bar is not announced as a window"
    for control in controls:
        states = control.getState()
        if not states.contains(pyatspi.STATE_SHOWING):
            continue
        flags = [name for name, state in (("enabled", pyatspi.STATE_ENABLED),
                                          ("pressed", pyatspi.STATE_PRESSED))
                 if states.contains(state)]
        description = control.description
        print("  %-14s %-20r %s%s" % (control.getRoleName(), control.name, " ".join(flags),
                                      "  (%s)" % description if description else ""))

    buttons = {c.name: c for c in controls if c.getRole() == pyatspi.ROLE_PUSH_BUTTON}
    missing = [name for name in BAR_BUTTONS if name not in buttons]
    assert not missing, "buttons not found by name: %s" % missing
    assert all(buttons[n].getState().contains(pyatspi.STATE_ENABLED) for n in BAR_BUTTONS)
    labels = {c.description: c for c in controls if c.getRole() == pyatspi.ROLE_LABEL}
    for line in ("Time", "Chapter", "Language", "DVD title"):
        assert line in labels, "display line %s not readable" % line

    video = wait_for("the video window", lambda: window("DVD"))
    wait_for("the video window to say what plays",
             lambda: fresh(video, "description").startswith("Playing"))
    print("%s: %r" % (video.name, video.description))

    press(pyatspi, buttons["Stop"])
    wait_for("the stop", lambda: fresh(video, "description") == "Stopped"
             and not fresh(labels["Time"], "name"))
    press(pyatspi, buttons["Play"])
    wait_for("Play to play the disc", lambda: fresh(video, "description").startswith("Playing"))
    first = wait_for("a time on the bar", lambda: fresh(labels["Time"], "name"))
    wait_for("the time to run", lambda: fresh(labels["Time"], "name") not in ("", first))
    print("Play pressed through AT-SPI: %r, time %s" % (video.description, labels["Time"].name))


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    player, disc = sys.argv[1], sys.argv[2]
    session = Session()
    home = tempfile.TemporaryDirectory()
    try:
        session.start_display()
        if not session.start_buses():
            print("SKIPPED: the accessibility bus (at-spi-bus-launcher) cannot start here")
            return SKIPPED
        os.environ.update(session.environment)
        import pyatspi  # after the buses exist: it connects on import

        os.chmod(home.name, 0o700)
        environment = dict(session.environment, HOME=home.name,
                           XDG_CONFIG_HOME=home.name + "/config",
                           XDG_DATA_HOME=home.name + "/data", XDG_RUNTIME_DIR=home.name,
                           QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           VIDORA_INSTANCE_KEY="atspi-%d" % os.getpid())
        player_process = session.start([player, disc], env=environment)
        check(pyatspi, player_process.pid)
        return 0
    finally:
        session.close()
        home.cleanup()


if __name__ == "__main__":
    sys.exit(main())
