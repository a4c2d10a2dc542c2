#!/usr/bin/env python3
"""Puts the web site together in one folder: the page and its service worker (told the build's
version and every file with its digest), the program, the face, the icons and the licences, and a
gzip and a brotli copy of every file that compresses, for a plain static server to send. Every
script is minified (terser), keeping the copyright lines it opens with.
The same inputs give the same bytes."""
import argparse
import gzip
import hashlib
import json
import shutil
import subprocess
from pathlib import Path

PAGE_FILES = ["index.html", "page.css", "page.js", "manifest.webmanifest", "licence.html"]
PROGRAM_FILES = ["perumora.js", "perumora.wasm", "qtloader.js"]
ICON_SIZES = [32, 64, 128, 256]
STORED_AS_IS = {".png"}  # already compressed


def arguments():
    parser = argparse.ArgumentParser()
    for name in ["page", "program", "font", "icons", "licence", "font-licence", "lgpl", "version", "out"]:
        parser.add_argument(f"--{name}", required=True)
    parser.add_argument("--commit", default="")
    parser.add_argument("--source-url", default="")
    return parser.parse_args()


def fill(text, values):
    for key, value in values.items():
        text = text.replace(f"@{key}@", value)
    return text


def source_line(url):
    if url:
        return f'<a href="{url}">{url}</a>'
    return ("このページを配った学校や先生に求めてください（ソースを受け取る権利が GPL で保証されています）。"
            " / Ask the school or teacher who shared this page for it; the GPL entitles you to it.")


def leading_comments(text):
    lines = []
    for line in text.splitlines():
        if not line.startswith("//"):
            break
        lines.append(line)
    return "\n".join(lines)


def minify(path):
    preamble = leading_comments(path.read_text(encoding="utf-8"))
    small = subprocess.run(["terser", str(path), "--compress", "--mangle", "--ecma", "2020"], check=True,
                           capture_output=True, text=True).stdout
    path.write_text(f"{preamble}\n{small}" if preamble else small, encoding="utf-8")


def compressed_copies(path):
    data = path.read_bytes()
    with open(f"{path}.gz", "wb") as out:
        out.write(gzip.compress(data, compresslevel=9, mtime=0))
    subprocess.run(["brotli", "-q", "11", "-f", "-o", f"{path}.br", str(path)], check=True)


def main():
    a = arguments()
    out = Path(a.out)
    shutil.rmtree(out, ignore_errors=True)
    (out / "icons").mkdir(parents=True)
    for name in PROGRAM_FILES:
        shutil.copyfile(Path(a.program) / name, out / name)
        if name.endswith(".js"):
            minify(out / name)
    shutil.copyfile(a.font, out / "perumora-gothic.ttf")
    for size in ICON_SIZES:
        shutil.copyfile(Path(a.icons) / f"perumora-{size}.png", out / "icons" / f"perumora-{size}.png")
    shutil.copyfile(a.licence, out / "COPYING.txt")
    shutil.copyfile(a.font_licence, out / "IPA-Font-License.txt")
    shutil.copyfile(a.lgpl, out / "LGPL-3.txt")

    values = {"VERSION": a.version, "COMMIT": a.commit or "?", "SOURCE": source_line(a.source_url),
              "WASM_BYTES": str((out / "perumora.wasm").stat().st_size)}
    for name in PAGE_FILES:  # written before the build's digest is taken, so it covers them too
        text = (Path(a.page) / name).read_text(encoding="utf-8")
        (out / name).write_text(fill(text, {**values, "BUILD": "@BUILD@"}), encoding="utf-8")
        if name.endswith(".js"):
            minify(out / name)

    files = sorted(p.relative_to(out).as_posix() for p in out.rglob("*") if p.is_file())
    digests = {f: hashlib.sha256((out / f).read_bytes()).hexdigest() for f in files}
    build = hashlib.sha256(json.dumps(digests, sort_keys=True).encode()).hexdigest()[:16]
    for name in PAGE_FILES:
        path = out / name
        path.write_text(path.read_text(encoding="utf-8").replace("@BUILD@", build), encoding="utf-8")
        digests[name] = hashlib.sha256(path.read_bytes()).hexdigest()
    cached = [[f, digests[f]] for f in files]
    worker = (Path(a.page) / "sw.js").read_text(encoding="utf-8")
    (out / "sw.js").write_text(fill(worker, {"BUILD": build, "FILES": json.dumps(cached, indent=1)}),
                               encoding="utf-8")
    minify(out / "sw.js")

    for path in sorted(out.rglob("*")):
        if path.is_file() and path.suffix not in STORED_AS_IS:
            compressed_copies(path)
    print(f"site {out}: build {build}, {len(files) + 1} files")


if __name__ == "__main__":
    main()
