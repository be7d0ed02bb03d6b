#!/usr/bin/env python3
"""Reads the clock window through AT-SPI, as a screen reader does.

    atspi_probe.py tree            one line a child of the window: role, name, text, showing
    atspi_probe.py focused         the name of the child that has the focus
    atspi_probe.py press <name>    the action of the push button <name>

Exits 2 while no window "Tolvan Vemo" is on the accessibility bus.
"""
import sys

import pyatspi


def clock_window():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        for window in app or []:
            if window is not None and window.name == "Tolvan Vemo":
                return window
    sys.exit(2)


def text_of(node):
    try:
        return node.queryText().getText(0, -1)
    except NotImplementedError:
        return ""


def main(command, *args):
    window = clock_window()
    children = [window.getChildAtIndex(i) for i in range(window.childCount)]
    if command == "tree":
        print(f"{window.getRoleName()} | {window.name}")
        for child in children:
            showing = child.getState().contains(pyatspi.STATE_SHOWING)
            print(f"  {child.getRoleName()} | {child.name} | {text_of(child)} | "
                  f"{'showing' if showing else 'not showing'}")
    elif command == "focused":
        for child in children:
            if child.getState().contains(pyatspi.STATE_FOCUSED):
                print(child.name)
    elif command == "press":
        for child in children:
            if child.name == args[0] and child.getRoleName() == "push button":
                action = child.queryAction()
                print(f"{child.name}: {action.getName(0)}")
                action.doAction(0)
                return
        sys.exit(f"no push button named {args[0]}")
    else:
        sys.exit(f"unknown command {command}")


if __name__ == "__main__":
    main(*sys.argv[1:])
