#!/usr/bin/env python3
"""The update check tests' HTTP server on 127.0.0.1: the first path segment picks the reply
("/two/update/ver.php?ver=1" answers "2"). Once it listens, its port goes into the file named
by the argument ("[main]" "port=N"); it ends on "/quit" or after two idle minutes."""
import http.server
import sys

REPLIES = {"one": (200, b"1"), "zero": (200, b"0"), "two": (200, b"2"),
           "spaced": (200, b"  12abc"), "error": (500, b"500 Internal Server Error"),
           "long": (200, b"9" * 5000), "nul": (200, b"3\0\0 junk"),
           "padded": (200, b" " * 4095 + b"7"), "quit": (200, b"0")}


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        name = self.path.split("/")[1]
        status, body = REPLIES.get(name, (404, b"not found"))
        self.send_response(status)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        self.server.done = name == "quit"

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
server.timeout, server.done = 120, False
server.handle_timeout = lambda: setattr(server, "done", True)
with open(sys.argv[1], "w") as f:
    f.write("[main]\nport=%d\n" % server.server_address[1])
while not server.done:
    server.handle_request()
