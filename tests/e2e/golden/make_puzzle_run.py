#!/usr/bin/env python3
"""Writes puzzle_all_stages.txt: a replay script that starts the puzzle game from a fresh
save file and clears all 50 stages with the stored solutions (tools/puzzlegen/solutions.txt),
each swap made through the cursor keys and the swap key, then watches the ending.

Run it again whenever the stages or their solutions change, then update the expected output
(README, "Golden replays")."""
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
SOLUTIONS = os.path.join(HERE, "..", "..", "..", "tools", "puzzlegen", "solutions.txt")


def main():
    stages = []
    with open(SOLUTIONS) as f:
        for line in f:
            m = re.match(r"^(\d+): \d+ swaps: (.*)$", line.strip())
            if m:
                stages.append((int(m.group(1)), m.group(2).split()))
    out = [
        "# All 50 puzzle stages from a fresh save file, each cleared by its stored solution",
        "# (tools/puzzlegen/solutions.txt) through the cursor keys and the swap key; a reward",
        "# picture after every second stage, then the ending and the title.",
        "# Written by make_puzzle_run.py: do not edit by hand.",
        "wait 10",
        "tap ENTER",
        "wait 100",
        "# GAME START, PUZZLE, CONTINUE (stage 1)",
        "tap ENTER",
        "wait 20",
        "tap RIGHT",
        "wait 1",
        "tap ENTER",
        "wait 20",
        "tap ENTER",
    ]
    for number, moves in stages:
        out.append(f"# stage {number}")
        out.append("until TGameMainMode 2 3000")
        out.append("dump")
        for move in moves:
            col, row, direction = move.split(",")
            out.append(f"swap {col} {row} {direction}")
            out.append("settle 1500")
        out.append("dump")
        out.append("# the clear stars, then decide")
        out.append("wait 60")
        out.append("tap ENTER")
        if number % 2 == 0:
            out.append("until TRewardMode 1 1500")
            out.append("wait 150")
            out.append("dump")
            out.append("tap ENTER")
    out += [
        "until TEndingMode 1 3000",
        "dump",
        "# the credits roll to their end; ENTER leaves for the title",
        "wait 3000",
        "dump",
        "tap ENTER",
        "until TTitleMode 1 500",
        "dump",
    ]
    with open(os.path.join(HERE, "puzzle_all_stages.txt"), "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
