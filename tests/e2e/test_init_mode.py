"""Init mode: the portal, its marked requests, the navigation bar and tenant tracking."""
import unittest

import harness
from harness import (element_exists, fetch_steps, js, navigate_step, wait_for,
                     window_reaches)

PORT = harness.PORTAL_PORT
PORTAL = "http://127.0.0.1:%d" % PORT
HOME_BASE = "127.0.0.1:%d" % PORT
MARKERS = ("x-desktop-app", "x-zelvan-desktop")
BAR = "document.querySelectorAll('#zelvan-nav-container button')"
ON_COURSES = "!!document.getElementById('course-links')"
ON_HOME = "!!document.getElementById('portal-home')"
BAR_SHOWN = wait_for(element_exists("zelvan-nav-container"), "bar shown")


def click(index, name):
    return js("(function(){%s[%d].click();return true;})()" % (BAR, index), name)


class InitModeTest(harness.AppTestCase):
    def setUp(self):
        super().setUp()
        self.require_portal()

    def run_init(self, steps, rules=()):
        result = self.run_app([], steps=[wait_for(ON_COURSES, "portal shown"), BAR_SHOWN] + steps,
                              chromium=[harness.host_rules("MAP zoom.us 127.0.0.1",
                                                           "MAP *.unrelated.test 127.0.0.1",
                                                           *rules)])
        self.assertRanCleanly(result)
        self.assertEqual([e["mode"] for e in result.of("start")], ["init"], result.describe())
        self.assertProbe(result, "portal shown", True)
        return result

    def browser_requests(self, result, fragment):
        """The view's requests (the application's own HTTP client uses its own user agent)."""
        return [r for r in result.server_requests(fragment)
                if "QtWebEngine" in r["headers"].get("user-agent", "")]

    def assertMarked(self, entry, marked):
        # Exactly the two marker headers; the application's own HTTP client marks its requests
        # with a third one, which the view never sends.
        names = MARKERS + ("desktop-app",)
        found = {name: entry["headers"].get(name) for name in names}
        expected = {name: ("1" if marked and name in MARKERS else None) for name in names}
        self.assertEqual(found, expected, entry)

    def test_trusted_requests_are_marked_and_meeting_hosts_are_not(self):
        marker = harness.unique("init")
        result = self.run_init(fetch_steps({
            "portal": "/_test/echo?e2e=%s-portal" % marker,
            "loopback name": "http://localhost:%d/_test/echo?e2e=%s-localhost" % (PORT, marker),
            "meeting": "http://zoom.us:%d/_test/echo?e2e=%s-meeting" % (PORT, marker),
            "other": "http://other.unrelated.test:%d/_test/echo?e2e=%s-other" % (PORT, marker),
            "insecure platform": "http://x.zelvan.test:%d/_test/echo?e2e=%s-insecure" % (
                PORT, marker),
            "worker script": "/front/sw.js?e2e=%s-sw" % marker,
        }) + [{"screenshot": "portal.png"}, {"windowState": True}],
            rules=("MAP *.zelvan.test 127.0.0.1",))
        start = self.browser_requests(result, "/portal/courses")
        self.assertTrue(start, result.describe())
        self.assertMarked(start[0], True)
        for name, marked in (("portal", True), ("localhost", True), ("meeting", False),
                             ("other", False)):
            seen = result.server_requests("%s-%s" % (marker, name))
            self.assertTrue(seen, "%s not seen\n%s" % (name, result.describe()))
            self.assertMarked(seen[0], marked)
        meeting = result.server_requests("%s-meeting" % marker)[0]
        self.assertEqual(meeting["headers"]["host"], "zoom.us:%d" % PORT)
        # Plain HTTP to a platform host, and the portal's service worker (which the portal
        # registers on every page), never leave the machine.
        self.assertEqual(result.server_requests("%s-insecure" % marker), [], result.describe())
        self.assertEqual(result.server_requests("/front/sw.js"), [], result.describe())
        self.assertEqual((result.probe("insecure platform"), result.probe("worker script")),
                         ("failed", "failed"))
        window = result.of("window")[0]
        self.assertEqual((window["title"], window["width"], window["height"], window["visible"]),
                         (harness.DISPLAY_NAME + " V 4.18.0", 1024, 768, True))

    def test_navigation_bar_buttons(self):
        result = self.run_init([
            js("Array.prototype.map.call(%s,function(b){return b.textContent;})" % BAR,
               "buttons"),
            js("(function(){var c=document.getElementById('zelvan-nav-container');"
               "return [c.style.left,c.style.top];})()", "bar position"),
            click(1, "back without history"),
            wait_for("false", "nothing happens", 800),
            js("location.pathname", "still on"),
            # A real key press gives the page user activation; Chromium skips the history entry
            # of a page that navigated away without ever having one, and Back would find none.
            {"key": "A"},
            js("(function(){document.getElementById('home-link').click();return true;})()",
               "to the home page"),
            wait_for(ON_HOME, "on the home page"),
            BAR_SHOWN,
            click(1, "back"),
            wait_for(ON_COURSES, "back on courses"),
            BAR_SHOWN,
            js("(function(){window.__beforeReload=1;%s[2].click();return true;})()" % BAR,
               "reload"),
            wait_for("window.__beforeReload === undefined && " + ON_COURSES, "reloaded"),
            BAR_SHOWN,
            click(0, "home"),
            wait_for(ON_HOME, "home again"),
            BAR_SHOWN,
            click(3, "fullscreen on"),
            window_reaches("covers the screen", fullscreen=True),
            {"screenshot": "fullscreen.png"},
            click(3, "fullscreen off"),
            window_reaches("back in its window", fullscreen=False),
        ])
        self.assertProbe(result, "buttons", ["\U0001F3E0Home", "\u2190Back", "\u21BBReload",
                                             "\u26F6Fullscreen"])
        self.assertProbe(result, "bar position", ["20px", "20px"])
        self.assertProbe(result, "still on", "/portal/courses")
        for name in ("on the home page", "back on courses", "reloaded", "home again"):
            self.assertProbe(result, name, True)
        self.assertEqual(
            [m for m in result.web_messages() if m.startswith("btn_")],
            ["btn_back", "btn_back", "btn_reload", "btn_home", "btn_fullscreen", "btn_fullscreen"])
        self.assertEqual(result.commands(), ["back", "back", "reload", "home", "initFullscreen",
                                             "initFullscreen"], result.describe())
        # Home moves the trust anchor to the platform home base and opens the home address;
        # on the way there tenant tracking takes the home page's own origin.
        self.assertEqual([e["value"] for e in result.of("baseUrl")], [HOME_BASE, PORTAL])
        self.assertIn((PORTAL + "/portal/home", True), result.loads())
        # The reload asked the server again.
        self.assertGreaterEqual(len(self.browser_requests(result, "/portal/courses")), 2)
        # (Without a window manager the X server does not resize a fullscreen window; only the
        # state is checked on the way in.)
        states = [(w["fullscreen"], w["width"], w["height"]) for w in result.of("window")]
        self.assertEqual(len(states), 2, result.describe())
        self.assertTrue(states[0][0], states)
        self.assertEqual(states[1], (False, 1024, 768))

    def test_tenant_tracking_moves_the_base_url(self):
        result = self.run_init([
            navigate_step("http://localhost:%d/portal/home" % PORT, "to a loopback name"),
            wait_for("location.hostname === 'localhost' && " + ON_HOME, "on localhost"),
            navigate_step(PORTAL + "/portal/select-tenants", "to the institution picker"),
            wait_for("!!document.getElementById('tenants')", "on the picker"),
            navigate_step("http://zoom.us:%d/portal/home" % PORT, "to a meeting host"),
            wait_for("location.hostname === 'zoom.us' && " + ON_HOME, "on the meeting host"),
            navigate_step(PORTAL + "/portal/select-tenants", "back to the picker"),
            wait_for("!!document.getElementById('tenants')", "on the picker again"),
            js("(function(){document.querySelector('#tenants a').click();return true;})()",
               "pick the institution"),
            wait_for("location.hostname === '127.0.0.1' && " + ON_HOME, "at the institution"),
            BAR_SHOWN,
            click(0, "home"),
            wait_for("false", "settle", 1000),
        ])
        for name in ("on localhost", "on the picker", "on the meeting host", "at the institution"):
            self.assertProbe(result, name, True)
        # In order: a loopback portal name; nothing for the picker or the meeting host; the
        # institution's portal; the home command's base, then the home page's own origin.
        self.assertEqual([e["value"] for e in result.of("baseUrl")],
                         ["http://localhost:%d" % PORT, PORTAL, HOME_BASE, PORTAL],
                         result.describe())
        # Every navigation in the init window goes ahead.
        self.assertTrue(all(n["allowed"] for n in result.of("navigation")), result.describe())


    def test_removed_navigation_bar_comes_back(self):
        result = self.run_init([
            js("(function(){var e=document.getElementById('zelvan-nav-container');e.remove();"
               "return !document.getElementById('zelvan-nav-container');})()", "removed"),
            wait_for(element_exists("zelvan-nav-container"), "back again", 3000),
            js("document.querySelectorAll('#zelvan-nav-container').length", "one bar"),
            {"screenshot": "bar-restored.png"},
        ])
        self.assertProbe(result, "removed", True)
        self.assertProbe(result, "back again", True)
        self.assertProbe(result, "one bar", 1)


if __name__ == "__main__":
    unittest.main()
