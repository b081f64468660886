#!/usr/bin/env python3
"""Finds the tables clang-format would spread out, and fences them with // clang-format off/on.

A table here is a statement of rows: a record type declared on one line with the rows after it, a
list of braced rows, a list of steps or names, an enum of many names. Run it before `make format`
changes the tree at once; it lists what it would fence, and --apply fences it. Statements already
fenced, and those clang-format makes at most two lines longer (the fence's own length), stay as
they are.

  scripts/format-fences.py [--apply] [FILE...]   (default: the files `make format` formats)
"""
import difflib
import re
import subprocess
import sys

FOLDERS = ['src', 'pics', 'sounds', 'tests', 'bench', 'fuzz', 'packaging']
OFF, ON = '// clang-format off', '// clang-format on'
STRING = re.compile(r'"([^"\\]|\\.)*"|\'([^\'\\]|\\.)*\'')
# A line after which a new statement starts: a block opened, a label, an access specifier.
BLOCK_OPENED = re.compile(r'(\)\s*(const)?\s*(override)?\s*\{|\belse\s*\{|\bdo\s*\{|^\s*\{|\bnamespace\s*\w*\s*\{'
                          r'|:\s*$|^\s*(public|private|protected)( slots)?:)\s*$')
ONE_LINE_RECORD = re.compile(r'\s*struct (\w+) \{.*\};')


def code_of(line):
    return re.sub(r'\s*//.*$', '', STRING.sub('""', line))


def statement(lines, first, last):
    """The 0-based line range of the whole statements that lines first..last belong to."""
    start = first
    # A declaration after a record's closing brace starts where the record does.
    if code_of(lines[start]).lstrip().startswith('}'):
        depth = 1
        while start > 0 and depth > 0:
            start -= 1
            code = code_of(lines[start])
            depth += code.count('}') - code.count('{')
    while start > 0:
        before = code_of(lines[start - 1]).rstrip()
        if not before.strip() or before.lstrip().startswith('#') or before.endswith((';', '}')) \
                or BLOCK_OPENED.search(before):
            break
        start -= 1
    depth = 0
    for end in range(start, len(lines)):
        code = code_of(lines[end]).rstrip()
        depth += code.count('{') + code.count('(') - code.count('}') - code.count(')')
        if end >= last and depth <= 0 and (code.endswith((';', '{', '}')) or depth < 0):
            return start, end
    return start, len(lines) - 1


def type_of(line):
    """The type a declaration starts with, without its qualifiers."""
    words = [w for w in line.split() if w not in ('static', 'const', 'constexpr', 'inline')]
    if len(words) < 2 or words[0] in ('for', 'if', 'while', 'switch', 'return', 'do', 'else', 'case'):
        return None
    return words[0] if re.match(r'[A-Za-z_][\w:<>]*$', words[0]) else None


def spread(path, text):
    """The 0-based line ranges of `text` that clang-format turns into more lines, and how many more."""
    formatted = subprocess.run(['clang-format-19', '--assume-filename=' + path], input=text, capture_output=True,
                               text=True, check=True).stdout.split('\n')
    lines = text.split('\n')
    for tag, i1, i2, j1, j2 in difflib.SequenceMatcher(None, lines, formatted, autojunk=False).get_opcodes():
        if tag != 'equal' and j2 - j1 > i2 - i1 and not all(l.startswith('#') or not l.strip() for l in lines[i1:i2]):
            yield i1, max(i1, i2 - 1), (j2 - j1) - (i2 - i1)


def is_table(chunk, record_with_rows):
    return (record_with_rows or len(re.findall(r'\},\s*\{', chunk)) >= 2
            or len(re.findall(r'"[^"\n]*",', chunk)) >= 6
            or (re.match(r'\s*enum\b', chunk) and chunk.count(',') >= 8))


def fenced_lines(lines):
    inside, result = False, set()
    for n, line in enumerate(lines):
        if line.strip() == OFF:
            inside = True
        elif line.strip() == ON:
            inside = False
        elif inside:
            result.add(n)
    return result


def tables(path, text):
    lines = text.split('\n')
    fenced = fenced_lines(lines)
    regions = []
    for first, last, grown in spread(path, text):
        start, end = statement(lines, first, last)
        if regions and start <= regions[-1][1] + 1:
            regions[-1][1] = max(end, regions[-1][1])
            regions[-1][2] += grown
        else:
            regions.append([start, end, grown])
    for start, end, grown in regions:
        record = ONE_LINE_RECORD.match(lines[start])
        with_rows = False
        # A record declared on one line heads the rows that follow it within a few statements: one table.
        after = end + 1
        for _ in range(3 if record else 0):
            if after >= len(lines) or not lines[after].strip() or BLOCK_OPENED.search(code_of(lines[after])):
                break
            if lines[after].strip().startswith('//'):
                after += 1
                continue
            next_end = statement(lines, after, after)[1]
            rows = '\n'.join(lines[after:next_end + 1])
            if re.search(r'\b' + record.group(1) + r'\b[^;]*(\[\]|\{)', lines[after]) and re.search(r'\}\s*,', rows):
                end, with_rows = next_end, True
                break
            after = next_end + 1
        # Its neighbours of the same type (no blank line between) go with it.
        kind = type_of(lines[start])
        while start > 0 and lines[start - 1].strip() and not code_of(lines[start - 1]).rstrip().endswith('{'):
            above = start - 1
            while above > 0 and lines[above].strip().startswith('//'):
                above -= 1
            before = statement(lines, above, above)
            if not kind or type_of(lines[before[0]]) != kind or before[0] == start:
                break
            start = before[0]
        chunk = '\n'.join(lines[start:end + 1])
        # A function's body is no table, nor is anything already fenced.
        body = any(re.match(r'\s*\{\s*$', lines[n]) and code_of(lines[n - 1]).rstrip().endswith(')')
                   for n in range(start + 1, end + 1))
        # Two lines of fence for fewer saved are not worth it.
        if grown > 2 and not body and not fenced & set(range(start, end + 1)) and is_table(chunk, with_rows):
            yield start, end


def main(argv):
    apply = '--apply' in argv
    files = [a for a in argv if a != '--apply'] or [
        f for f in subprocess.run(['git', 'ls-files', '--'] + FOLDERS, capture_output=True, text=True,
                                  check=True).stdout.split() if f.endswith(('.cpp', '.h'))]
    for path in files:
        with open(path) as f:
            text = f.read()
        found = []
        for start, end in tables(path, text):
            if found and start <= found[-1][1] + 1:
                found[-1] = (found[-1][0], max(end, found[-1][1]))
            else:
                found.append((start, end))
        lines = text.split('\n')
        for start, end in found:
            print(f'{path}:{start + 1}-{end + 1}: {lines[start].strip()[:80]}')
        if apply and found:
            for start, end in reversed(found):
                indent = re.match(r'\s*', lines[start]).group(0)
                lines[end + 1:end + 1] = [indent + ON]
                lines[start:start] = [indent + OFF]
            with open(path, 'w') as f:
                f.write('\n'.join(lines))


if __name__ == '__main__':
    main(sys.argv[1:])
