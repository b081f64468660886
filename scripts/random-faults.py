#!/usr/bin/env python3
"""Plants faults drawn at random, from a seed, and scores the fast tests against them.

  scripts/random-faults.py -r SEED [-c COUNT] [-p PATH-REGEX] [-o REPORT] [-e EQUIVALENTS] [-n] [-T TABLE] [-- plant-faults options]

  -r  the seed: the same seed on the same tree draws the same faults
  -c  how many faults to draw (default 60)
  -p  only the files whose path under src/ matches this regular expression (default: every .cpp of
      src/ but app/main.cpp), e.g. -p 'app/|platform/rules/screenscale'
  -o  the report (default <copy>/random-SEED.txt): each fault with file:line, the line before and
      after, caught / MISSED / equivalent / no-build and by which test, then the score per folder
  -e  the equivalent faults (default scripts/faults-equivalent.txt): file @@ line before @@ line after
      @@ why no test could ever see it. A drawn fault found there is not run and counts neither way.
  -n  only print the faults drawn; no build
  -T  no run: the report again from the table of an earlier run of the same draw (after naming
      an equivalent, say)
  Options after -- go to scripts/plant-faults.sh (-x, -t, -u, -a); PLANT_DIR and NICE as there.

The slips: a number +-1; < <= > >= == != turned into a neighbour; && || swapped; + - and * /
swapped (compound assignments too); true/false swapped; a statement dropped. Comments, strings,
preprocessor lines, template brackets and a switch's last break are left alone. Each fault names
its whole line, which plant-faults.sh replaces at that line only. A fault that does not build is
reported as "no-build" and counts neither way (it is not redrawn: redrawing would make the sample depend on the compiler).
"""
import argparse
import os
import random
import re
import subprocess
import sys
from collections import OrderedDict

TOP = subprocess.run(["git", "-C", os.path.dirname(os.path.abspath(__file__)), "rev-parse", "--show-toplevel"],
                     check=True, capture_output=True, text=True).stdout.strip()
SRC = os.path.join(TOP, "src")

# Operators with a blank on each side: that tells a comparison from a template bracket, a binary
# operator from a pointer or a sign, and && from an rvalue reference.
SWAPS = {
    "<": ["<=", ">="], "<=": ["<", ">"], ">": [">=", "<="], ">=": [">", "<"],
    "==": ["!="], "!=": ["=="], "&&": ["||"], "||": ["&&"],
    "+": ["-"], "-": ["+"], "*": ["/"], "/": ["*"],
    "+=": ["-="], "-=": ["+="], "*=": ["/="], "/=": ["*="],
}
OPERATOR = re.compile(r"(?<= )(<=|>=|==|!=|&&|\|\||\+=|-=|\*=|/=|<|>|\+|-|\*|/)(?= )")
NUMBER = re.compile(r"(?<![\w.])(\d+\.\d*|\.\d+|\d+)([fFuUlL]*)(?![\w.])")
BOOL = re.compile(r"\b(true|false)\b")
# A statement that a slip could leave out: an assignment, an increment or a call on one line, not a
# declaration (a type before the name), a return or a block.
STATEMENT = re.compile(r"^[\w.\[\]>:-]+(\(.*\)|\s*([-+*/|&]?=|\+\+|--).*)?;$")


def masked(lines):
    """Each line with comments, string and character literals blanked, preprocessor lines emptied."""
    out, in_comment = [], False
    for line in lines:
        chars, i, n = list(line), 0, len(line)
        if not in_comment and line.lstrip().startswith("#"):
            out.append(" " * n)
            continue
        while i < n:
            if in_comment:
                end = line.find("*/", i)
                stop = n if end < 0 else end + 2
                chars[i:stop] = " " * (stop - i)
                in_comment, i = end < 0, stop
            elif line.startswith("//", i):
                chars[i:] = " " * (n - i)
                break
            elif line.startswith("/*", i):
                in_comment = True
            elif line[i] in "\"'":
                quote, j = line[i], i + 1
                while j < n and line[j] != quote:
                    j += 2 if line[j] == "\\" else 1
                chars[i + 1:min(j, n)] = " " * (min(j, n) - i - 1)
                i = j + 1
            else:
                i += 1
        out.append("".join(chars))
    return out


