#!/usr/bin/env python3
"""Prints a UTF-8 text as a C++ string literal of its GBK (code page 936) bytes.

The program's texts are kept in src/platform/texts.cpp as such literals; use this to add one:
    scripts/gbk-literal.py 'V-软件安装'
"""
import sys


def gbk_literal(text: str) -> str:
    pieces = []
    for byte in text.encode("gbk"):
        if byte >= 0x80:
            pieces.append("\\x%02X" % byte)
        elif chr(byte) == "\n":
            pieces.append("\\n")
        elif chr(byte) in '"\\':
            pieces.append("\\" + chr(byte))
        else:
            # A hex escape swallows following hex digits, so close the literal after one.
            if pieces and pieces[-1].startswith("\\x") and chr(byte) in "0123456789abcdefABCDEF":
                pieces.append('" "')
            pieces.append(chr(byte))
    return '"' + "".join(pieces) + '"'


if __name__ == "__main__":
    for argument in sys.argv[1:]:
        print(gbk_literal(argument.encode().decode("unicode_escape").encode("latin-1").decode("utf-8")
                          if "\\n" in argument else argument))
