#!/usr/bin/env python3
"""Plant small faults in the sources one at a time and see whether the tests notice.

    tools/plant_faults.py SOURCE_DIR BUILD_DIR LOG [--tests REGEX] [--labels-out REGEX] [fault ids...]

Each fault is a table row in tools/faults/*.py: (id, file, exact text that occurs once,
replacement, what it breaks). For each one the file is changed, the build dir rebuilt, ctest run
(a failing test is run once more, so a test that only fails under load does not count), the file
put back. The log gets one line per fault: id, CAUGHT / MISSED / NOBUILD / BADPLANT, place, the
failing tests. The sources are restored even when the run is interrupted.
"""
import argparse, pathlib, re, runpy, subprocess, time

def load_faults():
    rows = []
    for f in sorted((pathlib.Path(__file__).parent / "faults").glob("*.py")):
        rows += runpy.run_path(str(f))["FAULTS"]
    return rows

def run(cmd, **kw):
    return subprocess.run(cmd, capture_output=True, text=True, **kw)

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("source"); ap.add_argument("build"); ap.add_argument("log")
    ap.add_argument("--tests", default="", help="ctest -R regex (default: every test)")
    ap.add_argument("--labels-out", default="",
                    help="ctest -LE regex: leave out the tests of these executables (e.g. shapes)")
    ap.add_argument("ids", nargs="*")
    a = ap.parse_intermixed_args()
    src = pathlib.Path(a.source)
    ctest = ["ctest", "-j2", "--timeout", "300"] + (["-R", a.tests] if a.tests else []) \
        + (["-LE", a.labels_out] if a.labels_out else [])
    with open(a.log, "a") as log:
        for fid, f, old, new, what in load_faults():
            if a.ids and fid not in a.ids:
                continue
            p = src / f
            text = p.read_text()
            n = text.count(old)
            if n != 1:
                log.write(f"{fid}\tBADPLANT({n})\t{f}\t{what}\n"); log.flush(); continue
            line = text[:text.index(old)].count("\n") + 1
            t0 = time.time()
            try:
                p.write_text(text.replace(old, new))
                b = run(["cmake", "--build", a.build, "-j2"])
                if b.returncode != 0:
                    res, detail = "NOBUILD", b.stdout[-300:].replace("\n", " ")
                else:
                    c = run(ctest, cwd=a.build)
                    if c.returncode != 0:
                        c = run(["ctest", "--rerun-failed", "--timeout", "300"], cwd=a.build)
                    failed = re.findall(r"\d+ - (\S+) \(", c.stdout)
                    res = "CAUGHT" if c.returncode != 0 else "MISSED"
                    detail = " ".join(failed[:6]) + (f" (+{len(failed) - 6})" if len(failed) > 6 else "")
            finally:
                p.write_text(text)
            log.write(f"{fid}\t{res}\t{f}:{line}\t{what}\t{int(time.time() - t0)}s\t{detail}\n")
            log.flush()
        run(["cmake", "--build", a.build, "-j2"])

if __name__ == "__main__":
    main()
