#!/usr/bin/env python3
"""link-map-summary.py MAP [N]: where the bytes of a linked file come from,
read from the GNU linker's map (build/<arch>/tolvarin.map): the size of each
output section, then the N largest contributors (N=25) by library (our own
code as one), by object file and by input section (a function or datum of
its own under -ffunction-sections), and why each member of the C and C++
runtime is in the link (the symbol that pulled it in)."""
import collections
import re
import subprocess
import sys

DEBUG = re.compile(r'^\.debug|^\.stab')
RUNTIME = re.compile(r'lib(stdc\+\+|supc\+\+|gcc|gcc_eh|pthread|winpthread|mingwex|mingw32)\.a\(')


def read_map(path):
    """(output section, input section, size, source) of every input section kept."""
    lines = open(path, encoding='utf-8', errors='replace').read().split('\n')
    start = next(i for i, l in enumerate(lines) if l.startswith('Linker script and memory map'))
    items, output, i = [], None, start
    while i < len(lines):
        line = lines[i]
        top = re.match(r'^(\.[\w$.]+)\s', line)
        if top:
            output = top.group(1)
        one = re.match(r'^ (\.\S+)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$', line)
        two = re.match(r'^ (\.\S+)$', line)
        if one:
            items.append((output, one.group(1), int(one.group(2), 16), one.group(3)))
        elif two and i + 1 < len(lines):
            rest = re.match(r'^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$', lines[i + 1])
            if rest:
                items.append((output, two.group(1), int(rest.group(1), 16), rest.group(2)))
                i += 1
        i += 1
    return [item for item in items if item[2] > 0 and output and not DEBUG.match(item[0] or '')]


def library(source):
    member = re.search(r'([^/]+\.a)\(([^)]+)\)', source)
    if not member:
        return source.rsplit('/', 1)[-1]
    if member.group(2).endswith('.res'):
        return 'resources'
    return 'ours' if member.group(1).startswith('libtolvarin') or member.group(1) == 'objects.a' else member.group(1)


def member(source):
    found = re.search(r'([^/]+\.a)\(([^)]+)\)', source)
    return f'{found.group(1)}({found.group(2)})' if found else source.rsplit('/', 1)[-1]


def demangle(names):
    try:
        out = subprocess.run(['c++filt'], input='\n'.join(names), capture_output=True, text=True).stdout
        return out.split('\n')
    except OSError:
        return names


def main():
    items = read_map(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 25
    sections = collections.Counter()
    for output, _, size, _ in items:
        sections[output] += size
    print('output sections (bytes):')
    for name, size in sections.most_common():
        print(f'  {size:9d}  {name}')
    for title, key in (('libraries', library), ('object files', member)):
        totals = collections.Counter()
        for _, _, size, source in items:
            totals[key(source)] += size
        print(f'largest {title}:')
        for name, size in totals.most_common(count):
            print(f'  {size:9d}  {name}')
    code = sorted((item for item in items if item[1].startswith(('.text$', '.rdata$', '.data$'))),
                  key=lambda item: -item[2])[:count]
    names = demangle([re.sub(r'^\.\w+\$', '', item[1]) for item in code])
    print('largest functions and data:')
    for (_, _, size, source), name in zip(code, names):
        print(f'  {size:9d}  {name[:100]}  [{member(source)}]')
    text = open(sys.argv[1], encoding='utf-8', errors='replace').read()
    pulled = text[text.find('Archive member included'):text.find('Discarded input sections')]
    print('runtime members and the symbol that pulled each in:')
    for entry in re.findall(r'\n(\S+\.a\([^)]+\))\n\s+(\S+)\s+\(([^)]*(?:\([^)]*\))?[^)]*)\)', pulled):
        if RUNTIME.search(entry[0]):
            print(f'  {entry[0].rsplit("/", 1)[-1]}  <-  {entry[1].rsplit("/", 1)[-1]}  ({entry[2][:80]})')


if __name__ == '__main__':
    main()
