#!/usr/bin/python3
"""A real SMTP server (aiosmtpd) for the tests, on 127.0.0.1 and a port the system chooses. It
prints "PORT <n>" first, then "CONNECT" for every connection it accepts and "AUTH <mechanism>
<ok|failed>" for every login. Each message it takes is written byte for byte to
OUTDIR/msg-<n>.eml (the data as received, dot-stuffing removed) with OUTDIR/msg-<n>.env holding
the envelope: "FROM <addr>" and one "TO <addr>" line per recipient.

Usage: smtp_server.py OUTDIR [--auth USER PASSWORD] [--relay-domain DOMAIN]
                        [--local ADDRESS USER SENDMAIL] [--starttls CERT KEY] [--implicit CERT KEY]

--auth           requires a login before MAIL (PLAIN, LOGIN, and CRAM-MD5 through the handler below)
--relay-domain   refuses every recipient outside DOMAIN with 550, as a server that does not relay
--local          delivers mail for ADDRESS as an MTA with procmail as its local delivery agent
                 does: a "From " line is put in front and real procmail runs as USER (its home and
                 .procmailrc from the password file), with SENDMAIL given on its command line. It
                 runs in mount and network namespaces of its own: /usr/sbin/sendmail is SENDMAIL
                 there too, so that a procmail started by a recipe (which falls back to that
                 built-in path) and a .procmailrc that names the path reach the stub, never a real
                 MTA, and nothing a recipe runs can reach a network. Mail comes back in only
                 through OUTDIR/local.sock, where the server takes SMTP as on its port. The
                 mailbox is procmail's own default, /var/mail/USER, so that a procmail started by
                 a recipe delivers to the same one. It prints "LOCAL <n>" when it starts and
                 "DELIVER <n> <exit code>" when procmail has ended; a
                 procmail that fails makes the server answer 451, as an MTA defers.
--starttls       offers STARTTLS with the certificate and demands it before MAIL and AUTH
--implicit       speaks TLS from the first byte with the certificate (as on port 465)
"""

import asyncio
import hmac
import os
import pwd
import secrets
import ssl
import sys
import time

from aiosmtpd.smtp import MISSING, SMTP, AuthResult, LoginPassword

OUTDIR = sys.argv[1]
ARGS = sys.argv[2:]
USER = PASSWORD = RELAY = None
if "--auth" in ARGS:
    i = ARGS.index("--auth")
    USER, PASSWORD = ARGS[i + 1].encode(), ARGS[i + 2].encode()
if "--relay-domain" in ARGS:
    RELAY = ARGS[ARGS.index("--relay-domain") + 1].lower()
LOCAL = None
if "--local" in ARGS:
    i = ARGS.index("--local")
    LOCAL = (ARGS[i + 1].lower(), ARGS[i + 2], ARGS[i + 3])
TLS = None
for option in ("--starttls", "--implicit"):
    if option in ARGS:
        i = ARGS.index(option)
        TLS = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        TLS.load_cert_chain(ARGS[i + 1], ARGS[i + 2])
STARTTLS = "--starttls" in ARGS
COUNT = [0]


def say(text):
    sys.stdout.write(text + "\n")
    sys.stdout.flush()


class Handler:
    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if RELAY and not address.lower().endswith("@" + RELAY):
            return "550 5.7.1 <%s>: Relay access denied" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        COUNT[0] += 1
        n = COUNT[0]
        base = os.path.join(OUTDIR, "msg-%d" % n)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".env", "w") as f:
            f.write("FROM %s\n" % envelope.mail_from)
            for rcpt in envelope.rcpt_tos:
                f.write("TO %s\n" % rcpt)
        if LOCAL and any(r.lower() == LOCAL[0] for r in envelope.rcpt_tos):
            say("LOCAL %d" % n)
            code = await deliver_locally(envelope)
            say("DELIVER %d %d" % (n, code))
            if code != 0:
                return "451 4.3.0 procmail exited with %d" % code
        return "250 2.0.0 Ok: queued as %d" % n

    # aiosmtpd has no CRAM-MD5 of its own; RFC 2195.
    async def auth_CRAM__MD5(self, server, args):
        challenge = ("<%s@zeph.test>" % secrets.token_hex(8)).encode()
        answer = await server.challenge_auth(challenge)
        if answer is MISSING:
            return AuthResult(success=False, handled=True)
        user, _, digest = answer.rpartition(b" ")
        expected = hmac.new(PASSWORD or b"", challenge, "md5").hexdigest().encode()
        ok = USER is not None and user == USER and hmac.compare_digest(digest, expected)
        say("AUTH CRAM-MD5 %s" % ("ok" if ok else "failed"))
        return AuthResult(success=ok, handled=False)


