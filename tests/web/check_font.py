#!/usr/bin/env python3
"""The face that travels with the web build: it holds exactly the characters the program's texts
use, none of them missing, under a name without "IPA"; and a text with a character IPA Pゴシック
lacks stops the build.

    check_font.py SUBSET_SCRIPT IPA_FONT BUILT_FACE CHARACTER_LIST
"""
import subprocess
import sys
import tempfile
from pathlib import Path

from fontTools.ttLib import TTFont

script, original, built, listing = sys.argv[1:]
failures = []

face = TTFont(built)
wanted = set(Path(listing).read_text(encoding="utf-8").rstrip("\n"))
covered = {chr(c) for c in face.getBestCmap()}
if wanted - covered:
    failures.append(f"characters without a glyph: {''.join(sorted(wanted - covered))}")
if covered - wanted:
    failures.append(f"{len(covered - wanted)} glyphs no text uses, e.g. {''.join(sorted(covered - wanted)[:10])}")
names = {record.toUnicode() for record in face["name"].names if record.nameID in (1, 3, 4, 6, 16)}
if any("IPA" in name for name in names):
    failures.append(f"a derived face named after IPA: {sorted(names)}")

with tempfile.TemporaryDirectory() as work:
    caption = Path(work, "caption.cpp")
    caption.write_text('const char* kCaption = "雨が降ります☔";\n', encoding="utf-8")
    run = subprocess.run([sys.executable, script, original, f"{work}/face.ttf", f"{work}/chars.txt", str(caption)],
                         capture_output=True, text=True)
    if run.returncode == 0 or "U+2614" not in run.stderr:
        failures.append(f"a caption with ☔ (not in the face) did not stop the build: {run.stderr.strip()}")

for failure in failures:
    print("FAIL:", failure)
print(f"{len(wanted)} characters, {'ok' if not failures else 'failed'}")
sys.exit(1 if failures else 0)
