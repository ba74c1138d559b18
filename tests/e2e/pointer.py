#!/usr/bin/env python3
# Prints the pointer the X server now shows: "WIDTHxHEIGHT HOTX,HOTY colour|mono", colour when
# any opaque pixel is neither black, white nor grey.
import ctypes
import ctypes.util
import sys


class CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def library(name):
    found = ctypes.util.find_library(name) or "lib%s.so" % name
    return ctypes.CDLL(found)


x11 = library("X11")
xfixes = library("Xfixes")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
xfixes.XFixesQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]

display = x11.XOpenDisplay(None)
event, error = ctypes.c_int(), ctypes.c_int()
if not display or not xfixes.XFixesQueryExtension(display, ctypes.byref(event), ctypes.byref(error)):
    sys.exit("pointer.py: no display with XFixes")
image = xfixes.XFixesGetCursorImage(display)
if not image:
    sys.exit("pointer.py: no pointer image")
cursor = image.contents
colour = False
for i in range(cursor.width * cursor.height):
    argb = cursor.pixels[i] & 0xFFFFFFFF
    if argb >> 24 < 128:
        continue
    r, g, b = (argb >> 16) & 255, (argb >> 8) & 255, argb & 255
    colour = colour or max(r, g, b) - min(r, g, b) > 32
print("%dx%d %d,%d %s" % (cursor.width, cursor.height, cursor.xhot, cursor.yhot, "colour" if colour else "mono"))
