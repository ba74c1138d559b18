"""A screen reader's view of the running program, through AT-SPI.

Usage: client.py PID PHRASE OPENED_LOG PHRASE_FILE. Reads every object of the window, presses
the controls through their actions, listens to what each press announces, and checks all of it
against tables. Prints PASS/FAIL lines and a count.
"""
import os
import re
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
import pyatspi  # noqa: E402
from gi.repository import Gio, GLib  # noqa: E402
from tree import application, walk  # noqa: E402

pid, phrase, opened_log, phrase_file = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
results = []


def check(ok, what):
    ok = bool(ok)
    results.append(ok)
    print(("PASS: " if ok else "FAIL: ") + what, flush=True)
    return ok


def same(row, prop, expected, got):
    return check(expected == got, "%s %s: %s" % (row, prop, repr(got) if expected == got
                                                 else "expected %r, got %r" % (expected, got)))


def spin_until(done, seconds):
    """Serves events until done() or the time is up; returns done()."""
    until = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while not done() and time.monotonic() < until:
        context.iteration(False) or time.sleep(0.02)
    return done()


def find_application():
    for _ in range(100):
        app = application(pid, with_window=True)
        if app is not None:
            return app
        time.sleep(0.2)
    return None


def optional(query, read):
    try:
        return read(query())
    except NotImplementedError:
        return None


def properties(node, origin):
    """What a reader gets of one object, in the columns of the table below."""
    action = optional(node.queryAction, lambda a: [a.getName(i) for i in range(a.nActions)])
    x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return {
        "name": node.name,
        "description": node.description,
        "role": ROLES.get(node.getRole(), node.getRoleName()),
        "states": sorted(pyatspi.stateToString(s) for s in node.getState().getStates()),
        "actions": action or [],
        "text": optional(node.queryText, lambda t: t.getText(0, -1)),
        "value": optional(node.queryValue, lambda v: v.currentValue),
        "place": (x - origin[0], y - origin[1], w, h),
        "children": node.childCount,
    }


# Roles by the bridge's number, told by the Qt role the program gives: each release spells
# them its own way ("Button" on Debian 12's AT-SPI, "button" on 13's).
ROLES = {pyatspi.ROLE_FRAME: "Window", pyatspi.ROLE_LINK: "Link", pyatspi.ROLE_PUSH_BUTTON: "Button",
         pyatspi.ROLE_IMAGE: "Graphic", pyatspi.ROLE_LABEL: "StaticText", pyatspi.ROLE_ALERT: "AlertMessage"}


# Every object of the window, from the window's design: the window itself (its place on the
# screen, centred on 1024 x 768), then each control (its place in the window). The controls that
# take a click take the focus too (with no window manager here, no window is active and none has
# it); the credits box is disabled and read-only.
PRESS, FOCUS = ["Press"], ["Press", "SetFocus"]
SHOWN = ["enabled", "sensitive", "showing", "visible"]
FOCUSABLE = sorted(SHOWN + ["focusable"])
COLUMNS = ("name", "description", "role", "states", "actions", "text", "value", "place", "children")
# Each control's place in the window, from the tests' one table of them.
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "Places.h")) as places:
    PLACE = {m[0]: tuple(map(int, m[1:])) for m in re.findall(r'\{"(\w+)", (\d+), (\d+), (\d+), (\d+)\}', places.read())}
TABLE = [
    ("Ciarlatronix", "", "Window", SHOWN, [], None, None, (237, 232, 550, 304), 8),
    ("Homepage", "Apre la homepage del programma nel browser", "Link", FOCUSABLE, FOCUS, None, None, PLACE["Image2"], 0),
    ("Fumetto", "Clicca per una nuova cazzata", "Button", SHOWN, PRESS, None, None, PLACE["imgFumetto"], 0),
    (phrase, "La cazzata del momento: clicca per averne una nuova", "Button", FOCUSABLE, FOCUS, phrase, None,
     PLACE["Label1"], 0),
    ("Chiudi", "Chiude il programma", "Button", FOCUSABLE, FOCUS, None, None, PLACE["imgClose"], 0),
    ("Foto del cazzaro", "Clicca per una nuova cazzata", "Button", SHOWN, PRESS, None, None, PLACE["imgCazzaro"], 0),
    ("Logo: Lo Ciarlatronix !", "Decorazione", "Graphic", SHOWN, [], None, None, PLACE["Image1"], 0),
    ("Credits", "Fa scorrere i riconoscimenti", "Button", FOCUSABLE, FOCUS, None, None, PLACE["Label2"], 0),
    ("Riconoscimenti", "La casella in cui scorrono i riconoscimenti", "StaticText", ["showing", "visible"], [],
     "Credits", None, PLACE["txtCrediti"], 0),
]

app = find_application()
if not check(app is not None, "the program is on the accessibility bus"):
    sys.exit(1)
same("the application", "name and children", ("Ciarlatronix", 1), (app.name, app.childCount))
window = app[0]
nodes = [window] + [node for node in window]
by_name = {node.name: node for node in nodes}
# The phrase is found by its description too, so that a wrong name is told as such.
by_name.setdefault(phrase, next((n for n in nodes if n.description == TABLE[3][1]), None))
screen = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
for row in TABLE:
    node = window if row is TABLE[0] else by_name.get(row[0])
    if not check(node is not None, "%r is there" % row[0]):
        continue
    got = properties(node, (0, 0) if node == window else screen[:2])
    for column, expected in zip(COLUMNS, row):
        same(repr(row[0]), column, expected, got[column])
