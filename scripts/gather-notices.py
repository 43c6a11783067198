#!/usr/bin/env python3
"""Writes the licence notices of everything that kestrin.exe links, from the
sources it was built from:

    gather-notices.py QTBASE_SOURCE_DIR OUTPUT_FILE

- Qt itself: its licence texts (LICENSES/ of the qtbase source) and, for every
  piece of third-party code in the modules the program links, the entry of Qt's
  attribution data (qt_attribution.json) with the licence file it names;
- Debian's copyright file of that qtbase source;
- the MinGW-w64 runtime and GCC's runtime libraries linked statically by the
  cross compiler, from the toolchain's own Debian copyright files.

The text is plain UTF-8 with LF line ends; the packaging writes it out as
its platform reads text (for Windows, through lib.sh's windows_text).
"""

import json
import os
import sys

# Parts of qtbase that kestrin.exe does not contain: modules it does not link,
# other platforms' code, build helpers and tests.
NOT_LINKED = (
    "src/network/", "src/dbus/", "src/opengl/", "src/gui/opengl/", "src/gui/vulkan/",
    "src/testlib/", "src/3rdparty/libpsl/", "src/3rdparty/VulkanMemoryAllocator/",
    "src/3rdparty/wasm/", "src/3rdparty/xcb/", "src/3rdparty/android/",
    "src/3rdparty/gradle/", "src/3rdparty/forkfd/", "src/3rdparty/angle/", "src/plugins/platforms/cocoa/",
    "util/", "tests/", "cmake/", "examples/",
)

# Qt's own licences: the program uses Qt under the GPL, version 3. Qt 6 keeps
# them in LICENSES/, Qt 5 at the top of its source.
QT_LICENCES = {
    6: ("LICENSES/GPL-3.0-only.txt", "LICENSES/LGPL-3.0-only.txt", "LICENSES/Qt-GPL-exception-1.0.txt"),
    5: ("LICENSE.GPL3", "LICENSE.LGPL3", "LICENSE.GPL3-EXCEPT"),
}

TOOLCHAIN_COPYRIGHTS = (
    ("GCC runtime libraries (libgcc, libstdc++) of the MinGW-w64 cross compiler",
     "/usr/share/doc/gcc-mingw-w64-base/copyright"),
    ("MinGW-w64 runtime (C runtime start-up code, winpthreads)",
     "/usr/share/doc/mingw-w64-i686-dev/copyright"),
)

RULE = "=" * 78


def fail(message):
    sys.stderr.write("gather-notices: %s\n" % message)
    sys.exit(1)


def read_text(path):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        fail("cannot read %s: %s" % (path, e.strerror))
    return data.decode("utf-8", errors="replace").replace("\r\n", "\n").rstrip("\n")


def attribution_entries(source, not_linked=NOT_LINKED):
    """Every attribution entry of the linked parts, with the folder it came from."""
    entries = []
    for folder, dirs, files in os.walk(source):
        dirs.sort()
        if "qt_attribution.json" not in files:
            continue
        relative = os.path.relpath(folder, source).replace(os.sep, "/") + "/"
        if relative.startswith(not_linked):
            continue
        path = os.path.join(folder, "qt_attribution.json")
        try:
            # Qt's attribution files hold line breaks inside their strings.
            data = json.loads(read_text(path), strict=False)
        except ValueError as e:
            fail("%s is not readable attribution data: %s" % (path, e))
        for entry in data if isinstance(data, list) else [data]:
            entries.append((relative, entry))
    return entries


