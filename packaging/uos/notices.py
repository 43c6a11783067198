#!/usr/bin/env python3
"""Writes the licence notices of what the UOS/Kylin/Deepin packages' program
carries, linked statically, from the very sources that were built:

    notices.py QTBASE_SOURCE ICU_SOURCE GCC_COPYRIGHT OUTPUT

- Qt 5.15 (qtbase): its licence texts and, for the third-party code in the
  parts the program links on Linux (the xcb platform with its bundled
  xcb-xinput, forkfd of QProcess, ...), the entries of Qt's attribution data
  with the licence files they name (read as scripts/gather-notices.py reads
  them), and Debian's copyright file of qtbase;
- ICU: its LICENSE and Debian's copyright file of icu;
- GCC's runtime libraries (libstdc++, libgcc): the build root's copyright file.
"""

import importlib.util
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location(
    "gather_notices", os.path.join(here, "..", "..", "scripts", "gather-notices.py"))
gather = importlib.util.module_from_spec(spec)
spec.loader.exec_module(gather)

# Parts of qtbase that the program does not contain on Linux: modules it does
# not link, code of other platforms, libraries taken from the system, tools.
NOT_LINKED = (
    "src/network/", "src/dbus/", "src/opengl/", "src/gui/opengl/", "src/gui/vulkan/",
    "src/testlib/", "src/sql/", "src/3rdparty/VulkanMemoryAllocator/", "src/3rdparty/android/",
    "src/3rdparty/angle/", "src/3rdparty/gradle/", "src/3rdparty/wasm/", "src/3rdparty/libjpeg/",
    "src/3rdparty/freetype/", "src/3rdparty/harfbuzz/", "src/plugins/platforms/cocoa/",
    "util/", "tests/", "examples/", "qmake/",
)
RULE = gather.RULE


def main():
    if len(sys.argv) != 5:
        gather.fail("usage: notices.py QTBASE_SOURCE ICU_SOURCE GCC_COPYRIGHT OUTPUT")
    qt, icu, gcc, output = sys.argv[1:]
    out = [
        "Kestrin 速算自动出题系统 — licence notices of the software in files/bin/kestrin",
        "",
        "Kestrin is free software under the GNU General Public License, version 3 or",
        "(at your option) any later version: see LICENSE. The program contains, linked",
        "statically, the Qt libraries (qtbase: Core, Gui, Widgets, PrintSupport, the xcb",
        "platform and the CUPS print plugin) with the third-party code they bundle, ICU,",
        "and GCC's runtime libraries (libstdc++, libgcc). Their notices follow, taken from",
        "the very sources the program was built from; their complete source code is in",
        "cn.kestrin.kestrin_<version>_source.tar.xz, published beside the packages.",
    ]
    out += gather.qt_notices(qt, NOT_LINKED)

    sections = (
        ("Debian's copyright file of the qtbase source", os.path.join(qt, "debian", "copyright")),
        ("ICU (International Components for Unicode): its licence", os.path.join(icu, "LICENSE")),
        ("Debian's copyright file of the icu source", os.path.join(icu, "debian", "copyright")),
        ("GCC's runtime libraries (libstdc++, libgcc) of Debian 11's GCC", gcc),
    )
    for title, path in sections:
        out += ["", RULE, title, RULE, "", gather.read_text(path)]

    tmp = output + ".part"
    with open(tmp, "wb") as f:
        f.write(("\n".join(out) + "\n").encode("utf-8"))
    os.replace(tmp, output)


if __name__ == "__main__":
    main()
