"""The Linux program's message box, read from the accessibility tree as a screen reader has it.

Usage: qtbox.py PID read|answer|phrase
  read    prints the box's text when it is the program's box: titled "Ciarlatronix", an alert,
          one text and one button, "OK". Another kind of box is printed whole, to fail the
          comparison that follows. Nothing when no box is on screen.
  answer  presses the box's button through its action and waits until the box is gone (or
          another has taken its place); exit 1 when there is no box or it stays.
  phrase  prints the phrase on show in the main window: the name of the part described as
          the phrase of the moment.
"""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "a11y"))
from tree import application, walk  # noqa: E402

pid, verb = int(sys.argv[1]), sys.argv[2]


def box():
    app = application(pid)
    try:
        return next((node for node in app if node is not None and node.getRoleName() == "alert"), None) if app else None
    except Exception:  # the box went while it was read
        return None


def parts(alert):
    inside = list(walk(alert))[1:]
    texts = [n.name for n in inside if n.getRoleName() == "label" and n.name]
    # Each release spells the role its own way: "push button" on Debian 12, "button" on 13.
    buttons = [n for n in inside if n.getRoleName() in ("push button", "button")]
    return texts, buttons


found = box()
if verb == "read":
    if found is None:
        sys.exit(0)
    texts, buttons = parts(found)
    names = [b.name.replace("&", "") for b in buttons]
    if found.name == "Ciarlatronix" and len(texts) == 1 and names == ["OK"]:
        print(texts[0])
    else:
        print("a box titled %r with the texts %r and the buttons %r" % (found.name, texts, names))
elif verb == "answer":
    if found is None:
        sys.exit(1)
    _, buttons = parts(found)
    if len(buttons) != 1:
        sys.exit(1)
    buttons[0].queryAction().doAction(0)
    until = time.monotonic() + 10
    # Gone, or another box in its place (the next report).
    while box() == found:
        if time.monotonic() > until:
            sys.exit(1)
        time.sleep(0.05)
elif verb == "phrase":
    app = application(pid)
    described = [n for n in walk(app[0]) if n.description.startswith("La cazzata del momento")] if app else []
    if len(described) == 1:
        print(described[0].name)
else:
    sys.exit("usage: qtbox.py PID read|answer|phrase")