def qt_notices(source, not_linked=NOT_LINKED):
    """Qt's version, licence texts and the attribution entries (with the licence
    files they name) of the parts of the qtbase source at SOURCE (Qt 5 or 6)
    that are linked: everything under a folder of NOT_LINKED is left out."""
    major = next((m for m, names in QT_LICENCES.items()
                  if os.path.isfile(os.path.join(source, names[0]))), None)
    if major is None:
        fail("%s is not a qtbase source tree" % source)

    out = []
    version = ""
    if major == 6:
        for line in read_text(os.path.join(source, ".cmake.conf")).splitlines():
            if line.startswith("set(QT_REPO_MODULE_VERSION"):
                version = line.split('"')[1]
    else:
        for line in read_text(os.path.join(source, ".qmake.conf")).splitlines():
            if line.startswith("MODULE_VERSION"):
                version = line.split("=")[1].strip()
    out += ["", RULE, "Qt %s (qtbase), used under the GNU GPL, version 3" % version, RULE, ""]
    out.append("Qt is copyright The Qt Company Ltd. and other contributors; it is available")
    out.append("under the GNU LGPL, version 3, or the GNU GPL, version 2 or 3. Its licence texts:")
    for name in QT_LICENCES[major]:
        out += ["", "---- %s ----" % os.path.basename(name), "", read_text(os.path.join(source, name))]

    entries = attribution_entries(source, not_linked)
    if not entries:
        fail("no attribution data found in %s" % source)
    out += ["", RULE, "Third-party code in the Qt libraries (Qt's attribution data)", RULE]
    seen_texts = {}
    for folder, entry in sorted(entries, key=lambda e: (e[1].get("Name", ""), e[0])):
        out += ["", "---- %s ----" % entry.get("Name", entry.get("Id", "?"))]
        for field in ("Version", "Homepage", "Copyright", "License"):
            if entry.get(field):
                value = str(entry[field]).strip().replace("\n", "\n    ")
                out.append("%s: %s" % (field, value))
        out.append("In Qt: %s" % folder.rstrip("/"))
        licence_files = entry.get("LicenseFiles") or (
            [entry["LicenseFile"]] if entry.get("LicenseFile") else [])
        for licence in licence_files:
            path = os.path.normpath(os.path.join(source, folder, licence))
            if not os.path.isfile(path):
                fail("%s names %s, which is not in the source" % (folder, licence))
            text = read_text(path)
            relative = os.path.relpath(path, source)
            if text in seen_texts:
                out.append("Licence text: as for %s above (%s)" % (seen_texts[text], relative))
            else:
                seen_texts[text] = entry.get("Name", relative)
                out += ["", text]

    return out


def main():
    if len(sys.argv) != 3:
        fail("usage: gather-notices.py QTBASE_SOURCE_DIR OUTPUT_FILE")
    source, output = sys.argv[1], sys.argv[2]
    out = []
    out.append("Kestrin 速算自动出题系统 — licence notices of the software in kestrin.exe")
    out.append("")
    out.append("Kestrin is free software under the GNU General Public License, version 3 or")
    out.append("(at your option) any later version: see LICENSE.txt. kestrin.exe contains,")
    out.append("statically linked, the Qt libraries (qtbase: Core, Gui, Widgets, PrintSupport")
    out.append("and the Windows platform plugin) and the third-party code they bundle, and the")
    out.append("runtime libraries of the MinGW-w64 cross compiler. Their notices follow, taken")
    out.append("from the very sources the program was built from. The complete source code of")
    out.append("Kestrin and of that Qt is in Kestrin-<version>-source.tar.xz, published beside")
    out.append("this program.")

    out += qt_notices(source)
    out += ["", RULE, "Debian's copyright file of the qtbase source", RULE, ""]
    out.append(read_text(os.path.join(source, "debian", "copyright")))

    for title, path in TOOLCHAIN_COPYRIGHTS:
        out += ["", RULE, title, RULE, ""]
        out.append(read_text(path))

    # Plain UTF-8 with LF line ends: the packaging writes it out as each platform reads text.
    text = "\n".join(out) + "\n"
    tmp = output + ".part"
    with open(tmp, "wb") as f:
        f.write(text.encode("utf-8"))
    os.replace(tmp, output)


if __name__ == "__main__":
    main()
