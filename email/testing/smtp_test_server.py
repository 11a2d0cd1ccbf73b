#!/usr/bin/python3
"""A mail server for the tests: STARTTLS over a throwaway certificate, AUTH, every message
kept as a file of the spool folder (NNNNNN.eml, its envelope recipients in NNNNNN.rcpt).

Options: --port (0: a free one), --refuse ADDRESS (answered 550, repeatable),
--stop-after N (the process ends when a message after the N-th begins: a server that
goes away in the middle of a run). Prints "READY <port>" once it listens."""
import argparse
import os
import signal
import socket
import ssl
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Handler:
    def __init__(self, args):
        self.args = args
        self.count = len([n for n in os.listdir(args.spool) if n.endswith(".eml")])
        self.accepted = 0
        self.lock = threading.Lock()

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        if self.args.stop_after is not None and self.accepted >= self.args.stop_after:
            os._exit(0)
        envelope.mail_from = address
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.args.refuse:
            return "550 5.1.1 Mailbox unavailable: " + address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        with self.lock:
            self.count += 1
            name = os.path.join(self.args.spool, "%06d" % self.count)
        with open(name + ".rcpt.tmp", "w") as f:
            f.write("\n".join(envelope.rcpt_tos))
        os.rename(name + ".rcpt.tmp", name + ".rcpt")
        with open(name + ".eml.tmp", "wb") as f:
            f.write(envelope.original_content)
        os.rename(name + ".eml.tmp", name + ".eml")
        self.accepted += 1
        return "250 2.0.0 Ok: queued as T%06d" % self.count


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--spool", required=True)
    p.add_argument("--cert", required=True)
    p.add_argument("--key", required=True)
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--user", default="cobranca")
    p.add_argument("--password", default="s3nha")
    p.add_argument("--refuse", action="append", default=[])
    p.add_argument("--stop-after", type=int, default=None)
    args = p.parse_args()
    args.refuse = [a.lower() for a in args.refuse]

    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(args.cert, args.key)

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login.decode() == args.user
              and auth_data.password.decode() == args.password)
        # handled=False: the library answers 535 itself.
        return AuthResult(success=ok, handled=False)

    port = args.port or free_port()
    controller = Controller(Handler(args), hostname="127.0.0.1", port=port,
                            tls_context=context, require_starttls=True,
                            authenticator=authenticator, auth_required=True,
                            data_size_limit=10 * 1024 * 1024)
    controller.start()
    print("READY %d" % port, flush=True)
    done = threading.Event()
    signal.signal(signal.SIGTERM, lambda *a: done.set())
    done.wait()
    controller.stop()


if __name__ == "__main__":
    main()
