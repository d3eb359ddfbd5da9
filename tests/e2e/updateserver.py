"""A local HTTPS update server for end-to-end tests, with certificate authorities made on the spot.

The program under test is built with this server's address (https://127.0.0.1:<port>/...) and a
file of trusted authorities fixed at build time; `Authority.make` writes such a file, and an
`UpdateServer` answers with whatever the test sets in `answer`.
"""

import contextlib
import dataclasses
import http.server
import json
import os
import pathlib
import select
import ssl
import subprocess
import threading
import time

from kiosk import BUILD_DIR

# The copy of the program linked with this server's address and the trusted authorities' file (see
# CMakeLists.txt).
PROGRAM = pathlib.Path(os.environ.get("ORVIA_UPDATE_PROGRAM", BUILD_DIR / "OrviaDesktop-e2e"))
PORT = int(os.environ.get("ORVIA_UPDATE_PORT", "47443"))
TRUSTED_FILE = pathlib.Path(os.environ.get("ORVIA_UPDATE_CA_FILE",
                                           BUILD_DIR / "tests" / "e2e" / "update-server" / "ca.pem"))


@dataclasses.dataclass(frozen=True)
class Authority:
    """A certificate authority and one server certificate it signed, for 127.0.0.1 and localhost unless
    told other names."""

    certificate: pathlib.Path
    server_certificate: pathlib.Path
    server_key: pathlib.Path

    @staticmethod
    def make(folder, name, names="IP:127.0.0.1,DNS:localhost"):
        folder = pathlib.Path(folder)
        folder.mkdir(parents=True, exist_ok=True)
        key, certificate, server_key, request, server_certificate, extensions = (
            folder / f"{name}-{suffix}" for suffix in ("ca.key", "ca.pem", "server.key", "server.csr", "server.pem",
                                                      "server.ext"))
        extensions.write_text(f"subjectAltName={names}\nbasicConstraints=CA:FALSE\n"
                              "keyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n")
        for arguments in (
                ["req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", certificate, "-days", "2",
                 "-subj", f"/CN=Orvia test authority {name}", "-addext", "basicConstraints=critical,CA:TRUE",
                 "-addext", "keyUsage=critical,keyCertSign,cRLSign"],
                ["req", "-newkey", "rsa:2048", "-nodes", "-keyout", server_key, "-out", request, "-subj", "/CN=127.0.0.1"],
                ["x509", "-req", "-in", request, "-CA", certificate, "-CAkey", key, "-CAcreateserial",
                 "-out", server_certificate, "-days", "2", "-extfile", extensions]):
            subprocess.run(["openssl", *map(str, arguments)], check=True, capture_output=True)
        return Authority(certificate, server_certificate, server_key)

    def trusted_by_the_program(self, *others):
        TRUSTED_FILE.parent.mkdir(parents=True, exist_ok=True)
        TRUSTED_FILE.write_bytes(b"".join(a.certificate.read_bytes() for a in (self, *others)))
        return self


@dataclasses.dataclass
class Answer:
    """What the server does with a request: status, headers and body, or stalling until closed."""

    status: int = 200
    body: bytes = b""
    headers: dict = dataclasses.field(default_factory=lambda: {"Content-Type": "application/json"})
    # Close-delimited: no Content-Length, the end of the body is the end of the connection.
    without_length: bool = False
    stall: bool = False

    @staticmethod
    def manifest(version, download_url="https://downloads.orvia.test/OrviaDesktop.dmg", notes="Faster replies."):
        return Answer(body=json.dumps({"macOS": {"version": version, "downloadURL": download_url,
                                                 "notes": notes}}).encode())


class _Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        answer = self.server.answer
        self.server.requests.append((time.monotonic(), self.path))
        if answer.stall:
            self._stall_until_the_client_leaves()
            return
        if answer.without_length:
            self.protocol_version = "HTTP/1.0"
            self.close_connection = True
        self.send_response(answer.status)
        for name, value in answer.headers.items():
            self.send_header(name, value)
        if not answer.without_length:
            self.send_header("Content-Length", str(len(answer.body)))
        self.end_headers()
        with contextlib.suppress(OSError):
            self.wfile.write(answer.body)

    def _stall_until_the_client_leaves(self):
        while not self.server.closing.is_set():
            if not select.select([self.connection], [], [], 0.1)[0]:
                continue
            try:
                if self.connection.recv(1):
                    continue
            except ssl.SSLWantReadError:
                continue
            except OSError:
                pass
            self.server.departures.append(time.monotonic())
            return

    def log_message(self, *arguments):
        pass


class UpdateServer(http.server.ThreadingHTTPServer):
    """Serves on 127.0.0.1:port, over TLS with the certificate of `authority`, or plain HTTP without.
    `requests` holds (monotonic time, path) of every request that reached HTTP, `departures` when
    clients of stalled requests left, `connections` counts handshakes that failed too."""

    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, authority=None):
        self.context = None
        if authority:
            self.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            self.context.load_cert_chain(authority.server_certificate, authority.server_key)
        self.answer, self.requests, self.departures, self.connections = Answer(), [], [], 0
        self.closing = threading.Event()
        try:
            super().__init__(("127.0.0.1", port), _Handler)
        except OSError as error:
            raise RuntimeError(f"the update server cannot listen on 127.0.0.1:{port} ({error}); configure "
                               f"another port with -DORVIA_E2E_UPDATE_PORT") from error
        self.port = self.server_address[1]
        threading.Thread(target=self.serve_forever, kwargs={"poll_interval": 0.05}, daemon=True).start()

    def finish_request(self, request, client_address):
        # In the connection's own thread, so a handshake never holds up the accepting loop.
        self.connections += 1
        if self.context:
            try:
                request = self.context.wrap_socket(request, server_side=True)
            except (ssl.SSLError, OSError):
                return
        super().finish_request(request, client_address)

    def handle_error(self, request, client_address):
        pass

    def close(self):
        self.closing.set()
        self.shutdown()
        self.server_close()

    def __exit__(self, *exc):
        self.close()

