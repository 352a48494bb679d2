#!/usr/bin/python3
"""What a screen reader finds in the real program: started on a display of its own, ORVA32
shows up on the accessibility bus (AT-SPI), its commands carry their Italian names, and no
button, field, list, check box, gauge, scroll bar or other object a person can reach is left
without a name or named in English. Besides the main window (with its DNS and monitor panels),
the log window and the bill view are opened through the program's own "Tabelle" menu, as a
screen reader user opens them, and walked as AT-SPI exposes them: what Qt builds inside its
widgets (a tool bar's overflow button, a calendar's day table, scroll bars) is checked too.
Run under a display and a session bus:
  xvfb-run -a dbus-run-session -- /usr/bin/python3 screen_reader.py BUILD_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import re

import pyatspi
from gi.repository import Atspi, GLib

NAMED_ROLES = {"push button", "toggle button", "check box", "radio button", "combo box",
               "text", "spin button", "slider", "list", "table", "tree table", "menu item",
               "progress bar", "scroll bar", "calendar", "page tab list"}
# Parts named by what they show (a cell by its text, a heading by its title): an empty cell is
# no missing name.
CONTENT_ROLES = {"table cell", "list item", "tree item", "column header", "row header",
                 "page tab", "label", "filler", "panel", "menu", "menu bar", "tool bar",
                 "separator", "frame", "dialog", "window", "scroll pane", "viewport",
                 "status bar", "canvas", "image", "icon"}
# Words a name in Italian does not hold: what Qt says on its own (its English defaults) or an
# English hint left in place.
ENGLISH_WORDS = {"cancel", "pending", "lookup", "close", "save", "apply", "previous", "next",
                 "month", "year", "extension", "scroll", "edge", "search", "clear", "reset",
                 "help", "yes", "get", "from", "show", "hide", "more", "open", "back", "forward"}
# The presses under way (each in a process of its own).
PRESSES = []
# The names of the objects that took the focus, as a screen reader hears them.
FOCUSED = []
KEY_DOWN, KEY_RETURN, KEY_ESCAPE = 0xFF54, 0xFF0D, 0xFF1B
# The "Tabelle" items whose windows are walked.
WINDOWS = ["Elenco connessioni", "Bolletta"]
EXPECTED = ["Menu principale", "Avvio manuale", "Arresto manuale", "Ingrandisci finestra",
            "Connetti", "Sconnetti", "Tabelle", "Chiamata a voce", "Opzioni",
            "Gestione indirizzi", "Riduci finestra", "Preleva l'ora dalla rete", "Indirizzo IP",
            "Nome host", "Risultati della ricerca", "Risultati del monitor"]


def find_app(deadline):
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "ORVA32" and app.childCount > 0:
                return app
        time.sleep(0.2)
    return None


def walk(node, path=""):
    """Every node under node, with its path and its parent's role."""
    for child in node:
        if child is None:
            continue
        here = f"{path}/{child.getRoleName()}:{child.name}"
        yield child, here, node.getRoleName()
        yield from walk(child, here)


def english_words(text):
    return sorted({w for w in re.findall(r"[a-z]+", text.lower()) if w in ENGLISH_WORDS})


def reachable(node, role):
    """A person can reach it: a control, or anything the keyboard can focus."""
    if role in CONTENT_ROLES:
        return False
    return role in NAMED_ROLES or node.getState().contains(pyatspi.STATE_FOCUSABLE)


def survey(root):
    """The names a screen reader finds under root, the objects a person can reach without a
    name, and the names and descriptions in English."""
    # Read afresh: a cache would keep names from before the program gave them.
    if root.getRoleName() == "application":
        root.set_cache_mask(Atspi.Cache.NONE)
    root.clear_cache()
    names, unnamed, english = set(), [], []
    for node, path, parent in walk(root):
        role = node.getRoleName()
        names.add(node.name)
        # Qt names a combo box on Linux by its current item (its hint is its description);
        # the list inside it is the combo box's own.
        if reachable(node, role) and not node.name.strip() and parent != "combo box":
            unnamed.append(path)
        if role in ("table cell", "list item", "tree item", "text"):
            continue  # data, not captions
        for text in (node.name, node.description):
            if english_words(text):
                english.append(f"{path} {text!r}")
    return names, unnamed, english


def find(root, roles, name, deadline):
    """The first object with one of the roles and that name under root, asked again until the
    deadline."""
    while time.monotonic() < deadline:
        root.clear_cache()
        for node, _, _ in walk(root):
            if node.getRoleName() in roles and node.name == name:
                return node
        time.sleep(0.3)
    return None


