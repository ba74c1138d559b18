"""The running program in the accessibility tree, shared by the clients that read it."""
import gi

gi.require_version("Atspi", "2.0")
import pyatspi  # noqa: E402


def application(pid, with_window=False):
    """The program of process PID on the desktop (one that shows a window), or None."""
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid and (app.childCount > 0 or not with_window):
                return app
        except Exception:  # an application that went while it was read
            pass
    return None


def walk(node):
    """NODE and everything below it, depth first."""
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)
