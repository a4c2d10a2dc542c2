#!/usr/bin/env python3
"""Serves a built site on 127.0.0.1 for trying it, as a school's static server would: the .br or
.gz copy beside a file when the browser accepts it, the right type for .wasm and the manifest,
and revalidation (ETag) rather than stale copies, so a new build is seen at once.

    serve.py SITE [PORT]
"""
import hashlib
from io import BytesIO
import http.server
import os
import sys
from functools import partial

TYPES = {".wasm": "application/wasm", ".webmanifest": "application/manifest+json", ".js": "text/javascript",
         ".html": "text/html; charset=utf-8", ".css": "text/css", ".txt": "text/plain; charset=utf-8",
         ".ttf": "font/ttf", ".png": "image/png"}


class Site(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"  # browsers revalidate by ETag only over HTTP/1.1
    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        if not os.path.isfile(path):
            self.send_error(404)
            return None
        accepted = self.headers.get("Accept-Encoding", "")
        body, encoding = path, None
        for suffix, name in ((".br", "br"), (".gz", "gzip")):
            if name in accepted and os.path.isfile(path + suffix):
                body, encoding = path + suffix, name
                break
        with open(body, "rb") as f:
            data = f.read()
        tag = '"%s"' % hashlib.sha256(data).hexdigest()[:20]
        if self.headers.get("If-None-Match") == tag:
            self.send_response(304)
            self.send_header("ETag", tag)
            self.end_headers()
            return None
        self.send_response(200)
        self.send_header("Content-Type", TYPES.get(os.path.splitext(path)[1], "application/octet-stream"))
        if encoding:
            self.send_header("Content-Encoding", encoding)
        self.send_header("Vary", "Accept-Encoding")
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-cache")
        self.send_header("ETag", tag)
        self.end_headers()
        return BytesIO(data)

    def log_message(self, *args):
        if os.environ.get("PERUMORA_SERVE_LOG"):
            super().log_message(*args)


def main():
    site = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 8643
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), partial(Site, directory=site))
    print(f"perumora: serving {site} on http://127.0.0.1:{port}/ (Ctrl+C ends)", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