def press(role, name):
    """Runs the first action of the object with that role and name, as a screen reader does,
    from a process of its own: a button that opens a menu or a modal window answers only once
    that closes, and this one goes on meanwhile."""
    return subprocess.Popen([sys.executable, os.path.abspath(__file__), "--press", role, name])


def press_here(role, name):
    app = find_app(time.monotonic() + 10)
    node = find(app, (role,), name, time.monotonic() + 10) if app else None
    if node is None:
        return 1
    try:
        node.queryAction().doAction(0)
    except GLib.Error:
        pass  # no answer while the menu or the modal window it opened is up
    return 0


def on_focus(event):
    if event.detail1:
        FOCUSED.append(event.source.name)


def windows(app):
    return {(w.getRoleName(), w.name) for w in app
            if w is not None and w.getRoleName() in ("frame", "dialog")}


def pump(seconds):
    """Lets the bus's events arrive for a while."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.05)


def key(keysym):
    Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)


def open_window(app, item, deadline):
    """Opens a window from the main window's "Tabelle" menu as a screen reader user does: the
    button pressed, then Down through the menu, hearing each item, and Return on the one
    wanted. The new frame or dialog, or None."""
    before = windows(app)
    PRESSES.append(press("push button", "Tabelle"))
    pump(1.0)
    for _ in range(12):
        key(KEY_DOWN)
        pump(0.4)
        if FOCUSED and FOCUSED[-1] == item:
            key(KEY_RETURN)
            break
    else:
        key(KEY_ESCAPE)
        return None
    while time.monotonic() < deadline:
        app.clear_cache()
        for window in app:
            if (window is not None and window.getRoleName() in ("frame", "dialog")
                    and (window.getRoleName(), window.name) not in before
                    and window.childCount > 0):
                return window
        pump(0.3)
    return None


def close_window(window, deadline):
    if find(window, ("push button",), "Chiudi", min(deadline, time.monotonic() + 2)):
        PRESSES.append(press("push button", "Chiudi"))
    else:
        key(KEY_ESCAPE)


def survey_windows(app):
    """Opens each window of WINDOWS, walks it and closes it again; the failures found."""
    failures = []
    for item in WINDOWS:
        deadline = time.monotonic() + 30
        window = open_window(app, item, deadline)
        if window is None:
            failures.append(f"the window of {item!r} did not open from \"Tabelle\"")
            continue
        title = window.name
        # Its controls are named as it shows: asked again until they are or the time is up.
        while True:
            names, unnamed, english = survey(window)
            if (not unnamed and not english) or time.monotonic() > deadline:
                break
            time.sleep(0.5)
        failures += [f"a control without a name in {title!r}: {p}" for p in unnamed]
        failures += [f"named in English in {title!r}: {p}" for p in english]
        print(f"screen reader: {len(names)} names in {title!r}, {len(unnamed)} unnamed controls")
        close_window(window, deadline)
    return failures


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    data = tempfile.mkdtemp(prefix="orva-reader-")
    with open(os.path.join(data, "ORVA32.INI"), "wb") as ini:
        ini.write(b"[Impostazioni generali]\r\nMostra wizard=0\r\n[Setup]\r\nSuggerimenti=0\r\n"
                  b"[TCPIP]\r\nGet network time=0\r\n")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LC_ALL="C.UTF-8")
    program = subprocess.Popen([os.path.join(build, "app/orva32"), "--data-dir", data,
                                "nosplash"], env=env)
    failures = []
    try:
        deadline = time.monotonic() + 30
        app = find_app(deadline)
        if app is None:
            failures.append("ORVA32 never appeared on the accessibility bus")
            return 1
        # The start-up puts the service panels in after the window shows: asked again until
        # everything is there or the time is up.
        while True:
            names, unnamed, english = survey(app)
            missing = [n for n in EXPECTED if n not in names]
            if (not missing and not unnamed and not english) or time.monotonic() > deadline:
                break
            time.sleep(0.5)
        failures += [f"no control named {n!r}" for n in missing]
        failures += [f"a control without a name: {p}" for p in unnamed]
        failures += [f"named in English: {p}" for p in english]
        print(f"screen reader: {len(names)} names under ORVA32, {len(unnamed)} unnamed controls")
        failures += survey_windows(app)
    finally:
        for pressing in PRESSES:
            if pressing.poll() is None:
                pressing.kill()
        subprocess.run([os.path.join(build, "cli/orva32cli"), "--data-dir", data, "send",
                        "quit"], env=env, timeout=20, check=False)
        try:
            program.wait(timeout=20)
        except subprocess.TimeoutExpired:
            program.kill()
            failures.append("the program did not quit when asked")
        shutil.rmtree(data, ignore_errors=True)
        for f in failures:
            print("screen reader:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--press":
        sys.exit(press_here(sys.argv[2], sys.argv[3]))
    sys.exit(main())
