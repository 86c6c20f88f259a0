#!/usr/bin/env python3
"""A round of fault injection: which single faults does no fast test catch?

Copies the working tree to a scratch folder, builds it once, then for each fault of the list (one text
replaced in one file) rebuilds, runs the fast tests (everything but the real-display end-to-end test)
and puts the file back. Prints each fault as caught, MISSED, or unusable (its text is no longer in the
file, or it does not build: both mean the list needs mending, not the tests), and the share caught.

    tools/fault_round.py [--faults tools/faults.ini] [--only NAME ...] [--keep DIR]

Not a CI step: a tool for whoever changes the code or the tests. A fault is caught when a test fails or
times out. The list's format (INI, no interpolation):

    [a name that says what the user would see]
    file = core/rota.cpp
    old = text that occurs exactly once in the file
    new = the faulty text
"""
import argparse
import configparser
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def run(cmd, cwd, timeout=None):
    try:
        return subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


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

    if os.path.isdir(src):
        shutil.rmtree(src)
    shutil.copytree(ROOT, src, ignore=ignore, symlinks=True)
    jobs = str(os.cpu_count() or 2)
    if run(["cmake", "-S", src, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
            "-DBUILD_TESTING=ON", "-DSUTOGRAF_BENCH=OFF"], scratch) != 0 or \
            run(["cmake", "--build", build, "-j", jobs], scratch) != 0:
        sys.exit("the unchanged tree does not build in " + scratch)
    fast = ["ctest", "--test-dir", build, "-j", jobs, "-E", "e2e_", "--timeout", "120"]
    if run(fast, scratch) != 0:
        sys.exit("the unchanged tree fails its fast tests: mend that first")

    results = []
    for name in names:
        path = os.path.join(src, faults.get(name, "file"))
        old, new = faults.get(name, "old"), faults.get(name, "new")
        with open(path, encoding="utf-8") as f:
            text = f.read()
        if text.count(old) != 1:
            results.append((name, "unusable: its text is not in the file exactly once"))
            continue
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(text.replace(old, new))
            if run(["cmake", "--build", build, "-j", jobs], scratch) != 0:
                results.append((name, "unusable: does not build"))
            else:
                results.append((name, "caught" if run(fast, scratch) != 0 else "MISSED"))
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        print(f"{results[-1][1]:<10} {name}", flush=True)

    run(["cmake", "--build", build, "-j", jobs], scratch)  # leave the scratch build as the tree is
    usable = [r for r in results if not r[1].startswith("unusable")]
    caught = sum(1 for r in usable if r[1] == "caught")
    print()
    for name, verdict in results:
        print(f"{verdict:<52} {name}")
    if usable:
        print(f"\n{caught} of {len(usable)} faults caught ({100 * caught // len(usable)} %)")
    if not args.keep:
        shutil.rmtree(scratch, ignore_errors=True)
    sys.exit(0 if caught == len(usable) else 1)


if __name__ == "__main__":
    main()
