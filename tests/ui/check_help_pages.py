#!/usr/bin/env python3
"""Fails when the English help page no longer follows the Russian one.

Both pages must have the same sections (the ids of their h2 headings, in order), the same number of
h3 headings in each section, the same set of pages and anchors they link to, and every link to an
anchor of the page itself must lead to a heading that exists. A section written in one language and
forgotten in the other is what this catches. Usage: check_help_pages.py RUSSIAN_PAGE ENGLISH_PAGE
"""
import re
import sys

HEADING = re.compile(r'<h([23])(?:\s+id="([^"]*)")?[^>]*>', re.I)
LINK = re.compile(r'href="([^"]*)"', re.I)


def outline(text):
    """[(section id, number of h3 headings in it)], the part before the first h2 named ''."""
    sections = [('', 0)]
    for level, ident in HEADING.findall(text):
        if level == '2':
            sections.append((ident, 0))
        else:
            name, count = sections[-1]
            sections[-1] = (name, count + 1)
    return sections


def main():
    pages = {}
    for path in sys.argv[1:3]:
        with open(path, encoding='utf-8') as f:
            pages[path] = f.read()
    (ru_path, ru), (en_path, en) = pages.items()
    problems = []
    ru_outline, en_outline = outline(ru), outline(en)
    if [s for s, _ in ru_outline] != [s for s, _ in en_outline]:
        problems.append('sections differ: %s has %s, %s has %s' %
                        (ru_path, [s for s, _ in ru_outline], en_path, [s for s, _ in en_outline]))
    else:
        for (section, ru_count), (_, en_count) in zip(ru_outline, en_outline):
            if ru_count != en_count:
                problems.append('section "%s": %d subheadings in Russian, %d in English' %
                                (section, ru_count, en_count))
    ru_links, en_links = set(LINK.findall(ru)), set(LINK.findall(en))
    # The pages link to each other's language counterpart by name; those differ on purpose.
    ru_links = {l.replace('kelvo.html', 'kelvo_en.html') for l in ru_links}
    if ru_links != en_links:
        problems.append('links differ: only in Russian %s, only in English %s' %
                        (sorted(ru_links - en_links), sorted(en_links - ru_links)))
    for path, text in pages.items():
        anchors = set(re.findall(r'(?:id|name)="([^"]*)"', text))
        for target in re.findall(r'href="#([^"]*)"', text):
            if target not in anchors:
                problems.append('%s: a link to #%s, which the page does not have' % (path, target))
    for problem in problems:
        print(problem)
    if not problems:
        print('the English help page follows the Russian one')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
