#!/usr/bin/python3
"""A small FTP server that misbehaves on purpose, for the faults a real server will not produce
on demand. It binds 127.0.0.1 on a port the system chooses, prints "PORT <n>" on its first line,
then "C: <line>" for every command it receives. Every data connection also stays on 127.0.0.1.

Usage: ftp_fault_server.py SCENARIO [FILE_SIZE | CERT KEY]

Scenarios (each only changes what it names; the rest behaves like a plain server with files in
memory):
  normal        plain behaviour
  split         every reply is sent a few bytes at a time; the greeting has several lines
  nopass        the reply to USER is 230 (no password asked)
  garbage       the greeting is not an FTP reply, then silence
  silent        the greeting never comes
  overlong      the greeting is an endless line without a line end
  refuse-login  530 to PASS
  abort426      RETR sends half the file, then 426
  drop          RETR sends half the file, then drops both connections
  stall         RETR sends half the file, then sends nothing more and keeps the connections open
  short         RETR announces the size but sends half the file, then 226
  late451       RETR sends the whole file, then 451
  stor452       STOR reads the data, then 452 (disk full)
  hostile       LIST names files with control characters, slashes and dot names
  dialects      LIST mixes Unix lines (a link, a device), DOS lines and lines of no known dialect
  pasv-other    PASV names 127.0.0.2 (the data port listens on 127.0.0.1)
  chmod500      SITE chmod gets 500, QUOTE chmod gets 200
  chmod550      SITE chmod gets 550
  chmod502      SITE chmod gets 502
  nolastline    LIST data ends without a final line end
  fail2nd       the second STOR gets 452 after its data
  stall2nd      the second STOR reads its data and never answers
  escapes       the greeting and the reply to DELE carry terminal escape sequences
  retr450       RETR gets 450 (file busy) for every name
  nopwd         PWD gets 500

Hostile scenarios, for the bounds on what a server can make the client wait for or hold:
  flood         the greeting is "220 flood" lines without end
  trickle       the greeting comes one byte a second and never ends its line
  endless-list  LIST sends listing lines without end; 426 once the client closes the data
  silent-login  logs in, then reads every command and answers none
  active-thief  in active mode a connection from 127.0.0.2 comes first with bogus data; the
                server's own follows once the client has closed that one
  large         RETR large.bin sends LARGE_SIZE bytes from a repeated block
  tls-stall     AUTH TLS gets 234, then the client's first TLS bytes are read and never answered
  implicit-stall  no greeting: the client's first TLS bytes are read and never answered

With CERT and KEY the server also takes AUTH TLS, PBSZ and PROT, and runs every data connection
in TLS, ending each with the close notification, except:
  tls-truncate  RETR sends half the file and closes the data connection without the close
                notification, then 226
"""

import socket
import sys
import threading
import time

SCENARIO = sys.argv[1] if len(sys.argv) > 1 else "normal"
FILE_SIZE = int(sys.argv[2]) if len(sys.argv) == 3 else 200000
TLS = None
if len(sys.argv) == 4:
    import ssl
    TLS = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    TLS.load_cert_chain(sys.argv[2], sys.argv[3])
LOCK = threading.Lock()
FILES = {b"data.bin": bytes((i * 7 + 3) % 256 for i in range(FILE_SIZE)),
         b"text.txt": b"line one\r\nline two\r\n"}
LARGE_SIZE = 256 * 1024 * 1024
HOLD = []  # connections a stall keeps open
STORES = [0]


def say(text):
    with LOCK:
        sys.stdout.write(text + "\n")
        sys.stdout.flush()


