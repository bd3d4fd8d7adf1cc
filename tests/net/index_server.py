#!/usr/bin/env python3
"""A game-list server for the HTTP client's tests, friendly and hostile by path. Binds a free
loopback port, prints it on the first line of its output, then serves until its input closes.
Usage: index_server.py ICON_FILE"""
import http.server
import socketserver
import struct
import sys
import threading
import time
import zlib

ICON = open(sys.argv[1], "rb").read() if len(sys.argv) > 1 else b""
GOOD = b'''[
 {"id": "royal-expedition", "fullname": {"en": "Royal Expedition"}, "scheme": "royalexpedition"},
 {"id": "moonkettle-slime-ranch", "fullname": {"en": "Slime Ranch", "ja": "", "cn": ""}, "detail": {"en": "Slimes"},
  "scheme": "moonkettle-slimeranch"},
 "not a game", 42,
 {"id": "../../etc/passwd", "fullname": {"en": "Sneaky"}, "scheme": "x; rm -rf ~"}
]'''


def png_header(width, height):
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    chunk = struct.pack(">I", 13) + b"IHDR" + ihdr + struct.pack(">I", zlib.crc32(b"IHDR" + ihdr))
    return b"\x89PNG\r\n\x1a\n" + chunk


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send(self, status, body, length=True, headers=()):
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        if length:
            self.send_header("Content-Length", str(len(body)))
        else:
            self.send_header("Connection", "close")
        self.end_headers()
        try:
            self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def do_GET(self):
        path = self.path.split("?")[0]
        if path == "/good/index_ios.json":
            return self.send(200, GOOD)
        if path == "/good/icon_ios/moonkettle-slime-ranch.png":
            return self.send(200, ICON)
        if path == "/huge/index_ios.json":  # a good index whose icon is the one below
            return self.send(200, GOOD)
        if path == "/huge/icon_ios/moonkettle-slime-ranch.png":
            return self.send(200, png_header(20000, 20000) + b"\0" * 4096)
        if path == "/big/index_ios.json":  # 10 MB, announced
            return self.send(200, b"[" + b"0," * (5 * 1024 * 1024) + b"0]")
        if path == "/bigstream/index_ios.json":  # 10 MB, not announced: only counting stops it
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            try:
                for _ in range(160):
                    self.wfile.write(b"[" + b" " * 65535)
            except (BrokenPipeError, ConnectionResetError):
                pass
            self.close_connection = True
            return
        if path == "/slow/index_ios.json":  # one byte a second
            self.send_response(200)
            self.send_header("Content-Length", "100")
            self.end_headers()
            try:
                for _ in range(100):
                    self.wfile.write(b" ")
                    self.wfile.flush()
                    time.sleep(1)
            except (BrokenPipeError, ConnectionResetError):
                pass
            return
        if path == "/malformed/index_ios.json":
            return self.send(200, b'[{"id": "moonkettle-slime-ranch", "fullname": ')
        if path == "/object/index_ios.json":
            return self.send(200, b'{"id": "moonkettle-slime-ranch"}')
        if path == "/deep/index_ios.json":
            return self.send(200, b"[" * 100000)
        if path.startswith("/loop/"):
            return self.send(302, b"", headers=[("Location", "/loop/index_ios.json")])
        if path.startswith("/hop/"):  # three redirects, then the good index
            n = int(path.split("/")[2]) if path.count("/") > 2 and path.split("/")[2].isdigit() else 0
            target = "/good/index_ios.json" if n >= 2 else f"/hop/{n + 1}/index_ios.json"
            return self.send(302, b"", headers=[("Location", target)])
        if path.startswith("/away/"):
            return self.send(302, b"", headers=[("Location", "http://example.com/index_ios.json")])
        return self.send(404, b"not here")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


server = Server(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
threading.Thread(target=server.serve_forever, daemon=True).start()
sys.stdin.read()  # the test closes our input when it is done
server.shutdown()
