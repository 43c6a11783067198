#!/usr/bin/env python3
"""Prints what a Windows shortcut (.lnk, the Shell Link format) starts:

    lnk-info.py FILE.lnk

one line each: "target <path>", "workdir <folder>", "arguments <text>",
"icon <path>". The target is the local base path of the link's LinkInfo
(in the system's ANSI code page, 936 here, or in UTF-16 where the link has it).
"""

import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH = 0x1, 0x2, 0x4, 0x8
HAS_WORKING_DIR, HAS_ARGUMENTS, HAS_ICON_LOCATION, IS_UNICODE = 0x10, 0x20, 0x40, 0x80


def c_string(data, start, wide=False):
    if wide:
        end = start
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[start:end].decode("utf-16-le")
    return data[start:data.index(b"\0", start)].decode("gbk")


def main():
    data = open(sys.argv[1], "rb").read()
    if len(data) < 76 or struct.unpack_from("<I", data, 0)[0] != 0x4C:
        sys.exit("lnk-info: %s is not a shell link" % sys.argv[1])
    flags = struct.unpack_from("<I", data, 20)[0]
    pos = 76
    if flags & HAS_ID_LIST:
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    if flags & HAS_LINK_INFO:
        size, header, _, _, base = struct.unpack_from("<IIIII", data, pos)
        if header >= 0x24 and struct.unpack_from("<I", data, pos + 28)[0]:
            print("target", c_string(data, pos + struct.unpack_from("<I", data, pos + 28)[0], True))
        else:
            print("target", c_string(data, pos + base))
        pos += size
    for bit, name in ((HAS_NAME, "comment"), (HAS_RELATIVE_PATH, "relative"), (HAS_WORKING_DIR, "workdir"),
                      (HAS_ARGUMENTS, "arguments"), (HAS_ICON_LOCATION, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, pos)[0]
            pos += 2
            if flags & IS_UNICODE:
                text = data[pos:pos + 2 * count].decode("utf-16-le")
                pos += 2 * count
            else:
                text = data[pos:pos + count].decode("gbk")
                pos += count
            print(name, text.rstrip("\0"))


if __name__ == "__main__":
    main()
