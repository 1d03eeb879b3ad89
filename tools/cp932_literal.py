#!/usr/bin/env python3
"""Prints a C++ string literal holding the code page 932 bytes of a text.

Used to write the program's Japanese texts into the sources, which stay
ASCII: python3 tools/cp932_literal.py 'テキスト'
"""
import sys


def literal(text: str) -> str:
    out, after_escape = [], False
    for byte in text.encode("cp932"):
        if byte < 0x20 or byte >= 0x7F or byte in (0x22, 0x5C):
            out.append("\\x%02x" % byte)
            after_escape = True
        else:
            ch = chr(byte)
            if after_escape and ch in "0123456789abcdefABCDEF":
                out.append('" "')
            out.append(ch)
            after_escape = False
    return '"' + "".join(out) + '"'


if __name__ == "__main__":
    print(literal(sys.argv[1].replace("\\r", "\r")))
