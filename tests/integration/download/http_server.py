"""HTTP peer of the download tests: special routes on 127.0.0.1, an
ephemeral port printed on the first line of stdout. Given a certificate and
its key (PEM files) as arguments, it speaks https."""
import base64
import http.server
import socketserver
import ssl
import sys
import threading
import time

KB = 1024
EXACT = bytes(range(256)) * 12  # 3072 bytes, a multiple of 1024


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send_body(self, status, body, length=True, extra=()):
        self.send_response(status)
        if length:
            self.send_header("Content-Length", str(len(body)))
        for name, value in extra:
            self.send_header(name, value)
        if not length:
            self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path
        if path == "/exact.bin":
            self.send_body(200, EXACT)
        elif path.startswith("/sized/"):
            size = int(path.split("/")[2])
            self.send_response(200)
            self.send_header("Content-Length", str(size))
            self.end_headers()
            block = b"k" * (64 * KB)
            while size > 0:
                self.wfile.write(block[:min(size, len(block))])
                size -= len(block)
        elif path == "/empty.bin":
            self.send_body(200, b"")
        elif path == "/missing.bin":
            self.send_body(404, b"<html>Not Found</html>")
        elif path == "/nolength.bin":
            self.send_body(200, b"no length here", length=False)
            self.close_connection = True
        elif path == "/redirect.bin":
            self.send_body(302, b"", extra=[("Location", "/exact.bin")])
        elif path == "/auth.bin":
            expected = "Basic " + base64.b64encode(b"kestrova:secret").decode()
            if self.headers.get("Authorization") == expected:
                self.send_body(200, b"authorised package")
            else:
                self.send_body(401, b"<html>Unauthorized</html>",
                               extra=[("WWW-Authenticate", 'Basic realm="packages"')])
        elif path == "/dropped.bin":
            self.send_response(200)
            self.send_header("Content-Length", str(10 * KB))
            self.end_headers()
            self.wfile.write(b"d" * (3 * KB))
            self.wfile.flush()
            self.close_connection = True
        elif path == "/drip.bin":
            body = b"drip" * 256
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            for i in range(0, len(body), 256):
                self.wfile.write(body[i:i + 256])
                self.wfile.flush()
                time.sleep(0.05)
        elif path == "/via.bin":
            # What a proxy on the way wrote into the request.
            self.send_body(200, (self.headers.get("Via") or "direct").encode())
        elif path.endswith("/stall.bin"):
            # Part of the body in two pieces (the second one is announced
            # to the client's page once the first has been read), then
            # nothing more for as long as the test runs.
            self.send_response(200)
            self.send_header("Content-Length", str(10 * KB))
            self.end_headers()
            self.wfile.write(b"s" * (2 * KB))
            self.wfile.flush()
            time.sleep(0.3)
            self.wfile.write(b"s" * KB)
            self.wfile.flush()
            self.server.silent.wait(120)
            self.close_connection = True
        elif path == "/silent.bin":
            self.server.silent.wait(120)
            self.close_connection = True
        elif path == "/gone.bin":
            self.send_body(404, b"")
        elif path == "/endless.bin":
            # Announces 10 GiB and never stops sending.
            self.send_response(200)
            self.send_header("Content-Length", str(10 * 1024 * KB * KB))
            self.end_headers()
            block = b"e" * (64 * KB)
            try:
                while True:
                    self.wfile.write(block)
            except OSError:
                self.close_connection = True
        elif path == "/trickle.bin":
            # One byte every 50 ms: alive, but far below a kilobyte a second.
            self.send_response(200)
            self.send_header("Content-Length", str(100 * KB))
            self.end_headers()
            try:
                for _ in range(100 * KB):
                    self.wfile.write(b"t")
                    self.wfile.flush()
                    time.sleep(0.05)
            except OSError:
                self.close_connection = True
        elif path.startswith("/redirect-to/"):
            # /redirect-to/<url>: a redirect to whatever follows.
            self.send_body(302, b"", extra=[("Location", path[len("/redirect-to/"):])])
        else:
            self.send_body(404, b"")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    server = Server(("127.0.0.1", 0), Handler)
    if len(sys.argv) == 3:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[1], sys.argv[2])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    server.silent = threading.Event()
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
