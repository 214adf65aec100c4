#!/usr/bin/python3
"""The web server behind the screenshots that show a transfer under way.

Usage: scene_server.py. Listens on a free loopback port, writes the port as
one line, and serves until it is ended:
  /sample.zip   8 MB, slowly, so a download shows its status and time left
  /sample.html  a page of 4 MB, slowly, so saving it shows its progress
  /protected    asks for a password (realm "Larkspan sample")
"""
import socket
import socketserver
import sys
import time

# About 640k/sec, in bursts with pauses long enough for the browser's network
# wait to count as idle and let the window's messages run.
RATE_BLOCK = 262144  # bytes per tick
TICK = 0.4  # seconds


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        head = b""
        while b"\r\n\r\n" not in head:
            data = self.request.recv(4096)
            if not data:
                return
            head += data
        path = head.split(b" ", 2)[1].decode("latin-1")
        try:
            if path == "/sample.zip":
                self.trickle(b"application/zip", 8 << 20, b"z")
            elif path == "/sample.html":
                self.trickle(b"text/html", 4 << 20, b"<p>Larkspan sample page</p>\n")
            elif path == "/protected":
                body = b"password required"
                self.request.sendall(
                    b'HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm="Larkspan sample"\r\n'
                    b"Content-Length: %d\r\nConnection: close\r\n\r\n%s" % (len(body), body))
            else:
                self.request.sendall(b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
        except OSError:
            pass  # the browser cancelled

    def trickle(self, kind, length, pattern):
        self.request.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: %s\r\nContent-Length: %d\r\nConnection: close\r\n\r\n"
                             % (kind, length))
        block = (pattern * (RATE_BLOCK // len(pattern) + 1))[:RATE_BLOCK]
        sent = 0
        while sent < length:
            part = block[:length - sent]
            self.request.sendall(part)
            sent += len(part)
            time.sleep(TICK)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True


if __name__ == "__main__":
    with Server(("127.0.0.1", 0), Handler) as server:
        print(server.server_address[1], flush=True)
        server.serve_forever()
