#!/usr/bin/env python3
"""Prints the table of ratios closing `make bench`.

Every benchmark that compares us with another library (or with a floor or a budget) in the same
run reports the counters "ratio" (the median over its rounds of our time over theirs: below 1 we
are faster), "ratio_min" and "ratio_max" (the spread of the rounds) and "goal" (the largest
ratio we accept) and "timed_by" (the clock its rounds were timed on: 1 the benchmark thread's CPU
time, 2 wall time, 3 the CPU time of a whole program over all its threads); this collects them from the JSON files the benchmark programs wrote and marks
each goal met or missed by the median. The exit status stays 0: a missed goal is a finding to
read, not a broken build.
"""
import json
import sys

# "timed_by" as the table prints it. (Not Google Benchmark's own "cpu_time", which every row has.)
CLOCKS = {1: "thread cpu", 2: "wall", 3: "process cpu"}


def rows(paths):
    for path in paths:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
        for b in data.get("benchmarks", []):
            if b.get("run_type", "iteration") != "iteration":
                continue
            # "ratio", and "<part>_ratio" for a second figure of the same benchmark.
            for key in [k for k in b if k == "ratio" or k.endswith("_ratio")]:
                p = key[: -len("ratio")]
                name = b["name"] + (f" [{p[:-1]}]" if p else "")
                ratio = float(b[key])
                yield (name, ratio, float(b.get(p + "ratio_min", ratio)), float(b.get(p + "ratio_max", ratio)),
                       float(b.get(p + "goal", 0.0)), CLOCKS.get(int(b.get(p + "timed_by", 0)), "unknown"),
                       int(b.get(p + "rounds", 0)))


def main(paths):
    found = list(rows(paths))
    if not found:
        print("bench: no benchmark reported a ratio")
        return 0
    width = max(len(row[0]) for row in found)
    print()
    print(f"{'case (ours / theirs)':<{width}}  {'median':>7}  {'min':>7}  {'max':>7}  {'goal':>7}  {'timed by':<11}  verdict")
    for name, ratio, low, high, goal, clock, rounds in found:
        verdict = "n/a" if goal <= 0 else "met" if ratio <= goal else "MISSED"
        if rounds < 5:
            verdict += " (fewer than 5 rounds)"
        goal_text = f"{goal:7.3f}" if goal > 0 else "      -"
        print(f"{name:<{width}}  {ratio:7.3f}  {low:7.3f}  {high:7.3f}  {goal_text}  {clock:<11}  {verdict}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
