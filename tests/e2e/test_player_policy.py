"""Player mode: where the content may go and which of its requests reach the network."""
import unittest
import urllib.parse

import harness
from harness import fetch_steps, js, navigate_step, wait_for

PAGE_LOADED = "document.getElementById('status') && " \
    "document.getElementById('status').getAttribute('data-loaded') === '1'"


class PlayerPolicyTest(harness.AppTestCase):
    def other(self, path):
        """An address on a host that has nothing to do with the platform (mapped to the demo
        platform, so a request that got through would be seen)."""
        return "http://other.unrelated.test:%d%s" % (self.demo.port, path)

    def start_direct(self, marker, steps, rules=(), origin=None):
        url = (origin or self.demo.base) + "/content/page.html?e2e=" + marker
        result = self.run_app([self.mint(url)], steps=[wait_for(PAGE_LOADED, "page loaded")] +
                              steps, chromium=[harness.host_rules(
                                  "MAP *.unrelated.test 127.0.0.1", *rules)])
        self.assertRanCleanly(result)
        self.assertProbe(result, "page loaded", True)
        return result

    def assertReached(self, result, fragment, host=None):
        self.assertTrue(result.server_requests(fragment, host), "%s did not reach the server\n%s"
                        % (fragment, result.describe()))

    def assertNeverReached(self, result, fragment):
        self.assertEqual(result.server_requests(fragment), [], result.describe())

    def test_unrelated_host_is_cancelled_and_the_same_content_with_another_query_passes(self):
        marker = harness.unique("nav")
        away = self.other("/content/page.html?e2e=%s-away" % marker)
        popup = self.other("/content/page.html?e2e=%s-popup" % marker)
        again = self.demo.base + "/content/page.html?e2e=%s-again" % marker
        popup_ok = self.demo.base + "/content/page.html?e2e=%s-window-ok" % marker
        result = self.start_direct(marker, fetch_steps({
            "control": self.other("/_test/echo?e2e=%s-control" % marker)}) + [
            navigate_step(away, "go away"),
            wait_for("false", "give it time", 1500),
            js("location.href", "still at"),
            js("(function(){window.open(%s);return true;})()" % harness.js_string(popup), "popup"),
            wait_for("false", "give the popup time", 1500),
            js("location.href", "still at after popup"),
            navigate_step(again, "same content, other query"),
            wait_for("location.search.indexOf('%s-again') >= 0 && (%s)" % (marker, PAGE_LOADED),
                     "arrived"),
            # A new window for an allowed address opens in the same view.
            js("(function(){window.open(%s);return true;})()" % harness.js_string(popup_ok),
               "allowed popup"),
            wait_for("location.search.indexOf('%s-window-ok') >= 0 && (%s)" % (
                marker, PAGE_LOADED), "popup in the same view"),
            {"screenshot": "after-navigation.png"},
        ])
        start = self.demo.base + "/content/page.html?e2e=" + marker
        # The unrelated host is reachable (a plain request got there), yet the view never went.
        self.assertReached(result, "%s-control" % marker,
                           harness.host_header("other.unrelated.test", self.demo.port))
        self.assertProbe(result, "still at", start)
        self.assertProbe(result, "still at after popup", start)
        for name in ("away", "popup"):
            self.assertNeverReached(result, "%s-%s" % (marker, name))
            decisions = result.navigations("%s-%s" % (marker, name))
            self.assertTrue(decisions, result.describe())
            self.assertFalse(any(d["allowed"] for d in decisions), result.describe())
        self.assertProbe(result, "arrived", True)
        self.assertReached(result, "%s-again" % marker)
        self.assertTrue(all(d["allowed"] for d in result.navigations("%s-again" % marker)))
        self.assertProbe(result, "popup in the same view", True)
        self.assertReached(result, "%s-window-ok" % marker)

    def test_addresses_that_only_name_an_allowed_host_are_cancelled(self):
        # The content lives on a school under a shared suffix, on a host whose name carries a
        # CDN's, YouTube's and Zoom's names: each class below would pass a reading by substrings,
        # by user information or by the last two labels. Every target maps to the demo platform,
        # so a navigation that got through would be seen there.
        marker = harness.unique("border")
        port = self.demo.port
        content_host = "lessons.b-cdn.net.youtube.com.zoom.us.school-a.ac.uk"
        other = "other.unrelated.test:%d" % port
        refused = {
            "userinfo": "http://%s:%d@%s/content/page.html?e2e=%s-userinfo" % (
                content_host, port, other, marker),
            "youtube": "http://www.youtube.com.%s/content/page.html?e2e=%s-youtube" % (
                other, marker),
            "zoom": "http://us02web.zoom.us.%s/content/page.html?e2e=%s-zoom" % (other, marker),
            "cdn": "http://iframe.mediadelivery.net.%s/content/page.html?e2e=%s-cdn" % (
                other, marker),
            "suffix": "http://school-b.ac.uk:%d/content/page.html?e2e=%s-suffix" % (port, marker),
            "file": "file://%s/etc/hostname?e2e=%s-file" % (content_host, marker),
            "custom": "orbis-probe://%s:%d/content/page.html?e2e=%s-custom" % (
                content_host, port, marker),
            "data": "data:text/html,<p>%s-data</p>" % marker,
        }
        same_site = "http://www.school-a.ac.uk:%d/content/page.html?e2e=%s-site" % (port, marker)
        steps = []
        for name in sorted(refused):
            steps += [navigate_step(refused[name], "go " + name),
                      wait_for("false", "give %s time" % name, 700),
                      js("location.href", "still at after " + name)]
        steps += [navigate_step(same_site, "same site"),
                  wait_for("location.search.indexOf('%s-site') >= 0 && (%s)" % (
                      marker, PAGE_LOADED), "arrived on the same site"),
                  wait_for("false", "let the loading veil fade", 800),
                  {"screenshot": "after-borders.png"}]
        start = "http://%s:%d/content/page.html?e2e=%s" % (content_host, port, marker)
        result = self.start_direct(marker, steps, origin="http://%s:%d" % (content_host, port),
                                   rules=("MAP *.ac.uk 127.0.0.1",))
        for name in sorted(refused):
            self.assertProbe(result, "still at after " + name, start)
            self.assertNeverReached(result, "%s-%s" % (marker, name))
            self.assertFalse(any(d["allowed"] for d in result.navigations("%s-%s" % (
                marker, name))), result.describe())
        # Those that reached the policy at all were refused by it (the browser itself keeps a
        # page from opening files and data addresses).
        for name in ("userinfo", "youtube", "zoom", "cdn", "suffix"):
            self.assertTrue(result.navigations("%s-%s" % (marker, name)), result.describe())
        self.assertProbe(result, "arrived on the same site", True)
        self.assertReached(result, "%s-site" % marker, harness.host_header(
            "www.school-a.ac.uk", port))

    def test_plain_http_to_a_platform_host_and_service_worker_scripts_stay_local(self):
        marker = harness.unique("req")
        port = self.demo.port
        result = self.start_direct(marker, fetch_steps({
            "insecure platform": "http://x.zelvan.test:%d/_test/echo?e2e=%s-insecure" % (
                port, marker),
            "insecure platform 2": "http://learn.zelvanhub.test:%d/_test/echo?e2e=%s-hub" % (
                port, marker),
            "loopback": "http://localhost:%d/_test/echo?e2e=%s-loopback" % (port, marker),
            "portal worker": "/front/sw.js?e2e=%s-sw" % marker,
            "picker worker": self.other("/select-tenants-sw.js?e2e=%s-picker" % marker),
            "worker chunk": "/FRONT/Workbox-%s.js" % marker,
            "control": self.other("/_test/echo?e2e=%s-control" % marker),
        }) + [
            # Plain HTTP carrying user information (fetch refuses such addresses itself, an image
            # does not) and a plain WebSocket to a platform host are refused alike.
            js("(function(){var i=new Image();i.src=%s;document.body.appendChild(i);"
               "window.__ws='pending';var w=new WebSocket(%s);"
               "w.onopen=function(){window.__ws='open';};"
               "w.onerror=function(){window.__ws='failed';};return true;})()" % (
                   harness.js_string("http://user:pw@x.zelvan.test:%d/_test/echo?e2e=%s-user" % (
                       port, marker)),
                   harness.js_string("ws://x.zelvan.test:%d/_test/echo?e2e=%s-ws" % (
                       port, marker))), "user information and websocket"),
            wait_for("window.__ws !== 'pending'", "websocket settled"),
            js("window.__ws", "websocket"),
            # The page's own attempt to register a worker gets a stand-in that registers nothing.
            js("(function(){window.__sw='pending';navigator.serviceWorker.register('/front/sw.js')"
               ".then(function(r){window.__sw=typeof r.unregister;},"
               "function(e){window.__sw='rejected '+e;});return true;})()", "register"),
            wait_for("window.__sw !== 'pending'", "register settled"),
            js("window.__sw", "registration"),
            js("(function(){window.__regs=-1;navigator.serviceWorker.getRegistrations()"
               ".then(function(rs){window.__regs=rs.length;});return true;})()", "list"),
            wait_for("window.__regs !== -1", "listed"),
            js("window.__regs", "registrations"),
        ], rules=("MAP *.zelvan.test 127.0.0.1", "MAP *.zelvanhub.test 127.0.0.1"))
        self.assertReached(result, "%s-control" % marker)
        self.assertReached(result, "%s-loopback" % marker, "localhost:%d" % port)
        for name in ("insecure", "hub", "user", "ws", "sw", "picker"):
            self.assertNeverReached(result, "%s-%s" % (marker, name))
        self.assertNeverReached(result, "orkbox-%s" % marker)
        self.assertNeverReached(result, "/front/sw.js")
        self.assertProbe(result, "insecure platform", "failed")
        self.assertProbe(result, "websocket", "failed")
        self.assertProbe(result, "portal worker", "failed")
        self.assertProbe(result, "control", "ok")
        blocked = [r["uri"] for r in result.of("request") if r["action"] == "block"]
        self.assertTrue(any("x.zelvan.test" in uri for uri in blocked), result.describe())
        self.assertTrue(any("Workbox-%s" % marker in uri for uri in blocked), result.describe())
        self.assertProbe(result, "registration", "function")
        self.assertProbe(result, "registrations", 0)
        # The player never marks its requests as the init window does.
        page = result.server_requests("/content/page.html?e2e=" + marker)
        self.assertTrue(page, result.describe())
        self.assertNotIn("x-zelvan-desktop", page[0]["headers"])

    def test_requests_from_workers_pass_the_same_filter(self):
        marker = harness.unique("worker")
        port = self.demo.port
        fetches = [
            "http://x.zelvan.test:%d/_test/echo?e2e=%s-insecure" % (port, marker),
            "/front/workbox-%s.js" % marker,
            "/_test/echo?e2e=%s-control" % marker,
        ]
        query = "?" + urllib.parse.urlencode([("fetch", f) for f in fetches])
        dedicated = "/content/worker-probe.js" + query + "&kind=dedicated"
        service = "/content/worker-probe.js" + query + "&kind=service"
        result = self.start_direct(marker, [
            js("(function(){window.__worker=null;var w=new Worker(%s);"
               "w.onmessage=function(e){window.__worker=e.data;};return true;})()" %
               harness.js_string(dedicated), "dedicated worker"),
            wait_for("window.__worker !== null", "dedicated worker answered"),
            js("window.__worker", "dedicated results"),
            # A page can still reach the browser's own registration behind the stand-in; the
            # filter must hold for a service worker's requests too.
            js("(function(){window.__service=null;navigator.serviceWorker.onmessage="
               "function(e){window.__service=e.data;};"
               "ServiceWorkerContainer.prototype.register.call(navigator.serviceWorker,%s,"
               "{scope:'/content/'}).catch(function(e){window.__service=['register failed '+e];});"
               "return true;})()" % harness.js_string(service), "service worker"),
            wait_for("window.__service !== null", "service worker answered", 10000),
            js("window.__service", "service results"),
        ], rules=("MAP *.zelvan.test 127.0.0.1",))
        self.assertProbe(result, "dedicated worker answered", True)
        dedicated_results = result.probe("dedicated results")
        self.assertTrue(dedicated_results[0].endswith("failed"), dedicated_results)
        self.assertTrue(dedicated_results[1].endswith("failed"), dedicated_results)
        self.assertTrue(dedicated_results[2].endswith("ok 200"), dedicated_results)
        # (The worker script's own address names these too, but escaped.)
        self.assertNeverReached(result, "e2e=%s-insecure" % marker)
        self.assertNeverReached(result, "/front/workbox-%s" % marker)
        self.assertReached(result, "e2e=%s-control" % marker)
        self.assertReached(result, "kind=dedicated")
        self.assertProbe(result, "service worker answered", True)
        service_results = result.probe("service results")
        self.assertEqual(len(service_results), 3, service_results)
        self.assertTrue(service_results[0].endswith("failed"), service_results)
        self.assertTrue(service_results[1].endswith("failed"), service_results)

    def test_youtube_requests_carry_the_platform_as_referer(self):
        # The content is opened under another name of the loopback host, so the browser's own
        # referrer (the page's origin) differs from the platform's base address of the link.
        marker = harness.unique("ref")
        port = self.demo.port
        page_origin = "http://localhost:%d" % port
        youtube = "http://img.youtube.com:%d/_test/echo?e2e=%s-youtube" % (port, marker)
        elsewhere = self.other("/_test/echo?e2e=%s-elsewhere" % marker)
        result = self.start_direct(marker, fetch_steps({"youtube": youtube,
                                                        "elsewhere": elsewhere}),
                                   rules=("MAP *.youtube.com 127.0.0.1",), origin=page_origin)
        seen = result.server_requests("%s-youtube" % marker)
        self.assertTrue(seen, result.describe())
        self.assertEqual(seen[0]["headers"].get("host"), "img.youtube.com:%d" % port)
        # Chromium carries a referrer as a URL, which gives a bare origin its "/".
        self.assertIn(seen[0]["headers"].get("referer"), (self.demo.base, self.demo.base + "/"),
                      seen[0])
        other = result.server_requests("%s-elsewhere" % marker)
        self.assertTrue(other, result.describe())
        # Elsewhere the browser's own referrer stays: the page's origin.
        self.assertEqual(other[0]["headers"].get("referer"), page_origin + "/", other[0])

if __name__ == "__main__":
    unittest.main()
