"""The credits box of the Linux program, read from the accessibility tree as it turns.

Usage: ticker.py PID SECONDS. Reads the box's text for SECONDS and prints how far it moved:
from its first change on (the text before may be the idle box's), each text seen is the one
before turned left by whole characters (the first ones to the end), at five characters a
second. Exit 1 otherwise.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
import pyatspi  # noqa: E402

pid, seconds = int(sys.argv[1]), float(sys.argv[2])


def credits_box():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            for window in app:
                for node in window:
                    if node is not None and node.name == "Riconoscimenti":
                        return node
    return None


box = credits_box()
if box is None:
    sys.exit("no credits box on the accessibility bus")
seen = []  # (time, text), each text once
start = time.monotonic()
while time.monotonic() - start < seconds:
    text = box.queryText().getText(0, -1)
    if not seen or text != seen[-1][1]:
        seen.append((time.monotonic(), text))
    time.sleep(0.01)

seen = seen[1:]
steps = []
for (_, before), (_, after) in zip(seen, seen[1:]):
    # The smallest turn to the left that gives the text after.
    turns = [k for k in range(1, len(before)) if before[k:] + before[:k] == after]
    if not turns or len(after) != len(before):
        sys.exit("%r did not turn left into %r" % (before[:40], after[:40]))
    steps.append(turns[0])
if len(steps) < 5:
    sys.exit("the text changed %d times in %.1f s" % (len(steps), seconds))
rate = sum(steps) / (seen[-1][0] - seen[0][0])
# A loaded machine may draw a tick late, never early.
if not 3.5 <= rate <= 7:
    sys.exit("steps %s, %.1f characters a second" % (steps, rate))
print("%d steps, %.1f characters a second" % (len(steps), rate))
