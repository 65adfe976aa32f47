"""Start-up: the run-mode choice, links that cannot be shown, and one process per run mode."""
import os
import unittest

import harness
from harness import wait_for

REFUSED_TEXT = "انتهت صلاحية هذا الرابط. This link has expired."
LINK_ERROR_LEAD = (
    "Failed to process the content link.\nIf the problem persists, send the diagnostic code "
    "below to support.\n\nفشل في معالجة رابط المحتوى.\nإذا استمرت المشكلة، يرجى إرسال الكود "
    "التشخيصي أدناه للدعم الفني.\n\nDiagnostic Code:\n")
BOX_FLAGS = harness.MB_SETFOREGROUND | harness.MB_TOPMOST
MB_OKCANCEL = 0x1
MB_YESNO = 0x4
UPDATE_DOWNLOAD = "https://download.zelvan.test/desktop/orbiscampus/orbiscampus.exe"


class StartupExitsTest(harness.AppTestCase):
    def assertSingleBox(self, result, caption, flags):
        boxes = result.message_boxes()
        self.assertEqual(len(boxes), 1, result.describe())
        self.assertEqual((boxes[0]["caption"], boxes[0]["flags"]), (caption, flags),
                         result.describe())
        return boxes[0]["text"]

    def test_broken_link_is_reported_and_ends_with_0(self):
        result = self.run_app(["orbiscampus://not-an-envelope:at-all:really"], steps=[])
        self.assertRanCleanly(result, 0)
        text = self.assertSingleBox(result, harness.LINK_ERROR_CAPTION,
                                    harness.MB_ICONERROR | BOX_FLAGS)
        self.assertTrue(text.startswith(LINK_ERROR_LEAD), text)
        self.assertTrue(text[len(LINK_ERROR_LEAD):].strip(), "no diagnostic code: %r" % text)
        self.assertEqual(result.of("contentShown"), [])

    def test_refused_link_shows_the_server_text_and_ends_with_1(self):
        result = self.run_app([self.mint("pdf-1", token="revoked")], steps=[])
        self.assertRanCleanly(result, 1)
        text = self.assertSingleBox(
            result, harness.SERVER_ERROR_CAPTION,
            harness.MB_ICONWARNING | BOX_FLAGS | harness.MB_RIGHT | harness.MB_RTLREADING)
        self.assertEqual(text, REFUSED_TEXT)
        asked = [r for r in result.requests if r["method"] == "PUT" and
                 "link_token=revoked" in r["body"]]
        self.assertEqual(len(asked), 1, result.describe())
        self.assertEqual(result.of("contentShown"), [])

    def test_scheme_without_payload_runs_init_mode(self):
        result = self.run_app(["orbiscampus:///"], steps=[])
        self.assertRanCleanly(result)
        self.assertEqual([e["mode"] for e in result.of("start")], ["init"], result.describe())
        self.assertEqual(result.message_boxes(), [])

    def test_link_after_another_argument_in_upper_case_runs_player_mode(self):
        link = self.mint(self.demo.base + "/content/page.html?e2e=" + harness.unique("upper"))
        upper = "ORBISCAMPUS" + link[len(harness.SCHEME):]
        result = self.run_app(["--first-argument", upper], steps=[])
        self.assertRanCleanly(result)
        self.assertEqual([e["mode"] for e in result.of("start")], ["player"], result.describe())
        self.assertEqual(len(result.of("contentShown")), 1, result.describe())

    def test_one_process_per_run_mode(self):
        user = self.user()
        page = self.demo.base + "/content/page.html?e2e=" + harness.unique("single")
        # The first player and the first init process stay until the others have tried.
        hold = [wait_for("false", "hold", 12000)]
        player = self.start_app([self.mint(page)], steps=hold, name="player", user=user)
        self.assertTrue(player.wait_for_event(lambda e: e.get("event") == "contentShown"),
                        "the first player did not show its content")
        init = self.start_app([], steps=hold, name="init", user=user)
        self.assertTrue(init.wait_for_event(lambda e: e.get("event") == "start"),
                        "the init process did not start beside the player")
        self.assertTrue(init.wait_for_event(lambda e: e.get("event") == "loadFinished"),
                        "the init process did not load its portal")
        second_player = self.run_app([self.mint(page)], steps=[], name="second-player",
                                     user=user)
        second_init = self.run_app([], steps=[], name="second-init", user=user)
        for refused in (second_player, second_init):
            self.assertRanCleanly(refused, 0)
            text = self.assertSingleBox(refused, harness.DISPLAY_NAME,
                                        harness.MB_ICONINFORMATION | BOX_FLAGS)
            self.assertEqual(text, harness.ALREADY_RUNNING_TEXT)
            self.assertEqual(refused.of("contentShown") + refused.of("loadFinished"), [])
        # The refused player's link went nowhere: the server was asked nothing for it.
        self.assertEqual(second_player.server_requests(harness.path_of(page)), [])
        for first in (player.finish(), init.finish()):
            self.assertRanCleanly(first, 0)
            self.assertEqual(first.message_boxes(), [], first.describe())
        # With both gone, the next player starts normally.
        again = self.run_app([self.mint(page)], steps=[], name="player-again", user=user)
        self.assertRanCleanly(again, 0)
        self.assertEqual(len(again.of("contentShown")), 1, again.describe())

    def test_browser_that_cannot_start_is_reported_and_ends_with_1(self):
        # A plain file where the application's data folder belongs: the profile folder cannot
        # be made (even as root), so the browser never starts.
        user = self.user()
        with open(os.path.join(user.paths["XDG_DATA_HOME"], harness.DISPLAY_NAME), "w") as f:
            f.write("not a folder")
        page = self.demo.base + "/content/page.html?e2e=" + harness.unique("nobrowser")
        for args, name in (([self.mint(page)], "player"), ([], "init")):
            result = self.run_app(args, steps=[], name=name, user=user)
            self.assertRanCleanly(result, 1)
            text = self.assertSingleBox(result, "WebView2 Error",
                                        harness.MB_ICONERROR | BOX_FLAGS)
            self.assertTrue(text.startswith(
                "Failed to initialize WebView2.\n\nWebView2 initialization failed. First=0x8007"),
                text)
            self.assertIn(" at CreateUserDataFolder; last=", text)
            self.assertIn("; runtime=QtWebEngine ", text)
            self.assertEqual(result.of("contentShown") + result.of("loadFinished"), [])

    def test_profile_storage_that_cannot_be_made_is_reported_at_its_step(self):
        # The data folder is fine, but a plain file stands where the profile keeps its storage.
        user = self.user()
        profile = os.path.join(user.paths["XDG_DATA_HOME"], harness.DISPLAY_NAME,
                               "WebEngineData-init_QtWebEngine_Env6")
        os.makedirs(profile)
        with open(os.path.join(profile, "storage"), "w") as f:
            f.write("not a folder")
        result = self.run_app([], steps=[], name="init", user=user)
        self.assertRanCleanly(result, 1)
        text = self.assertSingleBox(result, "WebView2 Error", harness.MB_ICONERROR | BOX_FLAGS)
        # ENOTDIR, as a system error code.
        self.assertIn("First=0x80070014 at CreateProfileStorage; last=0x80070014 at "
                      "CreateProfileStorage; runtime=QtWebEngine ", text)
        self.assertTrue(text.endswith("; lastUserData=" + profile), text)
        self.assertEqual(result.of("loadFinished"), [])

    def test_update_offered_at_the_link_falls_back_to_the_browser_and_goes_on(self):
        # The link's domain steers the second update check; its content call stays normal.
        domain = self.demo.base + "/s/update-optional"
        result = self.run_app([self.mint("page-1", domain=domain)], steps=[], box_answer="yes")
        self.assertRanCleanly(result, 0)
        text = self.assertSingleBox(
            result, "Orbis Campus - Update Available / تحديث متاح للتطبيق",
            MB_YESNO | harness.MB_ICONINFORMATION | BOX_FLAGS)
        self.assertTrue(text.startswith("A new version of the app is available."), text)
        # No updater exists on this platform, so the download address goes to the browser.
        self.assertEqual([e["url"] for e in result.of("openInBrowser")], [UPDATE_DOWNLOAD])
        self.assertEqual(len(result.of("contentShown")), 1, result.describe())

    def test_mandatory_update_at_the_link_ends_with_0_before_the_content(self):
        domain = self.demo.base + "/s/update-mandatory"
        result = self.run_app([self.mint("page-1", domain=domain)], steps=[], box_answer="ok")
        self.assertRanCleanly(result, 0)
        self.assertSingleBox(result, "Orbis Campus - Update Required / تحديث إجباري للتطبيق",
                             MB_OKCANCEL | harness.MB_ICONWARNING | BOX_FLAGS)
        self.assertEqual([e["url"] for e in result.of("openInBrowser")], [UPDATE_DOWNLOAD])
        self.assertEqual(result.of("contentShown"), [], result.describe())

    def test_every_start_points_the_scheme_at_this_executable(self):
        user = self.user()
        result = self.run_app([], steps=[], name="init", user=user)
        self.assertRanCleanly(result, 0)
        applications = os.path.join(user.paths["XDG_DATA_HOME"], "applications")
        with open(os.path.join(applications, "orbiscampus-handler.desktop"),
                  encoding="utf-8") as f:
            entry = f.read()
        self.assertIn("MimeType=x-scheme-handler/orbiscampus;", entry)
        self.assertIn('Exec="%s" %%u' % os.path.realpath(self.binary), entry)
        with open(os.path.join(user.paths["XDG_CONFIG_HOME"], "mimeapps.list"),
                  encoding="utf-8") as f:
            self.assertIn("x-scheme-handler/orbiscampus=orbiscampus-handler.desktop", f.read())

    def test_a_killed_process_leaves_no_lock_behind(self):
        user = self.user()
        page = self.demo.base + "/content/page.html?e2e=" + harness.unique("killed")
        first = self.start_app([self.mint(page)], steps=[wait_for("false", "hold", 20000)],
                               name="killed", user=user)
        self.assertTrue(first.wait_for_event(lambda e: e.get("event") == "contentShown"),
                        "the first player did not show its content")
        first.kill()
        after = self.run_app([self.mint(page)], steps=[], name="after-kill", user=user)
        self.assertRanCleanly(after, 0)
        self.assertEqual(after.message_boxes(), [], after.describe())
        self.assertEqual(len(after.of("contentShown")), 1, after.describe())


if __name__ == "__main__":
    unittest.main()
