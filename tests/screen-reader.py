#!/usr/bin/python3
# What a screen reader finds of a running program on the accessibility bus:
# every object of its windows, a line each, tab-separated:
#   window title, role, name (or the text it holds), showing, enabled, x, y, width, height
# A window without a title is named by the first name inside it.
#   screen-reader.py PROGRAM-NAME
# Run with DISPLAY and DBUS_SESSION_BUS_ADDRESS of the program's session.
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


def text_of(accessible):
    if "Text" not in accessible.get_interfaces():
        return ""
    return Atspi.Text.get_text(accessible, 0, Atspi.Text.get_character_count(accessible))


def first_name(accessible):
    try:
        name = accessible.get_name()
        inside = children(accessible)
    except GLib.Error:
        return ""
    return name or next((found for found in map(first_name, inside) if found), "")


def children(accessible):
    found = (accessible.get_child_at_index(i) for i in range(accessible.get_child_count()))
    return [child for child in found if child is not None]


def lines(accessible, window, out):
    try:
        line(accessible, window, out)
        inside = children(accessible)
    except GLib.Error:
        return  # gone while it was read, as a window that closes
    for child in inside:
        lines(child, window, out)


def line(accessible, window, out):
    states = accessible.get_state_set()
    box = accessible.get_extents(Atspi.CoordType.SCREEN)
    name = accessible.get_name() or text_of(accessible)
    fields = [window, accessible.get_role_name(), name.replace("\n", "\\n").replace("\t", " "),
              str(int(states.contains(Atspi.StateType.SHOWING))),
              str(int(states.contains(Atspi.StateType.ENABLED))),
              str(box.x), str(box.y), str(box.width), str(box.height)]
    out.append("\t".join(fields))


def main():
    program = sys.argv[1]
    desktop = Atspi.get_desktop(0)
    out = []
    for app in children(desktop):
        if app.get_name() == program:
            for window in children(app):
                lines(window, first_name(window), out)
    print("\n".join(out))


main()
