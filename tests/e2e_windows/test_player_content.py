"""Player mode: each content kind reaches the view as the right navigation or generated page,
and the view's events are judged as on Linux."""
import unittest
import urllib.parse

import harness
import wine_app
import x11

BASE = "http://127.0.0.1:47810"
YOUTUBE_EMBED = "https://www.youtube.com/embed/dQw4w9WgXcQ"
WATERMARK = "learner@example.test"


# Registered before the content, in this order.
LOADER_AND_PRINT_BLOCK = ["_zelvanLoaderAdded", "_zelvanPrintBlockAdded"]
PAGE_SCRIPTS = {
    "pdf-1": LOADER_AND_PRINT_BLOCK + ["_zelvanWatermarkAdded", "_zelvanPrintBtnAdded"],
    "handout-1": LOADER_AND_PRINT_BLOCK,
    "video-1": LOADER_AND_PRINT_BLOCK,
    "youtube-1": LOADER_AND_PRINT_BLOCK,
    "zoom-1": LOADER_AND_PRINT_BLOCK,
    "page-1": LOADER_AND_PRINT_BLOCK,
}


class PlayerContentTest(wine_app.WineAppTestCase):
    def show(self, content, name):
        app, navigation, window = self.start_shown([self.mint(content)], name=name)
        left, top, width, height = x11.geometry(app.display_env(), window)
        self.assertEqual((width, height), (1280, 720))
        # The view is shown inside the window (the stand-in paints it white); the window maps
        # together with its content, so the view's first picture may follow by a moment.
        shots = []
        painted = wine_app.wait_until(lambda: shots.append(app.screenshot("shown")) or x11.pixel(
            shots[-1], left + width // 2, top + height // 2) == (255, 255, 255), 10, 0.2)
        self.assertTrue(painted, "the view is not shown in the window")
        return app, navigation, window

    def finish_cleanly(self, app, window):
        result = app.close_window(window)
        self.assertExit(result, 0)
        return result

    def test_each_kind_reaches_the_view_as_its_navigation_or_page(self):
        youtube = YOUTUBE_EMBED + "?origin=" + urllib.parse.quote(BASE, safe="")
        expectations = {
            # kind: (call, the address, or what the generated page must hold)
            "pdf-1": ("ICoreWebView2.Navigate", BASE + "/content/sample.pdf"),
            "handout-1": ("ICoreWebView2.Navigate", BASE + "/content/handout.html"),
            "video-1": ("ICoreWebView2.Navigate", BASE + "/content/video.html"),
            "youtube-1": ("ICoreWebView2.Navigate", youtube),
            "zoom-1": ("ICoreWebView2.Navigate", "https://zoom.us/j/1234567890?pwd=demo"),
            "page-1": ("ICoreWebView2.NavigateToString",
                       "<iframe src='%s/content/page.html'" % BASE),
        }
        for content, (call, expected) in expectations.items():
            with self.subTest(content=content):
                app, _, window = self.show(content, content)
                result = self.finish_cleanly(app, window)
                shown = result.called("ICoreWebView2.Navigate") + result.called(
                    "ICoreWebView2.NavigateToString")
                self.assertEqual(len(shown), 1, result.describe())
                self.assertEqual(shown[0]["call"], call, result.describe())
                if call == "ICoreWebView2.Navigate":
                    self.assertTrue(harness.same_address(shown[0]["uri"], expected),
                                    result.describe())
                else:
                    self.assertIn(expected, shown[0]["html"])
                    self.assertIn(">%s</div>" % WATERMARK, shown[0]["html"])
                self.assertEqual(result.page_scripts(), PAGE_SCRIPTS[content], result.describe())
                # The platform was asked for the link once.
                asked = [r for r in result.requests if r["method"] == "PUT" and
                         r["path"].startswith("/api/desktop/content-link")]
                self.assertEqual(len(asked), 1, result.describe())

    def test_youtube_requests_carry_the_platform_as_referer_and_no_one_else_does(self):
        app, _, window = self.show("youtube-1", "youtube")
        app.raise_event(**{"raise": "WebResourceRequested", "uri": YOUTUBE_EMBED + "?x=1"})
        app.raise_event(**{"raise": "WebResourceRequested",
                           "uri": "https://cdn.example.test/youtube.com/a.js"})
        answered = app.wait_for_call(lambda c: c.get("event") == "WebResourceRequested" and
                                     "cdn.example" in c.get("uri", ""), 10)
        self.assertIsNotNone(answered)
        result = self.finish_cleanly(app, window)
        youtube, other = result.events("WebResourceRequested")
        self.assertIn(["Referer", BASE], youtube["headers"], result.describe())
        self.assertEqual(other["headers"], [], result.describe())

    def test_navigation_elsewhere_is_cancelled_and_the_same_content_passes(self):
        app, navigation, window = self.show("handout-1", "handout")
        content = navigation["uri"]
        for uri in ("https://other.unrelated.test/", content + "?page=2"):
            app.raise_event(**{"raise": "NavigationStarting", "uri": uri})
        self.assertIsNotNone(app.wait_for_call(
            lambda c: c.get("event") == "NavigationStarting" and "page=2" in c.get("uri", ""),
            10))
        result = self.finish_cleanly(app, window)
        verdicts = [(e["uri"], e["cancel"]) for e in result.events("NavigationStarting")]
        self.assertEqual(verdicts, [("https://other.unrelated.test/", True),
                                    (content + "?page=2", False)], result.describe())

    def test_plain_http_to_the_platform_is_refused_with_403(self):
        app, _, window = self.show("page-1", "http-platform")
        app.raise_event(**{"raise": "WebResourceRequested",
                           "uri": "http://x.zelvan.test/api/secret"})
        self.assertIsNotNone(app.wait_for_call(
            lambda c: c.get("event") == "WebResourceRequested", 10))
        result = self.finish_cleanly(app, window)
        response = result.events("WebResourceRequested")[0]["response"]
        self.assertEqual(response.get("statusCode"), 403, result.describe())


if __name__ == "__main__":
    unittest.main()
