"""Init mode from a start without a link: splash, the portal with its scripts, the window."""
import unittest

import wine_app
from wine_app import PORTAL_START, SPLASH_TITLE, WINDOW_TITLE
import x11


class InitStartTest(wine_app.WineAppTestCase):
    def test_start_shows_splash_then_the_portal_window(self):
        app = self.start_app([], name="init")
        splash = app.wait_for_window(SPLASH_TITLE, 20)
        self.assertIsNotNone(splash, "no splash window")
        # The artwork itself, not an empty layered window: its centre is drawn (Wine maps the
        # window a moment before its first picture arrives).
        shots = []
        drawn = wine_app.wait_until(lambda: shots.append(app.screenshot("splash")) or x11.pixel(
            shots[-1], shots[-1][0] // 2, shots[-1][1] // 2) != (0, 0, 0), 5, 0.3)
        self.assertTrue(drawn, "the splash window shows no picture")
        navigation = app.wait_for_navigation(30)
        self.assertIsNotNone(navigation, "the view was never sent anywhere")
        self.assertEqual(navigation.get("uri"), PORTAL_START)
        # The runtime reports the portal loaded: the window comes up and the splash goes.
        app.complete_navigation()
        window = app.wait_for_window(WINDOW_TITLE, 15)
        self.assertIsNotNone(window, "the init window was not shown")
        self.assertTrue(app.window_gone(SPLASH_TITLE, 15), "the splash stayed")
        left, top, width, height = x11.geometry(app.display_env(), window)
        self.assertEqual((width, height), (1024, 768))
        # The view fills the client area (the stand-in paints it white; its first picture may
        # follow the window's mapping by a moment); the splash's artwork no longer shows
        # anywhere beside the window.
        shots = []
        painted = wine_app.wait_until(lambda: shots.append(app.screenshot("portal")) or x11.pixel(
            shots[-1], left + width // 2, top + height // 2) == (255, 255, 255), 10, 0.2)
        self.assertTrue(painted, "the view does not fill the window")
        # Closing the window ends the process with 0.
        x11.press(app.display_env(), window, "alt+F4")
        result = app.finish(20)
        self.assertExit(result, 0)
        calls = result.calls
        scripts = result.called("ICoreWebView2.AddScriptToExecuteOnDocumentCreated")
        self.assertTrue(scripts, result.describe())
        first_navigation = calls.index(navigation)
        self.assertTrue(all(calls.index(s) < first_navigation for s in scripts),
                        "scripts registered after the navigation\n" + result.describe())
        self.assertEqual(result.page_scripts(), ["_zelvanPrintBlockAdded", "_zelvanNavAdded"])
        update = [r for r in result.requests if r.get("path", "").startswith(
            "/api/desktop/version")]
        self.assertTrue(update, "no update check reached the platform")

    def test_every_finished_load_raises_the_init_window_again(self):
        init, _, init_window = self.start_shown([], name="init")
        player, _, player_window = self.start_shown([self.mint("page-1")], name="player",
                                                    exclude=(init_window,))
        env = init.display_env()

        def on_top():
            order = x11.stacking_order(env)
            return order.index(init_window) > order.index(player_window)

        self.assertTrue(wine_app.wait_until(lambda: not on_top(), 5),
                        "the player did not come up over the init window")
        init.complete_navigation()
        self.assertTrue(wine_app.wait_until(on_top, 10), "the init window stayed below")
        init.screenshot("raised")
        for app, window in ((init, init_window), (player, player_window)):
            self.assertExit(app.close_window(window), 0)


if __name__ == "__main__":
    unittest.main()
