#!/usr/bin/python3
"""One walk over every window of quillet-demo as a screen reader sees it over AT-SPI.

Run on a display and a session bus of its own (run_screen_reader_walk.sh): the demo
registers with the accessibility bus, keys go in through xdotool, and what a screen reader
would be told is read from the bus with pyatspi: each reachable control's role and name,
the announcements of the editor's warnings, the failure notice as an alert, focus coming
back when a window closes, and the wait window's texts while its exchange runs.

Arguments: the demo program, the device COM2 opens.
"""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

DEMO, COM2_DEVICE = sys.argv[1], sys.argv[2]
SKIP = 77

OPEN_FAILURE = ("An error occurred while opening the COM port. Ensure that the port number "
                "is correct and that another application is not using this port.")
TOO_LONG = "Message is too long to fit in one line and has been truncated!!!"
UNPRINTABLE = "Unprintable character is found and eliminated!!!"
WAIT_TEXT = "Communicating with Printer.  Please wait..."

failures = []
events = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def role(obj):
    return obj.getRoleName()


def labels_of(obj):
    """The names of the labels a screen reader reads for the object (labelled-by)."""
    names = []
    for relation in obj.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


def spoken_name(obj):
    """What Orca says a control is called: its label, else its name. On Linux a combo box's
    name is its current entry, and its label says what it is for."""
    if role(obj) == "combo box":
        return " ".join(labels_of(obj))
    return obj.name


def record(event):
    entry = {"type": event.type, "at": time.monotonic()}
    try:
        entry["role"] = role(event.source)
        entry["name"] = event.source.name
        if event.source.parent is not None:
            entry["window"] = event.source.parent.name
        if entry["role"] == "notification":
            entry["said"] = [child.name for child in event.source]
        if event.type.startswith("window:activate") and event.source.name == "Wait...":
            entry["said"] = [child.name for child in event.source]
            entry["answered"] = time.monotonic()
    except Exception as error:  # the source went away meanwhile
        entry["error"] = str(error)
    entry["detail1"] = event.detail1
    events.append(entry)


def pump(seconds):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if not context.iteration(False):
            time.sleep(0.01)


def wait_for(find, what, timeout=15):
    context = GLib.MainContext.default()
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        try:
            found = find()
        except Exception:
            found = None
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "quillet-demo":
            return app
    return None


def showing_window(title, wanted_role=None):
    app = application()
    if app is None:
        return None
    for window in app:
        if (window.name == title and window.getState().contains(pyatspi.STATE_SHOWING)
                and (wanted_role is None or role(window) == wanted_role)):
            return window
    return None


def window_gone(title):
    return lambda: showing_window(title) is None


def controls(window):
    """Every control a user can reach: shown, enabled and able to take the focus."""
    found = []
    for child in window:
        states = child.getState()
        if (states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_ENABLED)
                and states.contains(pyatspi.STATE_FOCUSABLE)):
            found.append((role(child), spoken_name(child)))
    return found


def check_controls(window, expected):
    check(sorted(controls(window)) == sorted(expected),
          f"'{window.name}': reachable controls {controls(window)} are {expected}")


def keys(title, *names):
    """Types keys into the window with that title, focused as a window manager would."""
    window_ids = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                 "^" + title.replace(".", "\\.") + "$"],
                                check=True, capture_output=True, text=True).stdout.split()
    subprocess.run(["xdotool", "windowfocus", "--sync", window_ids[-1]], check=True)
    for name in names:
        subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True)
        pump(0.15)


def set_text(text_box, text):
    text_box.queryComponent().grabFocus()
    keys("Header Message #1", "ctrl+a", "BackSpace")
    subprocess.run(["xdotool", "type", "--delay", "20", text], check=True)
    wait_for(lambda: text_box.queryText().getText(0, -1) == text, "the text box to hold " + text)


def events_since(start, kind, **where):
    return [e for e in events[start:] if e["type"].startswith(kind)
            and all(e.get(k) == v for k, v in where.items())]


def announcements_since(start, text):
    return [e for e in events_since(start, "object:state-changed:showing", role="notification")
            if e.get("said") == [text] and e["detail1"] == 1]


def focus_came_back(start, window_title):
    return lambda: events_since(start, "object:state-changed:focused", detail1=1,
                                window=window_title)


def port_window_walk():
    window = wait_for(lambda: showing_window("Select Serial Port"), "the port window")
    check_controls(window, [("push button", "OK"), ("push button", "Cancel"),
                            ("radio button", "COM1"), ("radio button", "COM2")])
    # COM2 by the keyboard alone: Tab reaches the checked port, an arrow moves the check.
    start = len(events)
    keys("Select Serial Port", "Tab")
    wait_for(lambda: events_since(start, "object:state-changed:focused", name="COM1",
                                  detail1=1), "Tab to reach COM1")
    keys("Select Serial Port", "Right")
    wait_for(lambda: events_since(start, "object:state-changed:focused", name="COM2",
                                  detail1=1), "the arrow to reach COM2")
    com2 = [c for c in window if c.name == "COM2"][0]
    check(com2.getState().contains(pyatspi.STATE_CHECKED), "the arrow checks COM2")
    keys("Select Serial Port", "Return")
    notice = wait_for(lambda: showing_window("Communication Failure"), "the failure notice")
    check(role(notice) == "alert", f"the failure notice is an alert ({role(notice)})")
    check([c.name for c in notice if role(c) == "label"] == [OPEN_FAILURE],
          "the alert holds the open-failure message")
    check_controls(notice, [("push button", "OK")])
    keys("Communication Failure", "Return")
    wait_for(window_gone("Communication Failure"), "the notice to close")


