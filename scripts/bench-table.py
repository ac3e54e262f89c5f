#!/usr/bin/env python3
"""Prints the table of ratios closing `make bench`.

Every benchmark that compares us with another library in the same run reports the counters
"ratio" (our time over theirs: below 1 we are faster) and "goal" (the largest ratio we accept);
this collects them from the JSON files the benchmark programs wrote and marks each goal met or
missed. The exit status stays 0: a missed goal is a finding to read, not a broken build.
"""
import json
import sys


def rows(paths):
    for path in paths:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
        for b in data.get("benchmarks", []):
            if "ratio" in b and b.get("run_type", "iteration") == "iteration":
                yield b["name"], float(b["ratio"]), float(b.get("goal", 0.0))


def main(paths):
    found = list(rows(paths))
    if not found:
        print("bench: no benchmark reported a ratio")
        return 0
    width = max(len(name) for name, _, _ in found)
    print()
    print(f"{'case (ours / theirs)':<{width}}  {'ratio':>7}  {'goal':>7}  verdict")
    for name, ratio, goal in found:
        verdict = "n/a" if goal <= 0 else "met" if ratio <= goal else "MISSED"
        goal_text = f"{goal:7.3f}" if goal > 0 else "      -"
        print(f"{name:<{width}}  {ratio:7.3f}  {goal_text}  {verdict}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
