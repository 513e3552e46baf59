#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Finds every relative link and picture in README.md and docs/*.md that leads nowhere: a file
that is not there, or an anchor that no heading of its page makes, the way GitHub makes them.

    check_manual_links.py <source-dir>     the manual of that tree; exit status 1 on a dead link
    check_manual_links.py --self-test      the checker against pages with known faults
"""
import os
import re
import sys
import tempfile

LINK = re.compile(r'!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^)\s>]+)>?(?:\s+"[^"]*")?\s*\)')
HEADING = re.compile(r'^ {0,3}(#{1,6})\s+(.*?)\s*#*\s*$')
FENCE = re.compile(r'^ {0,3}(`{3,}|~{3,})')
INLINE_CODE = re.compile(r'(`+)(.+?)\1')


def prose_lines(text):
    """The lines outside fenced code blocks, with their numbers."""
    fence = None
    for number, line in enumerate(text.split('\n'), start=1):
        opening = FENCE.match(line)
        if fence is None and opening:
            fence = opening.group(1)[0]
        elif fence is not None:
            if opening and opening.group(1)[0] == fence:
                fence = None
        else:
            yield number, line


def slug(heading):
    """GitHub's anchor for a heading: its text as shown, lower case, with punctuation other than
    hyphens and underscores dropped and each space made a hyphen."""
    text = re.sub(r'!?\[([^\]]*)\]\([^)]*\)', r'\1', heading)
    text = INLINE_CODE.sub(lambda m: m.group(2), text)
    text = re.sub(r'[*]|(?<!\w)_+|_+(?!\w)', '', text)
    text = text.strip().lower()
    text = ''.join(c for c in text if c.isalnum() or c in ' -_')
    return text.replace(' ', '-')


def anchors(text):
    """Every anchor the page's headings make; a repeated heading gets -1, -2 and so on."""
    made, seen = set(), {}
    for _, line in prose_lines(text):
        match = HEADING.match(line)
        if match:
            base = slug(match.group(2))
            count = seen.get(base, 0)
            seen[base] = count + 1
            made.add(base if count == 0 else f'{base}-{count}')
    return made


def links(text):
    """(line number, target) of every link and picture outside code."""
    for number, line in prose_lines(text):
        for match in LINK.finditer(INLINE_CODE.sub('', line)):
            yield number, match.group(1)


def dead_links(root, pages):
    """'page:line: target (why)' for each relative link in pages that leads nowhere."""
    texts = {}

    def read(path):
        if path not in texts:
            with open(path, encoding='utf-8') as f:
                texts[path] = f.read()
        return texts[path]

    dead = []
    for page in pages:
        page_path = os.path.join(root, page)
        for number, target in links(read(page_path)):
            if re.match(r'^[a-zA-Z][a-zA-Z0-9+.-]*:', target):
                continue  # a web address or mail link: not part of this tree
            path, _, anchor = target.partition('#')
            where = os.path.normpath(os.path.join(os.path.dirname(page_path), path)) \
                if path else page_path
            if not os.path.exists(where):
                dead.append(f'{page}:{number}: {target} (no such file)')
            elif anchor:
                if not where.endswith('.md'):
                    dead.append(f'{page}:{number}: {target} (an anchor in a page that is not Markdown)')
                elif anchor not in anchors(read(where)):
                    dead.append(f'{page}:{number}: {target} (no heading makes #{anchor})')
    return dead


def manual_pages(root):
    docs = os.path.join(root, 'docs')
    return ['README.md'] + sorted(
        os.path.join('docs', name) for name in os.listdir(docs) if name.endswith('.md'))


# Pages with known faults, and what the checker must say about each link of README.md.
SELF_TEST_PAGES = {
    'docs/a.md': '# A page\n\n## Where the coils should go\n\n## An `inverted V`: how\n\n'
                 '## Twice\n\n## Twice\n\n```\n# Not a heading\n```\n\n![pic](pics/p.png)\n',
    'docs/pics/p.png': '',
}
SELF_TEST_LINKS = [
    ('[ok](docs/a.md)', False),
    ('[ok](docs/a.md#where-the-coils-should-go)', False),
    ('[ok](docs/a.md#an-inverted-v-how)', False),
    ('[ok](docs/a.md#twice-1)', False),
    ('[ok](https://example.org/x#y)', False),
    ('`[in code](nowhere.md)`', False),
    ('```\n[in a block](nowhere.md)\n```', False),
    ('[gone](docs/b.md)', True),
    ('[no anchor](docs/a.md#where-the-coil-should-go)', True),
    ('[third twice](docs/a.md#twice-2)', True),
    ('[heading in code](docs/a.md#not-a-heading)', True),
    ('![picture](docs/pics/q.png)', True),
    ('[own anchor](#nowhere)', True),
]


def self_test():
    faults = 0
    with tempfile.TemporaryDirectory() as root:
        for name, text in SELF_TEST_PAGES.items():
            os.makedirs(os.path.dirname(os.path.join(root, name)), exist_ok=True)
            with open(os.path.join(root, name), 'w', encoding='utf-8') as f:
                f.write(text)
        if dead_links(root, ['docs/a.md']):
            print('FAIL: the picture of docs/a.md is there, but is called dead')
            faults += 1
        for link, is_dead in SELF_TEST_LINKS:
            with open(os.path.join(root, 'README.md'), 'w', encoding='utf-8') as f:
                f.write(f'# Title\n\n{link}\n')
            found = bool(dead_links(root, ['README.md']))
            if found != is_dead:
                print(f'FAIL: {link!r} is {"called dead" if found else "missed"}')
                faults += 1
    print(f'{len(SELF_TEST_LINKS) + 1 - faults} passed, {faults} failed')
    return 1 if faults else 0


def main(argv):
    if argv[1:] == ['--self-test']:
        return self_test()
    if len(argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    root = argv[1]
    pages = manual_pages(root)
    dead = dead_links(root, pages)
    for line in dead:
        print(line)
    count = sum(1 for page in pages for _ in links(open(os.path.join(root, page), encoding='utf-8').read()))
    print(f'{len(pages)} pages, {count} links, {len(dead)} leading nowhere')
    return 1 if dead else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
