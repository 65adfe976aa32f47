"""Player mode, one content item per run: how each kind is shown and what the server saw."""
import unittest
import urllib.parse

import harness
from harness import element_exists, frames_drawn, js, wait_for, window_reaches

# The demo platform's catalogue (tools/demo-platform/platform_api.py).
WATERMARK = "learner@example.test"
AWKWARD_WATERMARK = "O'Neil \"Ada\" <b>&amp;</b> \\ </script>\n\u0637\u0627\u0644\u0628"
WINDOW_TITLE = harness.DISPLAY_NAME + " V 4.18.0"
YOUTUBE_ID = "dQw4w9WgXcQ"
ZOOM_URL = "https://zoom.us/j/1234567890?pwd=demo"
EMBED_WATERMARK_STYLE = (
    "position:fixed;top:0;left:0;width:100%;height:100%;pointer-events:none;z-index:9999;"
    "opacity:0.15;display:flex;align-items:center;justify-content:center;font-size:3vw;color:red;"
    "transform:rotate(-30deg);font-family:Arial,sans-serif;font-weight:bold;")

# The embed page's watermark is the div after the frame; it has no id.
EMBED_WATERMARK = "document.querySelector('body > div')"

# The player window shown with its view: the state the window checks look at.
WINDOW_SHOWN = window_reaches("window shown", visible=True, viewVisible=True)

PDF_PROBES = [
    wait_for(element_exists("zelvan-watermark") + " && " + element_exists("zelvan-print-btn"),
             "overlays present"),
    js("document.getElementById('zelvan-watermark').textContent", "watermark text"),
    js("(function(){var s=getComputedStyle(document.getElementById('zelvan-watermark'));"
       "return [s.position,s.pointerEvents,s.zIndex,s.color];})()", "watermark style"),
    js("(function(){var b=document.getElementById('zelvan-print-btn');"
       "return [b.tagName,b.title,b.textContent.codePointAt(0),getComputedStyle(b).position,"
       "getComputedStyle(b).zIndex];})()", "print button"),
    # Chromium shows a PDF through its viewer; the scripts run in the top document around it.
    js("(function(){var e=document.querySelector('embed');"
       "return e?e.type:document.contentType;})()", "pdf host element"),
    WINDOW_SHOWN,
    # The viewer draws the page a few seconds after the document has loaded; nothing tells when,
    # and only the picture depends on it.
    {"wait": 3500},
    {"screenshot": "pdf.png"},
]


