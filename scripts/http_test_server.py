#!/usr/bin/env python3
"""Loopback HTTP server for the network tests. Prints its port on the first line of stdout.

Plain requests:  /checkip.php -> "203.0.113.7\n"; /redirect -> 302 to /checkip.php;
                 /ok -> "fine"; anything else -> 404.
Proxy requests (absolute URL in the request line) need "Proxy-Authorization: Basic" with
user "proxyuser" and password "proxypass", else 407; then answered as "via-proxy".
"""
import base64
import http.server
import sys

EXPECTED = "Basic " + base64.b64encode(b"proxyuser:proxypass").decode()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True

    def do_GET(self):
        if self.path.startswith("http://"):
            if self.headers.get("Proxy-Authorization") != EXPECTED:
                self.answer(407, b"", [("Proxy-Authenticate", 'Basic realm="test"')])
            else:
                self.answer(200, b"via-proxy")
            return
        if self.path == "/checkip.php":
            self.answer(200, b"203.0.113.7\n")
        elif self.path == "/redirect":
            self.answer(302, b"", [("Location", "/checkip.php")])
        elif self.path == "/ok":
            self.answer(200, b"fine")
        else:
            self.answer(404, b"missing")


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
