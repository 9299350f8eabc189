#!/usr/bin/env python3
"""Turns a program's string table source into a Windows STRINGTABLE resource, a C++ table and a
header of named ids.

Source lines: an id, its name (PascalCase), and the text in double quotes, optionally followed by
the word `shared`. Inside the quotes the escapes \\" \\\\ \\r \\n and \\uXXXX are understood;
lines that are empty or begin with # are skipped. The resource is what the program loads with
LoadStringW; the C++ table is what the native tests read, so both always hold the same texts. The
header names every id in the enum `<namespace>::Id`; a `shared` text is also a constant of
`<namespace>::shared`, for another program that must match it (one that finds a window by its
caption).
"""
import os
import re
import sys

LINE = re.compile(r'^\s*(\d+)\s+([A-Z][A-Za-z0-9]*)\s+"((?:[^"\\]|\\.)*)"(\s+shared)?\s*$')


def unescape(body, where):
    out, i = [], 0
    while i < len(body):
        c = body[i]
        if c != '\\':
            out.append(c)
            i += 1
            continue
        nxt = body[i + 1]
        if nxt in '"\\':
            out.append(nxt)
            i += 2
        elif nxt == 'r':
            out.append('\r')
            i += 2
        elif nxt == 'n':
            out.append('\n')
            i += 2
        elif nxt == 'u':
            out.append(chr(int(body[i + 2:i + 6], 16)))
            i += 6
        else:
            sys.exit(f'{where}: unknown escape \\{nxt}')
    return ''.join(out)


def rc_literal(text):
    parts = []
    for ch in text:
        code = ord(ch)
        if ch == '"':
            parts.append('""')
        elif ch == '\\':
            parts.append('\\\\')
        elif 32 <= code < 127:
            parts.append(ch)
        else:
            units = ch.encode('utf-16-le')
            for k in range(0, len(units), 2):
                parts.append('\\x%04x' % (units[k] | units[k + 1] << 8))
    return 'L"' + ''.join(parts) + '"'


def cpp_literal(text):
    parts = []
    for byte in text.encode('utf-8'):
        ch = chr(byte)
        if ch in '"\\':
            parts.append('\\' + ch)
        elif 32 <= byte < 127 and ch != '?':
            parts.append(ch)
        else:
            parts.append('\\%03o' % byte)
    return '"' + ''.join(parts) + '"'


def main():
    source, rc_out, cpp_out, symbol, header_out, namespace = sys.argv[1:7]
    entries, names, shared = {}, {}, []
    with open(source, encoding='ascii') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if not line.strip() or line.lstrip().startswith('#'):
                continue
            m = LINE.match(line)
            if not m:
                sys.exit(f'{source}:{number}: expected: id Name "text" [shared]')
            ident, name = int(m.group(1)), m.group(2)
            if ident in entries or not 0 < ident < 65536:
                sys.exit(f'{source}:{number}: id {ident} repeated or out of range')
            if name in names.values():
                sys.exit(f'{source}:{number}: name {name} repeated')
            entries[ident] = unescape(m.group(3), f'{source}:{number}')
            names[ident] = name
            if m.group(4):
                shared.append(ident)
    with open(rc_out, 'w', encoding='ascii', newline='\n') as f:
        f.write('STRINGTABLE\nBEGIN\n')
        for ident in sorted(entries):
            f.write(f'  {ident}, {rc_literal(entries[ident])}\n')
        f.write('END\n')
    with open(cpp_out, 'w', encoding='ascii', newline='\n') as f:
        f.write('// Made by the build from the string table source; do not edit.\n')
        f.write('#include "base/StringTable.h"\n\n')
        f.write(f'extern const platform::StringEntry {symbol}[];\n')
        f.write(f'extern const std::size_t {symbol}Count;\n\n')
        f.write(f'const platform::StringEntry {symbol}[] = {{\n')
        for ident in sorted(entries):
            f.write(f'    {{{ident}, {cpp_literal(entries[ident])}}},\n')
        f.write('};\n')
        f.write(f'const std::size_t {symbol}Count = sizeof({symbol}) / sizeof({symbol}[0]);\n')
    os.makedirs(os.path.dirname(header_out), exist_ok=True)
    with open(header_out, 'w', encoding='ascii', newline='\n') as f:
        f.write('#pragma once\n')
        f.write('// Made by the build from the string table source; do not edit.\n\n')
        f.write(f'namespace {namespace} {{\n\n')
        f.write('// The string table\'s ids by name.\n')
        f.write('enum Id : int {\n')
        for ident in sorted(entries):
            f.write(f'  {names[ident]} = {ident},\n')
        f.write('};\n')
        if shared:
            f.write('\n// Texts another program must match, in UTF-8.\n')
            f.write('namespace shared {\n')
            for ident in shared:
                f.write(f'inline constexpr const char {names[ident]}[] = {cpp_literal(entries[ident])};\n')
            f.write('}  // namespace shared\n')
        f.write(f'\n}}  // namespace {namespace}\n')


main()
