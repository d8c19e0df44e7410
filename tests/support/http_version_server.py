#!/usr/bin/python3
"""Python's http.server serving a version file for the tests, on 127.0.0.1 and a port the system
chooses. It prints "PORT <n>" first, then "REQUEST <line>" for every line of every request it
reads (request line and headers).

Usage: http_version_server.py ROOT SCENARIO

Scenarios:
  files       serves the files under ROOT (a missing file is the server's own 404)
  error500    answers every request with 500
  slow        reads the request, then sends nothing for a minute
  garbage     answers with bytes that are no HTTP response, then closes
  oversized   200 with a body of 5000 digits
  short       200 announcing 100 bytes, sends 4, then closes
"""

import http.server
import os
import sys
import time

ROOT, SCENARIO = sys.argv[1], sys.argv[2]


def say(text):
    sys.stdout.write(text + "\n")
    sys.stdout.flush()


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=ROOT, **kwargs)

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        say("REQUEST " + self.requestline)
        for name, value in self.headers.items():
            say("REQUEST %s: %s" % (name, value))
        if SCENARIO == "files":
            return super().do_GET()
        if SCENARIO == "error500":
            return self.send_error(500)
        if SCENARIO == "slow":
            time.sleep(60)
            return
        if SCENARIO == "garbage":
            self.wfile.write(b"\x00\x1b[31mgarbage\r\nmore garbage\r\n\r\n1234")
            return
        if SCENARIO == "oversized":
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.end_headers()
            self.wfile.write(b"9" * 5000)
            return
        if SCENARIO == "short":
            self.send_response(200)
            self.send_header("Content-Length", "100")
            self.end_headers()
            self.wfile.write(b"9999")
            return


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
say("PORT %d" % server.server_address[1])
server.serve_forever()
