"""Answers the HTTP client's tests from a table of server behaviours.

Usage: http_answers.py PORT_FILE
Listens on 127.0.0.1 on a free port and writes that port to PORT_FILE once it listens, and on a
second line the port of a socket that takes no connection: its queue is full and it never accepts,
so a client's connect waits as for a host that does not answer. It ends when the connection its
starter opens to /lifeline closes, which happens however the starter ends. Its own output goes to
PORT_FILE.log, so it holds none of its starter's pipes.

Bodies are the pattern byte i = i % 251, so a shifted or repeated chunk shows; the site folder
beside PORT_FILE serves the files that tests put there.
"""
import http.server
import os
import socket
import socketserver
import struct
import sys
import time


def pattern(n):
    return bytes(i % 251 for i in range(n))


class Answers(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        self.answer(b"")

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        self.answer(self.rfile.read(length))

    def answer(self, body):
        name, _, arg = self.path.partition("?")[0].lstrip("/").partition("/")
        route = ROUTES.get(name)
        if route is None:
            self.send_answer(500, b"no such route: " + self.path.encode())
        else:
            route(self, arg, body)

    def send_answer(self, status, body, length=None):
        self.send_response(status)
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.end_headers()
        self.wfile.write(body)

    # /data/N: N pattern bytes with their content length.
    def data(self, arg, _):
        self.send_answer(200, pattern(int(arg)))

    # /missing: an error page, complete with its length.
    def missing(self, arg, _):
        self.send_answer(404, b"<html>not here</html>" * 20)

    # /short/N: announces N bytes, sends half of them and closes.
    def short(self, arg, _):
        n = int(arg)
        self.send_answer(200, pattern(n // 2), length=n)

    # /nolength/N: N bytes without a content length; the close ends them.
    def nolength(self, arg, _):
        self.send_response(200)
        self.end_headers()
        self.wfile.write(pattern(int(arg)))

    # /hugelength: a content length no Integer holds.
    def hugelength(self, arg, _):
        self.send_answer(200, pattern(100), length=3_000_000_000)

    # /reset: bytes without a content length, then the connection breaks instead of closing.
    def reset(self, arg, _):
        self.send_response(200)
        self.end_headers()
        self.wfile.write(pattern(3000))
        self.wfile.flush()
        time.sleep(0.2)
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.connection.close()

    # /slow/N: N chunks of 1025 bytes, one every 20 ms, for transfers cancelled midway.
    def slow(self, arg, _):
        n = int(arg)
        self.send_response(200)
        self.send_header("Content-Length", str(n * 1025))
        self.end_headers()
        body = pattern(n * 1025)
        for i in range(n):
            self.wfile.write(body[i * 1025:(i + 1) * 1025])
            self.wfile.flush()
            time.sleep(0.02)

    # /site/MODE/DIR/FILE: FILE of the folder DIR in the site folder, 404 when there is none. MODE:
    # whole (with its content length), nolength, short (half of it, announcing all), slow (chunks
    # of 1025 bytes, one every 20 ms), silent (no answer at all; FILE.asked beside it tells
    # that the request came) or stall (a first chunk, then 3 s of silence, then the end).
    def site(self, arg, _):
        mode, _, name = arg.partition("/")
        path = os.path.join(SITE, *name.split("/"))
        if not os.path.isfile(path):
            self.send_answer(404, b"<html>not here</html>")
            return
        with open(path, "rb") as f:
            body = f.read()
        if mode == "whole":
            self.send_answer(200, body)
        elif mode == "nolength":
            self.send_response(200)
            self.end_headers()
            self.wfile.write(body)
        elif mode == "short":
            self.send_answer(200, body[:len(body) // 2], length=len(body))
        elif mode == "slow":
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            for i in range(0, len(body), 1025):
                self.wfile.write(body[i:i + 1025])
                self.wfile.flush()
                time.sleep(0.02)
        elif mode == "silent":
            open(path + ".asked", "w").close()
            time.sleep(600)
        elif mode == "stall":
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[:1025])
            self.wfile.flush()
            time.sleep(3)
        else:
            self.send_answer(500, b"no such mode: " + mode.encode())

    # /lifeline: held open by the test program; its end ends the server.
    def lifeline(self, arg, _):
        while self.connection.recv(1024):
            pass
        os._exit(0)

    # /silent: no answer at all.
    def silent(self, arg, _):
        time.sleep(600)

    # /stall: a first chunk, then silence.
    def stall(self, arg, _):
        self.send_response(200)
        self.send_header("Content-Length", "50000")
        self.end_headers()
        self.wfile.write(pattern(1025))
        self.wfile.flush()
        time.sleep(600)

    # /private: asks for credentials, then echoes the request.
    def private(self, arg, body):
        if "Authorization" not in self.headers:
            self.send_response(401)
            self.send_header("WWW-Authenticate", 'Basic realm="updates"')
            self.send_header("Content-Length", "0")
            self.end_headers()
        else:
            self.echo(arg, body)

    # /echo: the request as the server saw it, one "name: value" line each.
    def echo(self, arg, body):
        lines = [
            "method: " + self.command,
            "version: " + self.request_version,
            "path: " + self.path,
        ]
        for header in ("Accept", "Referer", "User-Agent", "Content-Type", "Authorization"):
            lines.append(header.lower() + ": " + self.headers.get(header, "(none)"))
        lines.append("body: " + body.decode("latin-1"))
        self.send_answer(200, "".join(line + "\n" for line in lines).encode("latin-1"))

    def log_message(self, *args):
        pass


ROUTES = {
    "data": Answers.data,
    "missing": Answers.missing,
    "short": Answers.short,
    "nolength": Answers.nolength,
    "hugelength": Answers.hugelength,
    "reset": Answers.reset,
    "slow": Answers.slow,
    "echo": Answers.echo,
    "private": Answers.private,
    "lifeline": Answers.lifeline,
    "silent": Answers.silent,
    "stall": Answers.stall,
    "site": Answers.site,
}

SITE = None


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # Clients that cancel drop their connection; that is expected here.
        pass


def taking_no_connection():
    """A listening socket whose queue its own connection fills, and which never accepts: a further
    connect to it stays in SYN_SENT."""
    sock = socket.socket()
    sock.bind(("127.0.0.1", 0))
    sock.listen(0)
    filler = socket.socket()
    filler.setblocking(False)
    try:
        filler.connect(sock.getsockname())
    except BlockingIOError:
        pass
    return sock, filler


def main():
    global SITE
    port_file = sys.argv[1]
    SITE = os.path.join(os.path.dirname(port_file), "site")
    log = os.open(port_file + ".log", os.O_WRONLY | os.O_CREAT | os.O_TRUNC)
    os.dup2(log, 1)
    os.dup2(log, 2)
    os.closerange(3, 1024)
    server = Server(("127.0.0.1", 0), Answers)
    unaccepting, _filler = taking_no_connection()
    with open(port_file + ".tmp", "w") as f:
        f.write("%d\n%d\n" % (server.server_address[1], unaccepting.getsockname()[1]))
    os.replace(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
