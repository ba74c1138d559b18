"""A screen reader's view of the running program, through AT-SPI.

Usage: client.py PID PHRASE OPENED_LOG. Reads the phrase, presses the photo and the link
through their actions, and checks what is exposed. Prints PASS/FAIL lines and a count.
"""
import os
import sys
import time

import pyatspi
from gi.repository import GLib

pid, phrase, opened_log = int(sys.argv[1]), sys.argv[2], sys.argv[3]
results = []


def check(ok, what):
    results.append(ok)
    print(("PASS: " if ok else "FAIL: ") + what, flush=True)
    return ok


def spin(seconds):
    """Lets events arrive for a while."""
    loop = GLib.MainLoop()
    GLib.timeout_add(int(seconds * 1000), loop.quit)
    loop.run()


def find_application():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == pid and app.childCount > 0:
                    return app
            except Exception:
                pass
        time.sleep(0.2)
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == "press":
            return action.doAction(i)
    return False


app = find_application()
if not check(app is not None, "the program is on the accessibility bus"):
    sys.exit(1)
controls = {node.name: node for node in walk(app)}
description = "La cazzata del momento: clicca per averne una nuova"
label = next((n for n in walk(app) if n.description == description), None)
if not check(label is not None, "the phrase label is there"):
    sys.exit(1)

text = label.queryText().getText(0, -1)
check(text == phrase, "the phrase is read as shown: %r" % text)
check(label.name == phrase, "the phrase is the label's name: %r" % label.name)

# What each control is to a screen reader: a role, and a press action when it takes a click.
expected = [
    ("Foto del cazzaro", pyatspi.ROLE_PUSH_BUTTON),
    ("Fumetto", pyatspi.ROLE_PUSH_BUTTON),
    (phrase, pyatspi.ROLE_PUSH_BUTTON),
    ("Credits", pyatspi.ROLE_PUSH_BUTTON),
    ("Chiudi", pyatspi.ROLE_PUSH_BUTTON),
    ("Homepage", pyatspi.ROLE_LINK),
    ("Logo: Lo Ciarlatronix !", None),
    ("Riconoscimenti", None),
]
for name, role in expected:
    node = controls.get(name)
    if not check(node is not None, "%r is exposed" % name):
        continue
    names = [a.lower() for a in actions(node)]
    if role is None:
        check("press" not in names and node.getRole() not in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LINK),
              "%r stays passive (%s, actions %s)" % (name, node.getRoleName(), names))
    else:
        check(node.getRole() == role and names == ["press"],
              "%r can be pressed (%s, actions %s)" % (name, node.getRoleName(), names))
credits = controls.get("Riconoscimenti")
if credits is not None:
    shown = credits.queryText().getText(0, -1)
    check(shown == "Credits", "the credits box reads its text: %r" % shown)

# A press on the photo draws a phrase again: with one line, the same one, announced anew.
announced = []


def on_text(event):
    if event.source == label and event.type.endswith("insert"):
        announced.append(event.any_data)


pyatspi.Registry.registerEventListener(on_text, "object:text-changed")
spin(0.5)
for attempt in range(3):
    press(controls["Foto del cazzaro"])
    spin(1.0)
    if announced:
        break
check(announced[:1] == [phrase], "a press on the photo announces the phrase: %r" % announced)
check(label.queryText().getText(0, -1) == phrase, "the phrase after the press is still the only one")

press(controls["Homepage"])
opened = ""
for _ in range(50):
    if os.path.exists(opened_log):
        opened = open(opened_log).read()
        if opened:
            break
    time.sleep(0.1)
check(opened.split() == ["http://ciarlatronix.example/"], "a press on the link opens the home page: %r" % opened)

passed = results.count(True)
print("%d passed, %d failed" % (passed, len(results) - passed))
sys.exit(0 if all(results) else 1)
