"""The platform API answers: content data, update check and page script.

Each function returns a `Response` and touches no socket, so the answers can be checked
without a server. Scenario names come from the `/s/<scenario>` path prefix; a scenario an
endpoint does not know leaves that endpoint's normal behaviour in place, so one link domain
such as `/s/update-mandatory` can steer the update check while its content call stays normal.
"""
import collections
import json
import re

Response = collections.namedtuple("Response", "status content_type body headers delay")

JSON_TYPE = "application/json; charset=utf-8"
TEXT_TYPE = "text/plain; charset=utf-8"
HTML_TYPE = "text/html; charset=utf-8"

UNKNOWN_ID_MESSAGE = "This content link is not available."
REVOKED_MESSAGE = "انتهت صلاحية هذا الرابط. This link has expired."
FORBIDDEN_MESSAGE = "You do not have access to this content."
MALFORMED_MESSAGE = "The content link request is malformed."
REVOKED_TOKEN = "revoked"

WATERMARK = "learner@example.test"
# Every character that means something in HTML or inside a JavaScript string literal, a line
# break and right-to-left text: a client must show it literally, whichever page carries it.
AWKWARD_WATERMARK = "O'Neil \"Ada\" <b>&amp;</b> \\ </script>\n\u0637\u0627\u0644\u0628"
ZOOM_URL = "https://zoom.us/j/1234567890?pwd=demo"
YOUTUBE_URL = "https://www.youtube.com/watch?v=dQw4w9WgXcQ&t=42"
# Plain HTTP, so a test that resolves YouTube's host to this server gets the stand-in embed page.
YOUTUBE_HTTP_URL = "http://www.youtube.com/embed/e2eVideo01"
INSTALLER_URL = "https://download.zelvan.test/desktop/orbiscampus/orbiscampus.exe"
SLOW_DELAY_S = 3.0
# Long enough that a client which blocks its start-up on these answers is seen doing so.
SLOW_START_DELAY_S = 10.0

# Past the 4 MiB a client accepts as one answer.
OVERSIZED_BYTES = 5 * 1024 * 1024

CONTENT_SCENARIOS = (
    "flat", "empty-object", "array", "null-watermark", "number-watermark", "float-number",
    "bool-number", "message-403", "message-nonstring", "html-500", "not-json", "slow",
    "redirect", "zoom-pdf", "youtube-and-zoom", "negative-number", "script-missing",
    "slow-start", "oversized")
UPDATE_SCENARIOS = ("update-optional", "update-mandatory", "update-500", "update-not-json",
                    "slow-start")


def respond(status, body, content_type=JSON_TYPE, headers=None, delay=0.0):
    if not isinstance(body, bytes):
        if content_type == JSON_TYPE:
            body = json.dumps(body, ensure_ascii=False)
        body = body.encode("utf-8")
    return Response(status, content_type, body, headers or {}, delay)


def catalogue(base):
    """Content link id -> (kind, url, videoUrl, watermark, number)."""
    return {
        "pdf-1": ("pdf_url", base + "/content/sample.pdf", "", WATERMARK, 101),
        "video-1": ("video", base + "/content/video.html", "", WATERMARK, 102),
        "page-1": ("embed_page", base + "/content/page.html", "", WATERMARK, 103),
        "youtube-1": ("video", "", YOUTUBE_URL, "", 104),
        "zoom-1": ("zoom", ZOOM_URL, "", "", 105),
        "pdf-2": ("pdf", base + "/content/sample.pdf", "", AWKWARD_WATERMARK, 106),
        "page-2": ("embed_page", base + "/content/page.html", "", AWKWARD_WATERMARK, 107),
        # Kinds are case-sensitive: this one is not a PDF kind for the client.
        "pdf-upper": ("PDF", base + "/content/sample.pdf", "", WATERMARK, 108),
        "youtube-http": ("video", "", YOUTUBE_HTTP_URL, "", 109),
        "handout-1": ("url_direct", base + "/content/handout.html", "", WATERMARK, 110),
    }


def parse_form(body, profile):
    """Splits `<tokenFragment><token><idFragment><id>`. Values travel unescaped, so the id
    fragment is looked for at its first occurrence after the token fragment."""
    lead, middle = profile.s("formTokenFragment"), profile.s("formContentIdFragment")
    if not body.startswith(lead):
        return None
    rest = body[len(lead):]
    at = rest.find(middle)
    if at < 0:
        return None
    return rest[:at], rest[at + len(middle):]


