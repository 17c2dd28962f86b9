#!/usr/bin/env python3
"""Prints each benchmark figure beside its target from a Google Benchmark CSV."""
import csv
import sys

UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1000.0}


def main(results_path, targets_path):
    targets = []
    with open(targets_path) as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            name, target, unit, what = line.split(None, 3)
            targets.append((name, float(target), unit, what))
    rows = []
    with open(results_path) as f:
        lines = [l for l in f if l.startswith('"') or l[0:1].isalpha()]
    header = ["name", "iterations", "real_time", "cpu_time", "time_unit"]
    for rec in csv.reader(lines):
        if rec and rec[0] == "name":
            header = rec
            continue
        row = dict(zip(header, rec))
        rows.append(row)
    failed = 0
    print(f"{'benchmark':40} {'figure':>12} {'target':>10}  verdict")
    for row in rows:
        name = row.get("name", "")
        match = next((t for t in targets if name == t[0] or name.startswith(t[0] + "/")), None)
        if match is None:
            continue
        _, target, unit, what = match
        if unit == "ms":
            value = float(row["real_time"]) * UNIT_MS[row.get("time_unit", "ns")]
        else:
            value = float(row.get(unit, "nan"))
        ok = value <= target
        failed += 0 if ok else 1
        print(f"{name:40} {value:10.2f} {unit:>2} {target:8.1f} {unit:>2}  {'ok' if ok else 'OVER'}   {what}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
