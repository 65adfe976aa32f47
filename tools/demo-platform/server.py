#!/usr/bin/python3
"""A local stand-in for the learning platform: API, content, portal pages and test endpoints."""
import argparse
import datetime
import ipaddress
import json
import os
import re
import shutil
import signal
import ssl
import sys
import tempfile
import threading
import time
import traceback
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import content  # noqa: E402
import platform_api as api  # noqa: E402
from envelope import mint_link  # noqa: E402
from platform_profile import ProfileError, load_profile  # noqa: E402

MAX_BODY = 16 * 1024 * 1024
MAX_BYTES = 64 * 1024 * 1024
MAX_STREAMED_BYTES = 1024 * 1024 * 1024
MAX_SLOW_MS = 120000
DEMO_TOKEN = "demo-token"
BYTE_PATTERN = bytes(i % 251 for i in range(251 * 256))  # whole cycles, so blocks line up


SCRIPT_TYPE = "application/javascript; charset=utf-8"


def is_service_worker_script(path):
    """The platform's service-worker scripts: the portal's worker, the tenant picker's worker and
    the worker's library chunks."""
    return path in ("/front/sw.js", "/select-tenants-sw.js") or (
        path.startswith("/front/workbox-") and path.endswith(".js"))


class RequestLog:
    """One JSON line per request, appended and flushed at once so that a test reading the file
    right after its response sees its own request."""

    def __init__(self, path):
        self.path = os.path.abspath(path) if path else ""
        self._lock = threading.Lock()
        self._file = None
        if path:
            os.makedirs(os.path.dirname(self.path), exist_ok=True)
            self._file = open(self.path, "a", encoding="utf-8")

    def write(self, entry):
        if self._file is None:
            return
        line = json.dumps(entry, ensure_ascii=False) + "\n"
        with self._lock:
            self._file.write(line)
            self._file.flush()

    def close(self):
        with self._lock:
            if self._file is not None:
                self._file.close()
                self._file = None


class BodyError(Exception):
    def __init__(self, status, text):
        super().__init__(text)
        self.status = status


def make_tls_context(directory):
    """A fresh self-signed certificate for 127.0.0.1 and localhost. No client trusts it, which
    is the point: the listener shows that clients refuse such certificates."""
    from cryptography import x509
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import rsa
    from cryptography.x509.oid import NameOID

    key = rsa.generate_private_key(public_exponent=65537, key_size=2048)
    name = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, "localhost")])
    now = datetime.datetime.now(datetime.timezone.utc)
    names = [x509.DNSName("localhost"), x509.IPAddress(ipaddress.ip_address("127.0.0.1"))]
    cert = (
        x509.CertificateBuilder().subject_name(name).issuer_name(name)
        .public_key(key.public_key()).serial_number(x509.random_serial_number())
        .not_valid_before(now - datetime.timedelta(days=1))
        .not_valid_after(now + datetime.timedelta(days=30))
        .add_extension(x509.SubjectAlternativeName(names), critical=False)
        .add_extension(x509.BasicConstraints(ca=False, path_length=None), critical=True)
        .sign(key, hashes.SHA256()))
    cert_path = os.path.join(directory, "cert.pem")
    key_path = os.path.join(directory, "key.pem")
    with open(cert_path, "wb") as f:
        f.write(cert.public_bytes(serialization.Encoding.PEM))
    with open(key_path, "wb") as f:
        f.write(key.private_bytes(
            serialization.Encoding.PEM, serialization.PrivateFormat.TraditionalOpenSSL,
            serialization.NoEncryption()))
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert_path, key_path)
    return context, cert_path


