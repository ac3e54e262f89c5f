#!/usr/bin/env python3
"""Prints the table of ratios closing `make bench`.

Every benchmark that compares us with another library (or with a floor or a budget) in the same
run reports the counters "ratio" (the median over its rounds of our time over theirs: below 1 we
are faster), "ratio_min" and "ratio_max" (the spread of the rounds) and "goal" (the largest
ratio we accept); this collects them from the JSON files the benchmark programs wrote and marks
each goal met or missed by the median. The exit status stays 0: a missed goal is a finding to
read, not a broken build.
"""
import json
import sys


def rows(paths):
    for path in paths:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
        for b in data.get("benchmarks", []):
            if "ratio" in b and b.get("run_type", "iteration") == "iteration":
                ratio = float(b["ratio"])
                yield (b["name"], ratio, float(b.get("ratio_min", ratio)), float(b.get("ratio_max", ratio)),
                       float(b.get("goal", 0.0)), "cpu" if b.get("cpu_time", 0) else "wall",
                       int(b.get("rounds", 0)))


def main(paths):
    found = list(rows(paths))
    if not found:
        print("bench: no benchmark reported a ratio")
        return 0
    width = max(len(row[0]) for row in found)
    print()
    print(f"{'case (ours / theirs)':<{width}}  {'median':>7}  {'min':>7}  {'max':>7}  {'goal':>7}  time  verdict")
    for name, ratio, low, high, goal, clock, rounds in found:
        verdict = "n/a" if goal <= 0 else "met" if ratio <= goal else "MISSED"
        if rounds < 5:
            verdict += " (fewer than 5 rounds)"
        goal_text = f"{goal:7.3f}" if goal > 0 else "      -"
        print(f"{name:<{width}}  {ratio:7.3f}  {low:7.3f}  {high:7.3f}  {goal_text}  {clock:<4}  {verdict}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