if any(by_name.get(row[0]) is None for row in TABLE[1:]):
    sys.exit(1)
label, photo, credits = by_name[phrase], by_name["Foto del cazzaro"], by_name["Riconoscimenti"]
keys = {node.path: ("phrase" if node == label else node.name) for node in nodes}


# What each press announces, as the reader gets it: the event, its object, its numbers, its
# data, and the object's name when it arrives.
heard = []


def on_event(event):
    source = keys.get(event.source.path)
    if source is None:
        return  # a message box's own
    data = event.any_data
    data = "the object %s" % keys.get(data.path) if hasattr(data, "path") else data
    heard.append((event.type, source, event.detail1, event.detail2, data, event.source.name))


for kind in ("object:text-changed", "object:property-change", "object:state-changed", "object:value-changed"):
    pyatspi.Registry.registerEventListener(on_event, kind)

# The press goes straight over the bus, answered in its own time: a press run inside the
# reader's call would hold the reader until the box it shows is answered.
session = Gio.bus_get_sync(Gio.BusType.SESSION)
address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                            GLib.VariantType("(s)"), 0, -1).unpack()[0]
a11y_bus = Gio.DBusConnection.new_for_address_sync(
    address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)


def press(node):
    answers = []
    index = node.queryAction()
    index = [index.getName(i) for i in range(index.nActions)].index("Press")
    a11y_bus.call(node.app.bus_name, node.path, "org.a11y.atspi.Action", "DoAction", GLib.Variant("(i)", (index,)),
                  GLib.VariantType("(b)"), 0, 60000, None,
                  lambda bus, result: answers.append(bus.call_finish(result).unpack()[0]))
    return answers


def message_box():
    try:
        return next((node for node in app if node is not None and node.getRole() == pyatspi.ROLE_ALERT), None)
    except GLib.GError:  # the box went while it was read
        return None


Second = "Seconda & ultima"
SAY_NAME = "object:property-change:accessible-name"
SAY_DELETE, SAY_INSERT = "object:text-changed:delete", "object:text-changed:insert"
# A new text is a name change that Qt sends itself: Qt 6.4 with the object where the name should
# be, which Orca does not speak, and the program follows it with the name; Qt 6.8 with the name,
# and the program adds nothing. The same text again: Qt sends none, the program the name.
qt_gives_name = tuple(int(n) for n in app.get_toolkit_version().split(".")[:2]) >= (6, 8)


def new_text(before, after):
    if qt_gives_name:
        return [(SAY_NAME, "phrase", 0, 0, after, after)] + changed_text(before, after)
    return ([(SAY_NAME, "phrase", 0, 0, "the object phrase", after)] + changed_text(before, after)
            + [(SAY_NAME, "phrase", 0, 0, after, after)])


def changed_text(before, after):
    return ([(SAY_DELETE, "phrase", 0, len(before), before, after)] if before else []) + \
        ([(SAY_INSERT, "phrase", 0, len(after), after, after)] if after else [])


# A new line, the same line again, and none once the file is gone, after the box that says so.
PRESSES = [
    ("the photo", photo, "Seconda && ultima\r\n", new_text(phrase, Second)),
    ("the phrase", label, None, changed_text(Second, Second) + [(SAY_NAME, "phrase", 0, 0, Second, Second)]),
    ("the balloon", by_name["Fumetto"], "", new_text(Second, "")),
]
spin_until(lambda: False, 0.2)
for what, node, contents, expected in PRESSES:
    row = "a press on %s" % what
    if contents == "":
        os.remove(phrase_file)
    elif contents is not None:
        with open(phrase_file, "w", newline="") as file:
            file.write(contents)
    del heard[:]
    answers = press(node)
    if contents == "":
        box = spin_until(message_box, 20) and message_box()
        check(spin_until(lambda: answers, 20), "%s returns before its box is answered" % row)
        inside = list(walk(box)) if box else []
        said = [n.name for n in inside if n.getRole() == pyatspi.ROLE_LABEL]
        said = [t[:7] + "..." + t[t.rfind('"'):] for t in said]  # the system's own words in between
        same(row, "box", ("Ciarlatronix", ['Error "..." in EstraiRiga() function']), (box.name if box else None, said))
        ok = next((n for n in inside if n.getRole() == pyatspi.ROLE_PUSH_BUTTON), None)
        ok and ok.queryAction().doAction(0)
        check(spin_until(lambda: message_box() is None, 10), "%s: the box goes when answered" % row)
    check(spin_until(lambda: answers, 20) and answers == [True], "%s is answered: %s" % (row, answers))
    spin_until(lambda: len(heard) >= len(expected), 5)
    same(row, "events", expected, heard)

# A ticker is not read out at each step: Qt 6.4 drops a value change of an object that has no
# value, so the reader hears nothing and reads the box's text when it wants.
del heard[:]
press(by_name["Credits"])
texts = {"Credits"}
check(spin_until(lambda: texts.add(credits.queryText().getText(0, -1)) or len(texts) >= 3, 10),
      "a press on Credits: the box's text moves (%d texts read)" % len(texts))
same("a press on Credits", "events", [], heard)

press(by_name["Homepage"])
opened = ""
for _ in range(50):
    if os.path.exists(opened_log):
        opened = open(opened_log).read()
        if opened:
            break
    time.sleep(0.1)
same("a press on the link", "opened", ["http://ciarlatronix.example/"], opened.split())

passed = results.count(True)
print("%d passed, %d failed" % (passed, len(results) - passed))
sys.exit(0 if all(results) else 1)