# With --report-paint every HTML document tells the platform when it first painted and when it
# finished loading (epoch milliseconds, as the page's clock reads them), so that a benchmark can
# time a browser it cannot look inside. Requests to PAINT_REPORT_PATH land in the request log.
PAINT_REPORT_PATH = "/_bench/paint"
PAINT_REPORT_SCRIPT = (
    b"<script>(function(){var top=window===window.top?'1':'0';"
    b"function send(kind,at){new Image().src='" + PAINT_REPORT_PATH.encode() + b"?kind='+kind+"
    b"'&at='+at.toFixed(1)+'&top='+top+'&page='+encodeURIComponent(location.pathname);}"
    b"try{new PerformanceObserver(function(list){list.getEntries().forEach(function(e){"
    b"if(e.name==='first-contentful-paint')send('fcp',performance.timeOrigin+e.startTime);});})"
    b".observe({type:'paint',buffered:true});}catch(e){}"
    b"window.addEventListener('load',function(){"
    b"send('load',performance.timeOrigin+performance.now());});})();</script>")


class DemoServer(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, port, profile, log, listener, tls_context=None):
        self.profile = profile
        self.request_log = log
        self.listener = listener
        self.tls_context = tls_context
        self.report_paint = False
        self.runtime_installer = ""
        super().__init__(("127.0.0.1", port), Handler)
        scheme = "https" if tls_context else "http"
        self.base = "%s://127.0.0.1:%d" % (scheme, self.server_address[1])

    def finish_request(self, request, client_address):
        if self.tls_context is None:
            return super().finish_request(request, client_address)
        # The handshake runs here, on the connection's own thread, so a client that never
        # completes it cannot hold up the accept loop.
        request.settimeout(10)
        try:
            secure = self.tls_context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError) as error:
            sys.stderr.write("tls handshake refused: %s\n" % error)
            return None
        try:
            super().finish_request(secure, client_address)
        finally:
            self.shutdown_request(secure)
        return None


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "DemoPlatform/1.0"
    sys_version = ""
    timeout = 30

    def version_string(self):
        return self.server_version

    def log_message(self, format, *args):  # noqa: A002 - the JSON request log replaces it
        pass

    def do_GET(self):
        self.dispatch()

    do_PUT = do_POST = do_HEAD = do_DELETE = do_OPTIONS = do_PATCH = do_GET

    # --- request intake -------------------------------------------------------------------

    def handle_one_request(self):
        # A kept-alive connection reuses this object: forget the previous request first.
        self._logged, self.command, self.path, self.headers = False, None, "", None
        super().handle_one_request()

    def lower_headers(self):
        result = {}
        for name, value in (self.headers.items() if self.headers else []):
            name = name.lower()
            result[name] = result[name] + ", " + value if name in result else value
        return result

    def log_entry(self, body):
        self.server.request_log.write({
            "time": datetime.datetime.now(datetime.timezone.utc).isoformat(
                timespec="milliseconds").replace("+00:00", "Z"),
            "listener": self.server.listener,
            "method": self.command or "",
            # A request line that could not be parsed is kept whole.
            "path": self.path if self.command else getattr(self, "requestline", ""),
            "headers": self.lower_headers(),
            "body": body.decode("utf-8", "replace"),
        })
        self._logged = True

    def send_error(self, code, message=None, explain=None):
        # Requests refused by the base class (bad request line, unknown method) are logged too.
        if not self._logged:
            self.log_entry(b"")
        self.close_connection = True
        super().send_error(code, message, explain)

    def read_body(self):
        if "chunked" in self.headers.get("Transfer-Encoding", "").lower():
            return self.read_chunked_body()
        length = self.headers.get("Content-Length")
        if length is None:
            return b""
        length = length.strip()
        if not (length.isascii() and length.isdigit()):
            raise BodyError(400, "Bad Content-Length")
        if int(length) > MAX_BODY:
            raise BodyError(413, "Body too large")
        return self.rfile.read(int(length))

    def read_chunked_body(self):
        body = bytearray()
        while True:
            size_line = self.rfile.readline(1024).split(b";")[0].strip()
            if not re.fullmatch(rb"[0-9A-Fa-f]{1,8}", size_line):
                raise BodyError(400, "Bad chunk size")
            size = int(size_line, 16)
            if size == 0:
                while self.rfile.readline(1024) not in (b"\r\n", b"\n", b""):
                    pass
                return bytes(body)
            if len(body) + size > MAX_BODY:
                raise BodyError(413, "Body too large")
            body += self.rfile.read(size)
            self.rfile.readline(16)

    def dispatch(self):
        self._started = False
        try:
            body = self.read_body()
        except BodyError as error:
            self.log_entry(b"")
            self.close_connection = True
            self.send(api.respond(error.status, {"error": str(error)}))
            return
        except OSError:
            self.close_connection = True
            return
        self.log_entry(body)
        try:
            response = self.route(body.decode("utf-8", "replace"))
            if response is not None:
                self.send(response)
        except OSError:
            self.close_connection = True  # the client went away
        except Exception:  # noqa: BLE001 - a demo server answers 500 instead of dying
            traceback.print_exc(file=sys.stderr)
            self.close_connection = True
            if not self._started:
                self.send(api.respond(500, {"error": "Internal error"}))

    # --- responses ------------------------------------------------------------------------

    def start(self, status, headers):
        self._started = True
        self.send_response(status)
        self.send_header("Access-Control-Allow-Origin", "*")
        for name, value in headers:
            self.send_header(name, value)
        if self.close_connection:
            self.send_header("Connection", "close")
        self.end_headers()

    def send(self, response):
        if response.delay:
            time.sleep(response.delay)
        has_body = response.status >= 200 and response.status not in (204, 304)
        headers = list(response.headers.items())
        if has_body:
            headers += [("Content-Type", response.content_type),
                        ("Content-Length", str(len(response.body)))]
        self.start(response.status, headers)
        if has_body and self.command != "HEAD":
            self.wfile.write(response.body)

    def send_stream(self, content_type, pieces, length=None, pause=0.0):
        """Writes `pieces` one by one: chunked when the length is unknown and the client speaks
        HTTP/1.1, otherwise plain (closing the connection marks the end for HTTP/1.0)."""
        chunked = length is None and self.request_version != "HTTP/1.0"
        headers = [("Content-Type", content_type)]
        if chunked:
            headers.append(("Transfer-Encoding", "chunked"))
        elif length is not None:
            headers.append(("Content-Length", str(length)))
        else:
            self.close_connection = True
        self.start(200, headers)
        if self.command == "HEAD":
            return
        for piece in pieces:
            self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece) if chunked else piece)
            self.wfile.flush()
            if pause:
                time.sleep(pause)
        if chunked:
            self.wfile.write(b"0\r\n\r\n")
            self.wfile.flush()

    # --- routing --------------------------------------------------------------------------

    def route(self, body):
        profile, method = self.server.profile, self.command
        target = urlsplit(self.path)
        path, query = target.path, target.query
        scenario = ""
        prefixed = re.match(r"^/s/([^/]+)(/.*)?$", path)
        if prefixed:
            scenario, path = prefixed.group(1), prefixed.group(2) or "/"

        if path == "/_test/echo":
            return api.respond(200, {"method": method, "path": self.path,
                                     "headers": self.lower_headers(), "body": body})
        if method == "OPTIONS":
            return api.respond(204, b"", headers={
                "Allow": "GET, HEAD, PUT, POST, DELETE, OPTIONS",
                "Access-Control-Allow-Methods": "GET, HEAD, PUT, POST, DELETE, OPTIONS",
                "Access-Control-Allow-Headers": self.headers.get(
                    "Access-Control-Request-Headers", "*"),
                "Access-Control-Max-Age": "600"})
        if path == profile.content_data_path:
            plain = path + ("?" + query if query else "")
            return api.content_data(profile, scenario, self.server.base, method, body, plain)
        if path == profile.update_check_path:
            return api.update_check(scenario, method)
        if path.startswith(profile.page_script_path):
            return api.page_script(path[len(profile.page_script_path):], method)
        if path.startswith("/_test/"):
            return self.test_endpoint(path[len("/_test/"):], parse_qs(query))
        if method not in ("GET", "HEAD"):
            return api.respond(405, {"error": "Method not allowed"},
                               headers={"Allow": "GET, HEAD, OPTIONS"})
        if path == PAINT_REPORT_PATH:
            return api.respond(204, b"", api.TEXT_TYPE)
        return self.with_paint_report(self.document(path, parse_qs(query, keep_blank_values=True)))

    def with_paint_report(self, response):
        if not self.server.report_paint or response.content_type != api.HTML_TYPE:
            return response
        head = response.body.find(b"<head>")
        at = head + len(b"<head>") if head >= 0 else 0
        body = response.body[:at] + PAINT_REPORT_SCRIPT + response.body[at:]
        return response._replace(body=body)

    def document(self, path, query):
        base, key = self.server.base, self.server.profile.key
        files = {
            "/content/sample.pdf": (content.SAMPLE_PDF, "application/pdf"),
            "/content/video.html": (content.VIDEO_HTML, api.HTML_TYPE),
            "/content/page.html": (content.PAGE_HTML, api.HTML_TYPE),
            "/content/handout.html": (content.HANDOUT_HTML, api.HTML_TYPE),
        }
        if path in files:
            return api.respond(200, files[path][0], files[path][1])
        if path == self.server.profile.runtime_installer_path:
            return self.runtime_installer()
        if is_service_worker_script(path):
            return api.respond(200, content.SERVICE_WORKER_JS, SCRIPT_TYPE,
                               headers={"Service-Worker-Allowed": "/"})
        if path == "/content/worker-probe.js":
            return api.respond(200, content.WORKER_PROBE_JS, SCRIPT_TYPE,
                               headers={"Service-Worker-Allowed": "/", "Cache-Control": "no-store"})
        if path in ("/", "/portal/home"):
            return api.respond(200, content.portal_home(base), api.HTML_TYPE)
        if path.startswith("/embed/") and len(path) > len("/embed/"):
            origin = query.get("origin", [""])[0]
            return api.respond(200, content.youtube_embed(path[len("/embed/"):], origin),
                               api.HTML_TYPE)
        if path == "/portal/select-tenants":
            return api.respond(200, content.portal_select_tenants(base), api.HTML_TYPE)
        if path == "/portal/courses":
            links = [("%s (%s)" % (cid, entry[0]), mint_link(key, DEMO_TOKEN, cid, base))
                     for cid, entry in api.catalogue(base).items()]
            links.append(("Direct link", mint_link(key, DEMO_TOKEN, base + "/content/page.html",
                                                   base)))
            return api.respond(200, content.portal_courses(links), api.HTML_TYPE)
        if path == "/_mint":
            token, cid = query.get("token", [None])[0], query.get("content", [None])[0]
            if token is None or cid is None:
                return api.respond(400, {"error": "token and content are required"})
            link = mint_link(key, token, cid, query.get("domain", [base])[0],
                             with_mac=query.get("nomac", ["0"])[0] in ("", "0"),
                             upper_mac=query.get("uppermac", ["0"])[0] not in ("", "0"))
            return api.respond(200, link, api.TEXT_TYPE)
        return api.respond(404, {"error": "Not found", "path": path})

    def runtime_installer(self):
        """The file the client's runtime bootstrap downloads, when the run names one."""
        try:
            with open(self.server.runtime_installer, "rb") as f:
                return api.respond(200, f.read(), "application/octet-stream")
        except OSError:
            return api.respond(404, {"error": "No runtime installer configured"})

    def test_endpoint(self, name, query):
        def number(key, default, limit):
            try:
                return max(0, min(int(query.get(key, [default])[0]), limit))
            except ValueError:
                return None

        if name.startswith("status/"):
            code = name[len("status/"):]
            if not code.isdigit() or not 200 <= int(code) <= 599:
                return api.respond(400, {"error": "status must be 200 to 599"})
            return api.respond(int(code), {"status": int(code)})
        if name == "redirect":
            return api.respond(302, {"location": "/_test/echo"},
                               headers={"Location": "/_test/echo"})
        if name == "chunked":
            self.send_stream(api.TEXT_TYPE, (b"chunk-%d\n" % i for i in range(10)), pause=0.02)
            return None
        if name == "slow":
            ms = number("ms", 0, MAX_SLOW_MS)
            if ms is None:
                return api.respond(400, {"error": "ms must be a number"})
            time.sleep(ms / 1000.0)
            return api.respond(200, "slow", api.TEXT_TYPE)
        if name == "bytes":
            # Streamed without a length, the body is produced as it is sent, so it may be far
            # larger: a client has to stop reading on its own.
            streamed = query.get("chunked", ["0"])[0] not in ("", "0")
            n = number("n", 0, MAX_STREAMED_BYTES if streamed else MAX_BYTES)
            if n is None:
                return api.respond(400, {"error": "n must be a number"})
            step = len(BYTE_PATTERN)
            pieces = (BYTE_PATTERN[:min(step, n - at)] for at in range(0, n, step))
            self.send_stream("application/octet-stream", pieces,
                             length=None if streamed else n)
            return None
        return api.respond(404, {"error": "Not found", "path": "/_test/" + name})


