"""Runs a command (a Windows test program under wine) beside the download
tests' peers on 127.0.0.1: the HTTP server (which also serves the files of a
fresh folder), the same server speaking https with a certificate for
127.0.0.1 from a test authority made here (openssl), the FTP server (serving
another fresh folder) and tinyproxy. Their ports, the folders and the
authority (DER) go to the command as KS_HTTP_PORT, KS_HTTPS_PORT, KS_HTTP_ROOT,
KS_FTP_PORT, KS_PROXY_PORT, KS_FTP_ROOT and KS_TEST_CA; the peers stop when
the command ends, and its exit code is this script's."""
import os
import socket
import subprocess
import sys
import tempfile
import time

PEERS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "integration", "download")


def start_printing_port(args):
    peer = subprocess.Popen(args, stdout=subprocess.PIPE, text=True)
    return peer, int(peer.stdout.readline())


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_for_listener(port, seconds=20):
    until = time.monotonic() + seconds
    while time.monotonic() < until:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return
        except OSError:
            time.sleep(0.05)
    raise RuntimeError(f"nothing listens on port {port}")


def make_certificates(work):
    """A fresh test authority and a server certificate it signed for
    127.0.0.1; returns (authority as DER, certificate, key). The address is
    named as a DNS name too: WinINet under wine matches only those."""
    def openssl(*args):
        subprocess.run(["/usr/bin/openssl", *args], check=True, capture_output=True)

    def path(name):
        return os.path.join(work, name)
    with open(path("server.cnf"), "w") as out:
        out.write("subjectAltName=IP:127.0.0.1,DNS:127.0.0.1\n")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
            "/CN=Kestrova Test Authority", "-keyout", path("ca-key.pem"), "-out", path("ca.pem"))
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1", "-keyout",
            path("key.pem"), "-out", path("server.csr"))
    openssl("x509", "-req", "-in", path("server.csr"), "-CA", path("ca.pem"), "-CAkey",
            path("ca-key.pem"), "-CAcreateserial", "-days", "2", "-extfile", path("server.cnf"),
            "-out", path("cert.pem"))
    openssl("x509", "-in", path("ca.pem"), "-outform", "DER", "-out", path("ca.der"))
    return path("ca.der"), path("cert.pem"), path("key.pem")


def main():
    with tempfile.TemporaryDirectory(prefix="ks-win-peers-") as work:
        ftp_root = os.path.join(work, "ftp")
        os.mkdir(ftp_root)
        http_root = os.path.join(work, "http")
        os.mkdir(http_root)
        os.environ["KS_HTTP_ROOT"] = http_root
        peers = []
        try:
            http, http_port = start_printing_port([sys.executable, os.path.join(PEERS, "http_server.py")])
            peers.append(http)
            authority, cert, key = make_certificates(work)
            https, https_port = start_printing_port(
                [sys.executable, os.path.join(PEERS, "http_server.py"), cert, key])
            peers.append(https)
            ftp, ftp_port = start_printing_port(
                [sys.executable, os.path.join(PEERS, "ftp_server.py"), ftp_root])
            peers.append(ftp)
            proxy_port = free_port()
            config = os.path.join(work, "tinyproxy.conf")
            with open(config, "w") as out:
                out.write(f"Port {proxy_port}\nListen 127.0.0.1\nTimeout 60\nMaxClients 10\n"
                          f"Allow 127.0.0.1\nLogLevel Critical\nPidFile \"{work}/pid\"\n"
                          f"LogFile \"{work}/log\"\nViaProxyName \"ks\"\n")
            peers.append(subprocess.Popen(["/usr/bin/tinyproxy", "-d", "-c", config]))
            wait_for_listener(proxy_port)
            env = dict(os.environ, KS_HTTP_PORT=str(http_port), KS_HTTPS_PORT=str(https_port),
                       KS_FTP_PORT=str(ftp_port), KS_PROXY_PORT=str(proxy_port),
                       KS_FTP_ROOT=ftp_root, KS_TEST_CA=authority)
            for name in ("http_proxy", "HTTP_PROXY", "ftp_proxy", "FTP_PROXY", "all_proxy",
                         "ALL_PROXY", "no_proxy", "NO_PROXY"):
                env.pop(name, None)
            return subprocess.call(sys.argv[1:], env=env)
        finally:
            for peer in peers:
                peer.kill()
                peer.wait()


if __name__ == "__main__":
    sys.exit(main())
