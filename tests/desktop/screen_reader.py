"""Reads the Registry page's section over AT-SPI as a screen reader does, and follows the caret
and the selection the keyboard moves.

    screen_reader.py EXPECTED_SECTION PID
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

expected = open(sys.argv[1], encoding="utf-8").read().replace("\r\n", "\n")
expected = expected[:-1] if expected.endswith("\n") else expected
pid = int(sys.argv[2])


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def section_view():
    """The program's text object that is on screen, named as its group is captioned."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.get_process_id() != pid:
            continue
        for node in walk(app):
            if (node.getRole() == pyatspi.ROLE_TEXT and node.name in ("List", "Список")
                    and node.getState().contains(pyatspi.STATE_SHOWING)):
                return node
    return None


deadline = time.monotonic() + 60
view = None
while time.monotonic() < deadline:
    view = section_view()
    if view is not None and view.queryText().characterCount == len(expected):
        break
    time.sleep(0.2)
if view is None:
    fail("no section view on the accessibility bus")
text = view.queryText()
if text.getText(0, -1) != expected:
    fail("the section read %d characters, not the %d converted:\n%s"
         % (text.characterCount, len(expected), text.getText(0, 200)))
if not view.getState().contains(pyatspi.STATE_READ_ONLY):
    fail("the section is not said to be read-only")
second = expected.split("\n")[1]
start = len(expected.split("\n")[0]) + 1
line, s, e = text.getTextAtOffset(start + 2, pyatspi.TEXT_BOUNDARY_LINE_START)
if (line, s) != (second + "\n", start):
    fail("the line at offset %d reads %r from %d" % (start + 2, line, s))
print("read %d characters of the section, %d lines" % (len(expected), expected.count("\n") + 1))

# Keys pressed with the view focused; what the events and the text interface say after each.
events = []


def heard(event):
    if event.source == view or event.type.startswith("focus"):
        events.append((event.type, event.detail1))


last_line_start = expected.rfind("\n") + 1
steps = [
    ("focus", None, lambda: view.queryComponent().grabFocus()),
    ("ctrl+End", "object:text-caret-moved", lambda: subprocess.run(["xdotool", "key", "ctrl+End"])),
    ("shift+Home", "object:text-selection-changed",
     lambda: subprocess.run(["xdotool", "key", "shift+Home"])),
]
results = {}


def run_step(index):
    if index > 0:
        name = steps[index - 1][0]
        results[name] = (text.caretOffset, text.getNSelections() and text.getSelection(0),
                         list(events))
    if index == len(steps):
        pyatspi.Registry.stop()
        return False
    events.clear()
    steps[index][2]()
    GLib.timeout_add(1500, run_step, index + 1)
    return False


pyatspi.Registry.registerEventListener(heard, "object:text-caret-moved",
                                       "object:text-selection-changed", "object:state-changed:focused")
GLib.timeout_add(200, run_step, 0)
GLib.timeout_add(30000, lambda: pyatspi.Registry.stop())
pyatspi.Registry.start()

if not view.getState().contains(pyatspi.STATE_FOCUSED):
    fail("the section did not take the focus: %s" % results.get("focus"))
caret, _, heard_then = results["ctrl+End"]
if caret != len(expected) or ("object:text-caret-moved", len(expected)) not in heard_then:
    fail("after Ctrl+End the caret is at %d (events %s), not at the end %d"
         % (caret, heard_then, len(expected)))
caret, selection, heard_then = results["shift+Home"]
if caret != last_line_start or tuple(selection) != (last_line_start, len(expected)):
    fail("after Shift+Home: caret %d, selection %s, not the last line from %d"
         % (caret, selection, last_line_start))
if not any(t == "object:text-selection-changed" for t, _ in heard_then):
    fail("no selection event after Shift+Home: %s" % heard_then)
print("caret and selection followed: end at %d, last line selected from %d"
      % (len(expected), last_line_start))
