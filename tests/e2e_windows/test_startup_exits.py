"""Start-ups that end in a box: a second process of one run mode, links that cannot be shown,
an old Windows, a missing runtime, a mandatory update. Every box is answered with a key press
and kept as a picture."""
import unittest

import wine_app
from wine_app import (LINK_ERROR_CAPTION, RUNNING_CAPTION, RUNTIME_REQUIRED_CAPTION,
                      SERVER_ERROR_CAPTION, UNSUPPORTED_OS_CAPTION, UPDATE_REQUIRED_CAPTION)

APP_DEFAULTS = "HKCU\\Software\\Wine\\AppDefaults\\" + wine_app.EXE_NAME


class StartupExitsTest(wine_app.WineAppTestCase):
    def run_to_box(self, args, caption, keys=("Return",), name="run", exe=None):
        """Starts the program, answers the one box it must show and waits for the end; the
        stand-in must not have been asked for a view."""
        app = self.start_app(args, name=name, exe=exe)
        answered = app.answer_box(caption, *keys)
        result = app.finish(20)
        self.assertTrue(answered, "no box titled %r\n%s" % (caption, result.describe()))
        self.assertEqual(result.called("ICoreWebView2.Navigate") +
                         result.called("ICoreWebView2.NavigateToString"), [], result.describe())
        return result

    def test_second_process_of_a_mode_shows_the_running_box_while_both_modes_run(self):
        page = self.mint("page-1")
        player, _, player_window = self.start_shown([page], name="player")
        init, _, init_window = self.start_shown([], name="init", exclude=(player_window,))
        for args, name in (([page], "second-player"), ([], "second-init")):
            result = self.run_to_box(args, RUNNING_CAPTION, name=name)
            self.assertExit(result, 0)
            self.assertEqual(result.calls, [], "a refused process started a browser")
        # The init window, opened last, lies over the player's title bar: it goes first.
        for first, window in ((init, init_window), (player, player_window)):
            self.assertExit(first.close_window(window), 0)

    def test_broken_link_shows_the_link_error_and_ends_with_0(self):
        result = self.run_to_box(["orbiscampus://not-an-envelope:at-all:really"],
                                 LINK_ERROR_CAPTION)
        self.assertExit(result, 0)

    def test_refused_link_shows_the_server_text_and_ends_with_1(self):
        result = self.run_to_box([self.mint("pdf-1", token="revoked")], SERVER_ERROR_CAPTION)
        self.assertExit(result, 1)
        asked = [r for r in result.requests if r["method"] == "PUT" and
                 "link_token=revoked" in r.get("body", "")]
        self.assertEqual(len(asked), 1, result.describe())

    def test_windows_7_gets_the_unsupported_box_and_ends_with_1(self):
        self.session.wine("reg", "add", APP_DEFAULTS, "/v", "Version", "/d", "win7", "/f")
        self.addCleanup(self.session.delete_key, APP_DEFAULTS)
        result = self.run_to_box([], UNSUPPORTED_OS_CAPTION)
        self.assertExit(result, 1)
        self.assertEqual(result.calls, [])

    def test_no_runtime_and_no_to_installing_ends_with_1(self):
        exe = self.install("without-runtime", runtime=False)
        result = self.run_to_box([], RUNTIME_REQUIRED_CAPTION, keys=("n",), exe=exe)
        self.assertExit(result, 1)
        # Nothing was downloaded.
        self.assertEqual([r for r in result.requests if "/downloads/" in r.get("path", "")], [])

    def test_mandatory_update_ends_with_0_before_any_content(self):
        # The browser starts unseen while the network steps run; the update ends the run before
        # it is shown or sent anywhere, and it is closed on the way out.
        link = self.mint("page-1", domain=self.demo.base + "/s/update-mandatory")
        app = self.start_app([link], name="mandatory")
        answered = app.answer_box(UPDATE_REQUIRED_CAPTION, "Return")
        result = app.finish(20)
        self.assertTrue(answered, result.describe())
        self.assertExit(result, 0)
        for never in ("ICoreWebView2.Navigate", "ICoreWebView2.NavigateToString"):
            self.assertEqual(result.called(never), [], result.describe())
        shown = [c for c in result.called("ICoreWebView2Controller.put_IsVisible") if c["value"]]
        self.assertEqual(shown, [], result.describe())
        if result.called("ICoreWebView2Environment.CreateCoreWebView2Controller"):
            self.assertEqual(len(result.called("ICoreWebView2Controller.Close")), 1,
                             result.describe())


if __name__ == "__main__":
    unittest.main()
