#!/usr/bin/python3
"""Reads what the program shows from the accessibility tree (AT-SPI), as a screen reader would.

Every command waits for its condition with a time-out and exits 1, telling what it found, when
the condition is not met in time. Texts are compared exactly, "\\r\\n" included.

  sync PID TIMEOUT                        the program has handled the input sent so far
  app-name PID TIMEOUT                    prints the application's name
  expect-texts PID TITLE TIMEOUT TEXT...  a shown window captioned TITLE holds these labels
  expect-items PID TITLE TIMEOUT ITEM...  its list entries are exactly these, in this order
  expect-focused-text PID TIMEOUT TEXT    the field that has the keyboard focus holds TEXT
"""
import os
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


def application(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        try:
            if app is not None and app.get_process_id() == pid:
                # Read afresh on every poll: a cached tree would show a box that has gone.
                app.set_cache_mask(Atspi.Cache.NONE)
                app.clear_cache()
                return app
        except GLib.Error:
            continue
    return None


def children(node):
    try:
        count = node.get_child_count()
    except GLib.Error:
        return []
    found = []
    for i in range(count):
        try:
            child = node.get_child_at_index(i)
        except GLib.Error:
            continue
        if child is not None:
            found.append(child)
    return found


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


def showing(node):
    try:
        return node.get_state_set().contains(Atspi.StateType.SHOWING)
    except GLib.Error:
        return False


def window(pid, title):
    app = application(pid)
    if app is None:
        return None
    for top in children(app):
        try:
            if top.get_name() == title and showing(top):
                return top
        except GLib.Error:
            continue
    return None


def names(node, role):
    found = []
    for child in descendants(node):
        try:
            if child.get_role() == role:
                found.append(child.get_name())
        except GLib.Error:
            continue
    return found


def focused_text(pid):
    app = application(pid)
    if app is None:
        return None
    for node in descendants(app):
        try:
            if node.get_state_set().contains(Atspi.StateType.FOCUSED) and \
                    "Text" in node.get_interfaces():
                return Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))
        except GLib.Error:
            continue
    return None


def running(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    try:
        with open("/proc/%d/stat" % pid) as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def wait(limit, probe, describe):
    """Polls probe() until it returns a true value or limit seconds have passed."""
    deadline = time.monotonic() + limit
    context = GLib.MainContext.default()
    while True:
        # The list of applications follows the registry's signals, taken in here.
        while context.pending():
            context.iteration(False)
        result = probe()
        if result:
            return result
        if time.monotonic() >= deadline:
            print("atspi: " + describe(), file=sys.stderr)
            sys.exit(1)
        time.sleep(0.05)


def main(argv):
    command, pid = argv[1], int(argv[2])
    if command == "sync":
        # A call the program must answer itself: it answers after the input queued before it.
        def answered():
            if not running(pid):
                return True  # a program that has ended has nothing left to handle
            app = application(pid)
            return app is not None and children(app) is not None and app.get_name() is not None
        wait(float(argv[3]), answered, lambda: "the program is not on the accessibility bus")
    elif command == "app-name":
        app = wait(float(argv[3]), lambda: application(pid),
                   lambda: "the program is not on the accessibility bus")
        print(app.get_name())
    elif command in ("expect-texts", "expect-items"):
        title, limit, wanted = argv[3], float(argv[4]), argv[5:]
        role = Atspi.Role.LABEL if command == "expect-texts" else Atspi.Role.LIST_ITEM
        seen = []

        def matches():
            shown = window(pid, title)
            if shown is None:
                seen[:] = ["(no shown window captioned %r)" % title]
                return False
            seen[:] = names(shown, role)
            if command == "expect-items":
                return seen == wanted
            return all(text in seen for text in wanted)
        wait(limit, matches, lambda: "wanted %r, found %r" % (wanted, seen))
    elif command == "expect-focused-text":
        limit, wanted = float(argv[3]), argv[4]
        seen = [None]

        def matches():
            seen[0] = focused_text(pid)
            return seen[0] == wanted
        wait(limit, matches, lambda: "the focused field holds %r, not %r" % (seen[0], wanted))
    else:
        print(__doc__, file=sys.stderr)
        sys.exit(2)


if __name__ == "__main__":
    main(sys.argv)
