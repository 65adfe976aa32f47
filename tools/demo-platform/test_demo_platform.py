"""Checks the demo platform from outside: a real server process, real sockets, its own log.

Run: /usr/bin/python3 -m unittest discover -s tools/demo-platform
"""
import base64
import hashlib
import hmac
import http.client
import json
import os
import signal
import ssl
import subprocess
import sys
import tempfile
import time
import unittest

from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

HERE = os.path.dirname(os.path.abspath(__file__))
PROFILE = os.path.join(HERE, "..", "..", "config", "tenant.test.json")
with open(PROFILE, encoding="utf-8") as _f:
    KEY = bytes.fromhex(json.load(_f)["envelopeKeyHex"])


def open_envelope(text):
    """Written apart from envelope.py on purpose: the check must not share the sealing code."""
    record = json.loads(base64.b64decode(text))
    if record.get("mac"):
        expected = hmac.new(KEY, (record["iv"] + record["value"]).encode(), hashlib.sha256)
        assert record["mac"].lower() == expected.hexdigest(), "tag mismatch"
    decryptor = Cipher(algorithms.AES(KEY), modes.CBC(base64.b64decode(record["iv"]))).decryptor()
    padded = decryptor.update(base64.b64decode(record["value"])) + decryptor.finalize()
    return record, padded[:-padded[-1]].decode("utf-8")


class DemoPlatformTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.state_path = os.path.join(cls.dir.name, "platform.json")
        cls.proc = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "server.py"), "--profile", PROFILE, "--tls",
             "--state-file", cls.state_path, "--log", os.path.join(cls.dir.name, "req.jsonl")],
            stdout=subprocess.PIPE, text=True)
        first_line = cls.proc.stdout.readline().strip()
        for _ in range(100):
            if os.path.exists(cls.state_path):
                break
            time.sleep(0.05)
        with open(cls.state_path, encoding="utf-8") as f:
            cls.state = json.load(f)
        assert first_line == cls.state["base"], first_line
        cls.port = int(cls.state["base"].rsplit(":", 1)[1])

    @classmethod
    def tearDownClass(cls):
        cls.proc.send_signal(signal.SIGTERM)
        cls.rc = cls.proc.wait(timeout=10)
        cls.proc.stdout.close()
        cls.dir.cleanup()
        assert cls.rc == 0, cls.rc

    def request(self, method, path, body=None, headers=None):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        conn.request(method, path, body=body, headers=headers or {})
        response = conn.getresponse()
        data = response.read()
        conn.close()
        return response, data

    def content_data(self, token, content_id, scenario=""):
        prefix = "/s/%s" % scenario if scenario else ""
        body = "link_token=%s&content_link_id=%s" % (token, content_id)
        response, data = self.request("PUT", prefix + "/api/desktop/content-link", body)
        return response.status, json.loads(data) if data.startswith((b"{", b"[")) else data

    def log_lines(self):
        with open(self.state["log"], encoding="utf-8") as f:
            return [json.loads(line) for line in f]

    def test_content_data_catalogue_and_errors(self):
        status, answer = self.content_data("a&b=c", "pdf-1")
        self.assertEqual(status, 200)
        self.assertEqual(answer["data"], {
            "type": "pdf_url", "url": self.state["base"] + "/content/sample.pdf",
            "video_url": "", "watermark": "learner@example.test", "id": 101})
        self.assertEqual(self.content_data("t", "missing"),
                         (404, {"message": "This content link is not available."}))
        status, answer = self.content_data("revoked", "pdf-1")
        self.assertEqual(status, 403)
        self.assertTrue(answer["message"].endswith("This link has expired."))
        self.assertEqual(self.request("PUT", "/api/desktop/content-link", "junk")[0].status, 400)

    def test_scenarios(self):
        self.assertEqual(self.content_data("t", "video-1", "flat")[1]["id"], 102)
        self.assertEqual(self.content_data("t", "video-1", "array"), (200, []))
        self.assertEqual(self.content_data("t", "x", "message-nonstring"), (403, {"message": 5}))
        self.assertEqual(self.content_data("t", "x", "html-500")[0], 500)
        self.assertEqual(self.content_data("t", "video-1", "bool-number")[1]["data"]["id"], True)
        status, oversized = self.content_data("t", "video-1", "oversized")
        self.assertEqual((status, oversized["data"]["id"]), (200, 102))
        self.assertEqual(len(oversized["data"]["padding"]), 5 * 1024 * 1024)
        response, _ = self.request("PUT", "/s/redirect/api/desktop/content-link?x=1", "a")
        self.assertEqual((response.status, response.getheader("Location")),
                         (302, "/api/desktop/content-link?x=1"))
        # A scenario another endpoint owns leaves this one normal.
        self.assertEqual(self.content_data("t", "zoom-1", "update-mandatory")[0], 200)
        _, data = self.request("GET", "/s/update-mandatory/api/desktop/version")
        self.assertEqual(json.loads(data)["is_required"], 1)
        self.assertEqual(json.loads(self.request("GET", "/api/desktop/version")[1])["version"],
                         "4.18")

    def test_page_script_files_and_unknown_paths(self):
        response, data = self.request("GET", "/api/desktop/page-script/-7")
        self.assertEqual(data, b"window.__orbisPageScript = -7;")
        self.assertEqual(self.request("GET", "/api/desktop/page-script/404")[0].status, 404)
        _, pdf = self.request("GET", "/content/sample.pdf")
        self.assertTrue(pdf.startswith(b"%PDF-1.4") and pdf.rstrip().endswith(b"%%EOF"))
        xref = int(pdf.rsplit(b"startxref", 1)[1].split()[0])
        self.assertTrue(pdf[xref:].startswith(b"xref"))
        offsets = [int(line[:10]) for line in pdf[xref:].split(b"\n")[3:8]]
        for number, offset in enumerate(offsets, start=1):
            self.assertTrue(pdf[offset:].startswith(b"%d 0 obj" % number))
        page = self.request("GET", "/content/page.html")[1]
        self.assertIn(b"pageLoaded", page)
        self.assertNotIn(b"/_bench/paint", page)  # only with --report-paint
        response, data = self.request("GET", "/no/such/path")
        self.assertEqual((response.status, json.loads(data)["error"]), (404, "Not found"))

    def test_more_kinds_and_an_awkward_watermark(self):
        status, answer = self.content_data("t", "pdf-2")
        self.assertEqual((status, answer["data"]["type"], answer["data"]["id"]), (200, "pdf", 106))
        watermark = answer["data"]["watermark"]
        for piece in ("'", '"', "<b>", "&amp;", "\\", "</script>", "\n", "\u0637"):
            self.assertIn(piece, watermark)
        self.assertEqual(self.content_data("t", "page-2")[1]["data"]["watermark"], watermark)
        self.assertEqual(self.content_data("t", "page-2")[1]["data"]["type"], "embed_page")
        upper = self.content_data("t", "pdf-upper")[1]["data"]
        self.assertEqual((upper["type"], upper["url"]),
                         ("PDF", self.state["base"] + "/content/sample.pdf"))
        video = self.content_data("t", "youtube-http")[1]["data"]
        self.assertEqual((video["type"], video["video_url"], video["id"]),
                         ("video", "http://www.youtube.com/embed/e2eVideo01", 109))
        _, embed = self.request("GET", "/embed/e2eVideo01?origin=http%3a%2f%2fa%3Cb")
        self.assertIn(b'id="video-id">e2eVideo01<', embed)
        self.assertIn(b'id="embed-origin">http://a&lt;b<', embed)
        self.assertEqual(self.request("GET", "/embed/")[0].status, 404)
        # The courses page offers the new items too.
        self.assertIn(b"pdf-upper (PDF)", self.request("GET", "/portal/courses")[1])

    def test_service_workers_and_portal_pages(self):
        for path in ("/front/sw.js", "/select-tenants-sw.js", "/front/workbox-6f1c.js"):
            response, data = self.request("GET", path)
            self.assertEqual(response.status, 200, path)
            self.assertTrue(response.getheader("Content-Type").startswith(
                "application/javascript"), path)
            self.assertEqual(response.getheader("Service-Worker-Allowed"), "/")
            self.assertIn(b"clients.claim()", data)
        self.assertEqual(self.request("GET", "/front/workbox-6f1c.css")[0].status, 404)
        self.assertEqual(self.request("GET", "/s/x/front/sw.js")[0].status, 200)
        self.assertIn(b"register('/front/sw.js')", self.request("GET", "/portal/home")[1])
        self.assertIn(b"register('/front/sw.js')", self.request("GET", "/portal/courses")[1])
        _, picker = self.request("GET", "/portal/select-tenants")
        self.assertIn(b"register('/select-tenants-sw.js')", picker)
        self.assertIn((self.state["base"] + "/portal/home").encode(), picker)
        response, probe = self.request("GET", "/content/worker-probe.js?fetch=/x")
        self.assertEqual(response.getheader("Cache-Control"), "no-store")
        self.assertIn(b"getAll('fetch')", probe)

    def test_test_endpoints(self):
        response, data = self.request("GET", "/_test/chunked")
        self.assertEqual(response.getheader("Transfer-Encoding"), "chunked")
        self.assertEqual(data, b"".join(b"chunk-%d\n" % i for i in range(10)))
        _, data = self.request("GET", "/_test/bytes?n=600")
        self.assertEqual(data, bytes(i % 251 for i in range(600)))
        response, data = self.request("GET", "/_test/bytes?n=70000&chunked=1")
        self.assertEqual(response.getheader("Transfer-Encoding"), "chunked")
        self.assertIsNone(response.getheader("Content-Length"))
        self.assertEqual(data, bytes(i % 251 for i in range(70000)))
        self.assertEqual(self.request("GET", "/_test/status/503")[0].status, 503)
        _, data = self.request("POST", "/_test/echo?q=1", "b\u00e9".encode(),
                               {"X-Desktop-App": "1"})
        echo = json.loads(data)
        self.assertEqual((echo["path"], echo["body"], echo["headers"]["x-desktop-app"]),
                         ("/_test/echo?q=1", "b\u00e9", "1"))

    def test_tls_listener_is_self_signed(self):
        port = int(self.state["tls_base"].rsplit(":", 1)[1])
        with self.assertRaises(ssl.SSLError):
            http.client.HTTPSConnection("127.0.0.1", port, timeout=10).request("GET", "/")
        trusting = ssl.create_default_context(cafile=self.state["tls_cert"])
        conn = http.client.HTTPSConnection("127.0.0.1", port, timeout=10, context=trusting)
        conn.request("GET", "/_test/echo?tls")
        self.assertEqual(conn.getresponse().status, 200)
        conn.close()
        entry = [e for e in self.log_lines() if e["path"] == "/_test/echo?tls"][-1]
        self.assertEqual(entry["listener"], "tls")

    def test_minted_link_opens_with_independent_code(self):
        link = subprocess.check_output(
            [sys.executable, os.path.join(HERE, "mint.py"), "--profile", PROFILE, "--token",
             "tok+/=", "--content-id", "pdf-1", "--domain", "127.0.0.1:1", "--upper-mac"],
            text=True).strip()
        self.assertTrue(link.startswith("orbiscampus://"))
        parts = [open_envelope(p) for p in link[len("orbiscampus://"):].split(":")]
        self.assertEqual([text for _, text in parts], ["tok+/=", "pdf-1", "127.0.0.1:1"])
        self.assertTrue(all(r["mac"].isupper() for r, _ in parts))
        _, served = self.request("GET", "/_mint?token=t&content=page-1&nomac=1")
        opened = [open_envelope(p) for p in served.decode()[len("orbiscampus://"):].split(":")]
        self.assertEqual(opened[2][1], self.state["base"])
        self.assertNotIn("mac", opened[0][0])

    def test_untagged_minting_warns_when_the_profile_requires_the_tag(self):
        run = subprocess.run(
            [sys.executable, os.path.join(HERE, "mint.py"), "--profile", PROFILE, "--envelope",
             "x", "--no-mac"], capture_output=True, text=True, check=True)
        record, text = open_envelope(run.stdout.strip())
        self.assertEqual((text, "mac" in record), ("x", False))
        self.assertIn("refuses the untagged link", run.stderr)

    def test_profile_tag_setting_defaults_to_required_and_must_be_a_boolean(self):
        sys.path.insert(0, HERE)
        from platform_profile import Profile, ProfileError
        with open(PROFILE, encoding="utf-8") as f:
            data = json.load(f)
        self.assertTrue(Profile(data).tag_required)
        self.assertFalse(Profile(dict(data, envelopeTagRequired=False)).tag_required)
        data.pop("envelopeTagRequired")
        self.assertTrue(Profile(data).tag_required)
        with self.assertRaises(ProfileError):
            Profile(dict(data, envelopeTagRequired="no"))

    def test_log_records_method_path_headers_and_body(self):
        self.request("PUT", "/s/flat/api/desktop/content-link", "link_token=L&content_link_id=Z",
                     {"X-Zelvan-Desktop": "1"})
        entry = self.log_lines()[-1]
        self.assertEqual((entry["listener"], entry["method"], entry["path"], entry["body"]),
                         ("http", "PUT", "/s/flat/api/desktop/content-link",
                          "link_token=L&content_link_id=Z"))
        self.assertEqual(entry["headers"]["x-zelvan-desktop"], "1")
        self.assertTrue(entry["time"].endswith("Z"))


