#!/usr/bin/env python3
# Steps a stopped program from one picture of a window's area to the next: lets it run
# (SIGCONT) until the area's pixels change, and stops it again (SIGSTOP) a few milliseconds
# later, long before its next 200 ms tick. So no tick is ever missed, however busy the machine:
# the program waits, stopped, while the picture is taken and judged.
# Usage: freeze.py PID WINDOW X Y W H SECONDS [--count N] [--until FILE] [--save FILE]
#   --count N: stops after the Nth change (default 1); --until FILE: after the change that makes
#   the area's pixels those saved in FILE; --save FILE: writes the area's pixels once stopped.
# Exit 1: not within SECONDS, the program left running. Prints how many changes it let through.
import argparse
import ctypes
import ctypes.util
import os
import signal
import sys
import time


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


parser = argparse.ArgumentParser()
for name in ("pid", "window", "x", "y", "w", "h"):
    parser.add_argument(name, type=lambda s: int(s, 0))
parser.add_argument("seconds", type=float)
parser.add_argument("--count", type=int, default=1)
parser.add_argument("--until")
parser.add_argument("--save")
args = parser.parse_args()

x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XGetImage.restype = ctypes.POINTER(XImage)
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XFree.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("freeze.py: no display")


def area():
    image = x11.XGetImage(display, args.window, args.x, args.y, args.w, args.h, 0xFFFFFFFF, 2)
    if not image:
        return b""
    pixels = ctypes.string_at(image.contents.data, image.contents.bytes_per_line * args.h)
    x11.XFree(image.contents.data)
    x11.XFree(image)
    return pixels


target = open(args.until, "rb").read() if args.until else None
deadline = time.monotonic() + args.seconds
changes = 0
os.kill(args.pid, signal.SIGSTOP)
last = area()
while time.monotonic() < deadline:
    os.kill(args.pid, signal.SIGCONT)
    while time.monotonic() < deadline:
        now = area()
        if now != last:
            os.kill(args.pid, signal.SIGSTOP)
            break
        time.sleep(0.002)
    else:
        break
    # Stopped: once two looks agree, what it sent before the stop is all drawn.
    last, now = now, None
    while now != last:
        time.sleep(0.02)
        last, now = area(), last
    changes += 1
    if (target is None and changes >= args.count) or (target is not None and last == target):
        if args.save:
            open(args.save, "wb").write(last)
        print(changes)
        sys.exit(0)
os.kill(args.pid, signal.SIGCONT)
print(changes)
sys.exit(1)
