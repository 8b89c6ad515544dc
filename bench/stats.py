#!/usr/bin/env python3
"""Summarises a benchmark run as Markdown tables.

    stats.py RESULTS_DIR

RESULTS_DIR holds runs.csv and modules.txt from bench_runner and
footprint.txt and machine.txt from run_bench.sh, and size_budget.txt, the
shipped file's size budget in bytes that the pe_size test holds it to
(SETUP_SIZE_BUDGET), where the tree has one. Prints medians and
quartiles per case, the ratios of Setup.exe (C) to the bare inner program
(A) and to the NSIS peer (B), the overhead ratio (C-A)/(B-A) with a
bootstrap confidence interval, where the launcher's time goes, the sizes,
imports and loaded modules, and whether the goals were met.
"""
import csv
import os
import random
import sys

BOOTSTRAP_SAMPLES = 2000
SEED = 20261208
PATHS = ("fresh", "repair")


def quantile(values, q):
    """Linear interpolation between the closest ranks (numpy's default)."""
    ordered = sorted(values)
    if not ordered:
        return float("nan")
    position = (len(ordered) - 1) * q
    low = int(position)
    high = min(low + 1, len(ordered) - 1)
    return ordered[low] + (ordered[high] - ordered[low]) * (position - low)


def median(values):
    return quantile(values, 0.5)


def read_runs(path):
    """Returns {case: {round: ms}}."""
    runs = {}
    with open(path, newline="") as f:
        for row in csv.DictReader(f):
            runs.setdefault(row["case"], {})[int(row["round"])] = float(row["ms"])
    return runs


def bootstrap(runs, cases, statistic):
    """Percentile interval (2.5 %, 97.5 %) of statistic over rounds drawn
    with replacement. The cases of one round were measured side by side, so
    a draw keeps them together."""
    rounds = sorted(set.intersection(*(set(runs[c]) for c in cases)))
    if len(rounds) < 5:
        return None
    rng = random.Random(SEED)
    estimates = []
    for _ in range(BOOTSTRAP_SAMPLES):
        drawn = [rng.choice(rounds) for _ in rounds]
        samples = [[runs[c][r] for r in drawn] for c in cases]
        value = statistic(*[median(s) for s in samples])
        if value == value:  # not NaN
            estimates.append(value)
    if not estimates:
        return None
    return quantile(estimates, 0.025), quantile(estimates, 0.975)


def ratio(x, y):
    return x / y if y else float("nan")


def overhead(a, b, c):
    return ratio(c - a, b - a)


def fmt(value, digits=1):
    return "n/a" if value != value else f"{value:.{digits}f}"


def fmt_interval(interval, digits=2):
    if interval is None:
        return "n/a (too few rounds)"
    return f"{interval[0]:.{digits}f} to {interval[1]:.{digits}f}"


def medians(runs, case):
    return median(list(runs[case].values()))


def case_table(runs, names):
    lines = ["| Case | Runs | Median ms | Q1 ms | Q3 ms |", "|---|---:|---:|---:|---:|"]
    for name in names:
        if name not in runs:
            continue
        values = list(runs[name].values())
        lines.append(f"| {name} | {len(values)} | {fmt(median(values), 2)} | "
                     f"{fmt(quantile(values, 0.25), 2)} | {fmt(quantile(values, 0.75), 2)} |")
    return lines


def comparison(runs):
    lines = ["| Path | A limit ms | B peer ms | C Setup.exe ms | C/A | C/B | (C-A)/(B-A) | 95 % interval |",
             "|---|---:|---:|---:|---:|---:|---:|---|"]
    goals = {}
    for path in PATHS:
        cases = (f"{path}/limit", f"{path}/peer", f"{path}/setup")
        if not all(c in runs for c in cases):
            continue
        a, b, c = (medians(runs, x) for x in cases)
        value = overhead(a, b, c)
        interval = bootstrap(runs, cases, overhead)
        ca_interval = bootstrap(runs, (cases[0], cases[2]), lambda x, y: ratio(y, x))
        cb_interval = bootstrap(runs, (cases[1], cases[2]), lambda x, y: ratio(y, x))
        lines.append(f"| {path} | {fmt(a, 2)} | {fmt(b, 2)} | {fmt(c, 2)} | "
                     f"{fmt(ratio(c, a), 2)} ({fmt_interval(ca_interval)}) | "
                     f"{fmt(ratio(c, b), 2)} ({fmt_interval(cb_interval)}) | "
                     f"{fmt(value, 2)} | {fmt_interval(interval)} |")
        goals[path] = (value, interval)
    return lines, goals


# Each step is a sum of case medians with weights +1 and -1.
BREAKDOWN = (
    ("Loading USER32, ADVAPI32 and msvcrt", (("probe/imports", 1), ("fresh/limit", -1))),
    ("The hidden window, on its own", (("probe/window", 1), ("probe/imports", -1))),
    ("The hidden window, inside Setup.exe", (("fresh/setup", 1), ("fresh/setup-nowindow", -1))),
    ("Setup.exe without its window, over the limit",
     (("fresh/setup-nowindow", 1), ("fresh/limit", -1))),
    ("Setup.exe over the limit", (("fresh/setup", 1), ("fresh/limit", -1))),
    ("The repairs (repair path less fresh path, less the same for the limit)",
     (("repair/setup", 1), ("fresh/setup", -1), ("repair/limit", -1), ("fresh/limit", 1))),
    ("The peer over Setup.exe", (("fresh/peer", 1), ("fresh/setup", -1))),
)