class Session:
    def __init__(self, conn):
        self.conn = conn
        self.pasv_listener = None
        self.port_target = None
        self.rename_from = None
        self.logged_in = False
        self.tls = False

    def send(self, text):
        data = text.encode("latin-1") + b"\r\n"
        if SCENARIO == "split":
            for i in range(0, len(data), 3):
                self.conn.sendall(data[i:i + 3])
                time.sleep(0.002)
        else:
            self.conn.sendall(data)

    def open_data(self):
        data = self.open_plain_data()
        if data is not None and self.tls:
            data = TLS.wrap_socket(data, server_side=True)
        return data

    def close_data(self, data, notify=True):
        """Ends a data connection; over TLS with the close notification unless told not to."""
        if self.tls and notify:
            try:
                data = data.unwrap()
            except (OSError, ValueError):
                pass
        data.close()

    def open_plain_data(self):
        if self.pasv_listener is not None:
            self.pasv_listener.settimeout(10)
            data, _ = self.pasv_listener.accept()
            self.pasv_listener.close()
            self.pasv_listener = None
            return data
        if self.port_target is not None:
            if SCENARIO == "active-thief":
                self.thief_connects(self.port_target)
            data = socket.create_connection(self.port_target, timeout=10)
            self.port_target = None
            return data
        return None

    def thief_connects(self, target):
        thief = socket.socket()
        thief.bind(("127.0.0.2", 0))
        thief.settimeout(10)
        thief.connect(target)
        try:
            thief.sendall(b"-rw-r--r--   1 thief g      66 Jan  1 12:00 stolen.txt\r\n")
            thief.recv(1)  # returns once the client closes the connection
        except OSError:
            pass
        say("THIEF closed")
        thief.close()

    def endless_listing(self, data):
        block = b"".join(b"-rw-r--r--   1 u g      10 Jan  1 12:00 file%08d.txt\r\n" % i
                         for i in range(1000))
        try:
            while True:
                data.sendall(block)
        except OSError:
            pass
        data.close()
        self.send("426 Failure writing network stream.")

    def listing(self):
        if SCENARIO == "hostile":
            names = [b"..", b".", b"a/b", b"evil\x1b[31mred", b"tab\tname", b"back\\slash", b"fine.txt"]
            lines = [b"-rw-r--r--   1 u g      10 Jan  1 12:00 " + n for n in names]
            lines.insert(0, b"drwxr-xr-x   2 u g    4096 Jan  1 12:00 ..")
            return b"\r\n".join(lines) + b"\r\n"
        if SCENARIO == "dialects":
            return (b"total 16\r\n"
                    b"lrwxrwxrwx   1 u g       11 Mar  5 09:04 www -> public_html\r\n"
                    b"crw-rw-rw-   1 0 0     1,   3 Jan  1  2020 null\r\n"
                    b"-rw-r--r--   1 u g 5368709120 Oct 12  2019 big.iso\r\n"
                    b"12-31-20  11:59PM       <DIR>          Old Stuff\r\n"
                    b"01-15-21  10:30AM                 1234 report.txt\r\n"
                    b"+i8388621.48594,m825718503,r,s280,\tdjb.html\r\n")
        lines = [b"-rw-r--r--   1 u g %7d Jan  1 12:00 %s" % (len(v), k) for k, v in sorted(FILES.items())]
        text = b"\r\n".join(lines)
        return text if SCENARIO == "nolastline" else text + b"\r\n"

    def stall_tls(self):
        hello = self.conn.recv(4096)
        say("TLS: %d bytes" % len(hello))
        time.sleep(3600)

    def run(self):
        if SCENARIO == "implicit-stall":
            self.stall_tls()
            return
        if SCENARIO == "silent":
            time.sleep(3600)
            return
        if SCENARIO == "garbage":
            self.conn.sendall(b"HELLO THERE this is not ftp\r\n")
            time.sleep(3600)
            return
        if SCENARIO == "flood":
            try:
                while True:
                    self.conn.sendall(b"220 flood\r\n" * 4096)
            except OSError:
                return
        if SCENARIO == "trickle":
            try:
                while True:
                    self.conn.sendall(b"2")
                    time.sleep(1)
            except OSError:
                return
        if SCENARIO == "overlong":
            try:
                while True:
                    self.conn.sendall(b"x" * 65536)
            except OSError:
                return
        if SCENARIO == "split":
            self.send("220-Welcome to the fault server")
            self.send("220-second line of the greeting")
        self.send("220 \x1b[2Jfault server ready" if SCENARIO == "escapes" else "220 fault server ready")
        buffer = b""
        while True:
            try:
                chunk = self.conn.recv(4096)
            except OSError:
                return
            if not chunk:
                return
            buffer += chunk
            while b"\n" in buffer:
                line, buffer = buffer.split(b"\n", 1)
                line = line.rstrip(b"\r")
                say("C: " + line.decode("latin-1"))
                if not self.command(line):
                    return

    def command(self, line):
        verb, _, arg = line.partition(b" ")
        verb = verb.upper()
        if SCENARIO == "silent-login" and self.logged_in:
            return True
        if verb == b"AUTH" and SCENARIO == "tls-stall":
            self.send("234 go ahead")
            self.stall_tls()
            return False
        if verb == b"AUTH" and TLS is not None:
            self.send("234 go ahead")
            self.conn = TLS.wrap_socket(self.conn, server_side=True)
            self.tls = True
            return True
        if verb in (b"PBSZ", b"PROT") and self.tls:
            self.send("200 ok")
            return True
        if verb == b"USER":
            self.send("230 logged in" if SCENARIO == "nopass" else "331 password please")
        elif verb == b"PASS":
            self.send("530 Login incorrect." if SCENARIO == "refuse-login" else "230 logged in")
            self.logged_in = SCENARIO != "refuse-login"
        elif verb == b"TYPE":
            self.send("200 type set")
        elif verb in (b"PWD", b"XPWD"):
            self.send("500 Unknown command." if SCENARIO == "nopwd" else '257 "/home/u" is the current directory')
        elif verb in (b"CWD", b"CDUP"):
            self.send("250 ok")
        elif verb == b"PASV":
            listener = socket.socket()
            listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            listener.bind(("127.0.0.1", 0))
            listener.listen(1)
            self.pasv_listener = listener
            port = listener.getsockname()[1]
            host = "127,0,0,2" if SCENARIO == "pasv-other" else "127,0,0,1"
            self.send("227 Entering Passive Mode (%s,%d,%d)." % (host, port // 256, port % 256))
        elif verb == b"PORT":
            parts = arg.split(b",")
            address = ".".join(p.decode() for p in parts[:4])
            if not address.startswith("127."):
                self.send("501 only loopback")
            else:
                self.port_target = (address, int(parts[4]) * 256 + int(parts[5]))
                self.send("200 PORT ok")
        elif verb == b"RETR":
            return self.retrieve(arg)
        elif verb == b"STOR":
            self.send("150 Ok to send data.")
            data = self.open_data()
            received = b""
            while True:
                chunk = data.recv(65536)
                if not chunk:
                    break
                received += chunk
            data.close()
            STORES[0] += 1
            if SCENARIO == "stall2nd" and STORES[0] == 2:
                HOLD.append(self.conn)
                time.sleep(3600)
                return False
            if SCENARIO == "stor452" or (SCENARIO == "fail2nd" and STORES[0] == 2):
                self.send("452 Transfer aborted.  No space left on device")
            else:
                FILES[arg] = received
                self.send("226 Transfer complete.")
        elif verb in (b"LIST", b"NLST"):
            self.send("150 Here comes the directory listing.")
            data = self.open_data()
            if SCENARIO == "endless-list":
                self.endless_listing(data)
                return True
            data.sendall(self.listing())
            data.close()
            self.send("226 Directory send OK.")
        elif verb == b"RNFR":
            if arg in FILES:
                self.rename_from = arg
                self.send("350 Ready for RNTO.")
            else:
                self.send("550 RNFR command failed.")
        elif verb == b"RNTO":
            if self.rename_from is None:
                self.send("503 RNFR required first.")
            else:
                FILES[arg] = FILES.pop(self.rename_from)
                self.rename_from = None
                self.send("250 Rename successful.")
        elif verb == b"DELE":
            if SCENARIO == "escapes":
                self.send("550 \x1b]0;owned\x07\x1b[31mgone\rback\\slash \xc2\x9b1m\x7f")
            elif FILES.pop(arg, None) is None:
                self.send("550 Delete operation failed.")
            else:
                self.send("250 Delete operation successful.")
        elif verb in (b"MKD", b"RMD"):
            self.send('257 "%s" created' % arg.decode("latin-1") if verb == b"MKD" else "250 Remove directory ok.")
        elif verb == b"SITE":
            if SCENARIO == "chmod500":
                self.send("500 Unknown SITE command.")
            elif SCENARIO == "chmod550":
                self.send("550 Permission denied.")
            elif SCENARIO == "chmod502":
                self.send("502 SITE not implemented.")
            else:
                self.send("200 SITE CHMOD command ok.")
        elif verb == b"QUOTE":
            self.send("200 chmod ok.")
        elif verb == b"ABOR":
            self.send("226 ABOR ok.")
        elif verb == b"QUIT":
            self.send("221 Goodbye.")
            return False
        elif line.startswith(b"\xff"):
            pass  # Telnet interrupt before ABOR
        else:
            self.send("500 Unknown command.")
        return True

    def retrieve_large(self):
        self.send("150 Opening BINARY mode data connection for large.bin (%d bytes)." % LARGE_SIZE)
        data = self.open_data()
        block = bytes(range(256)) * 4096
        for _ in range(LARGE_SIZE // len(block)):
            data.sendall(block)
        data.close()
        self.send("226 Transfer complete.")
        return True

    def retrieve(self, name):
        if SCENARIO == "retr450":
            self.send("450 Requested file action not taken.  File busy.")
            return True
        if SCENARIO == "large" and name == b"large.bin":
            return self.retrieve_large()
        content = FILES.get(name)
        if content is None:
            self.send("550 Failed to open file.")
            return True
        self.send("150 Opening BINARY mode data connection for %s (%d bytes)."
                  % (name.decode("latin-1"), len(content)))
        data = self.open_data()
        half = content[:len(content) // 2]
        if SCENARIO == "abort426":
            data.sendall(half)
            data.close()
            self.send("426 Failure writing network stream.")
        elif SCENARIO == "drop":
            data.sendall(half)
            data.shutdown(socket.SHUT_RDWR)
            data.close()
            self.conn.shutdown(socket.SHUT_RDWR)
            self.conn.close()
            return False
        elif SCENARIO == "stall":
            data.sendall(half)
            HOLD.append(data)
            HOLD.append(self.conn)
            time.sleep(3600)
            return False
        elif SCENARIO == "short":
            data.sendall(half)
            data.close()
            self.send("226 Transfer complete.")
        elif SCENARIO == "late451":
            data.sendall(content)
            data.close()
            self.send("451 Local error in processing.")
        elif SCENARIO == "tls-truncate":
            data.sendall(half)
            self.close_data(data, notify=False)
            self.send("226 Transfer complete.")
        else:
            data.sendall(content)
            self.close_data(data)
            self.send("226 Transfer complete.")
        return True


def serve(conn):
    try:
        Session(conn).run()
    except OSError:
        pass
    finally:
        if conn not in HOLD:
            try:
                conn.close()
            except OSError:
                pass


def main():
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(8)
    say("PORT %d" % server.getsockname()[1])
    while True:
        conn, _ = server.accept()
        threading.Thread(target=serve, args=(conn,), daemon=True).start()


if __name__ == "__main__":
    main()
