"""Documents the demo platform serves: a one-page PDF, content pages and the portal pages."""
import html

PAGE_STYLE = (
    "body{font-family:sans-serif;margin:2em;background:#f6f7fb;color:#1d2433}"
    "h1{font-size:1.6em}li{margin:.4em 0}a{color:#2754c5}")


def _page(title, body, script=""):
    return (
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<title>%s</title><style>%s</style></head>\n<body>\n%s\n%s</body></html>\n" %
        (html.escape(title), PAGE_STYLE, body, script)).encode("utf-8")


def _pdf_text_stream(lines):
    ops = ["BT", "/F1 24 Tf", "72 760 Td"]
    for i, line in enumerate(lines):
        if i:
            ops.append("0 -32 Td")
        escaped = line.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)")
        ops.append("(%s) Tj" % escaped)
    ops.append("ET")
    return "\n".join(ops).encode("latin-1")


def build_pdf(lines):
    """A minimal one-page PDF 1.4 with a correct cross-reference table."""
    stream = _pdf_text_stream(lines)
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] "
        b"/Resources << /Font << /F1 5 0 R >> >> /Contents 4 0 R >>",
        b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"\nendstream",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    ]
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref_at = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, xref_at)
    return bytes(out)


SAMPLE_PDF = build_pdf(["Orbis Campus sample document", "Demo platform, page 1 of 1"])

VIDEO_HTML = _page(
    "Demo video",
    "<h1>Demo video</h1>\n<p>This page stands in for a hosted video player.</p>\n"
    "<canvas id=\"screen\" width=\"480\" height=\"270\" style=\"background:#111\"></canvas>",
    "<script>\n(function(){var c=document.getElementById('screen').getContext('2d'),t=0;"
    "setInterval(function(){c.fillStyle='#111';c.fillRect(0,0,480,270);c.fillStyle='#4f8';"
    "c.fillRect((t*4)%480,120,30,30);t++;},40);})();\n</script>\n")

PAGE_HTML = _page(
    "Demo content page",
    "<h1>Demo content page</h1>\n<p id=\"status\">Embedded content for the player window.</p>",
    "<script>\nwindow.addEventListener('load', function () {\n"
    "  document.getElementById('status').setAttribute('data-loaded', '1');\n"
    "  window.chrome && window.chrome.webview && "
    "window.chrome.webview.postMessage(\"pageLoaded\");\n});\n</script>\n")

# A printable handout: its own print button calls window.print(), and it shows the client's
# answer to each print request, as the platform's pages do.
HANDOUT_HTML = _page(
    "Course handout",
    "<h1>Course handout</h1>\n<p>Week 3: reading list and exercises.</p>\n"
    "<ol><li>Read chapter 4.</li><li>Solve exercises 4.1 to 4.6.</li></ol>\n"
    "<button id=\"print\" onclick=\"window.print()\">Print handout</button>\n"
    "<p id=\"print-result\" data-count=\"0\"></p>",
    "<script>\nwindow.printResults = [];\n"
    "if (window.chrome && window.chrome.webview) {\n"
    "  window.chrome.webview.addEventListener('message', function (event) {\n"
    "    var data = event.data;\n"
    "    if (!data || data.type !== 'printResult') return;\n"
    "    window.printResults.push(data);\n"
    "    var line = document.getElementById('print-result');\n"
    "    line.textContent = data.status + (data.message ? ': ' + data.message : '');\n"
    "    line.setAttribute('data-count', String(window.printResults.length));\n"
    "  });\n}\n</script>\n")


def _register_service_worker(path):
    """The portal pages register their service worker, as the platform's own pages do."""
    return ("<script>\nif ('serviceWorker' in navigator) {\n"
            "  navigator.serviceWorker.register('%s').catch(function () {});\n}\n</script>\n" %
            path)


def portal_home(base):
    return _page(
        "Orbis Campus",
        "<h1>Orbis Campus</h1>\n<p id=\"portal-home\">Welcome to the demo portal.</p>\n"
        "<p><a id=\"courses-link\" href=\"%s/portal/courses\">My courses</a></p>" %
        html.escape(base),
        _register_service_worker("/front/sw.js"))


def portal_courses(links):
    """`links` is a list of (label, scheme link) pairs."""
    items = "\n".join(
        "<li><a href=\"%s\">%s</a></li>" % (html.escape(link), html.escape(label))
        for label, link in links)
    return _page(
        "My courses",
        "<h1>My courses</h1>\n<ul id=\"course-links\">\n%s\n</ul>\n"
        "<p><a id=\"home-link\" href=\"/portal/home\">Home</a></p>" % items,
        _register_service_worker("/front/sw.js"))


# The platform's service workers. They only take control of their pages, which is all it takes for
# a worker to sit between a page and the network; a desktop client is expected to keep them out.
SERVICE_WORKER_JS = (
    "self.addEventListener('install', function () { self.skipWaiting(); });\n"
    "self.addEventListener('activate', function (event) {\n"
    "  event.waitUntil(self.clients.claim());\n});\n"
    "self.addEventListener('fetch', function () {});\n").encode("utf-8")

# A worker that requests every address named by a "fetch" query parameter of its own URL and
# reports each outcome ("<url> ok <status>" or "<url> failed") to its page: to the creating page
# for a dedicated worker, to every client for a service worker. Shows what a worker can reach.
WORKER_PROBE_JS = (
    "(function () {\n"
    "  var urls = new URLSearchParams(self.location.search).getAll('fetch');\n"
    "  Promise.all(urls.map(function (url) {\n"
    "    return fetch(url, {mode: 'no-cors', cache: 'no-store'}).then(\n"
    "      function (r) { return url + ' ok ' + r.status; },\n"
    "      function () { return url + ' failed'; });\n"
    "  })).then(function (results) {\n"
    "    if (typeof self.postMessage === 'function') { self.postMessage(results); return; }\n"
    "    self.clients.matchAll({includeUncontrolled: true}).then(function (all) {\n"
    "      all.forEach(function (c) { c.postMessage(results); });\n"
    "    });\n"
    "  });\n"
    "})();\n").encode("utf-8")


def portal_select_tenants(base):
    """The platform's institution picker; the chosen institution's portal is the link target."""
    return _page(
        "Choose your institution",
        "<h1>Choose your institution</h1>\n<ul id=\"tenants\">\n"
        "<li><a href=\"%s/portal/home\">Orbis Campus</a></li>\n</ul>" % html.escape(base),
        _register_service_worker("/select-tenants-sw.js"))


def youtube_embed(video_id, origin):
    """A stand-in for YouTube's embed player, for tests that resolve YouTube's host here."""
    return _page(
        "YouTube embed stand-in",
        "<h1>Video <span id=\"video-id\">%s</span></h1>\n"
        "<p>Embedded for <span id=\"embed-origin\">%s</span>.</p>" % (
            html.escape(video_id), html.escape(origin)))
