#!/usr/bin/env python3
"""Prints each benchmark figure beside its target from Google Benchmark JSON output.

    report.py TARGETS RESULTS.json [RESULTS.json ...]

JSON rather than CSV: the CSV reporter stops the whole run when two benchmarks
carry different counters, which dropped every figure after the first such pair.
A results file cut short (a benchmark that crashed) still gives the figures
it holds, and a target without a figure is listed as missing.
"""
import json
import sys

UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1000.0}


def read_targets(path):
    targets = []
    with open(path) as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            name, target, unit, what = line.split(None, 3)
            targets.append((name, float(target), unit, what))
    return targets


def read_runs(path):
    """The benchmark entries of one results file, as many as can be read."""
    with open(path) as f:
        text = f.read()
    try:
        return json.loads(text).get("benchmarks", [])
    except ValueError:
        pass
    start = text.find('"benchmarks"')
    if start < 0:
        return []
    pos = text.find("[", start) + 1
    decoder = json.JSONDecoder()
    runs = []
    while pos > 0:
        while pos < len(text) and text[pos] in " \t\r\n,":
            pos += 1
        try:
            entry, pos = decoder.raw_decode(text, pos)
        except ValueError:
            break
        runs.append(entry)
    return runs


def matches(name, target_name):
    # Options such as UseRealTime add "/real_time" and arguments add "/N".
    return name == target_name or name.startswith(target_name + "/")


def main(targets_path, results_paths):
    targets = read_targets(targets_path)
    runs = []
    for path in results_paths:
        runs.extend(r for r in read_runs(path) if r.get("run_type", "iteration") == "iteration")
    failed = 0
    seen = set()
    print(f"{'benchmark':40} {'figure':>12} {'target':>10}  verdict")
    for run in runs:
        name = run.get("name", "")
        match = next((t for t in targets if matches(name, t[0])), None)
        if match is None:
            continue
        tname, target, unit, what = match
        seen.add(tname)
        if run.get("error_occurred"):
            failed += 1
            print(f"{name:40} {'error':>12} {target:8.1f} {unit:>2}  FAILED  {run.get('error_message', '')}")
            continue
        if unit == "ms":
            value = float(run["real_time"]) * UNIT_MS[run.get("time_unit", "ns")]
        else:
            value = float(run.get(unit, "nan"))
        ok = value <= target
        failed += 0 if ok else 1
        shown = f"{value:10.4f}" if value < 1 else f"{value:10.2f}"
        print(f"{name:40} {shown} {unit:>2} {target:8.1f} {unit:>2}  {'ok' if ok else 'OVER'}   {what}")
    for tname, target, unit, what in targets:
        if tname not in seen:
            print(f"{tname:40} {'-':>12} {target:8.1f} {unit:>2}  missing   {what}")
    return 1 if failed else 0


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: report.py TARGETS RESULTS.json [RESULTS.json ...]")
    sys.exit(main(sys.argv[1], sys.argv[2:]))
