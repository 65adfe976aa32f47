"""The start-up splash: built into the program, on screen and painted while start-up waits."""
import os
import signal
import time
import unittest

import harness
import screen

ARTWORK = os.path.join(harness.ROOT, "resources", "splash.png")
# The slow-start scenario holds each of the two blocking start-up calls for 10 s.
PLATFORM_DELAY_S = 10.0


class SplashTest(harness.AppTestCase):
    def splash_events(self, result):
        return [e for e in result.events if e.get("event") == "splash"]

    def assertSplashPainted(self, result):
        splashes = self.splash_events(result)
        self.assertEqual(len(splashes), 1, result.describe())
        self.assertTrue(splashes[0]["painted"], result.describe())
        # The artwork at its own size, centred on the 1280 × 1024 display.
        self.assertEqual((splashes[0]["width"], splashes[0]["height"]), (450, 450))
        self.assertEqual((splashes[0]["x"], splashes[0]["y"]), (415, 287))
        return splashes[0]

    def wait_for_held_content_call(self, offset):
        """The link decoding's call is the one the platform now holds for 10 s."""
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            if any(r["method"] == "PUT" and r["path"].startswith("/s/slow-start/")
                   for r in self.demo.requests_since(offset)):
                return time.monotonic()
            time.sleep(0.05)
        self.fail("the content call never reached the platform")

    def test_splash_is_on_screen_while_the_platform_keeps_start_up_waiting(self):
        grabber = os.environ.get("ORBIS_E2E_SCREEN_GRAB", "")
        self.assertTrue(grabber and os.access(grabber, os.X_OK),
                        "ORBIS_E2E_SCREEN_GRAB does not name orbis-screen-grab")
        self.assertIsNotNone(self.display.number, "a picture of the screen needs Xvfb")
        offset = self.demo.log_offset()
        link = self.mint("page-1", domain=self.demo.base + "/s/slow-start")
        app = self.start_app([link], steps=[], timeout_ms=60000)
        self.assertTrue(app.wait_for_event(lambda e: e.get("event") == "splash", 30),
                        "no splash event")
        waiting_since = self.wait_for_held_content_call(offset)
        shot_path = os.path.join(app.folder, "splash-during-wait.png")
        picture = screen.grab(grabber, self.display.environment(), shot_path)
        grabbed_after = time.monotonic() - waiting_since
        shown_early = [e for e in app.events() if e.get("event") == "contentShown"]

        result = app.finish()
        self.assertRanCleanly(result)
        splash = self.assertSplashPainted(result)
        self.assertLess(grabbed_after, PLATFORM_DELAY_S - 1, "the picture came too late")
        self.assertEqual(shown_early, [], "content was shown before the platform answered")
        match = screen.opaque_match(screen.read_png(ARTWORK), picture, splash["x"], splash["y"])
        self.assertGreaterEqual(match, 0.98, "splash pixels on screen: %.3f of the artwork's "
                                "opaque pixels (picture: %s)" % (match, shot_path))
        self.assertEqual(len(result.of("contentShown")), 1, result.describe())

    def test_session_end_while_start_up_waits_still_ends_with_zero(self):
        # Start-up handles its events while it waits, so the signal arrives during the wait; the
        # run must end as a session end does, with no window started after it.
        offset = self.demo.log_offset()
        link = self.mint("page-1", domain=self.demo.base + "/s/slow-start")
        app = self.start_app([link], steps=[], timeout_ms=60000)
        self.wait_for_held_content_call(offset)
        app.process.send_signal(signal.SIGTERM)
        result = app.finish()
        self.assertRanCleanly(result)
        self.assertEqual([e["code"] for e in result.of("exit")], [0], result.describe())
        self.assertEqual(result.of("contentShown"), [], result.describe())

    def test_init_mode_shows_the_painted_splash(self):
        self.require_portal()
        result = self.run_app([], steps=[])
        self.assertRanCleanly(result)
        self.assertEqual([e["mode"] for e in result.of("start")], ["init"], result.describe())
        self.assertSplashPainted(result)


if __name__ == "__main__":
    unittest.main()
