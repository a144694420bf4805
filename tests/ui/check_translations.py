#!/usr/bin/env python3
"""Fails when one of the program's own Russian texts has no English translation.

Every string literal (adjacent literals joined, as the compiler joins them) that holds a Cyrillic
letter in the window's sources and in the application's texts is a text the user can see; each must
be a message of the context "Kelvo" in the English translation file, finished, not empty, free of
Cyrillic, and with the same %s placeholders. Usage: check_translations.py TS_FILE SOURCE_OR_FOLDER...
"""
import glob
import os
import re
import sys
import xml.etree.ElementTree as ET

CYRILLIC = re.compile('[\u0400-\u04ff]')
ESCAPES = {'n': '\n', 'r': '\r', 't': '\t', '"': '"', "'": "'", '\\': '\\', '0': '\0'}


def literals(text):
    """The string literals of C++ text outside comments, adjacent ones joined."""
    out, i, n = [], 0, len(text)
    current, last_end = None, -1
    while i < n:
        c = text[i]
        if text.startswith('//', i):
            i = text.find('\n', i)
            i = n if i < 0 else i
            continue
        if text.startswith('/*', i):
            i = text.find('*/', i)
            i = n if i < 0 else i + 2
            continue
        if c == "'":  # a character literal: skip it whole
            j = i + 1
            while j < n and text[j] != "'":
                j += 2 if text[j] == '\\' else 1
            i = j + 1
            continue
        if c == '"':
            j, value = i + 1, []
            while j < n and text[j] != '"':
                if text[j] == '\\':
                    value.append(ESCAPES.get(text[j + 1], text[j + 1]))
                    j += 2
                else:
                    value.append(text[j])
                    j += 1
            joined = current is not None and text[last_end:i].strip() == ''
            if joined:
                current += ''.join(value)
            else:
                if current is not None:
                    out.append(current)
                current = ''.join(value)
            last_end = i = j + 1
            continue
        i += 1
    if current is not None:
        out.append(current)
    return out


def main():
    ts_file, sources = sys.argv[1], []
    for arg in sys.argv[2:]:
        sources += sorted(glob.glob(os.path.join(arg, '*.cpp')) + glob.glob(os.path.join(arg, '*.h'))) \
            if os.path.isdir(arg) else [arg]
    translations = {}
    for context in ET.parse(ts_file).getroot().iter('context'):
        if context.findtext('name') != 'Kelvo':
            continue
        for message in context.iter('message'):
            translations[message.findtext('source')] = message.find('translation')
    problems = []
    for source in sources:
        with open(source, encoding='utf-8') as f:
            for text in literals(f.read()):
                if not CYRILLIC.search(text):
                    continue
                found = translations.get(text)
                if found is None:
                    problems.append(f'{source}: no translation of "{text}"')
                elif found.get('type') in ('unfinished', 'obsolete', 'vanished') or not (found.text or ''):
                    problems.append(f'{source}: unfinished translation of "{text}"')
                elif CYRILLIC.search(found.text):
                    problems.append(f'{source}: the translation of "{text}" is still Russian')
                elif text.count('%s') != found.text.count('%s'):
                    problems.append(f'{source}: the translation of "{text}" changes its %s')
    for problem in problems:
        print(problem)
    print(f'{len(problems)} untranslated text(s)' if problems else 'every text has its translation')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
