"""FTP peer of the download tests (pyftpdlib): serves the folder given as
the first argument on 127.0.0.1, anonymously and to kestrova/secret; prints
its ephemeral port on the first line of stdout. With --no-size as the second
argument it knows neither SIZE nor MLST, as some servers don't."""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    authorizer = DummyAuthorizer()
    authorizer.add_user("kestrova", "secret", sys.argv[1], perm="elr")
    authorizer.add_anonymous(sys.argv[1], perm="elr")
    handler = FTPHandler
    if sys.argv[2:] == ["--no-size"]:
        class WithoutSize(FTPHandler):
            proto_cmds = {name: command for name, command in FTPHandler.proto_cmds.items()
                          if name not in ("SIZE", "MLST", "MLSD")}
        handler = WithoutSize
    handler.authorizer = authorizer
    handler.permit_foreign_addresses = False
    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