def open_http_server(args, profile, log):
    port = args.port
    if args.port_from_profile:
        port = profile.portal_port()
        if port is None:
            sys.stderr.write("portal origin is not a loopback address; taking a free port\n")
            port = 0
    # A fixture restart may find the previous instance still releasing the port: wait briefly
    # for it before settling for a free one.
    for _ in range(10 if port else 1):
        try:
            return DemoServer(port, profile, log, "http")
        except OSError as error:
            if port == 0:
                raise
            problem = error
            time.sleep(0.1)
    sys.stderr.write("port %d is not available (%s); taking a free port\n" % (port, problem))
    return DemoServer(0, profile, log, "http")


def write_state(path, state):
    path = os.path.abspath(path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="utf-8") as f:
        json.dump(state, f)
    os.replace(temporary, path)  # readers never see a half-written file


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--profile", required=True, help="tenant profile (config/*.json)")
    ports = parser.add_mutually_exclusive_group()
    ports.add_argument("--port", type=int, default=0, help="HTTP port (0: a free one)")
    ports.add_argument("--port-from-profile", action="store_true",
                       help="use the port of a loopback portal origin when it is free")
    parser.add_argument("--tls", action="store_true", help="add a self-signed HTTPS listener")
    parser.add_argument("--state-file", help="JSON file written once the listeners are up")
    parser.add_argument("--log", help="JSON-lines request log (appended)")
    parser.add_argument("--report-paint", action="store_true",
                        help="HTML documents report their first paint and load to the platform")
    parser.add_argument("--runtime-installer",
                        default=os.environ.get("ORBIS_DEMO_RUNTIME_INSTALLER", ""),
                        help="file served at the profile's runtime installer address")
    args = parser.parse_args(argv)

    try:
        profile = load_profile(args.profile)
    except ProfileError as error:
        sys.stderr.write("demo platform: %s\n" % error)
        return 2

    log = RequestLog(args.log)
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())

    servers = [open_http_server(args, profile, log)]
    servers[0].report_paint = args.report_paint
    servers[0].runtime_installer = args.runtime_installer
    tls_dir, cert_path = None, ""
    if args.tls:
        tls_dir = tempfile.mkdtemp(prefix="demo-platform-tls-")
        context, cert_path = make_tls_context(tls_dir)
        servers.append(DemoServer(0, profile, log, "tls", context))
    threads = [threading.Thread(target=s.serve_forever, kwargs={"poll_interval": 0.1},
                                daemon=True) for s in servers]
    for thread in threads:
        thread.start()

    print(servers[0].base, flush=True)
    if args.tls:
        print(servers[1].base, flush=True)
    if args.state_file:
        write_state(args.state_file, {
            "base": servers[0].base, "tls_base": servers[1].base if args.tls else "",
            "log": log.path, "pid": os.getpid(), "tls_cert": cert_path})

    while not stop.wait(0.1):
        pass
    for server in servers:
        server.shutdown()
        server.server_close()
    log.close()
    if tls_dir:
        shutil.rmtree(tls_dir, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