# Record-shaping scenarios: each rewrites the five fields of the chosen catalogue entry.
_FIELD_SCENARIOS = {
    "null-watermark": lambda r: r[:3] + (None, r[4]),
    "number-watermark": lambda r: r[:3] + (42, r[4]),
    "float-number": lambda r: r[:4] + (7.9,),
    "bool-number": lambda r: r[:4] + (True,),
    "negative-number": lambda r: r[:4] + (-7,),
    # The page script of number 404 does not exist.
    "script-missing": lambda r: r[:4] + (404,),
    "zoom-pdf": lambda r: ("pdf_url", ZOOM_URL, "", r[3], r[4]),
    "youtube-and-zoom": lambda r: ("video", ZOOM_URL, YOUTUBE_URL, r[3], r[4]),
}


def content_data(profile, scenario, base, method, body, plain_target):
    """`plain_target` is the request target without the scenario prefix (redirect target)."""
    if method != "PUT":
        return respond(405, {"error": "Method not allowed"}, headers={"Allow": "PUT, OPTIONS"})
    if scenario == "redirect":
        return respond(302, {"location": plain_target}, headers={"Location": plain_target})
    if scenario == "message-403":
        return respond(403, {"message": FORBIDDEN_MESSAGE})
    if scenario == "message-nonstring":
        return respond(403, {"message": 5})
    if scenario == "html-500":
        return respond(500, "<html><body><h1>Internal Server Error</h1></body></html>", HTML_TYPE)
    if scenario == "not-json":
        return respond(200, "not json", TEXT_TYPE)
    if scenario == "empty-object":
        return respond(200, {})
    if scenario == "array":
        return respond(200, [])

    delay = {"slow": SLOW_DELAY_S, "slow-start": SLOW_START_DELAY_S}.get(scenario, 0.0)
    form = parse_form(body, profile)
    if form is None:
        return respond(400, {"message": MALFORMED_MESSAGE}, delay=delay)
    token, content_id = form
    entries = catalogue(base)
    if scenario in _FIELD_SCENARIOS or scenario == "flat":
        # Shape tests care about the answer's form, not about which item was asked for.
        record = entries.get(content_id, entries["pdf-1"])
        record = _FIELD_SCENARIOS.get(scenario, lambda r: r)(record)
    elif token == REVOKED_TOKEN:
        return respond(403, {"message": REVOKED_MESSAGE}, delay=delay)
    elif content_id not in entries:
        return respond(404, {"message": UNKNOWN_ID_MESSAGE}, delay=delay)
    else:
        record = entries[content_id]

    fields = dict(zip(profile.field_names, record))
    if scenario == "flat":
        return respond(200, fields)
    if scenario == "oversized":
        fields["padding"] = "x" * OVERSIZED_BYTES
    return respond(200, {profile.s("responseDataMember"): fields}, delay=delay)


def update_check(scenario, method):
    if method not in ("GET", "HEAD"):
        return respond(405, {"error": "Method not allowed"}, headers={"Allow": "GET, HEAD"})
    if scenario == "update-optional":
        return respond(200, {"version": "4.19", "is_required": 0, "link": INSTALLER_URL})
    if scenario == "update-mandatory":
        return respond(200, {"version": 5, "is_required": 1, "link": INSTALLER_URL})
    if scenario == "update-500":
        return respond(500, {"message": "The update service is unavailable."})
    if scenario == "update-not-json":
        return respond(200, "not json", TEXT_TYPE)
    delay = SLOW_START_DELAY_S if scenario == "slow-start" else 0.0
    return respond(200, {"version": "4.18", "is_required": 0, "link": ""}, delay=delay)


def page_script(number_text, method):
    if method not in ("GET", "HEAD"):
        return respond(405, {"error": "Method not allowed"}, headers={"Allow": "GET, HEAD"})
    if not re.fullmatch(r"-?[0-9]{1,10}", number_text) or int(number_text) == 404:
        return respond(404, {"error": "No page script for this content"})
    return respond(
        200, "window.__orbisPageScript = %d;" % int(number_text),
        "application/javascript; charset=utf-8")