def sites(path):
    """(line number, start, end, kind, choices) for every slip the line allows."""
    with open(path, encoding="latin-1") as f:
        lines = f.read().split("\n")
    found = []
    codes = masked(lines)
    for number, (line, code) in enumerate(zip(lines, codes), 1):
        for m in OPERATOR.finditer(code):
            found.append((number, m.start(), m.end(), "operator", SWAPS[m.group(1)]))
        for m in NUMBER.finditer(code):
            text, suffix = m.group(1), m.group(2)
            if "." in text:
                value = float(text)
                choices = [repr(value + 1) + suffix, repr(value - 1) + suffix]
            else:
                value = int(text)
                choices = [str(value + 1) + suffix] + ([str(value - 1) + suffix] if value > 0 else [])
            found.append((number, m.start(), m.end(), "number", choices))
        for m in BOOL.finditer(code):
            found.append((number, m.start(), m.end(), "bool", ["false" if m.group(1) == "true" else "true"]))
        stripped = code.strip()
        previous = masked(lines[number - 2:number - 1])[0].rstrip() if number > 1 else ""
        following = next((c.strip() for c in codes[number:] if c.strip()), "")
        # The last break of a switch leaves it either way: not a slip at all.
        if stripped == "break;" and following.startswith("}"):
            continue
        if (STATEMENT.match(stripped) and not stripped.startswith(("return", "delete"))
                and stripped.count("(") == stripped.count(")")
                and (not previous or previous.endswith((";", "{", "}")))):
            found.append((number, 0, len(line), "drop", [""]))
    return lines, found


def draw(seed, count, pattern):
    names = []
    for root, _, files in os.walk(SRC):
        for f in files:
            rel = os.path.relpath(os.path.join(root, f), SRC)
            if f.endswith(".cpp") and rel != "app/main.cpp" and re.search(pattern, rel):
                names.append(rel)
    everything = []
    for rel in sorted(names):
        lines, found = sites(os.path.join(SRC, rel))
        everything += [(rel, lines, site) for site in found]
    # One shuffle of every site, then each site's own slip: a smaller count draws a prefix of a
    # larger one, so a run of 30 is the first half of a run of 60 with the same seed.
    order = list(range(len(everything)))
    random.Random(seed).shuffle(order)
    faults = []
    for index, pick in enumerate(order[:count], 1):
        rel, lines, (number, start, end, kind, choices) = everything[pick]
        before = lines[number - 1]
        slip = random.Random(f"{seed}:{rel}:{number}:{start}").choice(choices)
        after = "" if kind == "drop" else before[:start] + slip + before[end:]
        faults.append(OrderedDict(name=f"r{seed}-{index:02d}", file=rel, line=number, kind=kind,
                                  before=before.strip(), after=after.strip()))
    return faults, len(everything)


def equivalents(path):
    known = {}
    if os.path.isfile(path):
        for number, line in enumerate(open(path, encoding="latin-1"), 1):
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            parts = [p.strip() for p in line.rstrip("\n").split("@@")]
            if len(parts) != 4 or not parts[3]:
                sys.exit(f"{path}:{number}: expected: file @@ line before @@ line after @@ why")
            known[tuple(parts[:3])] = parts[3]
    return known


