"""The injected page scripts and the page-to-host messages, seen from the page and the host."""
import unittest

import harness
from harness import element_exists, frames_drawn, js, wait_for, window_reaches

PAGE_LOADED = "document.getElementById('status') && " \
    "document.getElementById('status').getAttribute('data-loaded') === '1'"
# Counts the browser's own print events: a print preview would raise them.
COUNT_PRINT_EVENTS = js(
    "(function(){window.__printEvents=0;"
    "window.addEventListener('beforeprint',function(){window.__printEvents++;});"
    "window.addEventListener('afterprint',function(){window.__printEvents++;});"
    "return true;})()", "count print events")
# Every print request opens the printer picker; these tests only need it closed again.
CANCEL_PICKER = {"picker": "cancel"}


def post(message, name):
    return js("(function(){window.chrome.webview.postMessage(%s);return true;})()" % message,
              name)


def remove_and_wait(element_id, timeout=3000):
    return [js("(function(){var e=document.getElementById(%s);if(e)e.remove();"
               "return !document.getElementById(%s);})()" % (
                   harness.js_string(element_id), harness.js_string(element_id)),
               "removed " + element_id),
            wait_for(element_exists(element_id), "back " + element_id, timeout)]


class PageScriptsTest(harness.AppTestCase):
    def run_direct(self, steps):
        url = self.demo.base + "/content/page.html?e2e=" + harness.unique("scripts")
        result = self.run_app([self.mint(url)],
                              steps=[wait_for(PAGE_LOADED, "page loaded")] + steps)
        self.assertRanCleanly(result)
        self.assertProbe(result, "page loaded", True)
        return result

    def test_window_print_and_ctrl_p_reach_the_host_without_a_preview(self):
        result = self.run_direct([
            COUNT_PRINT_EVENTS,
            js("(function(){window.print();return true;})()", "window.print"),
            CANCEL_PICKER,
            wait_for("false", "settle", 600),
            js("(function(){try{window.print=function(){};}catch(e){}"
               "var d=Object.getOwnPropertyDescriptor(window,'print');"
               "return [d.writable,d.configurable,window.print.toString().indexOf('{}')<0];})()",
               "print is locked"),
            {"key": "Ctrl+P"},
            CANCEL_PICKER,
            wait_for("false", "settle after Ctrl+P", 600),
            # Save and open are swallowed; Ctrl+Shift+P is not a print request.
            {"key": "Ctrl+S"},
            {"key": "Ctrl+O"},
            {"key": "Ctrl+Shift+P"},
            wait_for("false", "settle after other keys", 600),
            js("window.__printEvents", "print events"),
            {"screenshot": "after-print.png"},
        ])
        self.assertProbe(result, "print is locked", [False, False, True])
        self.assertProbe(result, "print events", 0)
        self.assertEqual(result.web_messages().count("requestPrint"), 2, result.describe())
        self.assertEqual(result.commands().count("print"), 2, result.describe())
        # Every print dialog came from a page request, none from the browser's own print.
        self.assertEqual(len(result.of("printDialog")), 2, result.describe())

    def test_message_matching_in_the_player(self):
        result = self.run_direct([
            post("{kind:'job',action:'requestPrint'}", "object with the word"),
            CANCEL_PICKER,
            post("'\"requestPrint\"'", "json string form"),
            CANCEL_PICKER,
            post("'requestPrint '", "trailing blank"),
            post("'RequestPrint'", "capital letter"),
            post("'btn_home'", "bar word in the player"),
            post("'toggleFullscreen'", "fullscreen on"),
            window_reaches("covers the screen", fullscreen=True),
            {"screenshot": "player-fullscreen.png"},
            post("'\"toggleFullscreen\"'", "fullscreen off"),
            window_reaches("back in its window", fullscreen=False),
            post("'pageLoaded'", "page loaded again"),
            wait_for("false", "settle at last", 300),
        ])
        messages = result.web_messages()
        self.assertIn('{"kind":"job","action":"requestPrint"}', messages, result.describe())
        self.assertIn("btn_home", messages)
        self.assertEqual(result.commands().count("print"), 2, result.describe())
        self.assertNotIn("home", result.commands())
        self.assertNotIn("showOnce", result.commands())
        self.assertEqual(result.commands().count("playerFullscreen"), 2, result.describe())
        states = [(w["fullscreen"], w["width"], w["height"]) for w in result.of("window")]
        self.assertEqual(len(states), 2, result.describe())
        self.assertTrue(states[0][0], states)
        self.assertEqual(states[1], (False, 1280, 720))

    def test_minimising_hides_the_view_and_restoring_shows_it(self):
        result = self.run_direct([
            {"windowState": True},
            {"minimize": True},
            # The state the application is expected to reach; a timed-out wait logs what it
            # reached instead.
            window_reaches("minimised", minimized=True, viewVisible=False),
            {"restore": True},
            window_reaches("restored", minimized=False, viewVisible=True),
        ])
        states = [(w["minimized"], w["viewVisible"]) for w in result.of("window")]
        self.assertEqual(states, [(False, True), (True, False), (False, True)], result.describe())

    def test_removed_watermark_and_print_button_come_back(self):
        result = self.run_app([self.mint("pdf-1")], steps=[
            wait_for(element_exists("zelvan-watermark") + " && " +
                     element_exists("zelvan-print-btn"), "overlays present"),
        ] + remove_and_wait("zelvan-watermark") + remove_and_wait("zelvan-print-btn") + [
            js("document.querySelectorAll('#zelvan-watermark, #zelvan-print-btn').length",
               "one of each"),
        ] + frames_drawn() + [
            {"screenshot": "restored.png"},
        ])
        self.assertRanCleanly(result)
        for element_id in ("zelvan-watermark", "zelvan-print-btn"):
            self.assertProbe(result, "removed " + element_id, True)
            self.assertProbe(result, "back " + element_id, True)
        self.assertProbe(result, "one of each", 2)


if __name__ == "__main__":
    unittest.main()
