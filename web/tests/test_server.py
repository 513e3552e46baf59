# SPDX-License-Identifier: GPL-3.0-or-later
"""The page's folder served on 127.0.0.1 for the browser tests, with the stand-in engine.

Serves the built folder as a static host would, with the engine built for the browser. When a
test asks for a delay on each deck (to catch a check while it runs), or the folder has no engine
of its own (engine/nec2c.js), the stand-in from stub_engine/ is served in its place and its decks
run with Debian's nec2c here, each after that delay. A test that asks for engine="crashing" is
served the stand-in whose answers break the core.
"""

import http.server
import os
import pathlib
import shutil
import subprocess
import tempfile
import threading

STUB = pathlib.Path(__file__).resolve().parent / "stub_engine" / "nec2c.js"
CRASHING_STUB = STUB.with_name("crashing_nec2c.js")


class Server:
    def __init__(self, dist, deck_delay=0.0, engine=True):
        self.dist = pathlib.Path(dist)
        self.engine = engine
        self.deck_delay = deck_delay
        self.decks_run = 0
        self.paths = []
        self.stopped = False
        outer = self

        class Handler(http.server.SimpleHTTPRequestHandler):
            def __init__(self, *args, **kwargs):
                super().__init__(*args, directory=str(outer.dist), **kwargs)

            def log_message(self, *args):
                pass

            def end_headers(self):
                # What the README asks of a static host, so the tests run under it.
                self.send_header("Cache-Control", "no-cache")
                self.send_header("X-Content-Type-Options", "nosniff")
                super().end_headers()

            def do_GET(self):
                outer.paths.append(self.path)
                own = outer.dist / "engine" / "nec2c.js"
                if self.path.split("?")[0] == "/engine/nec2c.js" and not outer.engine:
                    self.send_error(404)
                    return
                if self.path.split("?")[0] == "/engine/nec2c.js" and (
                        outer.deck_delay or not own.exists() or outer.engine == "crashing"):
                    stub = CRASHING_STUB if outer.engine == "crashing" else STUB
                    body = stub.read_bytes()
                    self.send_response(200)
                    self.send_header("Content-Type", "text/javascript")
                    self.send_header("Content-Length", str(len(body)))
                    self.end_headers()
                    self.wfile.write(body)
                    return
                super().do_GET()

            def do_POST(self):
                outer.paths.append(self.path)
                if self.path != "/__test/nec2c":
                    self.send_error(404)
                    return
                deck = self.rfile.read(int(self.headers["Content-Length"]))
                ok, text = outer.run_nec2c(deck)
                body = text.encode()
                try:
                    self.send_response(200 if ok else 500)
                    self.send_header("Content-Type", "text/plain")
                    self.send_header("Content-Length", str(len(body)))
                    self.end_headers()
                    self.wfile.write(body)
                except (BrokenPipeError, ConnectionResetError):
                    pass  # a cancelled check's worker was ended while its deck ran

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)

    def run_nec2c(self, deck):
        if self.deck_delay:
            threading.Event().wait(self.deck_delay)
        with tempfile.TemporaryDirectory() as folder:
            deck_path = os.path.join(folder, "deck.nec")
            out_path = os.path.join(folder, "deck.out")
            with open(deck_path, "wb") as f:
                f.write(deck)
            run = subprocess.run([shutil.which("nec2c"), "-i", deck_path, "-o", out_path],
                                 capture_output=True, timeout=120, check=False)
            self.decks_run += 1
            if run.returncode != 0 or not os.path.exists(out_path):
                return False, "nec2c exited with code %d" % run.returncode
            with open(out_path, encoding="latin-1") as f:
                return True, f.read()

    @property
    def url(self):
        return "http://127.0.0.1:%d/" % self.port

    def __enter__(self):
        self.thread.start()
        return self

    def stop(self):
        """The network cut: nothing listens on the page's address any more. Stopping twice is
        stopping once."""
        if not self.stopped:
            self.stopped = True
            self.httpd.shutdown()
            self.httpd.server_close()

    def __exit__(self, *exc):
        self.stop()
