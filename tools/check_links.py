#!/usr/bin/env python3
"""Checks that every relative link in README.md and docs/*.md resolves.

A link's file or folder must exist, and a link to a heading ("#name", or
"file.md#name") must name a heading of that Markdown file, as GitHub turns
headings into names. Links to other sites are left alone. Prints each broken
link with its file and line, and exits 1 when there is one.

Usage: tools/check_links.py [top of the clone, by default the one above this file]
"""

import re
import sys
from pathlib import Path

# [text](target) and ![alt](target), the target up to a space or ")";
# and a reference's definition, "[name]: target".
LINK = re.compile(r"!?\[(?:[^\]\\]|\\.)*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
DEFINITION = re.compile(r"^ {0,3}\[[^\]]+\]:\s*<?([^\s>]+)")
FENCE = re.compile(r"^\s*(```|~~~)")
CODE_SPAN = re.compile(r"`[^`]*`")


def anchors(markdown: Path) -> set[str]:
    """The names GitHub gives the headings of a Markdown file."""
    names: set[str] = set()
    seen: dict[str, int] = {}
    in_fence = False
    for line in markdown.read_text(encoding="utf-8").splitlines():
        if FENCE.match(line):
            in_fence = not in_fence
            continue
        heading = re.match(r"^#{1,6}\s+(.*?)\s*#*\s*$", line)
        if in_fence or not heading:
            continue
        text = re.sub(r"[`*]|\[|\]\([^)]*\)", "", heading.group(1)).strip().lower()
        name = re.sub(r"[^\w\- ]", "", text).replace(" ", "-")
        count = seen.get(name, 0)
        seen[name] = count + 1
        names.add(name if count == 0 else f"{name}-{count}")
    return names


def links(markdown: Path):
    """Each relative link of a Markdown file, with its line, outside code."""
    in_fence = False
    for number, line in enumerate(markdown.read_text(encoding="utf-8").splitlines(), 1):
        if FENCE.match(line):
            in_fence = not in_fence
            continue
        if in_fence:
            continue
        text = CODE_SPAN.sub("", line)
        for match in [*LINK.finditer(text), *DEFINITION.finditer(text)]:
            target = match.group(1)
            if not re.match(r"^[a-z][a-z0-9+.-]*:", target, re.IGNORECASE):
                yield number, target


def broken_links(top: Path) -> list[str]:
    problems = []
    for markdown in [top / "README.md", *sorted((top / "docs").glob("*.md"))]:
        for number, target in links(markdown):
            path, _, anchor = target.partition("#")
            linked = (markdown.parent / path).resolve() if path else markdown
            where = f"{markdown.relative_to(top)}:{number}: {target}"
            if not linked.is_relative_to(top):
                problems.append(f"{where}: outside the clone")
            elif not linked.exists():
                problems.append(f"{where}: no such file or folder")
            elif anchor and linked.suffix == ".md" and anchor not in anchors(linked):
                problems.append(f"{where}: no heading #{anchor} in {linked.relative_to(top)}")
            elif anchor and linked.suffix != ".md":
                problems.append(f"{where}: #{anchor} points into something that is no Markdown file")
    return problems


def main() -> int:
    top = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent).resolve()
    problems = broken_links(top)
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f"{len(problems)} broken link(s) in README.md and docs/", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
