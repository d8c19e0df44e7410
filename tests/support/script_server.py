#!/usr/bin/python3
"""A scripted peer for the replies a real server will not produce: split replies, garbage,
silence, drops. It binds 127.0.0.1 on a port the system chooses, prints "PORT <n>", then plays
SCRIPT to every connection and prints "C: <line>" for every line the client sends.

Usage: script_server.py SCRIPT

SCRIPT is a file of steps, one a line:
  say TEXT      sends TEXT; \\r, \\n, \\t, \\xHH and \\\\ are escapes
  split TEXT    sends TEXT two bytes at a time with short pauses
  hear          reads one line from the client
  hear-all      reads lines until the client closes
  sleep SECS    waits
  flood TEXT    sends TEXT again and again until the client goes
  close         closes the connection
At the end of the script the connection is closed.
"""

import socket
import sys
import threading
import time

STEPS = []
with open(sys.argv[1], encoding="utf-8") as f:
    for raw in f.read().split("\n"):
        if raw:
            op, _, arg = raw.partition(" ")
            STEPS.append((op, arg.encode("latin-1").decode("unicode_escape").encode("latin-1")))
LOCK = threading.Lock()


def say(text):
    with LOCK:
        sys.stdout.write(text + "\n")
        sys.stdout.flush()


def serve(conn):
    reader = conn.makefile("rb")

    def hear():
        line = reader.readline()
        if line:
            say("C: " + line.rstrip(b"\r\n").decode("latin-1"))
        return line

    try:
        for op, arg in STEPS:
            if op == "say":
                conn.sendall(arg)
            elif op == "split":
                for i in range(0, len(arg), 2):
                    conn.sendall(arg[i:i + 2])
                    time.sleep(0.01)
            elif op == "hear":
                hear()
            elif op == "hear-all":
                while hear():
                    pass
            elif op == "sleep":
                time.sleep(float(arg))
            elif op == "flood":
                while True:
                    conn.sendall(arg)
            elif op == "close":
                break
    except OSError:
        pass
    finally:
        conn.close()


listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", 0))
listener.listen(8)
say("PORT %d" % listener.getsockname()[1])
while True:
    c, _ = listener.accept()
    threading.Thread(target=serve, args=(c,), daemon=True).start()
