#!/usr/bin/python3
"""The mail loop's sendmail: procmail runs it (as the mail user) for whatever a recipe sends.
It keeps each mail in SENTDIR as <stamp>.eml with its arguments in <stamp>.args, and hands mail
addressed to ADDRESS back to the SMTP server through its Unix socket SOCKET, as a real MTA would
deliver it (a delivery has no network, see smtp_server.py --local).

Usage: sendmail_stub.py SENTDIR SOCKET ADDRESS [sendmail arguments] < message

Recipients are the arguments that are no options, or with -t the To, Cc and Bcc headers. After
MAXLOOP mails the stub stops feeding back, so that a recipe that loops cannot hang the tests.
"""

import email.parser
import email.utils
import os
import smtplib
import socket
import sys
import time

MAXLOOP = 50



class UnixSMTP(smtplib.SMTP):
    """SMTP over a Unix socket: the host given to connect() is the socket's path."""

    def _get_socket(self, host, port, timeout):
        sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        sock.settimeout(timeout)
        sock.connect(host)
        return sock


sentdir, server_socket, address = sys.argv[1], sys.argv[2], sys.argv[3].lower()
args = sys.argv[4:]
message = sys.stdin.buffer.read()

base = os.path.join(sentdir, "%d.%d" % (time.time_ns(), os.getpid()))
with open(base + ".args", "w") as f:
    f.write("".join(a + "\n" for a in args))
with open(base + ".eml", "wb") as f:
    f.write(message)

recipients = []
skip_value = {"-f", "-F", "-o", "-N", "-R", "-V", "-X", "-B", "-C", "-L", "-O", "-h", "-p", "-q"}
i = 0
while i < len(args):
    a = args[i]
    if a in skip_value:
        i += 2
        continue
    if not a.startswith("-"):
        recipients.append(a)
    i += 1
if "-t" in args:
    headers = email.parser.BytesHeaderParser().parsebytes(message)
    for name in ("To", "Cc", "Bcc"):
        recipients += [addr for _, addr in email.utils.getaddresses(headers.get_all(name, []))]

fed_back = len([n for n in os.listdir(sentdir) if n.endswith(".eml")])
if any(r.lower() == address for r in recipients) and fed_back <= MAXLOOP:
    headers = email.parser.BytesHeaderParser().parsebytes(message)
    sender = email.utils.parseaddr(headers.get("From", ""))[1] or "MAILER-DAEMON"
    try:
        with UnixSMTP(local_hostname="localhost", timeout=60) as smtp:
            smtp.connect(server_socket)
            smtp.sendmail(sender, [address], message.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"))
    except Exception as error:  # the test reads it next to the mail
        with open(base + ".error", "w") as f:
            f.write("%s\n" % error)
        sys.exit(75)
sys.exit(0)
