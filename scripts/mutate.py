#!/usr/bin/env python3
"""Mutation testing for the C++ sources: which one-line changes do the tests not notice?

    scripts/mutate.py [options] FILE...        (or: make mutate FILES="...")

Each named source file is changed one line at a time by a fixed set of regexp mutations (relational,
arithmetic and logical operators, constants +-1, true/false, a negated condition, a deleted
statement, min/max, ...). For each change only what it touches is rebuilt and only the tests that
cover the file are run, with a time limit; a change that no test notices "survives" and is listed
with its file:line and the change.

The work happens in a copy of the source tree inside the build folder (build/mutate/w<N>/src, with
its own build below it), so the working tree is never changed and the release build is left alone.
The copy follows the working tree (uncommitted changes included) at every start; every mutated file
is put back after its mutant, on Ctrl-C and on SIGTERM too.

Which tests cover a file: every test program of the mirroring test folder (game/farm/src/X.cpp ->
tests/game/farm/), plus any test program elsewhere built from a source named after the file
(X.cpp or X_Facet.cpp -> XTest.cpp, X_FacetTest.cpp). --tests replaces that choice. Program-level
runs (tests/game/program) are left out unless named.

Changes shown to be unable to alter behaviour are listed, with the reason, in
scripts/mutate-equivalents.txt: they are not built or run again, and are counted apart.

Results are kept in <build dir>/results.jsonl, by the text of the changed line: a second run skips
the mutants already decided for lines that did not change (--fresh forgets them all, --recheck runs
the survivors again after tests were added). The survivors and the figures are printed at the end
and written to <build dir>/survivors.txt.
"""

import argparse
import concurrent.futures
import glob
import hashlib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


# ---------------------------------------------------------------------------------------------------
# Mutations
# ---------------------------------------------------------------------------------------------------

# (name, pattern, replacement) applied to each match in turn: one mutant per match. The patterns
# run over the code part of a line with string and character literals and comments blanked out,
# so nothing inside a literal is changed. Binary operators are matched with a blank on each side,
# the house layout, which keeps template brackets, pointers and references out of it.
OPERATORS = [
    ("ror", r" < ", " <= "),
    ("ror", r" <= ", " < "),
    ("ror", r" > ", " >= "),
    ("ror", r" >= ", " > "),
    ("ror", r" == ", " != "),
    ("ror", r" != ", " == "),
    ("aor", r" \+ ", " - "),
    ("aor", r" - ", " + "),
    ("aor", r" \* ", " / "),
    ("aor", r" / ", " * "),
    ("aor", r" % ", " * "),
    ("aor", r" \+= ", " -= "),
    ("aor", r" -= ", " += "),
    ("aor", r" \*= ", " /= "),
    ("aor", r" /= ", " *= "),
    ("aor", r"\+\+", "--"),
    ("aor", r"(?<!-)--(?!-)", "++"),
    ("sor", r" >> ", " << "),
    ("sor", r" << ", " >> "),
    ("lor", r" && ", " || "),
    ("lor", r" \|\| ", " && "),
    ("lor", r" & ", " | "),
    ("lor", r" \| ", " & "),
    ("not", r"!(?!=)", ""),
    ("neg", r"(?<=[(,=?:] )-(?=[A-Za-z_(])|(?<=[(])-(?=[A-Za-z_(])|(?<=return )-(?=[A-Za-z_(])", ""),
    ("bool", r"\btrue\b", "false"),
    ("bool", r"\bfalse\b", "true"),
    ("minmax", r"\bstd::min\b", "std::max"),
    ("minmax", r"\bstd::max\b", "std::min"),
    ("jump", r"\bbreak;", "continue;"),
    ("jump", r"\bcontinue;", "break;"),
]

NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+\.\d*(?:[eE][-+]?\d+)?|\.\d+(?:[eE][-+]?\d+)?|\d+)"
                    r"([uUlLfF]*)(?![\w.])")
