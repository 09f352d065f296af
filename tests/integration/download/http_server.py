"""HTTP peer of the download tests: special routes on 127.0.0.1, an
ephemeral port printed on the first line of stdout. Given a certificate and
its key (PEM files) as arguments, it speaks https. With KS_HTTP_ROOT set in
its environment, any path without a route names a file below that folder (a
repository of version2.ini and packages that a test writes there).

Routes that take a size serve a patterned body in which every byte depends on
its position (pattern() below), so a gap or an overlap in what a client
stored shows. The Range header of every request to a path is remembered;
/ranges/<path> answers them, one line each ("-" for a request without)."""
import base64
import collections
import functools
import http.server
import os
import socketserver
import ssl
import sys
import threading
import time

KB = 1024
EXACT = bytes(range(256)) * 12  # 3072 bytes, a multiple of 1024


@functools.lru_cache(maxsize=8)
def pattern(size):
    """The body of the sized routes: byte i is (i * 31 + i // 251) mod 256."""
    return bytes(((i * 31 + i // 251) & 0xFF) for i in range(size))


def requested_start(range_header):
    """N of "bytes=N-", or None."""
    if not range_header or not range_header.startswith("bytes=") or not range_header.endswith("-"):
        return None
    start = range_header[len("bytes="):-1]
    return int(start) if start.isdigit() else None


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

    def send_cut(self, body):
        """Announces the whole body, sends half of it and drops the connection."""
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body[:len(body) // 2])
        self.wfile.flush()
        self.close_connection = True
        self.connection.shutdown(2)

    def send_rest(self, body, start):
        """206 with the body from start on."""
        self.send_response(206)
        self.send_header("Content-Length", str(len(body) - start))
        self.send_header("Content-Range", f"bytes {start}-{len(body) - 1}/{len(body)}")
        self.end_headers()
        self.wfile.write(body[start:])

    def send_chunked(self, body, complete):
        """Transfer-Encoding: chunked; without its last chunk when not complete."""
        self.send_response(200)
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        end = len(body) if complete else len(body) // 2
        for at in range(0, end, 10 * KB):
            piece = body[at:min(at + 10 * KB, end)]
            self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
        if complete:
            self.wfile.write(b"0\r\n\r\n")
        else:
            self.wfile.flush()
            self.close_connection = True
            self.connection.shutdown(2)

    def serve_resumable(self, path, honours_range):
        """/cut/<tag>/<size> and /ignore-range/<tag>/<size>: the first request
        is cut after half; later ones get the rest (206) when they ask for it,
        or, from a server that ignores Range, the whole body again (200)."""
        body = pattern(int(path.split("/")[-1]))
        start = requested_start(self.headers.get("Range"))
        with self.server.lock:
            first = self.server.requests[path] == 0
            self.server.requests[path] += 1
        if first:
            self.send_cut(body)
        elif honours_range and start is not None and 0 < start < len(body):
            self.send_rest(body, start)
        else:
            self.send_body(200, body)

    def serve_replaced(self, path):
        """/replaced/<tag>/<size>: the first request is cut after half and
        names its file with an ETag; the file is then replaced by one of the
        same size (every byte one higher, another ETag). A Range request gets
        the rest of the new file (206) unless its If-Range names the old one:
        then all of the new file (200)."""
        size = int(path.split("/")[-1])
        with self.server.lock:
            first = self.server.requests[path] == 0
            self.server.requests[path] += 1
        if first:
            self.send_response(200)
            self.send_header("ETag", '"old"')
            self.send_header("Content-Length", str(size))
            self.end_headers()
            self.wfile.write(pattern(size)[:size // 2])
            self.wfile.flush()
            self.close_connection = True
            self.connection.shutdown(2)
            return
        body = bytes((b + 1) & 0xFF for b in pattern(size))
        start = requested_start(self.headers.get("Range"))
        if_range = self.headers.get("If-Range")
        if start is not None and if_range in (None, '"new"'):
            self.send_rest(body, start)
        else:
            self.send_body(200, body, extra=[("ETag", '"new"')])

    def serve_resized(self, path):
        """/resized/<tag>/<size>: the first request is cut after half (no
        validators); later ones serve a file 5000 bytes longer and honour
        Range, as a server does whose file was replaced by a larger one."""
        size = int(path.split("/")[-1])
        with self.server.lock:
            first = self.server.requests[path] == 0
            self.server.requests[path] += 1
        if first:
            self.send_cut(pattern(size))
            return
        body = pattern(size + 5000)
        start = requested_start(self.headers.get("Range"))
        if start is not None and 0 < start < len(body):
            self.send_rest(body, start)
        else:
            self.send_body(200, body)

    def do_GET(self):
        path = self.path
        if path.startswith("/ranges/"):
            seen = self.server.ranges.get(path[len("/ranges"):], [])
            self.send_body(200, "\n".join(seen).encode())
            return
        with self.server.lock:
            self.server.ranges.setdefault(path, []).append(self.headers.get("Range") or "-")
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
        elif path.startswith("/paced/"):
            # /paced/<size>: the body in 16 KB blocks 20 ms apart, so a
            # client sees it arrive bit by bit.
            size = int(path.split("/")[2])
            self.send_response(200)
            self.send_header("Content-Length", str(size))
            self.end_headers()
            while size > 0:
                self.wfile.write(b"p" * min(size, 16 * KB))
                self.wfile.flush()
                size -= 16 * KB
                time.sleep(0.02)
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
        elif path.startswith("/cut/"):
            self.serve_resumable(path, honours_range=True)
        elif path.startswith("/replaced/"):
            self.serve_replaced(path)
        elif path.startswith("/resized/"):
            self.serve_resized(path)
        elif path.startswith("/ignore-range/"):
            self.serve_resumable(path, honours_range=False)
        elif path.startswith("/pattern/"):
            self.send_body(200, pattern(int(path.split("/")[2])))
        elif path.startswith("/chunked/"):
            self.send_chunked(pattern(int(path.split("/")[2])), complete=True)
        elif path.startswith("/chunked-cut/"):
            self.send_chunked(pattern(int(path.split("/")[2])), complete=False)
        elif path.startswith("/redirect-to/"):
            # /redirect-to/<url>: a redirect to whatever follows.
            self.send_body(302, b"", extra=[("Location", path[len("/redirect-to/"):])])
        elif self.repository_file(path):
            with open(self.repository_file(path), "rb") as source:
                self.send_body(200, source.read())
        else:
            self.send_body(404, b"")

    @staticmethod
    def repository_file(path):
        root = os.environ.get("KS_HTTP_ROOT")
        if not root:
            return None
        name = os.path.normpath(os.path.join(root, path.split("?")[0].lstrip("/")))
        inside = name.startswith(os.path.normpath(root) + os.sep)
        return name if inside and os.path.isfile(name) else None


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
    server.lock = threading.Lock()
    server.requests = collections.Counter()
    server.ranges = {}
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