def start_with_com1():
    wait_for(lambda: showing_window("Select Serial Port"), "the port window again")
    keys("Select Serial Port", "Return")
    main = wait_for(lambda: showing_window("Quillet"), "the main window", timeout=30)
    wait_for(lambda: showing_window("Wait...") is None
             and main.getChildAtIndex(5).childCount == 6, "the six lines", timeout=30)
    waits = events_since(0, "window:activate", name="Wait...")
    check(len(waits) == 1, "the wait window is activated for a screen reader")
    if waits:
        wait = waits[0]
        check(wait.get("said") == [WAIT_TEXT],
              f"its text is read while it is up ({wait.get('said')})")
        answered = wait.get("answered", wait["at"] + 99) - wait["at"]
        print(f"     the wait window's text was answered in {answered:.2f} s", flush=True)
        check(answered < 1.0, "before the exchange that blocks the window ends (3 s)")
    return main


def main_window_walk(main):
    check_controls(main, [("push button", "OK"), ("push button", "Cancel"),
                          ("push button", "Print Test Page"), ("push button", "Modify..."),
                          ("push button", "Set Defaults"),
                          ("list", "Message: Current Setting:")])
    # The About box from the keyboard: the window menu on Shift+F10, then its entry.
    # (A popup menu is no child of the application to AT-SPI: its entry opening the box
    # shows the menu was there.)
    keys("Quillet", "shift+F10")
    keys("Quillet", "a")
    about = wait_for(lambda: showing_window("About Quillet"), "the about box")
    check_controls(about, [("push button", "OK")])
    check([c.name for c in about if role(c) == "label" and c.name] ==
          ["Quillet (for KV-31)     v1.0"], "the about box's text")
    start = len(events)
    keys("About Quillet", "Return")
    wait_for(window_gone("About Quillet"), "the about box to close")
    wait_for(focus_came_back(start, "Quillet"), "focus back in the main window after About")
    check(True, "closing the about box reports the focus")


def editor_walk(main):
    modify = [c for c in main if c.name == "Modify..."][0]
    modify.queryAction().doAction(0)
    editor = wait_for(lambda: showing_window("Header Message #1"), "the editor")
    check_controls(editor, [("push button", "OK"), ("push button", "Cancel"),
                            ("push button", "Apply"), ("text", "Text"),
                            ("combo box", "Font"), ("combo box", "Alignment")])
    text_box = [c for c in editor if role(c) == "text"][0]
    # A character the printer cannot print is thrown away: said once, as a notification.
    text_box.queryComponent().grabFocus()
    start = len(events)
    keys("Header Message #1", "End", "eacute")
    wait_for(lambda: announcements_since(start, UNPRINTABLE), "the unprintable warning")
    pump(0.5)
    check(len(announcements_since(start, UNPRINTABLE)) == 1, "announced once: " + UNPRINTABLE)
    # A 33rd character, in a font in which far more than 32 characters fit.
    text_box.queryComponent().grabFocus()
    keys("Header Message #1", "Tab", "Home")  # the Font list follows the text box
    set_text(text_box, "l" * 32)  # narrow: the box shows them all
    text_box.queryComponent().grabFocus()
    start = len(events)
    keys("Header Message #1", "End", "b")
    wait_for(lambda: announcements_since(start, TOO_LONG), "the too-long warning")
    pump(0.5)
    check(len(announcements_since(start, TOO_LONG)) == 1, "announced once: the 33rd character")
    # A font in which the text no longer fits cuts it.
    set_text(text_box, "l" * 30)
    start = len(events)
    keys("Header Message #1", "Tab", "End")  # Lucida 16 holds 25 characters
    wait_for(lambda: announcements_since(start, TOO_LONG), "the font cut's warning")
    pump(0.5)
    check(len(announcements_since(start, TOO_LONG)) == 1, "announced once: the font's cut")
    start = len(events)
    keys("Header Message #1", "Escape")
    wait_for(window_gone("Header Message #1"), "the editor to close")
    wait_for(focus_came_back(start, "Quillet"), "focus back in the main window after the editor",
             timeout=20)
    check(True, "closing the editor reports the focus")


def main():
    if os.path.exists(COM2_DEVICE):
        print(f"skipped: {COM2_DEVICE} exists here, and the walk must not open a real port")
        return SKIP
    for kind in ("object:state-changed:showing", "object:state-changed:focused",
                 "window:activate"):
        pyatspi.Registry.registerEventListener(record, kind)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               QT_QPA_PLATFORM="xcb")
    demo = subprocess.Popen([DEMO], env=env)
    try:
        port_window_walk()
        main = start_with_com1()
        main_window_walk(main)
        editor_walk(main)
    except AssertionError as error:
        failures.append(str(error))
        print("FAIL " + str(error), flush=True)
    finally:
        demo.kill()
        demo.wait()
    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