CONDITION = re.compile(r"\b(if|while)\s*\(")
STATEMENT_START = re.compile(r"^\s*(?:[A-Za-z_][\w:]*(?:\.|->|\(|\s*=|\s*[-+*/|&]=|\+\+|--|\[|\s+[A-Za-z_(*])|\+\+|--|\*)")
DECLARATION = re.compile(r"^\s*(?!delete\b|throw\b|goto\b)(?:const\s+|static\s+|constexpr\s+|auto\b|unsigned\b|signed\b|int\b|float\b|"
                         r"double\b|bool\b|char\b|long\b|short\b|"
                         r"(?:std::)?[A-Za-z_]\w*(?:<[^;]*>)?[\s*&]+\w+\s*[=({;\[])")


def blank_literals(line, in_block):
    """The code of a line with literals and comments replaced by blanks (same length), and whether a
    block comment is still open at its end."""
    out = []
    i = 0
    n = len(line)
    while i < n:
        if in_block:
            end = line.find("*/", i)
            if end < 0:
                out.append(" " * (n - i))
                return "".join(out), True
            out.append(" " * (end + 2 - i))
            i = end + 2
            in_block = False
            continue
        c = line[i]
        if line.startswith("//", i):
            out.append(" " * (n - i))
            break
        if line.startswith("/*", i):
            in_block = True
            continue
        if c in "\"'":
            # A raw string or a digit separator are not expected in this tree.
            j = i + 1
            while j < n and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            j = min(j + 1, n)
            out.append(c + " " * (j - i - 2) + (line[j - 1] if j - i >= 2 else ""))
            i = j
            continue
        out.append(c)
        i += 1
    return "".join(out), in_block


def number_mutations(text):
    """Constants +-1 (a float literal keeps its form and suffix)."""
    for m in NUMBER.finditer(text):
        lit, suffix = m.group(1), m.group(2)
        if lit.lower().startswith("0x"):
            value = int(lit, 16)
            forms = [str(value + 1), str(value - 1) if value > 0 else None]
        elif "." in lit or ("e" in lit.lower() and not lit.lower().startswith("0x")):
            value = float(lit)
            forms = [repr(value + 1.0), repr(value - 1.0) if value >= 1.0 else "0.0"]
            if suffix and "f" in suffix.lower():
                forms = [f if f is None or "." in f or "e" in f else f + ".0" for f in forms]
        else:
            value = int(lit)
            forms = [str(value + 1), str(value - 1) if value > 0 else None]
        for form in forms:
            if form is None or form == lit:
                continue
            yield m.start(), m.end(), form + suffix


