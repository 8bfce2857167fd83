"""Plays a game in real time, its answers from a file and standard output
a terminal, under strace, which sees every write and every sleep of the
game and times each sleep from its start to its end:

    check_timed_game.py EXPECTED ANSWERS PAUSES COMMAND...

EXPECTED holds the output the game must show, byte for byte; PAUSES the
production script's pauses as LINE=MS,... (LINE counted from 0 in
EXPECTED). Each byte must be written alone and followed by its pause (50
ms, and a script line's end by its own), each pause must last at least its
length, the exit status must be 0 and standard error empty. For games
that run under an emulator, where nothing can be loaded into them to
watch their sleeps: the emulator's own calls are the game's, translated.
"""
import os
import pty
import re
import subprocess
import sys
import tempfile
import termios
import time

CALL = re.compile(r'^(write\(1, "((?:\\x[0-9a-f]{2})*)", \d+\)\s*= \d+|(clock_)?nanosleep\(.*tv_sec=(\d+), tv_nsec=(\d+)\}.*\) = .*<([0-9.]+)>)')


def main():
    expected_path, answers_path, pauses_arg, *command = sys.argv[1:]
    with open(expected_path, "rb") as f:
        expected = f.read()
    script = {int(line): int(ms) for line, ms in (p.split("=") for p in pauses_arg.split(",") if p)}

    # What the game must do: each byte, then its pause (none after a line
    # end that no script pause follows).
    want, line = [], 0
    for byte in expected:
        want.append(("write", bytes([byte])))
        pause = 50 if byte != ord("\n") else script.get(line, 0)
        line += byte == ord("\n")
        if pause:
            want.append(("pause", pause))

    master, slave = pty.openpty()
    # The bytes as the game writes them: no "\r" before "\n".
    attrs = termios.tcgetattr(slave)
    attrs[1] &= ~termios.OPOST
    termios.tcsetattr(slave, termios.TCSANOW, attrs)
    log = tempfile.NamedTemporaryFile(prefix="yarnlet-strace-")
    start = time.monotonic()
    with open(answers_path, "rb") as answers:
        game = subprocess.Popen(["strace", "-qq", "-T", "-xx", "-e", "trace=write,nanosleep,clock_nanosleep",
                                 "-o", log.name, *command],
                                stdin=answers, stdout=slave, stderr=subprocess.PIPE)
    os.close(slave)
    shown = b""
    while True:
        try:
            chunk = os.read(master, 4096)
        except OSError:  # the game has closed the terminal's last writer
            break
        if not chunk:
            break
        shown += chunk
    err = game.stderr.read()
    status = game.wait()
    elapsed = time.monotonic() - start

    # What it did: its writes, and its pauses, each the sleeps up to the
    # next write (a sleep cut short by a signal goes on for the rest).
    did, lasted = [], []
    for entry in open(log.name, encoding="ascii", errors="replace"):
        call = CALL.match(entry)
        if not call:
            continue
        if call.group(2) is not None:
            did.append(("write", bytes.fromhex(call.group(2).replace("\\x", ""))))
        elif did and did[-1][0] == "pause":
            lasted[-1] += float(call.group(6)) * 1000
        else:
            did.append(("pause", int(call.group(4)) * 1000 + int(call.group(5)) // 1_000_000))
            lasted.append(float(call.group(6)) * 1000)

    problems = []
    if shown != expected:
        problems.append(f"the terminal showed other bytes than {expected_path}:\n{shown!r}")
    if did != want:
        first = next((i for i, (a, b) in enumerate(zip(did, want)) if a != b), min(len(did), len(want)))
        problems.append(f"writes and pauses differ from step {first} on: did {did[first:first + 4]}, "
                        f"should {want[first:first + 4]}")
    pauses = [length for kind, length in did if kind == "pause"]
    short = [(length, took) for length, took in zip(pauses, lasted) if took < length]
    if short:
        problems.append(f"{len(short)} pauses shorter than their length, such as {short[0][1]:.3f} ms for {short[0][0]} ms")
    if status != 0:
        problems.append(f"exit status {status}")
    if err:
        problems.append(f"standard error: {err!r}")
    overshoot = sorted(took - length for length, took in zip(pauses, lasted))
    print(f"{' '.join(command)}: {len(shown)} bytes, {len(pauses)} pauses in {elapsed:.2f} s; each pause over its "
          f"length by {overshoot[0]:.3f} to {overshoot[-1]:.3f} ms, median {overshoot[len(overshoot) // 2]:.3f} ms"
          if overshoot else f"{' '.join(command)}: no pauses")
    for problem in problems:
        print(f"FAIL: {problem}")
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