class PaintReportTest(unittest.TestCase):
    """With --report-paint, served pages report their paint to the platform's log."""

    def test_html_documents_carry_the_report_and_its_requests_are_logged(self):
        with tempfile.TemporaryDirectory() as folder:
            state_path, log_path = os.path.join(folder, "state.json"), os.path.join(folder, "l")
            proc = subprocess.Popen(
                [sys.executable, os.path.join(HERE, "server.py"), "--profile", PROFILE,
                 "--report-paint", "--state-file", state_path, "--log", log_path],
                stdout=subprocess.DEVNULL)
            try:
                for _ in range(100):
                    if os.path.exists(state_path):
                        break
                    time.sleep(0.05)
                with open(state_path, encoding="utf-8") as f:
                    port = int(json.load(f)["base"].rsplit(":", 1)[1])

                def get(path):
                    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
                    conn.request("GET", path)
                    response = conn.getresponse()
                    data = response.read()
                    conn.close()
                    return response.status, data

                for path in ("/content/page.html", "/portal/courses"):
                    status, page = get(path)
                    self.assertEqual(status, 200)
                    # First in <head>: the report is running before the page's own content.
                    self.assertTrue(page.split(b"<head>", 1)[1].startswith(
                        b"<script>(function(){var top="), path)
                    self.assertIn(b"first-contentful-paint", page)
                status, pdf = get("/content/sample.pdf")
                self.assertTrue(pdf.startswith(b"%PDF-1.4"))
                status, body = get("/_bench/paint?kind=fcp&at=1765300000000.5&top=1")
                self.assertEqual((status, body), (204, b""))
            finally:
                proc.send_signal(signal.SIGTERM)
                self.assertEqual(proc.wait(timeout=10), 0)
            with open(log_path, encoding="utf-8") as f:
                paths = [json.loads(line)["path"] for line in f]
            self.assertIn("/_bench/paint?kind=fcp&at=1765300000000.5&top=1", paths)