def main():
    argv = sys.argv[1:]
    rest = []
    if "--" in argv:
        rest, argv = argv[argv.index("--") + 1:], argv[:argv.index("--")]
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("-r", type=int)
    parser.add_argument("-c", type=int, default=60)
    parser.add_argument("-p", default=".")
    parser.add_argument("-o")
    parser.add_argument("-e", default=os.path.join(TOP, "scripts", "faults-equivalent.txt"))
    parser.add_argument("-n", action="store_true")
    parser.add_argument("-T")
    parser.add_argument("-h", action="store_true")
    args = parser.parse_args(argv)
    if args.h or args.r is None:
        print(__doc__.strip().split("\n\n", 1)[1] if args.h else "usage: random-faults.py -r SEED [-c COUNT] [-p REGEX] [-o REPORT] [-n] [-- ...]")
        sys.exit(0 if args.h else 2)

    faults, total = draw(args.r, args.c, args.p)
    known = equivalents(args.e)
    for f in faults:
        why = known.get((f["file"], f["before"], f["after"]))
        f["result"], f["by"] = ("equivalent", why) if why else ("", "")
    copy = os.environ.get("PLANT_DIR", os.path.join(TOP, "build-plant"))
    os.makedirs(copy, exist_ok=True)
    report = os.path.abspath(args.o or os.path.join(copy, f"random-{args.r}.txt"))
    if args.n:
        for f in faults:
            print(f"{f['name']}  src/{f['file']}:{f['line']}  {f['before']}  ->  {f['after'] or '(dropped)'}"
                  + (f"  [equivalent: {f['result'] and f['by']}]" if f["result"] else ""))
        print(f"# {len(faults)} of {total} sites")
        return

    listing = os.path.join(copy, f"random-{args.r}.faults")
    with open(listing, "w", encoding="latin-1") as out:
        for f in faults:
            if not f["result"]:
                out.write(f"{f['name']} @@ {f['file']}:{f['line']} @@ {f['before']} @@ {f['after']}\n")
    table, status = os.path.abspath(args.T) if args.T else os.path.join(copy, f"random-{args.r}.table"), 0
    if not args.T:
        status = subprocess.run([os.path.join(TOP, "scripts", "plant-faults.sh"), "-f", listing, "-o", table] + rest).returncode
    results, run = {}, []
    for line in open(table, encoding="latin-1"):
        if line.startswith("#"):
            run += [line] if not line.startswith("# result") else []
            continue
        parts = line.split(None, 3)
        if len(parts) >= 2:
            results[parts[1]] = (parts[0], parts[3].strip() if len(parts) > 3 else "")
    for f in faults:
        if not f["result"]:
            f["result"], f["by"] = results.get(f["name"], ("notrun", ""))
            f["result"] = {"nobuild": "no-build"}.get(f["result"], f["result"])

    folders = OrderedDict()
    for f in sorted(faults, key=lambda f: f["file"]):
        score = folders.setdefault(f["file"].split("/")[0], [0, 0])
        if f["result"] in ("caught", "MISSED"):
            score[0] += f["result"] == "caught"
            score[1] += 1
    with open(report, "w", encoding="latin-1") as out:
        out.write(f"# Random faults, seed {args.r}, {len(faults)} of {total} sites in files matching '{args.p}'.\n")
        out.writelines(run[:2])
        out.write(f"# {len(faults)} drawn; equivalent and no-build faults count neither way.\n")
        for f in faults:
            out.write(f"{f['result']:<10} src/{f['file']}:{f['line']}  {f['by']}\n"
                      f"           {f['before']}\n        -> {f['after'] or '(dropped)'}\n")
        out.write("# Score per folder of src/\n")
        caught = sum(c for c, _ in folders.values())
        counted = sum(n for _, n in folders.values())
        for folder, (c, n) in folders.items():
            out.write(f"#   {folder:<10} {c:>3} of {n:<3}" + (f" {100 * c // n:>3} %\n" if n else "\n"))
        for kind in ("equivalent", "no-build", "notrun", "n/a"):
            left = sum(f["result"] == kind for f in faults)
            if left:
                out.write(f"#   {kind}: {left}\n")
        out.write(f"#   all        {caught:>3} of {counted:<3}" + (f" {100 * caught // counted:>3} %\n" if counted else "\n"))
    text = open(report, encoding="latin-1").read()
    print(text[text.index("# Score per folder"):], end="")
    print(f"random-faults: report in {report}")
    sys.exit(status)


if __name__ == "__main__":
    main()