def describe(terms):
    text = ""
    for case, weight in terms:
        text += (" - " if weight < 0 else (" + " if text else "")) + case
    return text


def breakdown(runs):
    lines = ["| Step | Difference of medians | ms | 95 % interval ms |", "|---|---|---:|---|"]
    for label, terms in BREAKDOWN:
        cases = tuple(case for case, _ in terms)
        if not all(case in runs for case in cases):
            continue
        weights = [weight for _, weight in terms]

        def combine(*values):
            return sum(w * v for w, v in zip(weights, values))
        value = combine(*(medians(runs, case) for case in cases))
        interval = bootstrap(runs, cases, combine)
        lines.append(f"| {label} | {describe(terms)} | {fmt(value, 2)} | "
                     f"{fmt_interval(interval)} |")
    return lines


def read_footprint(path):
    """Lines of: name size dll... ; returns [(name, size, [dll])]."""
    entries = []
    with open(path) as f:
        for line in f:
            fields = line.split()
            if fields:
                entries.append((fields[0], int(fields[1]), fields[2:]))
    return entries


def read_modules(path):
    modules = {}
    with open(path) as f:
        for line in f:
            fields = line.split(None, 1)
            if len(fields) == 2:
                modules.setdefault(fields[0], []).append(fields[1].strip())
    return modules


def footprint_table(entries):
    lines = ["| Program | Bytes | Imported DLLs |", "|---|---:|---|"]
    for name, size, dlls in entries:
        lines.append(f"| {name} | {size} | {', '.join(dlls)} |")
    return lines


def modules_table(modules):
    lines = ["| Process | Modules | Loaded |", "|---|---:|---|"]
    for name, loaded in modules.items():
        lines.append(f"| {name} | {len(loaded)} | {', '.join(loaded)} |")
    if "setup" in modules and "setup-nowindow" in modules:
        extra = [m for m in modules["setup"] if m not in modules["setup-nowindow"]]
        lines.append("")
        lines.append("Brought in by the hidden window (in setup, not in setup-nowindow): "
                     + (", ".join(extra) if extra else "none"))
    return lines


def read_size_budget(path):
    """The size budget in bytes, or None where the run recorded none."""
    if not os.path.exists(path):
        return None
    with open(path) as f:
        return int(f.read().strip())


def goal_lines(goals, entries, budget):
    lines = []
    for path, (value, interval) in goals.items():
        if interval is None:
            verdict = "not judged (too few rounds)"
        else:
            verdict = "met" if interval[1] <= 1.0 else "not met"
        lines.append(f"- (C-A)/(B-A) <= 1.0 on the {path} path, whole interval: {verdict} "
                     f"({fmt(value, 2)}, {fmt_interval(interval)})")
    sizes = {name: size for name, size, _ in entries}
    if "Setup.exe" in sizes:
        setup = sizes["Setup.exe"]
        if budget is None:
            lines.append(f"- Setup.exe's size: not judged, no size budget recorded with this run "
                         f"(pe_size budgets the shipped 32-bit file only) ({setup} bytes)")
        else:
            lines.append(f"- Setup.exe <= {budget} bytes, the size budget of pe_size: "
                         f"{'met' if setup <= budget else 'not met'} ({setup} bytes)")
        if "peer" in sizes:
            lines.append(f"- Setup.exe smaller than the peer: "
                         f"{'met' if setup < sizes['peer'] else 'not met'} "
                         f"({setup} against {sizes['peer']} bytes)")
    return lines


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: stats.py RESULTS_DIR")
    folder = sys.argv[1]
    runs = read_runs(os.path.join(folder, "runs.csv"))
    entries = read_footprint(os.path.join(folder, "footprint.txt"))
    modules = read_modules(os.path.join(folder, "modules.txt"))
    budget = read_size_budget(os.path.join(folder, "size_budget.txt"))
    with open(os.path.join(folder, "machine.txt")) as f:
        machine = f.read().strip()
    rounds = len(set.union(*(set(r) for r in runs.values()))) if runs else 0

    out = [f"## Benchmark: {rounds} rounds", "", machine, "", "### Wall time per case", ""]
    out += case_table(runs, sorted(runs))
    comparison_lines, goals = comparison(runs)
    out += ["", "### Setup.exe (C) beside the limit (A) and the peer (B)", ""] + comparison_lines
    out += ["", "### Where Setup.exe's time goes", ""] + breakdown(runs)
    out += ["", "### Size and imports", ""] + footprint_table(entries)
    out += ["", "### Modules loaded while the inner program runs", ""] + modules_table(modules)
    out += ["", "### Goals", ""] + goal_lines(goals, entries, budget)
    print("\n".join(out))


if __name__ == "__main__":
    main()
