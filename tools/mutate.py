#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Mutation testing: how many small faults put into the code do its tests catch?

    tools/mutate.py [--build build] [--seed 1] [--per-folder 8] [--folders directory radio ...]
                    [--list] [--only N] [--json results.json]

Each mutant changes one line of one source file: a flipped comparison, a negated condition,
&& for ||, an integer off by one, true for false, a removed call or return. The sample is drawn
with a fixed seed from every candidate line of the folders, the same number from each folder, so
that two runs on the same sources mutate the same lines; a mutant that does not compile is
replaced by the next candidate of its folder. For each mutant the script rebuilds only the test
programs of the folder's tests (tests/<folder>, tests/cloud for directory/cloud, tests/transformers
for util/transformers), runs them through ctest with a timeout, and restores the file.

caught: a test failed; survived: all passed; timed out: the tests did not finish in time (which
counts as caught in the score: a hang is noticed). The score is caught + timed out over all.
"""
import argparse
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FOLDERS = ["directory", "radio", "media", "util", "geo"]

# Lines not worth mutating: declarations, logging, preprocessor, comments.
SKIP = re.compile(r"^\s*(#|//|\*|/\*)|\bq(C)?(Debug|Info|Warning|Critical)\b|Q_LOGGING_CATEGORY|static_assert|"
                  r"Q_DECLARE|Q_OBJECT|^\s*(public|private|protected|Q_SIGNALS|Q_SLOTS)\b")
COMPARISONS = [(" == ", " != "), (" != ", " == "), (" < ", " >= "), (" >= ", " < "),
               (" > ", " <= "), (" <= ", " > ")]
LOGIC = [(" && ", " || "), (" || ", " && ")]
BOOLS = [(r"\btrue\b", "false"), (r"\bfalse\b", "true")]
INTEGER = re.compile(r"(?<![\w.])(\d+)(?![\w.'])")
CALL_STATEMENT = re.compile(r"^(\s*)([A-Za-z_][\w:]*(\.|->|::))*[A-Za-z_]\w*\(.*\);\s*$")
RETURN_STATEMENT = re.compile(r"^(\s*)return\b.*;\s*$")


def balanced_condition(line, start):
    """The end (index of the closing parenthesis) of the parenthesised text opening at `start`."""
    depth = 0
    for i in range(start, len(line)):
        if line[i] == "(":
            depth += 1
        elif line[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def mutations(line):
    """Every one-line mutation of `line`: (operator, new line)."""
    if SKIP.search(line) or '"' in line and line.count('"') % 2:
        return []
    code = re.sub(r'"(\\.|[^"\\])*"', lambda m: " " * len(m.group(0)), line)  # ignore string contents
    out = []

    def at(match_start, match_end, replacement, name):
        out.append((name, line[:match_start] + replacement + line[match_end:]))

    for old, new in COMPARISONS + LOGIC:
        for m in re.finditer(re.escape(old), code):
            at(m.start(), m.end(), new, f"'{old.strip()}' -> '{new.strip()}'")
    for pattern, new in BOOLS:
        for m in re.finditer(pattern, code):
            at(m.start(), m.end(), new, f"{m.group(0)} -> {new}")
    for m in re.finditer(INTEGER, code):
        if "[" in code[:m.start()] and "]" in code[m.end():] and code.strip().endswith(";") and "=" not in code:
            continue  # array sizes of declarations
        at(m.start(), m.end(), str(int(m.group(1)) + 1), f"{m.group(1)} -> {int(m.group(1)) + 1}")
    for m in re.finditer(r"\b(if|while) \(", code):
        open_at = m.end() - 1
        close = balanced_condition(code, open_at)
        if close > 0:
            out.append((f"negated {m.group(1)}", line[:open_at + 1] + "!(" + line[open_at + 1:close] + ")" + line[close:]))
    if CALL_STATEMENT.match(code) and not re.match(r"^\s*(return|delete|else|case)\b", code) \
            and code.count("(") == code.count(")"):
        out.append(("removed call", CALL_STATEMENT.match(code).group(1) + ";\n"))
    if RETURN_STATEMENT.match(code) and code.strip() == "return;":
        out.append(("removed return", RETURN_STATEMENT.match(code).group(1) + ";\n"))
    return out


def candidates(folder):
    """All mutants of the folder's .cpp files, in a stable order."""
    result = []
    for path in sorted((ROOT / folder).rglob("*.cpp")):
        lines = path.read_text(encoding="utf-8").splitlines(keepends=True)
        for number, line in enumerate(lines, 1):
            for name, new in mutations(line):
                result.append({"file": str(path.relative_to(ROOT)), "line": number, "operator": name,
                               "original": line.rstrip("\n"), "mutant": new.rstrip("\n")})
    return result


