"""The product build, as a learner gets it: no observer attached, so nothing but the screen, the
X server and the exit code tells what it did."""
import os
import signal
import subprocess
import time
import unittest

import harness
import screen

# The demo content page's background and text colours.
PAGE_BACKGROUND = (0xf6, 0xf7, 0xfb)
PAGE_TEXT = (0x1d, 0x24, 0x33)


def near(pixel, colour, tolerance=6):
    return all(abs(p - c) <= tolerance for p, c in zip(pixel[:3], colour))


def page_share(picture, step=4):
    """The share of the screen showing the page's background, and whether its text shows."""
    background = text = total = 0
    for y in range(0, picture.height, step):
        for x in range(0, picture.width, step):
            pixel = picture.pixel(x, y)
            total += 1
            background += near(pixel, PAGE_BACKGROUND)
            text += near(pixel, PAGE_TEXT, 40)
    return background / total, text



class ProductBuildTest(harness.AppTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.product = harness._env_path("ORBIS_PRODUCT_BINARY")
        cls.grabber = harness._env_path("ORBIS_E2E_SCREEN_GRAB")

    def setUp(self):
        super().setUp()
        self.assertTrue(self.product and os.access(self.product, os.X_OK),
                        "ORBIS_PRODUCT_BINARY does not name the product build")
        self.assertTrue(self.grabber and os.access(self.grabber, os.X_OK),
                        "ORBIS_E2E_SCREEN_GRAB does not name orbis-screen-grab")
        self.assertIsNotNone(self.display.number, "X11 input and pictures need Xvfb")
        self.process = None

    def tearDown(self):
        if self.process is not None:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except OSError:
                pass
            self.process.wait()
        super().tearDown()

    def start_product(self, args, name):
        folder = self.run_folder(name)
        user = self.user()
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QTWEBENGINE_", "ORBIS_E2E_", "QT_QPA"))}
        env.update(user.paths)
        env.update(self.display.environment())
        # Were anything of the e2e observer inside the product, it would write here.
        self.stray_log = os.path.join(folder, "events.jsonl")
        env.update({"LANG": "C.UTF-8", "ORBIS_E2E_LOG": self.stray_log,
                    "CUPS_SERVER": "127.0.0.1:%d" % harness.NO_CUPS_PORT})
        with open(os.path.join(folder, "stdout.txt"), "wb") as out, \
                open(os.path.join(folder, "stderr.txt"), "wb") as err:
            self.process = subprocess.Popen([self.product] + list(args), env=env, stdout=out,
                                            stderr=err, stdin=subprocess.DEVNULL,
                                            start_new_session=True, cwd=user.paths["HOME"])
        return folder

    def xdotool(self, *args):
        env = dict(os.environ, **self.display.environment())
        return subprocess.run(["xdotool"] + list(args), env=env, capture_output=True, text=True,
                              timeout=10)

    def find_window(self, title):
        found = self.xdotool("search", "--onlyvisible", "--name", title)
        return found.stdout.split()[0] if found.returncode == 0 and found.stdout.split() else None

    def assertEndsWith(self, expected, timeout_s):
        try:
            code = self.process.wait(timeout=timeout_s)
        except subprocess.TimeoutExpired:
            code = "still running after %.0f s" % timeout_s
        self.assertEqual(code, expected)
        self.assertFalse(os.path.exists(self.stray_log), "the product build wrote an event log")

    def test_shows_a_demo_page_and_ends_with_0_on_sigterm(self):
        offset = self.demo.log_offset()
        page = self.demo.base + "/content/page.html?e2e=" + harness.unique("product")
        folder = self.start_product([self.mint(page)], "page")
        self.assertTrue(harness.wait_until(lambda: any(r["path"].startswith("/content/page.html")
                                               for r in self.demo.requests_since(offset)), 60),
                        "the page never reached the platform")
        shot = os.path.join(folder, "shown.png")
        measured = {}

        def page_on_screen():
            measured["share"], measured["text"] = page_share(
                screen.grab(self.grabber, self.display.environment(), shot))
            return measured["share"] > 0.2 and measured["text"] > 0

        # Neither the black loading window nor a blank view: the page's own colours.
        self.assertTrue(harness.wait_until(page_on_screen, 30, 0.5),
                        "page not on screen: %.3f of the screen has its background, %d text "
                        "pixels (%s)" % (measured.get("share", 0), measured.get("text", 0), shot))
        self.assertIsNone(self.process.poll(), "the product ended by itself")
        self.process.send_signal(signal.SIGTERM)
        self.assertEndsWith(0, 60)

    def test_broken_link_box_is_answered_from_outside_and_ends_with_0(self):
        folder = self.start_product(["orbiscampus://not-an-envelope:at-all:really"], "box")
        box = None
        deadline = time.monotonic() + 60
        while box is None and time.monotonic() < deadline and self.process.poll() is None:
            box = self.find_window("Link Error")
            time.sleep(0.2)
        self.assertIsNotNone(box, "no message box titled Link Error appeared")
        geometry = self.xdotool("getwindowgeometry", "--shell", box).stdout
        at = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
        picture = screen.grab(self.grabber, self.display.environment(),
                              os.path.join(folder, "box.png"))
        left, top = int(at["X"]), int(at["Y"])
        colours = {picture.pixel(x, y)[:3]
                   for y in range(top, min(top + int(at["HEIGHT"]), picture.height), 2)
                   for x in range(left, min(left + int(at["WIDTH"]), picture.width), 2)}
        # A painted box has its frame, icon, text and button; an unpainted one a single colour.
        self.assertGreater(len(colours), 20, "the box is not painted on screen")
        # The box waits for its user: the process is still there until the key arrives.
        time.sleep(0.5)
        self.assertIsNone(self.process.poll(), "the product ended without an answer")
        # No window manager here: the box is given the keyboard focus directly.
        self.xdotool("windowfocus", box)
        pressed = self.xdotool("key", "Return")
        self.assertEqual(pressed.returncode, 0, pressed.stderr)
        self.assertEndsWith(0, 30)


if __name__ == "__main__":
    unittest.main()
