#!/usr/bin/env python3
"""Writes the soak scenarios (tests/soak/*.scn) in the scenario language that bridger-sim
and the end-to-end driver both read. Each one ends with a call that rings, is answered on a
handset and is ended by the client, and checks every step of every cycle on the way.

    tools/soak/make-soaks.py [FOLDER]      (default tests/soak)
"""
import os
import sys

ALERT = "usb> 24240C0581"         # the ringing alert to every handset
RELEASE = "usb> 2424030201FA"     # handset 1 released
RELEASE_ALL = "usb> 24240302817A" # every handset released
ECHO = "usb< 2424081008"          # an echo of the link test
READY = "status 2 USB READY"
RINGING = "status 7 Ringing"
ABSENT = "status 6 USB Disconnected"


def start(lines, title, command=None, first=None):
    lines += [f"# {title}", "# Written by tools/soak/make-soaks.py; edit that, not this file.", ""]
    if command:
        lines.append(command)
    lines += ["base plug", "client start skype", "run 5000"]
    if first:
        lines.append(f"expect {first}")
    lines += ["expect attach 0", f"expect {READY}", ""]


def ring(lines, call):
    lines += [f"client say CALL {call} STATUS RINGING", "run 500", f"expect {RINGING}", f"expect {ALERT}"]


def answer(lines, call):
    lines += ["handset 1 answer", "run 500", f"expect client> SET CALL {call} STATUS INPROGRESS"]


def final_call(lines, call):
    lines += ["# The bridge still works: a call rings, is answered and the client ends it."]
    ring(lines, call)
    answer(lines, call)
    lines += ["run 3000", f"client say CALL {call} STATUS FINISHED", "run 500", f"expect {RELEASE}",
              f"expect {READY}", "run 5000", "expect-not msgbox", ""]


def base_replug(cycles=100):
    lines = []
    start(lines, f"The base is unplugged and plugged back {cycles} times: in an answered call, "
                 "while a call rings, and between calls.")
    call = 300
    for n in range(1, cycles + 1):
        call += 1
        kind = n % 3
        if kind == 1:
            lines.append(f"# {n}: unplugged in an answered call; the call is hung up once the loss is noticed")
            ring(lines, call)
            answer(lines, call)
        elif kind == 2:
            lines.append(f"# {n}: unplugged while a call rings; the caller gives up while it is away")
            ring(lines, call)
        else:
            lines.append(f"# {n}: unplugged between calls")
        lines += ["base unplug", "run 5000"]
        if kind == 1:
            lines += [f"expect client> SET CALL {call} STATUS FINISHED", "expect client> HOOK ON"]
        lines += [f"expect {ABSENT}"]
        if kind == 2:
            lines += [f"client say CALL {call} STATUS MISSED", "run 500"]
        lines += ["base plug", "run 5000", f"expect {ECHO}", f"expect {ECHO}", "run 1000", ""]
    final_call(lines, call + 1)
    return lines


def client_vanish(cycles=50):
    lines = []
    start(lines, f"The client goes away during a call and comes back, {cycles} times. Its window "
                 "is gone without a word; the bridge finds out at once and lets the handsets go, and "
                 "the client says it is there again when it starts.")
    call = 500
    for n in range(1, cycles + 1):
        call += 1
        answered = n % 2 == 1
        lines.append(f"# {n}: the client vanishes while a call {'is in progress' if answered else 'rings'}")
        ring(lines, call)
        if answered:
            answer(lines, call)
        lines += ["client stop", "run 2000", f"expect {RELEASE if answered else RELEASE_ALL}", f"expect {READY}",
                  "client start skype", "client attach 32769", "run 2000", "expect broadcast",
                  "expect attach 0", "expect client> SEARCH FRIENDS", "run 1000", ""]
    final_call(lines, call + 1)
    return lines


def base_silent(minutes=10):
    lines = []
    start(lines, f"The base says nothing for {minutes} minutes: no echoes, no replies, no reports.")
    lines += ["base echo off", "base replies off", f"run {minutes * 60000}", "expect-not status 11",
              "expect-not msgbox", "expect-not status 6", "base echo on", "base replies on", ""]
    final_call(lines, 700)
    return lines


def logs_readonly(calls=10):
    lines = []
    start(lines, "The debug window is open but its log files cannot be created (the working "
                 "folder is read-only; tools/soak.sh plays this one in such a folder).",
          command="start QOPA", first="file open-failed")
    call = 800
    for n in range(1, calls + 1):
        call += 1
        lines.append(f"# {n}: a call, logged to the window only")
        ring(lines, call)
        answer(lines, call)
        lines += ["run 2000", f"client say CALL {call} STATUS FINISHED", "run 500", f"expect {RELEASE}",
                  f"expect {READY}", ""]
    lines += ["ui close debug", "run 500", "ui command 32773", "run 500", "expect file open-failed", ""]
    final_call(lines, call + 1)
    return lines


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "tests", "soak")
    os.makedirs(folder, exist_ok=True)
    for name, lines in (("soak-base-replug.scn", base_replug()), ("soak-client-vanish.scn", client_vanish()),
                        ("soak-base-silent.scn", base_silent()), ("soak-logs-readonly.scn", logs_readonly())):
        with open(os.path.join(folder, name), "w") as f:
            f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