class PlayerContentTest(harness.AppTestCase):
    def rules(self):
        # YouTube and Zoom addresses are https: their hosts lead to the self-signed listener.
        tls = self.demo.tls_port
        return [harness.host_rules("MAP www.youtube.com 127.0.0.1:%d" % tls,
                                   "MAP zoom.us 127.0.0.1:%d" % tls)]

    def assertShownInPlayer(self, result):
        self.assertRanCleanly(result)
        self.assertEqual([e["mode"] for e in result.of("start")], ["player"], result.describe())
        self.assertEqual(len(result.of("contentShown")), 1, result.describe())
        self.assertEqual(result.message_boxes(), [], result.describe())
        windows = result.of("window")
        self.assertTrue(windows, result.describe())
        self.assertEqual((windows[0]["title"], windows[0]["visible"], windows[0]["fullscreen"]),
                         (WINDOW_TITLE, True, False), result.describe())
        self.assertEqual((windows[0]["width"], windows[0]["height"]), (1280, 720))
        self.assertTrue(windows[0]["icon"], "the window has no icon: the artwork is missing")

    def test_direct_link_opens_the_address_itself(self):
        marker = harness.unique("direct")
        url = self.demo.base + "/content/page.html?e2e=" + marker
        result = self.run_app([self.mint(url)], steps=[
            wait_for("document.getElementById('status').getAttribute('data-loaded') === '1'",
                     "page loaded"),
            js("location.href", "address"),
            js("document.title", "title"),
            js(element_exists("zelvan-watermark"), "watermark"),
            js("[window._zelvanLoaderAdded === true, window._zelvanPrintBlockAdded === true]",
               "scripts ran"),
            wait_for("!" + element_exists("zelvan-full-loader"), "loader gone"),
            {"screenshot": "direct.png"},
            {"windowState": True},
        ], chromium=self.rules())
        self.assertShownInPlayer(result)
        self.assertProbe(result, "address", url)
        self.assertProbe(result, "title", "Demo content page")
        self.assertProbe(result, "watermark", False)
        self.assertProbe(result, "scripts ran", [True, True])
        self.assertProbe(result, "loader gone", True)
        self.assertEqual(len(result.server_requests("/content/page.html?e2e=" + marker)), 1,
                         result.describe())
        self.assertTrue(result.navigations(marker) and result.navigations(marker)[0]["allowed"])
        # The page's own "pageLoaded" arrives after the window was shown: nothing more happens.
        self.assertIn("pageLoaded", result.web_messages(), result.describe())
        self.assertNotIn("showOnce", result.commands())

    def test_video_item_opens_its_address_directly(self):
        result = self.run_app([self.mint("video-1")], steps=[
            wait_for("!!document.getElementById('screen')", "player page"),
            js("[location.href, %s]" % element_exists("zelvan-watermark"), "shown"),
            WINDOW_SHOWN,
        ] + frames_drawn() + [
            {"screenshot": "video.png"},
        ], chromium=self.rules())
        self.assertShownInPlayer(result)
        self.assertProbe(result, "shown", [self.demo.base + "/content/video.html", False])
        self.assertTrue(result.server_requests("/content/video.html"), result.describe())

    def test_youtube_embed_page_gets_the_page_script_and_the_platform_as_referer(self):
        # A plain-HTTP embed address of the catalogue, with YouTube's host resolved to the demo
        # platform: the stand-in embed page loads, so the page script can be seen running there.
        origin = urllib.parse.quote(self.demo.base, safe="")
        address = "http://www.youtube.com/embed/e2eVideo01?origin=" + origin
        result = self.run_app([self.mint("youtube-http")], steps=[
            wait_for("!!document.getElementById('video-id')", "embed page"),
            js("[window.__orbisPageScript, document.getElementById('embed-origin').textContent]",
               "page script"),
            {"screenshot": "youtube-embed.png"},
            {"windowState": True},
        ], chromium=[harness.host_rules("MAP www.youtube.com 127.0.0.1:%d" % self.demo.port)])
        self.assertShownInPlayer(result)
        self.assertEqual(result.probe("page script")[1], self.demo.base, result.describe())
        self.assertTrue(any(harness.same_address(n["uri"], address) and n["allowed"]
                            for n in result.of("navigation")), result.describe())
        page = result.server_requests("/embed/e2eVideo01", "www.youtube.com")
        self.assertTrue(page, result.describe())
        # Chromium carries a referrer as a URL, which gives a bare origin its "/".
        self.assertIn(page[0]["headers"].get("referer"), (self.demo.base, self.demo.base + "/"))
        # The page script comes from the endpoint built into the application, on the portal
        # port; only a demo platform there is known to serve it.
        if self.demo.serves_portal:
            self.assertTrue(result.server_requests("/api/desktop/page-script/109"),
                            result.describe())
            self.assertEqual(result.probe("page script")[0], 109, result.describe())

    def test_pdf_url_kind_shows_watermark_and_print_button(self):
        result = self.run_app([self.mint("pdf-1")], steps=PDF_PROBES + [
            {"windowState": True},
            js("document.getElementById('zelvan-print-btn').click();true", "print click"),
            {"picker": "cancel"},
            wait_for("false", "settle", 700),
        ], chromium=self.rules())
        self.assertShownInPlayer(result)
        self.assertTrue(result.server_requests("/content/sample.pdf"), result.describe())
        self.assertProbe(result, "overlays present", True)
        self.assertProbe(result, "watermark text", WATERMARK)
        self.assertProbe(result, "watermark style", ["fixed", "none", "2147483646",
                                                     "rgb(255, 0, 0)"])
        self.assertProbe(result, "print button", ["BUTTON", "Print", 0x1F5A8, "fixed",
                                                  "2147483647"])
        self.assertProbe(result, "pdf host element", "application/pdf")
        self.assertEqual(result.web_messages().count("requestPrint"), 1, result.describe())
        self.assertEqual(result.commands().count("print"), 1, result.describe())

    def test_pdf_kind_shows_an_awkward_watermark_literally(self):
        result = self.run_app([self.mint("pdf-2")], steps=PDF_PROBES[:2] + [
            WINDOW_SHOWN, {"wait": 3500}, {"screenshot": "pdf-awkward.png"}],
            chromium=self.rules())
        self.assertShownInPlayer(result)
        self.assertProbe(result, "overlays present", True)
        self.assertProbe(result, "watermark text", AWKWARD_WATERMARK)

    def embed_page_steps(self, shot):
        return [
            wait_for("!!document.querySelector('iframe')", "frame present"),
            js("document.querySelector('iframe').getAttribute('src')", "frame address"),
            js("[document.querySelector('iframe').getAttribute('allow'),"
               "document.querySelector('iframe').hasAttribute('allowfullscreen')]", "frame rights"),
            js("document.title", "title"),
            js(EMBED_WATERMARK + ".textContent", "watermark text"),
            js(EMBED_WATERMARK + ".getAttribute('style')", "watermark style"),
            js(element_exists("zelvan-watermark") + " || " + element_exists("zelvan-print-btn"),
               "pdf overlays"),
            WINDOW_SHOWN,
        ] + frames_drawn() + [
            {"screenshot": shot},
        ]

    def assertEmbedPage(self, result, frame, watermark):
        self.assertShownInPlayer(result)
        self.assertProbe(result, "frame address", frame)
        self.assertProbe(result, "frame rights", [
            "accelerometer;autoplay;clipboard-write;encrypted-media;gyroscope;picture-in-picture",
            True])
        self.assertProbe(result, "title", harness.DISPLAY_NAME)
        self.assertProbe(result, "watermark text", watermark)
        self.assertProbe(result, "watermark style", EMBED_WATERMARK_STYLE)
        self.assertProbe(result, "pdf overlays", False)
        # The generated page posts "pageLoaded" as soon as its script runs.
        self.assertIn("pageLoaded", result.web_messages(), result.describe())

    def test_framed_page_gets_the_embed_page(self):
        result = self.run_app([self.mint("page-1")], steps=self.embed_page_steps("framed.png"),
                              chromium=self.rules())
        self.assertEmbedPage(result, self.demo.base + "/content/page.html", WATERMARK)
        self.assertTrue(result.server_requests("/content/page.html"), result.describe())
        self.assertTrue(any(n["uri"] == "about:blank" and n["allowed"]
                            for n in result.of("navigation")), result.describe())

    def test_embed_page_shows_an_awkward_watermark_literally(self):
        result = self.run_app([self.mint("page-2")], steps=self.embed_page_steps("awkward.png"),
                              chromium=self.rules())
        self.assertEmbedPage(result, self.demo.base + "/content/page.html", AWKWARD_WATERMARK)

    def test_upper_case_pdf_kind_is_framed_like_any_other_kind(self):
        result = self.run_app([self.mint("pdf-upper")], steps=self.embed_page_steps("upper.png"),
                              chromium=self.rules())
        self.assertEmbedPage(result, self.demo.base + "/content/sample.pdf", WATERMARK)

    def assertOpenedDirectlyAndRefused(self, result, address):
        """YouTube and Zoom items are opened as they are; their https hosts lead to the demo
        platform's self-signed listener, which the application must refuse."""
        self.assertShownInPlayer(result)
        same = harness.same_address
        self.assertTrue(any(same(n["uri"], address) and n["allowed"]
                            for n in result.of("navigation")), result.describe())
        self.assertTrue(any(same(r["uri"], address) and r["action"] == "pass"
                            for r in result.of("request")), result.describe())
        self.assertTrue(any(same(e["url"], address) for e in result.of("certificateError")),
                        result.describe())
        self.assertIn(False, [ok for url, ok in result.loads() if same(url, address)])
        # Not one HTTP request reached the TLS listener: the handshake never completed.
        self.assertEqual([r for r in result.requests if r["listener"] == "tls"], [])

    def refused_steps(self, shot):
        # The error page runs no script of the test's: the window's state is the event.
        return [WINDOW_SHOWN, {"screenshot": shot}]

    def test_youtube_item_opens_its_embed_address_and_tls_is_refused(self):
        origin = urllib.parse.quote(self.demo.base, safe="")
        embed = "https://www.youtube.com/embed/%s?origin=%s" % (YOUTUBE_ID, origin)
        result = self.run_app([self.mint("youtube-1")], steps=self.refused_steps("youtube.png"),
                              chromium=self.rules())
        self.assertOpenedDirectlyAndRefused(result, embed)

    def test_zoom_item_opens_its_address_and_tls_is_refused(self):
        result = self.run_app([self.mint("zoom-1")], steps=self.refused_steps("zoom.png"),
                              chromium=self.rules())
        self.assertOpenedDirectlyAndRefused(result, ZOOM_URL)


if __name__ == "__main__":
    unittest.main()
