#!/usr/bin/python3
"""What a screen reader finds in the real program: started on a display of its own, ORVA32
shows up on the accessibility bus (AT-SPI), its commands carry their Italian names, and no
button, field, list or check box is left without a name. Run under a display and a session
bus:  xvfb-run -a dbus-run-session -- /usr/bin/python3 screen_reader.py BUILD_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import Atspi

NAMED_ROLES = {"push button", "toggle button", "check box", "radio button", "combo box",
               "text", "spin button", "slider", "list", "table", "tree table", "menu item"}
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


def survey(app):
    """The names a screen reader finds under the application, and the controls without one."""
    # Read afresh: a cache would keep names from before the program gave them.
    app.set_cache_mask(Atspi.Cache.NONE)
    app.clear_cache()
    names, unnamed = set(), []
    for node, path, parent in walk(app):
        names.add(node.name)
        # Qt names a combo box on Linux by its current item (its hint is its description);
        # the list inside it is the combo box's own.
        if node.getRoleName() in NAMED_ROLES and not node.name.strip() and parent != "combo box":
            unnamed.append(path)
    return names, unnamed


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
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
            names, unnamed = survey(app)
            missing = [n for n in EXPECTED if n not in names]
            if (not missing and not unnamed) or time.monotonic() > deadline:
                break
            time.sleep(0.5)
        failures += [f"no control named {n!r}" for n in missing]
        failures += [f"a control without a name: {p}" for p in unnamed]
        print(f"screen reader: {len(names)} names under ORVA32, {len(unnamed)} unnamed controls")
    finally:
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
    sys.exit(main())
