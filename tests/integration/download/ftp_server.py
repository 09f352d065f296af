"""FTP peer of the download tests (pyftpdlib): serves the folder given as
the first argument on 127.0.0.1, anonymously and to kestrova/secret; prints
its ephemeral port on the first line of stdout. With --no-size as the second
argument it knows neither SIZE nor MLST, as some servers don't.

A file whose name begins with "cut-" is sent only half the first time it is
fetched (the transfer then ends as if the server had cut it); every REST the
server accepts is written, one a line, to the file FOLDER.rest-log beside the
folder."""
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

CUT_ONCE = set()
CUT_LOCK = threading.Lock()


class HalfFile:
    """A file that ends after half its bytes."""

    def __init__(self, file):
        self._file = file
        self._left = os.fstat(file.fileno()).st_size // 2
        self.name = file.name
        self.closed = False

    def read(self, size=-1):
        size = self._left if size < 0 else min(size, self._left)
        data = self._file.read(size)
        self._left -= len(data)
        return data

    def seek(self, *args):
        return self._file.seek(*args)

    def close(self):
        self.closed = True
        self._file.close()


class CuttingFS(AbstractedFS):
    def open(self, filename, mode):
        file = super().open(filename, mode)
        if "r" not in mode or not os.path.basename(filename).startswith("cut-"):
            return file
        with CUT_LOCK:
            if filename in CUT_ONCE:
                return file
            CUT_ONCE.add(filename)
        return HalfFile(file)


def main():
    root = sys.argv[1]
    authorizer = DummyAuthorizer()
    authorizer.add_user("kestrova", "secret", root, perm="elr")
    authorizer.add_anonymous(root, perm="elr")

    class Handler(FTPHandler):
        abstracted_fs = CuttingFS
        use_sendfile = False  # every byte goes through CuttingFS's files

        def ftp_REST(self, line):
            result = super().ftp_REST(line)
            if self._restart_position:
                with open(root.rstrip("/") + ".rest-log", "a") as log:
                    log.write("REST %d\n" % self._restart_position)
            return result

    handler = Handler
    if sys.argv[2:] == ["--no-size"]:
        class WithoutSize(Handler):
            proto_cmds = {name: command for name, command in Handler.proto_cmds.items()
                          if name not in ("SIZE", "MLST", "MLSD")}
        handler = WithoutSize
    handler.authorizer = authorizer
    handler.permit_foreign_addresses = False
    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
