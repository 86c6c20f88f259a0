#!/usr/bin/env python3
"""A round of fault injection: which single faults does no fast test catch?

Copies the working tree to a scratch folder, builds it once, then for each fault of the list (one text
replaced in one file) rebuilds, runs the fast tests (everything but the real-display end-to-end test)
and puts the file back. Prints a table: each fault's number, file, verdict (caught, MISSED, or unusable:
its text is no longer in the file, or it does not build, both mean the list needs mending, not the tests),
the first test that failed, and its name; then the share caught.

    nice tools/fault_round.py [--faults tools/faults.ini] [--only NAME ...] [--keep DIR]

Not a CI step: a tool for whoever changes the code or the tests. A fault is caught when a test fails or
times out. The list's format (INI, no interpolation):

    [a name that says what the user would see]
    file = core/rota.cpp
    old = text that occurs exactly once in the file; a later line of it is matched at any indent
    new = the faulty text
"""
import argparse
import configparser
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def pattern(old):
    """The text as it stands in the file: the list's reader takes the indent off a value's later lines."""
    return r"\n[ \t]*".join(re.escape(line) for line in old.split("\n"))


def sync(source, target, ignore):
    """Makes target hold what source holds. Only the files whose bytes differ are written, and they get
    the time of their writing: a copy keeping its source's older time would leave a kept build's object
    of the file as it was, a fault a stopped round left in it among them."""
    os.makedirs(target, exist_ok=True)
    names = set(os.listdir(source)) - set(ignore(source, os.listdir(source)))
    for gone in set(os.listdir(target)) - names:
        path = os.path.join(target, gone)
        shutil.rmtree(path) if os.path.isdir(path) and not os.path.islink(path) else os.remove(path)
    for name in names:
        s, t = os.path.join(source, name), os.path.join(target, name)
        if os.path.isdir(s) and not os.path.islink(s):
            if os.path.lexists(t) and not os.path.isdir(t):
                os.remove(t)
            sync(s, t, ignore)
        elif os.path.islink(s):
            if os.path.lexists(t):
                os.remove(t)
            os.symlink(os.readlink(s), t)
        else:
            with open(s, "rb") as f:
                data = f.read()
            if os.path.isdir(t) and not os.path.islink(t):
                shutil.rmtree(t)
            elif os.path.lexists(t) and not os.path.islink(t):
                with open(t, "rb") as f:
                    if f.read() == data:
                        continue
            if os.path.lexists(t):
                os.remove(t)
            with open(t, "wb") as f:
                f.write(data)
            shutil.copymode(s, t)


def run(cmd, cwd, timeout=None):
    """The command's exit status (-1 when it timed out) and what it printed."""
    try:
        done = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
        return done.returncode, done.stdout.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        return -1, ""


def failed_tests(output):
    """The failed cases a ctest run printed with --output-on-failure: QtTest's by function and row,
    GoogleTest's by name, else ctest's own names of the failed programs."""
    cases = re.findall(r"^FAIL!  : \w+::(\S.*?\)) ", output, re.M)
    cases += re.findall(r"^\[  FAILED  \] (\S+)(?: \(\d+ ms\))?$", output, re.M)
    cases = list(dict.fromkeys(cases))
    if not cases:
        cases = re.findall(r"^\s*\d+ - (\S+) \((?!Skipped)", output, re.M)  # ctest lists skips there too
    return cases[0] + (f" (+{len(cases) - 1})" if len(cases) > 1 else "") if cases else "?"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--faults", default=os.path.join(ROOT, "tools", "faults.ini"))
    parser.add_argument("--only", nargs="*", help="run only the faults of these names")
    parser.add_argument("--keep", help="scratch folder to use and keep (a warm build is reused)")
    args = parser.parse_args()

    faults = configparser.RawConfigParser()
    faults.optionxform = str
    with open(args.faults, encoding="utf-8") as f:
        faults.read_file(f)
    names = [n for n in faults.sections() if not args.only or n in args.only]

    scratch = args.keep or tempfile.mkdtemp(prefix="sutograf-faults-")
    src = os.path.join(scratch, "src")
    build = os.path.join(scratch, "build")
    # The tree as it is now, committed or not, without its build folders.
    def ignore(folder, names):
        top = os.path.abspath(folder) == ROOT
        return [n for n in names if n in (".git", ".cache") or top and (n.startswith("build") or n == "dist")]

    sync(ROOT, src, ignore)
    jobs = str(os.cpu_count() or 2)
    build_it = ["cmake", "--build", build, "-j", jobs]
    if run(["cmake", "-S", src, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
            "-DBUILD_TESTING=ON", "-DSUTOGRAF_BENCH=OFF"], scratch)[0] != 0 or run(build_it, scratch)[0] != 0:
        sys.exit("the unchanged tree does not build in " + scratch)
    fast = ["ctest", "--test-dir", build, "-j", jobs, "-E", "e2e_", "--timeout", "120", "--output-on-failure"]
    status, output = run(fast, scratch)
    if status != 0:
        sys.exit("the unchanged tree fails its fast tests, mend that first: " + failed_tests(output))

    results = []  # id, file, verdict, the test that caught it, name
    for number, name in enumerate(names, 1):
        file = faults.get(name, "file")
        path = os.path.join(src, file)
        old, new = faults.get(name, "old"), faults.get(name, "new")
        with open(path, encoding="utf-8") as f:
            text = f.read()
        found = list(re.finditer(pattern(old), text))
        verdict, by = "unusable: not in the file exactly once", ""
        if len(found) == 1:
            try:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text[:found[0].start()] + new + text[found[0].end():])
                if run(build_it, scratch)[0] != 0:
                    verdict = "unusable: does not build"
                else:
                    status, output = run(fast, scratch)
                    verdict, by = ("caught", failed_tests(output)) if status != 0 else ("MISSED", "")
            finally:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text)
        results.append((f"F{number:02}", file, verdict, by, name))
        print(f"F{number:02} {verdict:<8} {name}", flush=True)

    run(build_it, scratch)  # leave the scratch build as the tree is
    usable = [r for r in results if not r[2].startswith("unusable")]
    caught = sum(1 for r in usable if r[2] == "caught")
    print()
    for row in results:
        print("{:<4} {:<34} {:<8} {:<60} {}".format(*row))
    if usable:
        print(f"\n{caught} of {len(usable)} faults caught ({100 * caught // len(usable)} %)")
    if not args.keep:
        shutil.rmtree(scratch, ignore_errors=True)
    sys.exit(0 if caught == len(usable) else 1)


if __name__ == "__main__":
    main()
