#!/usr/bin/python3
"""Makes the TrueType faces that stand in for Windows' SimSun (宋体) and
SimHei (黑体) in the Windows build's tests on Qt's offscreen platform, which
reads font files and knows a face only by the names inside it:

    make-standin-fonts.py OUTPUT_FOLDER

Both are WenQuanYi Zen Hei (Debian's fonts-wqy-zenhei), the face that Wine's
font replacements make SimSun and SimHei for the real program, renamed.
Debian's python3-fonttools does the renaming.
"""

import os
import sys

from fontTools.ttLib import TTCollection

SOURCE = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
FACES = (("SimSun", "宋体"), ("SimHei", "黑体"))
WINDOWS, UNICODE_BMP = 3, 1
ENGLISH, CHINESE = 0x409, 0x804


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-standin-fonts.py OUTPUT_FOLDER")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for family, chinese in FACES:
        font = TTCollection(SOURCE).fonts[0]
        names = font["name"]
        for record in list(names.names):
            if record.nameID in (1, 3, 4, 6, 16, 17, 21, 22):
                names.removeNames(nameID=record.nameID)
        for language, name in ((ENGLISH, family), (CHINESE, chinese)):
            for name_id, text in ((1, name), (4, name), (16, name)):
                names.setName(text, name_id, WINDOWS, UNICODE_BMP, language)
        names.setName("Regular", 2, WINDOWS, UNICODE_BMP, ENGLISH)
        names.setName(family, 3, WINDOWS, UNICODE_BMP, ENGLISH)
        names.setName(family, 6, WINDOWS, UNICODE_BMP, ENGLISH)
        path = os.path.join(out, family + ".ttf")
        font.save(path + ".part")
        os.replace(path + ".part", path)


if __name__ == "__main__":
    main()