def matching_paren(code, open_at):
    depth = 0
    for i in range(open_at, len(code)):
        if code[i] == "(":
            depth += 1
        elif code[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def line_mutants(line, code, starts_statement):
    """(kind, mutated line) for one source line; `code` is the line with literals blanked, and
    `starts_statement` says whether the line begins a statement (the line before ended one)."""
    seen = set()

    def emit(kind, start, end, text):
        mutated = line[:start] + text + line[end:]
        if mutated != line and mutated not in seen:
            seen.add(mutated)
            return [(kind, mutated)]
        return []

    out = []
    for kind, pattern, repl in OPERATORS:
        for m in re.finditer(pattern, code):
            out += emit(kind, m.start(), m.end(), repl)
    for start, end, text in number_mutations(code):
        out += emit("const", start, end, text)
    for m in CONDITION.finditer(code):
        open_at = m.end() - 1
        close_at = matching_paren(code, open_at)
        # A condition with a comparison or && / || in it is turned round by those mutations.
        if close_at > open_at + 1 and not re.search(r" (?:[<>]=?|[=!]=|&&|\|\|) ", code[open_at:close_at]):
            inner = line[open_at + 1:close_at]
            out += emit("cond", open_at, close_at + 1, "(!(" + inner + "))")
    stripped = code.strip()
    # Deleting a whole statement: a line that is one complete statement and not a declaration or
    # a value return (those do not build or make the function fall off its end).
    if (starts_statement and stripped.endswith(";") and stripped.count("(") == stripped.count(")") and "{" not in stripped
            and "}" not in stripped and not stripped.startswith(("return ", "case ", "default", "using ", "typedef"))
            and (STATEMENT_START.match(code) or stripped in ("break;", "continue;", "return;"))
            and not DECLARATION.match(code)):
        indent = line[:len(line) - len(line.lstrip())]
        out += emit("delete", 0, len(line), indent + ";")
    return out


def file_mutants(path, text):
    mutants = []
    in_block = False
    lines = text.split("\n")
    in_macro = False
    last_end = ";"
    twins = {}
    for number, line in enumerate(lines, 1):
        code, in_block = blank_literals(line, in_block)
        stripped = code.strip()
        was_macro = in_macro
        in_macro = (stripped.startswith("#") or was_macro) and stripped.endswith("\\")
        if not stripped or stripped.startswith("#") or was_macro:
            continue
        starts_statement = last_end in ";{})" or last_end == ":" or last_end == "else"
        last_end = "else" if stripped.endswith("else") else stripped[-1]
        # Includes, namespaces, access labels and static_asserts build the same or not at all.
        if re.match(r"^(namespace|using|template|public:|private:|protected:|static_assert|extern)\b", stripped):
            continue
        twin = twins.get(line, 0)
        twins[line] = twin + 1
        for kind, mutated in line_mutants(line, code, starts_statement):
            mutants.append({"file": path, "line": number, "twin": twin, "kind": kind,
                            "before": line, "after": mutated})
    return mutants


# ---------------------------------------------------------------------------------------------------
# Which tests cover a file
# ---------------------------------------------------------------------------------------------------

COBBLE_TEST = re.compile(r"cobble_test\(\s*(\w+)(.*?)\)\s*$", re.S | re.M)


def test_programs(test_dir):
    """{program name: [source file names]} of the cobble_test calls of one test folder."""
    cml = os.path.join(ROOT, test_dir, "CMakeLists.txt")
    if not os.path.exists(cml):
        return {}
    text = open(cml, encoding="utf-8").read()
    text = re.sub(r"#[^\n]*", "", text)
    programs = {}
    for m in re.finditer(r"cobble_test\(\s*(\w+)\s+([^)]*)\)", text):
        words = m.group(2).split()
        sources = []
        take = False
        for w in words:
            if w in ("SOURCES",):
                take = True
            elif w in ("DEPS", "LABELS", "THREADED"):
                take = False
            elif take:
                sources.append(w)
        programs[m.group(1)] = (test_dir, sources)
    return programs


def all_test_programs():
    programs = {}
    for dirpath, dirnames, filenames in os.walk(os.path.join(ROOT, "tests")):
        if "CMakeLists.txt" in filenames:
            programs.update(test_programs(os.path.relpath(dirpath, ROOT)))
    return programs


def OwnTest(test_source, stem):
    """Whether a test source is named after a source stem: X.cpp or X_Facet.cpp -> XTest.cpp,
    X_FacetTest.cpp or XFacetTest.cpp."""
    t = os.path.splitext(os.path.basename(test_source))[0]
    owner = stem.split("_")[0]
    return t in (stem + "Test", stem.replace("_", "") + "Test", owner + "Test") or (
        t.startswith(owner + "_") and t.endswith("Test"))


INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def headers_of(test_dir, sources):
    """The base names of the headers a test program's sources include, directly or through the
    headers of the test tree they include."""
    seen, names = set(), set()
    todo = [os.path.join(ROOT, test_dir, s) for s in sources]
    while todo:
        path = todo.pop()
        if path in seen:
            continue
        seen.add(path)
        try:
            text = open(path, encoding="utf-8").read()
        except OSError:
            continue
        for inc in INCLUDE.findall(text):
            names.add(os.path.basename(inc))
            for base in (os.path.dirname(path), os.path.join(ROOT, "tests", "support", "include")):
                local = os.path.normpath(os.path.join(base, inc))
                if local.startswith(os.path.join(ROOT, "tests")) and os.path.isfile(local):
                    todo.append(local)
    return names


def covering_tests(source, programs):
    """Program names for a source path (relative to the root), the most fitting first: those built
    from a test named after the file, those of the mirroring test folder, and those that include
    the header of the file's class (X.h for X.cpp and X_Facet.cpp)."""
    parts = source.split("/")
    stem = os.path.splitext(parts[-1])[0]
    owner = stem.split("_")[0]
    named = set()
    for name, (test_dir, sources) in programs.items():
        for s in sources:
            s_stem = os.path.splitext(os.path.basename(s))[0]
            if OwnTest(s, stem):
                named.add(name)
    # The mirroring folder: drop a "src" level (engine/core/src/X.cpp -> tests/engine/core).
    mirror = [p for p in parts[:-1] if p != "src"]
    mirrored = set()
    while mirror:
        d = "tests/" + "/".join(mirror)
        found = [n for n, (td, _) in programs.items() if td == d]
        if found:
            mirrored.update(found)
            break
        mirror.pop()
    header = os.path.splitext(parts[-1])[0].split("_")[0] + ".h"
    including = {n for n, (td, srcs) in programs.items() if header in headers_of(td, srcs)}
    chosen = sorted(named) + sorted(n for n in mirrored | including if n not in named)
    # The program-level runs start the whole game: far too slow for each mutant.
    return [n for n in chosen if not programs[n][0].startswith("tests/game/program")]


def suites_of(test_dir, sources):
    """Test suite names defined in the given test sources (TEST, TEST_F, TEST_P, TYPED_TEST)."""
    suites = []
    for s in sources:
        path = os.path.join(ROOT, test_dir, s)
        try:
            text = open(path, encoding="utf-8").read()
        except OSError:
            continue
        for m in re.finditer(r"\b(?:TEST|TEST_F|TEST_P|TYPED_TEST)\(\s*(\w+)\s*,", text):
            if m.group(1) not in suites:
                suites.append(m.group(1))
        for m in re.finditer(r"INSTANTIATE_TEST_SUITE_P\(\s*(\w+)\s*,\s*(\w+)", text):
            name = m.group(1) + "/" + m.group(2)
            if name not in suites:
                suites.append(name)
    return suites


# ---------------------------------------------------------------------------------------------------
# The mirror tree and its build
# ---------------------------------------------------------------------------------------------------

def tree_files():
    out = subprocess.run(["git", "-C", ROOT, "ls-files", "-z", "-c", "-o", "--exclude-standard"],
                         check=True, stdout=subprocess.PIPE).stdout.decode()
    return [f for f in out.split("\0") if f and os.path.isfile(os.path.join(ROOT, f))]


def sync_mirror(mirror):
    """Makes the mirror's sources equal to the working tree's, touching only files that differ (so
    the build redoes only what changed)."""
    os.makedirs(mirror, exist_ok=True)
    wanted = set(tree_files())
    for f in wanted:
        src = os.path.join(ROOT, f)
        dst = os.path.join(mirror, f)
        try:
            with open(src, "rb") as a, open(dst, "rb") as b:
                if a.read() == b.read():
                    continue
        except OSError:
            pass
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copy2(src, dst)
        os.utime(dst, None)
    for dirpath, dirnames, filenames in os.walk(mirror):
        rel = os.path.relpath(dirpath, mirror)
        if rel == "build" or rel.startswith("build" + os.sep):
            dirnames[:] = []
            continue
        for name in filenames:
            f = os.path.normpath(os.path.join(rel, name))
            if f not in wanted:
                os.remove(os.path.join(dirpath, name))


class Worker:
    """One mirror of the tree with its own build."""

    def __init__(self, base, index, args):
        self.src = os.path.join(base, "w%d" % index, "src")
        self.build = os.path.join(self.src, "build")
        self.args = args
        self.base = base
        self.env = dict(os.environ)
        self.env["COBBLE_SAVE_DIR"] = os.path.join(self.build, "test-saves")
        self.env.pop("DISPLAY", None)

    def configure(self):
        sync_mirror(self.src)
        if os.path.exists(os.path.join(self.build, "CMakeCache.txt")):
            return
        cmd = ["cmake", "-S", self.src, "-B", self.build, "-G", "Ninja",
               "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
               "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=" + self.args.cxx_flags,
               "-DCMAKE_C_FLAGS_RELWITHDEBINFO=" + self.args.cxx_flags]
        if shutil.which("ld.lld"):
            for kind in ("EXE", "SHARED", "MODULE"):
                cmd.append("-DCMAKE_%s_LINKER_FLAGS=-fuse-ld=lld" % kind)
        if shutil.which("ccache"):
            cmd += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
        run_logged(cmd, self.env, os.path.join(self.base, "configure.log"))

    def build_env(self, cached):
        env = dict(self.env)
        # Paths below the mutate folder are kept relative, so every mirror shares its cache
        # entries; a mutant's own object is never worth caching.
        env["CCACHE_BASEDIR"] = self.base
        if not cached:
            env["CCACHE_DISABLE"] = "1"
        return env

    def build_targets(self, targets, cached, timeout, jobs=None):
        cmd = ["cmake", "--build", self.build, "-j", str(jobs or self.args.jobs), "--target"] + targets
        return run_quiet(cmd, self.build_env(cached), timeout)

    def program_path(self, name, test_dir):
        return os.path.join(self.build, test_dir, name)


# Every child runs in its own process group, so a time limit or Ctrl-C ends all of it.
_children = set()
_children_lock = threading.Lock()


def _spawn(cmd, env, cwd=None, stdout=subprocess.DEVNULL):
    p = subprocess.Popen(cmd, env=env, cwd=cwd, stdout=stdout, stderr=subprocess.STDOUT,
                         start_new_session=True)
    with _children_lock:
        _children.add(p)
    return p


def _reap(p):
    with _children_lock:
        _children.discard(p)


def _kill(p):
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass


def run_quiet(cmd, env, timeout, cwd=None):
    """'ok', 'fail' or 'timeout'."""
    p = _spawn(cmd, env, cwd)
    try:
        rc = p.wait(timeout=timeout)
        return "ok" if rc == 0 else "fail"
    except subprocess.TimeoutExpired:
        _kill(p)
        p.wait()
        return "timeout"
    finally:
        _kill(p)
        _reap(p)


def run_logged(cmd, env, log):
    with open(log, "ab") as out:
        p = _spawn(cmd, env, stdout=out)
        try:
            rc = p.wait()
        finally:
            _reap(p)
    if rc != 0:
        sys.exit("mutate: `%s` failed, see %s" % (" ".join(cmd), log))


# ---------------------------------------------------------------------------------------------------
# Running
# ---------------------------------------------------------------------------------------------------

class Interrupted(Exception):
    pass


_stop = threading.Event()


def _on_signal(signum, frame):
    _stop.set()
    with _children_lock:
        for p in list(_children):
            _kill(p)
    raise Interrupted()


def write_file(path, text):
    tmp = path + ".mutate-tmp"
    with open(tmp, "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(tmp, path)
    now = time.time_ns()
    os.utime(path, ns=(now, now))


def mutant_key(m):
    """A mutant's identity: its file, the line's text with which of the lines of that same text
    it is, and the change. Lines elsewhere in the file may change (a mend, a new function) without
    making the kept results of this line stale."""
    return hashlib.sha1(("%s\0%d\0%s\0%s" % (m["file"], m["twin"], m["before"], m["after"])).encode()).hexdigest()


EQUIVALENTS = os.path.join(ROOT, "scripts", "mutate-equivalents.txt")


def read_equivalents(path):
    """The changes a developer has shown cannot alter behaviour, each with its reason: lines of
    "file<TAB>n<TAB>line<TAB>changed line<TAB>why", where n says which line of that same text in the
    file it is (1 for the first) and the texts are without their leading and trailing blanks; '#'
    starts a comment line. Such a change is not built or run again; it is reported as listed."""
    listed = {}
    if not os.path.exists(path):
        return listed
    for number, raw in enumerate(open(path, encoding="utf-8"), 1):
        line = raw.rstrip("\n")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) != 5 or not all(f.strip() for f in fields) or not fields[1].strip().isdigit() \
                or int(fields[1]) < 1:
            sys.exit("mutate: %s:%d: expected file, n (1 for the first line of its text), line, changed line and "
                     "why, separated by TABs" % (path, number))
        listed[(fields[0].strip(), int(fields[1]) - 1, fields[2].strip(), fields[3].strip())] = fields[4].strip()
    return listed


def run_programs(worker, plan, timeout):
    """Runs the plan (list of (program, test_dir, filter)) until one fails: 'killed', 'timeout' or
    'survived'."""
    deadline = time.monotonic() + timeout
    for name, test_dir, gfilter in plan:
        left = deadline - time.monotonic()
        if left <= 0:
            return "timeout"
        path = worker.program_path(name, test_dir)
        cmd = [path, "--gtest_fail_fast", "--gtest_brief=1"]
        if gfilter:
            cmd.append("--gtest_filter=" + gfilter)
        state = run_quiet(cmd, worker.env, left, cwd=os.path.dirname(path))
        if state == "fail":
            return "killed"
        if state == "timeout":
            return "timeout"
    return "survived"


def build_and_run(worker, plan, timeout, build_timeout):
    """Builds each program of the plan just before it runs, so a mutant the first program kills
    costs one link, not one per covering program: 'killed', 'timeout', 'survived', 'unbuilt' or
    'build-timeout'. Programs left unbuilt keep their old link; the next mutant's build brings them
    up to date, as ninja sees the changed object."""
    left = timeout  # test time only: the builds have a limit of their own
    built = set()
    for step in plan:
        if step[0] not in built:
            result = worker.build_targets([step[0]], False, build_timeout)
            if result != "ok":
                return "unbuilt" if result == "fail" else "build-timeout"
            built.add(step[0])
        started = time.monotonic()
        state = run_programs(worker, [step], left)
        left -= time.monotonic() - started
        if state != "survived":
            return state
    return "survived"


def selected_test_count(worker, name, test_dir, gfilter):
    """How many tests of the program the filter selects (a filter that selects none would make every
    mutant 'survive' without a test having run)."""
    path = worker.program_path(name, test_dir)
    listed = subprocess.run([path, "--gtest_list_tests", "--gtest_filter=" + gfilter], env=worker.env,
                            cwd=os.path.dirname(path), capture_output=True, text=True, timeout=300)
    return sum(1 for line in listed.stdout.splitlines() if line.startswith("  "))


def make_plan(programs, names, source, seconds):
    """The test runs for a file: the suites of the tests named after it first (they fail soonest),
    then the rest of their programs and the other programs, the quickest first."""
    stem = os.path.splitext(os.path.basename(source))[0]
    first, rest = [], []
    for name in names:
        test_dir, sources = programs[name]
        suites = suites_of(test_dir, [s for s in sources if OwnTest(s, stem)])
        if suites:
            positive = ":".join(s + ".*" for s in suites)
            first.append((name, test_dir, positive))
            rest.append((name, test_dir, "-" + positive))
        else:
            rest.append((name, test_dir, ""))
    rest.sort(key=lambda step: seconds.get(step[0], 0.0))
    return first + rest


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                 formatter_class=argparse.RawDescriptionHelpFormatter,
                                 epilog="\n\n".join(__doc__.split("\n\n")[1:]))
    ap.add_argument("files", nargs="*", help="source files (globs), relative to the tree's root")
    ap.add_argument("--tests", action="append", default=[],
                    help="PROGRAM[:GTEST_FILTER] to run instead of the covering programs (repeatable)")
    ap.add_argument("--build-dir", default=os.path.join(ROOT, "build", "mutate"))
    ap.add_argument("--workers", type=int, default=1, help="mirrors working at once (default 1)")
    ap.add_argument("--jobs", type=int, default=2, help="build jobs per worker (default 2)")
    ap.add_argument("--timeout", type=float, default=0,
                    help="seconds of test time per mutant (default: 4 x the unchanged run, at least 20)")
    ap.add_argument("--build-timeout", type=float, default=900, help="seconds to build one mutant")
    ap.add_argument("--lines", help="only lines A-B of each file")
    ap.add_argument("--kinds", help="only these kinds of change, comma separated "
                                    "(ror,aor,sor,lor,not,neg,bool,minmax,jump,const,cond,delete)")
    ap.add_argument("--list", action="store_true", help="list the mutants and stop")
    ap.add_argument("--fresh", action="store_true", help="forget the results of earlier runs")
    ap.add_argument("--recheck", action="store_true",
                    help="run the survivors of earlier runs again (after adding tests); the rest stay decided")
    ap.add_argument("--run-listed", action="store_true",
                    help="also run the changes listed in scripts/mutate-equivalents.txt")
    ap.add_argument("--cxx-flags", default="-O1 -DNDEBUG",
                    help="compile flags of the mutate build (default: -O1 -DNDEBUG)")
    args = ap.parse_args()

    files = []
    for pattern in args.files:
        for f in pattern.split():
            hits = sorted(glob.glob(os.path.join(ROOT, f))) or sorted(glob.glob(f))
            if not hits:
                sys.exit("mutate: no file matches %s" % f)
            files += [os.path.relpath(os.path.abspath(h), ROOT) for h in hits]
    if not files:
        ap.error("name the files to mutate (FILES=... with make)")
    files = list(dict.fromkeys(files))

    mutants = []
    for f in files:
        text = open(os.path.join(ROOT, f), encoding="utf-8").read()
        ms = file_mutants(f, text)
        if args.lines:
            a, b = (int(x) for x in args.lines.split("-"))
            ms = [m for m in ms if a <= m["line"] <= b]
        if args.kinds:
            kinds = set(args.kinds.split(","))
            ms = [m for m in ms if m["kind"] in kinds]
        mutants += ms
    if args.list:
        for m in mutants:
            print("%s:%d: [%s] %s  ->  %s" % (m["file"], m["line"], m["kind"], m["before"].strip(), m["after"].strip()))
        print("%d mutants" % len(mutants))
        return 0

    programs = all_test_programs()
    chosen = {}
    for f in files:
        if args.tests:
            names = []
            for t in args.tests:
                name = t.partition(":")[0]
                if name not in programs:
                    sys.exit("mutate: no test program %s" % name)
                names.append(name)
        else:
            names = covering_tests(f, programs)
            if not names:
                sys.exit("mutate: no tests found for %s; name them with --tests" % f)
        chosen[f] = names

    os.makedirs(args.build_dir, exist_ok=True)
    base = os.path.abspath(args.build_dir)
    results_path = os.path.join(base, "results.jsonl")
    done = {}
    if args.fresh and os.path.exists(results_path):
        os.remove(results_path)
    if os.path.exists(results_path):
        for line in open(results_path, encoding="utf-8"):
            try:
                r = json.loads(line)
                done[r["key"]] = r
            except (ValueError, KeyError):
                pass

    signal.signal(signal.SIGINT, _on_signal)
    signal.signal(signal.SIGTERM, _on_signal)
    signal.signal(signal.SIGHUP, _on_signal)

    workers = [Worker(base, i + 1, args) for i in range(max(1, args.workers))]
    targets = sorted({name for names in chosen.values() for name in names})
    results = []
    originals = {}
    plans = {}
    timeouts = {}
    try:
        print("mutate: %d mutants in %d files; tests: %s" % (len(mutants), len(files), ", ".join(targets)),
              flush=True)
        # The mirrors are brought up to date one after the other, so each may use every worker's
        # share of the jobs (the first build of a new mirror is a whole build).
        for w in workers:
            print("mutate: building %s" % w.src, flush=True)
            w.configure()
            if w.build_targets(targets, True, None, args.jobs * len(workers)) != "ok":
                sys.exit("mutate: the unchanged tree does not build in %s (run `cmake --build %s` to see why)"
                         % (w.build, w.build))
        # Every program once unchanged: it must pass, and its time orders the runs and sets the limit.
        seconds = {}
        for name in targets:
            started = time.monotonic()
            if run_programs(workers[0], [(name, programs[name][0], "")], 3600) != "survived":
                sys.exit("mutate: %s fails without any change; mend it first" % name)
            seconds[name] = time.monotonic() - started
            print("mutate: %s takes %.1f s" % (name, seconds[name]), flush=True)
        for t in args.tests or []:
            name, _, gfilter = t.partition(":")
            if gfilter and selected_test_count(workers[0], name, programs[name][0], gfilter) == 0:
                sys.exit("mutate: --tests %s selects no test of %s (gtest_filter patterns are matched against "
                         "the full names that --gtest_list_tests prints)" % (t, name))
        for f in files:
            originals[f] = open(os.path.join(ROOT, f), encoding="utf-8").read()
            if args.tests:
                plans[f] = [(t.partition(":")[0], programs[t.partition(":")[0]][0], t.partition(":")[2])
                            for t in args.tests]
            else:
                plans[f] = make_plan(programs, chosen[f], f, seconds)
            spent = sum(seconds[n] for n in chosen[f])
            timeouts[f] = args.timeout or max(20.0, 4 * spent)

        todo = []
        equivalents = {} if args.run_listed else read_equivalents(EQUIVALENTS)
        for m in mutants:
            key = mutant_key(m)
            why = equivalents.get((m["file"], m["twin"], m["before"].strip(), m["after"].strip()))
            if why is not None:
                results.append(dict(m, key=key, state="listed", why=why))
            elif key in done and not (args.recheck and done[key]["state"] == "survived"):
                results.append(dict(done[key], line=m["line"]))
            else:
                todo.append((key, m))
        listed = sum(1 for r in results if r["state"] == "listed")
        if listed:
            print("mutate: %d mutants listed as unable to alter behaviour in %s (--run-listed runs them)"
                  % (listed, os.path.relpath(EQUIVALENTS, ROOT)), flush=True)
        if len(todo) + listed < len(mutants):
            print("mutate: %d mutants decided by an earlier run" % (len(mutants) - len(todo) - listed), flush=True)

        lock = threading.Lock()
        free = list(workers)
        counter = [0]
        out = open(results_path, "a", encoding="utf-8")

        def one(item):
            key, m = item
            if _stop.is_set():
                return
            with lock:
                w = free.pop()
            path = os.path.join(w.src, m["file"])
            try:
                lines = originals[m["file"]].split("\n")
                lines[m["line"] - 1] = m["after"]
                write_file(path, "\n".join(lines))
                started = time.monotonic()
                state = build_and_run(w, plans[m["file"]], timeouts[m["file"]], args.build_timeout)
                spent = time.monotonic() - started
            finally:
                write_file(path, originals[m["file"]])
                with lock:
                    free.append(w)
            if _stop.is_set():
                return
            r = dict(m, key=key, state=state, seconds=round(spent, 1))
            with lock:
                results.append(r)
                out.write(json.dumps(r) + "\n")
                out.flush()
                counter[0] += 1
                if state == "survived" or counter[0] % 25 == 0:
                    print("mutate: [%d/%d] %s:%d %s %s" % (counter[0], len(todo), m["file"], m["line"], m["kind"],
                                                         state), flush=True)

        with concurrent.futures.ThreadPoolExecutor(max_workers=len(workers)) as pool:
            for fut in [pool.submit(one, item) for item in todo]:
                fut.result()
    except Interrupted:
        print("\nmutate: stopped; the mirrors are restored, decided mutants are kept", flush=True)
    finally:
        for w in workers:
            for f, text in originals.items():
                p = os.path.join(w.src, f)
                if os.path.exists(p) and open(p, encoding="utf-8").read() != text:
                    write_file(p, text)
    return report(results, base)