def tests_by_folder(build):
    """ctest's tests grouped by the tests/ subfolder that declares them, with their programs."""
    info = json.loads(subprocess.run(["ctest", "--show-only=json-v1"], cwd=build, check=True,
                                     capture_output=True, text=True).stdout)
    graph = info["backtraceGraph"]
    groups = {}
    for test in info["tests"]:
        folder = None
        node = test.get("backtrace")
        while node is not None:
            file = graph["files"][graph["nodes"][node]["file"]]
            m = re.search(r"/tests/([^/]+)/CMakeLists.txt$", file)
            if m:
                folder = m.group(1)
                break
            node = graph["nodes"][node].get("parent")
        programs = [Path(arg).name for arg in test.get("command", []) if str(Path(build).resolve()) in arg]
        groups.setdefault(folder, []).append((test["name"], programs))
    return groups


def test_folders(source):
    if source.startswith("directory/cloud/"):
        return ["cloud"]
    if source.startswith("util/transformers/"):
        return ["transformers"]
    return [source.split("/")[0]]


def run(command, timeout, cwd=ROOT):
    try:
        p = subprocess.run(command, cwd=cwd, capture_output=True, text=True, timeout=timeout)
        return p.returncode, p.stdout + p.stderr
    except subprocess.TimeoutExpired:
        return None, ""


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--per-folder", type=int, default=8)
    parser.add_argument("--folders", nargs="+", default=FOLDERS)
    parser.add_argument("--timeout", type=int, default=240, help="seconds for one mutant's tests")
    parser.add_argument("--exclude", default="_queuedbus$",
                        help="tests not to run (regular expression): the same program again in another mode")
    parser.add_argument("--list", action="store_true", help="print the sample's candidates and stop")
    parser.add_argument("--only", type=int, nargs="+", help="run only these mutants of the sample (1-based)")
    parser.add_argument("--json", help="write the results here")
    args = parser.parse_args()
    # Stopped from outside: the finally clauses still put the mutated file back.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    build = Path(args.build).resolve()
    groups = tests_by_folder(build)

    sample = []
    for folder in args.folders:
        pool = candidates(folder)
        random.Random(f"{args.seed}:{folder}").shuffle(pool)
        sample.append((folder, pool))
    if args.list:
        for folder, pool in sample:
            for c in pool[:args.per_folder]:
                print(f"{c['file']}:{c['line']}: {c['operator']}")
        return 0

    results = []
    index = 0
    built = set()
    for folder, pool in sample:
        taken = 0
        for c in pool:
            if taken == args.per_folder:
                break
            source = ROOT / c["file"]
            tests = [t for f in test_folders(c["file"]) for t in groups.get(f, [])]
            tests = [t for t in tests if t[1]]  # only tests of programs that are built
            targets = sorted({p for _, programs in tests for p in programs})
            built.update(targets)
            original = source.read_text(encoding="utf-8")
            lines = original.splitlines(keepends=True)
            lines[c["line"] - 1] = c["mutant"] + "\n"
            try:
                source.write_text("".join(lines), encoding="utf-8")
                code, log = run(["ninja", "-C", str(build), "-j", "2"] + targets, 1200)
                if code != 0:
                    continue  # does not compile: not a mutant, the next candidate instead
                index += 1
                taken += 1
                if args.only and index not in args.only:
                    continue
                started = time.monotonic()
                names = "|".join(re.escape(name) for name, _ in tests)
                # The first failure decides: the rest need not run.
                code, log = run(["ctest", "-R", f"^({names})$", "-E", args.exclude, "--timeout", str(args.timeout),
                                 "--stop-on-failure", "--output-on-failure"], args.timeout * 2, cwd=build)
                if code is None or "***Timeout" in log:
                    verdict = "timed out"
                else:
                    verdict = "survived" if code == 0 else "caught"
                failed = re.findall(r"\d+ - (\S+) \(", log)
                result = dict(c, index=index, verdict=verdict, failed=failed,
                              seconds=round(time.monotonic() - started))
                results.append(result)
                print(f"{index:3} {verdict:9} {c['file']}:{c['line']} {c['operator']}  {', '.join(failed)}",
                      flush=True)
            finally:
                source.write_text(original, encoding="utf-8")
    run(["ninja", "-C", str(build), "-j", "2"] + sorted(built), 3600)  # back to the sources as they are

    counts = {v: sum(r["verdict"] == v for r in results) for v in ("caught", "survived", "timed out")}
    total = len(results)
    score = (counts["caught"] + counts["timed out"]) / total if total else 0
    print(f"\n{total} mutants: {counts['caught']} caught, {counts['survived']} survived, "
          f"{counts['timed out']} timed out; score {100 * score:.1f} %")
    for r in results:
        if r["verdict"] == "survived":
            print(f"  survived {r['index']}: {r['file']}:{r['line']}  {r['original'].strip()}  =>  {r['mutant'].strip()}")
    if args.json:
        Path(args.json).write_text(json.dumps({"counts": counts, "score": score, "results": results}, indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