class RuntimeInstallerTest(unittest.TestCase):
    """The browser-runtime installer address of the test profile is served by the platform."""

    def test_serves_the_named_file_and_nothing_without_one(self):
        with open(PROFILE, encoding="utf-8") as f:
            address = json.load(f)["strings"]["webView2InstallerUrl"]
        path = address[address.index("/", len("http://")):]
        with tempfile.TemporaryDirectory() as folder:
            installer = os.path.join(folder, "setup.exe")
            with open(installer, "wb") as f:
                f.write(b"MZ\x90\x00 stand-in installer")
            for served in (installer, ""):
                state_path = os.path.join(folder, "state.json")
                if os.path.exists(state_path):
                    os.remove(state_path)
                proc = subprocess.Popen(
                    [sys.executable, os.path.join(HERE, "server.py"), "--profile", PROFILE,
                     "--runtime-installer", served, "--state-file", state_path],
                    stdout=subprocess.DEVNULL)
                try:
                    for _ in range(100):
                        if os.path.exists(state_path):
                            break
                        time.sleep(0.05)
                    with open(state_path, encoding="utf-8") as f:
                        port = int(json.load(f)["base"].rsplit(":", 1)[1])
                    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
                    conn.request("GET", path)
                    response = conn.getresponse()
                    body = response.read()
                    conn.close()
                    if served:
                        self.assertEqual(response.status, 200)
                        self.assertEqual(response.getheader("Content-Type"),
                                         "application/octet-stream")
                        self.assertEqual(body, b"MZ\x90\x00 stand-in installer")
                    else:
                        self.assertEqual(response.status, 404)
                finally:
                    proc.send_signal(signal.SIGTERM)
                    self.assertEqual(proc.wait(timeout=10), 0)


class SlowStartScenarioTest(unittest.TestCase):
    """Answers are built without a socket, so the delay is read instead of waited for."""

    def test_both_blocking_start_up_calls_wait_and_then_answer_normally(self):
        sys.path.insert(0, HERE)
        import platform_api
        import platform_profile
        profile = platform_profile.load_profile(PROFILE)
        base = "http://127.0.0.1:1"
        normal = platform_api.update_check("", "GET")
        slow = platform_api.update_check("slow-start", "GET")
        self.assertEqual((slow.status, slow.body), (normal.status, normal.body))
        self.assertGreaterEqual(slow.delay, 10.0)
        form = (profile.s("formTokenFragment") + "t" + profile.s("formContentIdFragment") +
                "page-1")
        content = platform_api.content_data(profile, "slow-start", base, "PUT", form, "/")
        self.assertEqual(content.body,
                         platform_api.content_data(profile, "", base, "PUT", form, "/").body)
        self.assertGreaterEqual(content.delay, 10.0)


if __name__ == "__main__":
    unittest.main()