def report(results, base):
    lines = []
    by_file = {}
    for r in results:
        by_file.setdefault(r["file"], []).append(r)
    total = {"mutants": 0, "killed": 0, "timeout": 0, "survived": 0, "unbuilt": 0, "listed": 0}
    survivors = []
    for f in sorted(by_file):
        rs = by_file[f]
        counts = {k: 0 for k in total}
        for r in rs:
            state = r["state"]
            if state in ("unbuilt", "build-timeout"):
                counts["unbuilt"] += 1
                continue
            if state == "listed":
                counts["listed"] += 1
                continue
            counts["mutants"] += 1
            counts[state] += 1
            if state == "survived":
                survivors.append(r)
        for k in total:
            total[k] += counts[k]
        lines.append("%-50s %5d built, %5d killed, %4d timed out, %4d survived (%d did not build, %d listed)"
                     % (f, counts["mutants"], counts["killed"], counts["timeout"], counts["survived"],
                        counts["unbuilt"], counts["listed"]))
    caught = total["killed"] + total["timeout"]
    if total["mutants"]:
        lines.append("total: %d mutants built, %d killed (%d by the time limit), %d survived: %.1f %% caught; "
                     "%d did not build; %d listed as unable to alter behaviour"
                     % (total["mutants"], caught, total["timeout"], total["survived"],
                        100.0 * caught / total["mutants"], total["unbuilt"], total["listed"]))
    lines.append("")
    lines.append("survivors:" if survivors else "no survivors")
    for r in sorted(survivors, key=lambda r: (r["file"], r["line"])):
        lines.append("%s:%d: [%s] %s  ->  %s" % (r["file"], r["line"], r["kind"], r["before"].strip(),
                                                r["after"].strip()))
    text = "\n".join(lines) + "\n"
    print(text, end="")
    with open(os.path.join(base, "survivors.txt"), "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