# Laid over /usr/sbin inside each delivery's mount namespace: the directory holds only "sendmail",
# a link to the stub, and hides any sendmail of the machine while the rest of /usr/sbin shows.
SBIN_OVERLAY = os.path.join(OUTDIR, "sbin-overlay")
LOCAL_SOCKET = os.path.join(OUTDIR, "local.sock")
DELIVERY_SCRIPT = """
mount -t overlay zeph-sendmail -o "lowerdir=$1:/usr/sbin" /usr/sbin || {
    echo "smtp_server.py: cannot lay the sendmail stub over /usr/sbin (an overlay mount needs root)" >&2
    exit 75
}
exec setpriv --reuid="$2" --regid="$2" --clear-groups -- /usr/bin/procmail "SENDMAIL=$3"
"""


def prepare_overlay():
    os.makedirs(SBIN_OVERLAY, exist_ok=True)
    link = os.path.join(SBIN_OVERLAY, "sendmail")
    if not os.path.lexists(link):
        os.symlink(LOCAL[2], link)


async def deliver_locally(envelope):
    address, user, sendmail = LOCAL
    home = pwd.getpwnam(user).pw_dir
    sender = envelope.mail_from or "MAILER-DAEMON"
    stamp = time.strftime("%a %b %d %H:%M:%S %Y", time.gmtime())
    data = ("From %s  %s\n" % (sender, stamp)).encode() + envelope.original_content.replace(b"\r\n", b"\n")
    # The event loop keeps serving while procmail runs: what procmail sends back to the user comes
    # in on a new connection before this delivery ends.
    process = await asyncio.create_subprocess_exec(
        "unshare", "--mount", "--net", "--propagation", "private", "--",
        "/bin/sh", "-c", DELIVERY_SCRIPT, "deliver", SBIN_OVERLAY, user, sendmail,
        stdin=asyncio.subprocess.PIPE, cwd=home,
        env={"PATH": "/usr/bin:/bin", "LANG": "C", "HOME": home, "LOGNAME": user, "USER": user})
    await process.communicate(data)
    return process.returncode


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = (isinstance(auth_data, LoginPassword) and USER is not None
          and auth_data.login == USER and auth_data.password == PASSWORD)
    say("AUTH %s %s" % (mechanism, "ok" if ok else "failed"))
    return AuthResult(success=ok, handled=False)


class LoggingSMTP(SMTP):
    def connection_made(self, transport):
        say("CONNECT")
        super().connection_made(transport)


async def main():
    if LOCAL:
        prepare_overlay()
    loop = asyncio.get_running_loop()
    auth = USER is not None
    server = await loop.create_server(
        lambda: LoggingSMTP(Handler(), decode_data=False, hostname="zeph.test",
                            authenticator=authenticator if auth else None,
                            auth_required=auth, auth_require_tls=STARTTLS,
                            tls_context=TLS if STARTTLS else None, require_starttls=STARTTLS),
        "127.0.0.1", 0, ssl=TLS if TLS and not STARTTLS else None)
    if LOCAL:
        await loop.create_unix_server(
            lambda: LoggingSMTP(Handler(), decode_data=False, hostname="zeph.test"), LOCAL_SOCKET)
        # The stub runs as the mail user: it may pass through OUTDIR to the socket, no further.
        os.chmod(OUTDIR, 0o711)
        os.chmod(LOCAL_SOCKET, 0o666)
    say("PORT %d" % server.sockets[0].getsockname()[1])
    await server.serve_forever()


asyncio.run(main())
