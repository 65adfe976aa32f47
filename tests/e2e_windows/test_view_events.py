"""The view's events raised through the stand-in against the real program: resource requests,
the pages' web messages (navigation bar, fullscreen toggles) and a print request."""
import json
import unittest

import wine_app
import x11

BASE = "http://127.0.0.1:47810"
HOME = BASE + "/portal/home"
SCREEN = (1280, 1024)


def message(app, text):
    """A page's postMessage of a plain string, as the runtime hands it over."""
    app.raise_event(**{"raise": "WebMessage", "json": json.dumps(text), "text": text})


class ViewEventsTest(wine_app.WineAppTestCase):
    def size_becomes(self, app, window, size, timeout_s=10):
        return wine_app.wait_until(
            lambda: (x11.geometry(app.display_env(), window) or (0, 0, 0, 0))[2:] == size,
            timeout_s)

    def test_init_requests_are_marked_refused_or_left_alone_as_on_linux(self):
        app, _, window = self.start_shown([], name="init")
        cases = [
            (BASE + "/api/desktop/courses", None, [["x-desktop-app", "1"],
                                                   ["x-zelvan-desktop", "1"]]),
            ("https://zoom.us/j/1", None, []),
            (BASE + "/front/sw.js", 404, []),
            ("http://x.zelvan.test/portal", 403, []),
        ]
        for uri, _, _ in cases:
            app.raise_event(**{"raise": "WebResourceRequested", "uri": uri})
        self.assertIsNotNone(app.wait_for_call(
            lambda c: c.get("event") == "WebResourceRequested" and "x.zelvan" in c["uri"], 10))
        result = app.close_window(window)
        self.assertExit(result, 0)
        seen = {e["uri"]: e for e in result.events("WebResourceRequested")}
        for uri, status, headers in cases:
            with self.subTest(uri=uri):
                event = seen[uri]
                self.assertEqual(event["response"].get("statusCode") if event["response"]
                                 else None, status, event)
                self.assertEqual(event["headers"], headers, event)

    def test_navigation_bar_messages_drive_the_init_view_and_window(self):
        app, _, window = self.start_shown([], name="init")
        # Back only once there is somewhere to go back to: home first.
        for text in ("btn_back", "btn_home", "btn_back", "btn_reload"):
            message(app, text)
        self.assertIsNotNone(app.wait_for_call(lambda c: c.get("call") == "ICoreWebView2.Reload",
                                               10), "reload did not reach the view")
        message(app, "btn_fullscreen")
        self.assertTrue(self.size_becomes(app, window, SCREEN), "not fullscreen")
        app.screenshot("fullscreen")
        message(app, "btn_fullscreen")
        self.assertTrue(self.size_becomes(app, window, (1024, 768)), "fullscreen not left")
        result = app.close_window(window)
        self.assertExit(result, 0)
        self.assertEqual(result.navigations()[1:], [HOME], result.describe())
        self.assertEqual(len(result.called("ICoreWebView2.GoBack")), 1, result.describe())
        self.assertEqual(len(result.called("ICoreWebView2.Reload")), 1, result.describe())

    def test_player_fullscreen_toggle_fills_the_screen_and_comes_back(self):
        app, _, window = self.start_shown([self.mint("page-1")], name="player")
        message(app, "toggleFullscreen")
        self.assertTrue(self.size_becomes(app, window, SCREEN), "not fullscreen")
        shot = app.screenshot("fullscreen")
        # The view fills the whole screen with the window.
        self.assertEqual(x11.pixel(shot, SCREEN[0] - 5, SCREEN[1] - 5), (255, 255, 255))
        message(app, "toggleFullscreen")
        self.assertTrue(self.size_becomes(app, window, (1280, 720)), "fullscreen not left")
        self.assertExit(app.close_window(window), 0)

    def test_print_without_printers_shows_the_empty_picker_and_posts_cancelled(self):
        app, _, window = self.start_shown([self.mint("handout-1")], name="print")
        message(app, "requestPrint")
        picker = app.wait_for_window("Select Printer", 15)
        self.assertIsNotNone(picker, "no printer picker")
        shot = app.screenshot("empty-picker")
        # The picker's own dark face is painted over the white view.
        left, top, width, height = x11.geometry(app.display_env(), picker)
        self.assertLess(sum(x11.pixel(shot, left + 20, top + height // 2)), 150)
        x11.press(app.display_env(), picker, "Escape")
        posted = app.wait_for_call(
            lambda c: c.get("call") == "ICoreWebView2.PostWebMessageAsJson", 10)
        result = app.close_window(window)
        self.assertExit(result, 0)
        self.assertIsNotNone(posted, result.describe())
        self.assertEqual(json.loads(posted["json"]),
                         {"type": "printResult", "status": "cancelled"})
        self.assertEqual(result.called("ICoreWebView2_16.Print"), [])


if __name__ == "__main__":
    unittest.main()
