"""HTTP servers on 127.0.0.1 for the tests and the benchmark.

NginxServer serves a folder with nginx (ranges, redirects, a rate limit).
FaultServer is a small Python server for what nginx will not do: drop the
connection after N bytes, answer 200 or a wrong Content-Range (start or
total) to a Range request, honour or ignore If-Range against its ETag, answer
an error with a body, stall before the headers or in the body, stream huge
bodies it never holds, claim a false Content-Length, redirect anywhere; with
`tls` it speaks https with a certificate of the test CA (see TestCa).

Both record every request they receive as one JSON object per line in
`requests_path`: path, query, range, if_range, user_agent, accept (and more);
`requests()` reads them back. Ports are chosen free at start.
"""

import atexit
import hashlib
import json
import os
import shutil
import socket
import ssl
import subprocess
import tempfile
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

HOST = "127.0.0.1"


def free_port():
    """A port on 127.0.0.1 that nobody listens on right now."""
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind((HOST, 0))
        return s.getsockname()[1]


def _wait_for_port(port, process=None, timeout=10.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if process is not None and process.poll() is not None:
            return False
        try:
            with socket.create_connection((HOST, port), timeout=0.5):
                return True
        except OSError:
            time.sleep(0.05)
    return False


def read_requests(path):
    """The requests recorded in a JSON lines file, oldest first."""
    if not os.path.exists(path):
        return []
    records = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line:
                records.append(json.loads(line))
    return records


def make_package(path, size, seed=1):
    """Writes `size` pseudo-random bytes (the same for the same seed) to `path`,
    so that a byte in the wrong place shows in a comparison."""
    block = bytearray()
    state = seed & 0xFFFFFFFF or 1
    while len(block) < 65536:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        block += state.to_bytes(4, "little")
    block = bytes(block[:65521])  # a prime length, so blocks do not line up with chunks
    with open(path, "wb") as f:
        written = 0
        counter = 0
        while written < size:
            piece = block[counter % 7:] + counter.to_bytes(8, "little")
            piece = piece[:size - written]
            f.write(piece)
            written += len(piece)
            counter += 1
    return path


class NginxServer:
    """nginx serving `root` on 127.0.0.1 from a generated configuration.

    rate_limit: bytes per second for each response (limit_rate), or None.
    redirects: {path: target URL} answered with 302.
    """

    def __init__(self, root, rate_limit=None, redirects=None):
        self.root = os.path.abspath(root)
        self.rate_limit = rate_limit
        self.redirects = dict(redirects or {})
        self.port = None
        self.directory = None
        self.process = None

    @property
    def requests_path(self):
        return os.path.join(self.directory, "requests.jsonl")

    def host(self):
        return "%s:%d" % (HOST, self.port)

    def url(self, path):
        return "http://%s%s" % (self.host(), path)

    def requests(self):
        return read_requests(self.requests_path)

    def _config(self):
        d = self.directory
        fields = ('{"path":"$uri","query":"$args","range":"$http_range",'
                  '"user_agent":"$http_user_agent","accept":"$http_accept",'
                  '"host":"$http_host","method":"$request_method","status":$status,'
                  '"bytes_sent":$body_bytes_sent}')
        redirects = "".join("    location = %s { return 302 %s; }\n" % (path, target)
                            for path, target in self.redirects.items())
        user = "user root;\n" if os.geteuid() == 0 else ""
        rate = "    limit_rate %d;\n" % self.rate_limit if self.rate_limit else ""
        return (
            user +
            "daemon off;\nworker_processes 1;\npid %(d)s/nginx.pid;\n"
            "error_log %(d)s/error.log warn;\n"
            "events { worker_connections 64; }\n"
            "http {\n"
            "  log_format record escape=json '%(fields)s';\n"
            "  access_log %(d)s/requests.jsonl record;\n"
            "  client_body_temp_path %(d)s/client_body;\n"
            "  proxy_temp_path %(d)s/proxy;\n  fastcgi_temp_path %(d)s/fastcgi;\n"
            "  uwsgi_temp_path %(d)s/uwsgi;\n  scgi_temp_path %(d)s/scgi;\n"
            "  default_type application/octet-stream;\n"
            "  sendfile on;\n  tcp_nopush on;\n  keepalive_timeout 5;\n"
            "  server {\n"
            "    listen %(host)s:%(port)d;\n"
            "    root %(root)s;\n"
            "%(rate)s%(redirects)s"
            "  }\n"
            "}\n") % {"d": d, "fields": fields, "host": HOST, "port": self.port,
                      "root": self.root, "rate": rate, "redirects": redirects}

    def start(self):
        self.directory = tempfile.mkdtemp(prefix="lite-nginx-")
        # A test that forgets stop() must not leave nginx running.
        atexit.register(self.stop)
        for attempt in range(5):
            self.port = free_port()
            config = os.path.join(self.directory, "nginx.conf")
            with open(config, "w") as f:
                f.write(self._config())
            self.process = subprocess.Popen(
                ["nginx", "-p", self.directory, "-c", config, "-e",
                 os.path.join(self.directory, "error.log")],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if _wait_for_port(self.port, self.process):
                return self
            self._stop_process()
        raise RuntimeError("nginx did not start: %s" % self._error_log())

    def _error_log(self):
        try:
            with open(os.path.join(self.directory, "error.log")) as f:
                return f.read()[-2000:]
        except OSError:
            return ""

    def _stop_process(self):
        if self.process is not None and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None

    def stop(self):
        self._stop_process()
        if self.directory:
            shutil.rmtree(self.directory, ignore_errors=True)
            self.directory = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
        return False


class Response:
    """How FaultServer answers one request on a route.

    body: the whole body (bytes). status: the status code (default 200).
    headers: extra headers. A Range request on a 200 body is answered with
    206 and the part asked for, unless ignore_range is true (then 200 with the
    whole body). content_range_start: claim this start in Content-Range while
    sending the part actually asked for (a wrong Content-Range).
    drop_after: close the connection after this many body bytes.
    stall_after / stall_seconds: pause once after that many body bytes.
    rate: bytes per second. redirect: answer 302 to this URL.
    omit_length: send no Content-Length (the body ends with the connection).
    etag: the entity tag sent with a 200 or 206 answer; by default one made
    from the body, False for none. A Range request whose If-Range differs from
    it gets the whole body with 200, as HTTP asks. last_modified: a
    Last-Modified value (none by default).
    content_range_total: claim this total in Content-Range (a wrong total).
    stall_headers_seconds: wait this long before the status line.
    body_size: stream this many generated bytes instead of `body` (never held
    in memory). content_length: claim this Content-Length instead.
    header_flood: header lines without end. drip: (bytes, seconds, after):
    from byte `after` on, `bytes` every `seconds`. chunked: the body chunked
    (cut before its last chunk with drop_after). ignore_if_range: a 206 to a
    Range request whatever its If-Range says.
    """

    def __init__(self, body=b"", status=200, headers=None, ignore_range=False,
                 content_range_start=None, drop_after=None, stall_after=None,
                 stall_seconds=0.0, rate=None, redirect=None, omit_length=False,
                 etag=None, last_modified=None, content_range_total=None,
                 stall_headers_seconds=0.0, body_size=None, content_length=None,
                 header_flood=False, drip=None, chunked=False, ignore_if_range=False):
        self.header_flood = header_flood
        self.drip = drip
        self.chunked = chunked
        self.ignore_if_range = ignore_if_range
        if etag is None and body_size is None:
            etag = '"%s"' % hashlib.sha256(body).hexdigest()[:16]
        self.etag = etag or None
        self.last_modified = last_modified
        self.content_range_total = content_range_total
        self.stall_headers_seconds = stall_headers_seconds
        self.body_size = body_size
        self.content_length = content_length
        self.body = body
        self.status = status
        self.headers = dict(headers or {})
        self.ignore_range = ignore_range
        self.content_range_start = content_range_start
        self.drop_after = drop_after
        self.stall_after = stall_after
        self.stall_seconds = stall_seconds
        self.rate = rate
        self.redirect = redirect
        self.omit_length = omit_length



def runnable_package(program, folder, size, seed=1):
    """The bytes of `program` (a Windows program, such as the stand-in setup)
    followed by make_package filler up to `size` bytes: a package that runs
    and whose misplaced bytes show in a comparison."""
    with open(program, "rb") as f:
        head = f.read()
    filler = make_package(os.path.join(folder, "filler%d" % seed), size - len(head), seed=seed)
    with open(filler, "rb") as f:
        package = head + f.read()
    assert len(package) == size
    return package

def _parse_range(value, size):
    """(first, last) of a "bytes=first-[last]" header within `size`, or None."""
    if not value or not value.startswith("bytes=") or "," in value:
        return None
    first, _, last = value[len("bytes="):].partition("-")
    try:
        if first == "":
            count = int(last)
            return (max(0, size - count), size - 1)
        first = int(first)
        last = int(last) if last else size - 1
    except ValueError:
        return None
    if first >= size or last < first:
        return None
    return (first, min(last, size - 1))


class _Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        server = self.server.owner
        parsed = urllib.parse.urlsplit(self.path)
        server._record({
            "method": "GET",
            "path": parsed.path,
            "query": parsed.query,
            "request_uri": self.path,
            "range": self.headers.get("Range", ""),
            "if_range": self.headers.get("If-Range", ""),
            "user_agent": self.headers.get("User-Agent", ""),
            "accept": self.headers.get_all("Accept") or [],
            "host": self.headers.get("Host", ""),
            "time": time.time(),
        })
        response = server._next_response(parsed.path)
        if response is None:
            response = Response(b"not found\n", status=404)
        try:
            self._answer(response)
        except (BrokenPipeError, ConnectionResetError):
            pass
        self.close_connection = True

    def _answer(self, response):
        if response.stall_headers_seconds:
            time.sleep(response.stall_headers_seconds)
        if response.header_flood:
            self.wfile.write(b"HTTP/1.1 200 OK\r\n")
            block = b"".join(b"X-Flood-%d: %s\r\n" % (i, b"f" * 60) for i in range(1000))
            while True:  # until the client goes
                self.wfile.write(block)
        if response.body_size is not None:
            self._answer_generated(response)
            return
        if response.redirect:
            self.send_response(302)
            self.send_header("Location", response.redirect)
            self.send_header("Content-Length", "0")
            self.send_header("Connection", "close")
            self.end_headers()
            return
        body = response.body
        status = response.status
        headers = dict(response.headers)
        asked = self.headers.get("Range")
        condition = self.headers.get("If-Range")
        if (condition and condition not in (response.etag, response.last_modified)
                and not response.ignore_if_range):
            asked = None  # the validator no longer matches: the whole body
        if asked and status == 200 and not response.ignore_range:
            part = _parse_range(asked, len(body))
            if part is None:
                status = 416
                headers["Content-Range"] = "bytes */%d" % len(body)
                body = b""
            else:
                first, last = part
                status = 206
                claimed = first if response.content_range_start is None else response.content_range_start
                total = (len(response.body) if response.content_range_total is None
                         else response.content_range_total)
                headers["Content-Range"] = "bytes %d-%d/%d" % (
                    claimed, claimed + (last - first), total)
                body = body[first:last + 1]
        self.send_response(status)
        chunked = response.chunked and status == 200
        if response.content_length is not None:
            self.send_header("Content-Length", str(response.content_length))
        elif chunked:
            self.send_header("Transfer-Encoding", "chunked")
        elif not response.omit_length:
            self.send_header("Content-Length", str(len(body)))
        if response.etag and status in (200, 206):
            self.send_header("ETag", response.etag)
        if response.last_modified and status in (200, 206):
            self.send_header("Last-Modified", response.last_modified)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Connection", "close")
        for name, value in headers.items():
            self.send_header(name, value)
        self.end_headers()
        self._send_body(body, response, chunked)

    def _answer_generated(self, response):
        """A body of `body_size` bytes made on the fly, 1 MiB at a time."""
        size = response.body_size
        self.send_response(response.status)
        self.send_header("Content-Length", str(size if response.content_length is None
                                               else response.content_length))
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Connection", "close")
        self.end_headers()
        block = bytes(range(256)) * 4096
        limit = size if response.drop_after is None else min(size, response.drop_after)
        sent = 0
        while sent < limit:
            if response.stall_after is not None and sent >= response.stall_after:
                self.wfile.flush()
                time.sleep(response.stall_seconds)
                response = Response(body_size=size, drop_after=response.drop_after)
            step = min(len(block), limit - sent)
            self.wfile.write(block[:step])
            sent += step
        self.wfile.flush()
        if limit < size:
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def _send_body(self, body, response, chunked=False):
        limit = len(body) if response.drop_after is None else min(len(body), response.drop_after)
        sent = 0
        stalled = False
        started = time.time()
        write = self.wfile.write
        if chunked:
            def write(data):
                self.wfile.write(b"%x\r\n%s\r\n" % (len(data), data))
        while sent < limit:
            dripping = response.drip is not None and sent >= response.drip[2]
            step = min(response.drip[0] if dripping else 16384, limit - sent)
            if response.stall_after is not None and not stalled:
                if sent >= response.stall_after:
                    self.wfile.flush()
                    time.sleep(response.stall_seconds)
                    stalled = True
                else:
                    step = min(step, response.stall_after - sent)
            write(body[sent:sent + step])
            sent += step
            if dripping:
                self.wfile.flush()
                time.sleep(response.drip[1])
            if response.rate:
                ahead = sent / response.rate - (time.time() - started)
                if ahead > 0:
                    self.wfile.flush()
                    time.sleep(ahead)
        if chunked and limit == len(body):
            self.wfile.write(b"0\r\n\r\n")
        self.wfile.flush()
        if response.drop_after is not None and limit < len(body):
            # Ends the connection abruptly, in the middle of the body.
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


class FaultServer:
    """A Python HTTP(S) server whose answers the test chooses per path.

    route(path, *responses): requests to `path` get the responses in turn;
    the last one repeats. Other paths get the `otherwise` response of
    route_otherwise, or 404 with a body. With `tls` (a TestCa), it speaks
    https.
    """

    def __init__(self, tls=None):
        self.tls = tls
        self.routes = {}
        self.otherwise = None
        self.lock = threading.Lock()
        self.directory = None
        self.httpd = None
        self.thread = None
        self.port = None

    @property
    def requests_path(self):
        return os.path.join(self.directory, "requests.jsonl")

    def route(self, path, *responses):
        with self.lock:
            self.routes[path] = list(responses)
        return self

    def route_otherwise(self, response):
        """Answers every path without a route of its own with `response`
        (an endpoint that accepts whatever it is sent, such as the counters)."""
        with self.lock:
            self.otherwise = response
        return self

    def host(self):
        return "%s:%d" % (HOST, self.port)

    def url(self, path):
        return "%s://%s%s" % ("https" if self.tls else "http", self.host(), path)

    def requests(self, path=None):
        records = read_requests(self.requests_path)
        return [r for r in records if path is None or r["path"] == path]

    def _record(self, record):
        with self.lock:
            if self.directory is None:
                return  # a request still in flight when the server stopped
            with open(self.requests_path, "a", encoding="utf-8") as f:
                f.write(json.dumps(record) + "\n")

    def _next_response(self, path):
        with self.lock:
            responses = self.routes.get(path)
            if not responses:
                return self.otherwise
            return responses.pop(0) if len(responses) > 1 else responses[0]

    def start(self):
        self.directory = tempfile.mkdtemp(prefix="lite-fault-")
        atexit.register(self.stop)
        self.httpd = ThreadingHTTPServer((HOST, 0), _Handler)
        self.httpd.daemon_threads = True
        self.httpd.owner = self
        if self.tls is not None:
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(self.tls.server_cert, self.tls.server_key)
            self.httpd.socket = context.wrap_socket(self.httpd.socket, server_side=True)
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()
        return self

    def stop(self):
        if self.httpd is not None:
            self.httpd.shutdown()
            self.httpd.server_close()
            self.httpd = None
        with self.lock:
            directory, self.directory = self.directory, None
        if directory:
            shutil.rmtree(directory, ignore_errors=True)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
        return False


class SilentListener:
    """A TCP port on 127.0.0.1 that never says a word: connections are
    accepted and held without a byte sent (an https client waits for a
    handshake that never comes). With `accept=False` nothing is accepted and
    the queue is kept full, so the system drops every connection attempt."""

    def __init__(self, accept=True):
        self.accept = accept
        self.held = []
        self.listener = None
        self.port = None
        self.thread = None

    def start(self):
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind((HOST, 0))
        self.port = self.listener.getsockname()[1]
        if self.accept:
            self.listener.listen(16)
            self.thread = threading.Thread(target=self._hold, daemon=True)
            self.thread.start()
        else:
            self.listener.listen(0)
            filler = socket.create_connection((HOST, self.port), timeout=2)
            self.held.append(filler)
        return self

    def _hold(self):
        while True:
            try:
                connection, _ = self.listener.accept()
            except OSError:
                return
            self.held.append(connection)

    def url(self, path, scheme="https"):
        return "%s://%s:%d%s" % (scheme, HOST, self.port, path)

    def stop(self):
        if self.listener is not None:
            self.listener.close()
            self.listener = None
        for connection in self.held:
            connection.close()
        self.held = []

    __enter__ = start

    def __exit__(self, *exc):
        self.stop()


class TestCa:
    """A test certificate authority and a server certificate for 127.0.0.1 and
    localhost, made with openssl once per `directory` and kept there."""

    __test__ = False  # not a unittest case

    def __init__(self, directory):
        self.directory = os.path.abspath(directory)
        self.ca_cert = os.path.join(self.directory, "ca.pem")
        self.ca_der = os.path.join(self.directory, "ca.der")
        self.server_cert = os.path.join(self.directory, "server.pem")
        self.server_key = os.path.join(self.directory, "server.key")

    def ensure(self):
        if all(os.path.exists(p) for p in (self.ca_der, self.server_cert, self.server_key)):
            return self
        os.makedirs(self.directory, exist_ok=True)
        d = self.directory

        def openssl(*args):
            subprocess.run(["openssl", *args], check=True, cwd=d,
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "3650",
                "-subj", "/CN=Lite Installer Test Root", "-keyout", "ca.key", "-out", "ca.pem",
                "-addext", "basicConstraints=critical,CA:TRUE",
                "-addext", "keyUsage=critical,keyCertSign,cRLSign")
        openssl("x509", "-in", "ca.pem", "-outform", "DER", "-out", "ca.der")
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1",
                "-keyout", "server.key", "-out", "server.csr")
        with open(os.path.join(d, "server.ext"), "w") as f:
            f.write("basicConstraints=CA:FALSE\n"
                    "keyUsage=critical,digitalSignature,keyEncipherment\n"
                    "extendedKeyUsage=serverAuth\n"
                    "subjectAltName=DNS:localhost,DNS:127.0.0.1,IP:127.0.0.1\n")
        openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                "-CAcreateserial", "-days", "3650", "-sha256", "-extfile", "server.ext",
                "-out", "server.pem")
        return self

    def install_into_prefix(self, run_windows_program):
        """Adds the CA to the machine's Root store of the test Wine prefix.
        `run_windows_program(exe_name, args)` runs a program of the build;
        install_test_root.exe comes with the trust tests."""
        return run_windows_program("install_test_root.exe", [self.ca_der])
