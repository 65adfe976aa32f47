"""Runs the real orbis-campus.exe under Wine against the demo platform and reads what happened.

One session per test run (see run_wine_e2e.py): a private Xvfb, a Wine prefix of its own with its
wineserver kept alive, and the demo platform on the test tenant's fixed port. Each run of the
program gets an installation folder (the executable, its language files and, unless a test says
otherwise, the stand-in runtime as the fixed-version runtime beside it), a stand-in call log, a
command file through which the test raises the view's events, and an artefact folder under the
build tree where its log, requests and screenshots stay.

Environment:
  ORBIS_WINDOWS_APP         the built orbis-campus.exe (its folder holds resources/lang)
  ORBIS_STANDIN_RUNTIME     a stand-in runtime folder (msedgewebview2.exe, EBWebView/x64/...)
  ORBIS_E2E_ARTIFACTS       where each run's files are kept
"""
import json
import os
import re
import shutil
import subprocess
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
# Appended, not prepended: this folder's test files share names with the Linux suite's.
sys.path.append(os.path.join(HERE, "..", "e2e"))

import harness  # noqa: E402  (the Linux suite's display and demo platform)
import x11  # noqa: E402

SCHEME = harness.SCHEME
DISPLAY_NAME = harness.DISPLAY_NAME
WINDOW_TITLE = DISPLAY_NAME + " V 4.18.0"
SPLASH_TITLE = "Zelvan Splash"
PORTAL_START = "http://127.0.0.1:%d/portal/courses" % harness.PORTAL_PORT
RUNTIME_FOLDER = "WebView2Runtime"
EXE_NAME = "orbis-campus.exe"

# Captions of the boxes the program shows before or instead of its windows.
RUNNING_CAPTION = DISPLAY_NAME
LINK_ERROR_CAPTION = harness.LINK_ERROR_CAPTION
SERVER_ERROR_CAPTION = harness.SERVER_ERROR_CAPTION
UNSUPPORTED_OS_CAPTION = "Unsupported OS"
RUNTIME_REQUIRED_CAPTION = "Zelvan \u2014 Component Required"
UPDATE_REQUIRED_CAPTION = "Orbis Campus - Update Required / \u062a\u062d\u062f\u064a\u062b " \
    "\u0625\u062c\u0628\u0627\u0631\u064a \u0644\u0644\u062a\u0637\u0628\u064a\u0642"

wait_until = harness.wait_until


def windows_path(path):
    """The Wine name of a Unix path: every Unix file is on drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class WineSession:
    """The display, the prefix and the demo platform shared by every test of a run."""

    def __init__(self, root_folder):
        self.root_folder = root_folder
        self.prefix = os.path.join(root_folder, "prefix")
        self.display = harness.Display()
        self.demo = None
        self.app = os.path.abspath(os.environ.get("ORBIS_WINDOWS_APP", ""))
        self.runtime = os.path.abspath(os.environ.get("ORBIS_STANDIN_RUNTIME", ""))
        self.artefacts = os.path.abspath(os.environ.get(
            "ORBIS_E2E_ARTIFACTS", os.path.join(root_folder, "artifacts")))

    def environment(self):
        env = dict(os.environ)
        env.update(self.display.environment())
        env.update({
            # Without a UTF-8 locale Wine cannot name a non-ASCII file.
            "LC_ALL": "C.UTF-8",
            "WINEPREFIX": self.prefix,
            "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            # Without winedbg disabled a crash can end with exit code 0.
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winedbg.exe=d",
        })
        for name in list(env):
            if name.startswith("ORBIS_STANDIN_"):
                del env[name]
        return env

    def wine(self, *args, timeout_s=60, check=False):
        done = subprocess.run(["wine"] + list(args), env=self.environment(),
                              capture_output=True, timeout=timeout_s)
        if check and done.returncode != 0:
            raise RuntimeError("wine %s failed: %s" % (" ".join(args), done.stderr[-800:]))
        return done

    def start(self):
        if not os.path.isfile(self.app):
            raise RuntimeError("ORBIS_WINDOWS_APP does not name the program: %r" % self.app)
        if not os.path.isfile(os.path.join(self.runtime, "msedgewebview2.exe")):
            raise RuntimeError("ORBIS_STANDIN_RUNTIME is no runtime folder: %r" % self.runtime)
        os.makedirs(self.prefix, exist_ok=True)
        shutil.rmtree(self.artefacts, ignore_errors=True)
        os.makedirs(self.artefacts)
        self.display.start()
        if self.display.number is None:
            raise RuntimeError("no X display: Wine's windows need Xvfb")
        env = self.environment()
        # Services of an earlier run would still talk to that run's display.
        quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
        subprocess.run(["wineserver", "-k"], env=env, timeout=30, **quiet)
        # The server stays for the whole run (each start then costs 0.1 s, not 3); it keeps any
        # pipe it was given open, so it gets none.
        subprocess.run(["wineserver", "-p"], env=env, timeout=30, **quiet)
        # The prefix's background services inherit the first program's pipes: start them here,
        # their output going nowhere.
        subprocess.run(["wine", "wineboot"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=180)
        marker = os.path.join(self.prefix, ".orbis-configured")
        if not os.path.exists(marker):
            self.wine("winecfg", "-v", "win10", timeout_s=120)
            # Without a window manager every window close costs two seconds.
            self.wine("reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d",
                      "N", "/f")
            open(marker, "w").close()
        profile = os.path.join(harness.ROOT, "config", "tenant.test.json")
        self.demo = harness.DemoPlatform.start_own(profile)
        if not self.demo.serves_portal:
            raise RuntimeError("the demo platform is not on the test tenant's port %d"
                               % harness.PORTAL_PORT)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.environment(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)
        self.display.stop()

    # --- the prefix's registry ------------------------------------------------------------

    def registry_values(self, key):
        """{value name: (type, data)} of one key, "" naming the default value; None when the key
        does not exist. Read through Wine's own reg, so what the program wrote is what counts."""
        done = self.wine("reg", "query", key)
        if done.returncode != 0:
            return None
        values = {}
        for line in done.stdout.decode("utf-8", "replace").splitlines():
            if not line.startswith("    "):
                continue
            parts = line.strip().split("    ")
            if len(parts) < 2 or not parts[1].startswith("REG_"):
                continue
            name = "" if parts[0] == "(Default)" else parts[0]
            values[name] = (parts[1], parts[2] if len(parts) > 2 else "")
        return values

    def delete_key(self, key):
        self.wine("reg", "delete", key, "/f")


SESSION = None


class RunResult:
    """How one process ended and what the stand-in and the platform saw meanwhile."""

    def __init__(self, name, returncode, calls, requests, folder, stderr):
        self.name = name
        self.returncode = returncode
        self.calls = calls
        self.requests = requests
        self.folder = folder
        self.stderr = stderr

    def called(self, name):
        return [c for c in self.calls if c.get("call") == name]

    def events(self, name):
        return [c for c in self.calls if c.get("event") == name]

    def navigations(self):
        return [c["uri"] for c in self.called("ICoreWebView2.Navigate")]

    def generated_pages(self):
        return [c.get("html", "") for c in self.called("ICoreWebView2.NavigateToString")]

    def page_scripts(self):
        """The page scripts registered, in order, each named by the flag it sets (the host's own
        scripts, which set none, are left out)."""
        names = []
        for call in self.called("ICoreWebView2.AddScriptToExecuteOnDocumentCreated"):
            found = re.search(r"window\.(_zelvan[A-Za-z]+Added)", call.get("script", ""))
            if found:
                names.append(found.group(1))
        return names

    def describe(self):
        lines = ["run %s: exit %s, folder %s" % (self.name, self.returncode, self.folder)]
        for call in self.calls[-50:]:
            lines.append("  " + json.dumps(call, ensure_ascii=False)[:300])
        if self.stderr.strip():
            lines.append("  stderr: " + self.stderr.strip()[-1200:])
        return "\n".join(lines)


class RunningApp:
    """A started orbis-campus.exe: its stand-in log, its command file, its windows."""

    def __init__(self, name, process, folder, offset, limit_s):
        self.name = name
        self.process = process
        self.folder = folder
        self.offset = offset
        self.limit_s = limit_s
        self.log_path = os.path.join(folder, "standin.jsonl")
        self.commands_path = os.path.join(folder, "commands.jsonl")
        self.stderr_path = os.path.join(folder, "stderr.txt")
        self.shots = 0

    def calls(self):
        """The stand-in's log so far; a half-written last line waits for the next look."""
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                lines = f.read().splitlines()
        except OSError:
            return []
        found = []
        for line in lines:
            try:
                found.append(json.loads(line))
            except ValueError:
                pass
        return found

    def wait_for_call(self, predicate, timeout_s=20.0):
        """The first logged line that satisfies `predicate`, or None after the time-out or once
        the process has ended without it."""
        deadline = time.monotonic() + timeout_s
        while True:
            for call in self.calls():
                if predicate(call):
                    return call
            if time.monotonic() >= deadline or self.process.poll() is not None:
                return next((c for c in self.calls() if predicate(c)), None)
            time.sleep(0.1)

    def wait_for_navigation(self, timeout_s=20.0):
        return self.wait_for_call(lambda c: c.get("call") in (
            "ICoreWebView2.Navigate", "ICoreWebView2.NavigateToString"), timeout_s)

    def raise_event(self, **command):
        """Appends one command for the stand-in, which raises it on the view's own thread."""
        with open(self.commands_path, "a", encoding="utf-8") as f:
            f.write(json.dumps(command, ensure_ascii=False) + "\n")

    def complete_navigation(self, succeeded=True):
        self.raise_event(**{"raise": "NavigationCompleted", "isSuccess": succeeded,
                            "webErrorStatus": 0 if succeeded else 2})

    def display_env(self):
        return SESSION.display.environment()

    def wait_for_window(self, title, timeout_s=20.0, exclude=()):
        return x11.wait_for_window(self.display_env(), title, timeout_s, self.process, exclude)

    def window_gone(self, title, timeout_s=20.0):
        return wait_until(lambda: not x11.visible_windows(self.display_env(), title), timeout_s)

    def answer_box(self, caption, *keys, timeout_s=20.0):
        """Waits for the box titled `caption`, keeps a picture of it, and presses `keys`; False
        when no such box appeared."""
        window = self.wait_for_window(caption, timeout_s)
        if window is None:
            return False
        # Wine paints the box's text a moment after mapping it.
        time.sleep(0.5)
        self.screenshot("box")
        x11.press(self.display_env(), window, *keys)
        # A key lost to a slow focus change is pressed once more.
        if not x11.visible_windows(self.display_env(), caption) or wait_until(
                lambda: not x11.visible_windows(self.display_env(), caption), 3):
            return True
        x11.press(self.display_env(), window, *keys)
        return True

    def screenshot(self, label):
        self.shots += 1
        path = os.path.join(self.folder, "%02d-%s.png" % (self.shots, label))
        return x11.grab_screen(":%d" % SESSION.display.number, path)

    def finish(self, timeout_s=None):
        """Waits for the process (killing it when it overruns) and collects what it did."""
        try:
            returncode = self.process.wait(timeout=timeout_s or self.limit_s)
        except subprocess.TimeoutExpired:
            self.screenshot("overrun")
            self.kill()
            returncode = "killed after %.0f s" % (timeout_s or self.limit_s)
        with open(self.stderr_path, encoding="utf-8", errors="replace") as f:
            stderr = f.read()
        requests = SESSION.demo.requests_since(self.offset)
        with open(os.path.join(self.folder, "requests.jsonl"), "w", encoding="utf-8") as f:
            for entry in requests:
                f.write(json.dumps(entry, ensure_ascii=False) + "\n")
        return RunResult(self.name, returncode, self.calls(), requests, self.folder, stderr)

    def close_window(self, window):
        """Closes a window as a person would (Alt+F4: the system menu's Close) and waits for the
        process to end."""
        x11.activate_by_title_bar(self.display_env(), window)
        x11.press(self.display_env(), window, "alt+F4")
        return self.finish(20)

    def kill(self):
        if self.process.poll() is None:
            try:
                os.killpg(self.process.pid, 9)
            except OSError:
                pass
            self.process.wait()


class WineAppTestCase(unittest.TestCase):
    """Base of the Windows end-to-end test files."""

    @classmethod
    def setUpClass(cls):
        if SESSION is None:
            raise RuntimeError("run these tests through run_wine_e2e.py")

    def setUp(self):
        self._started = []

    def tearDown(self):
        for app in self._started:
            app.kill()

    @property
    def session(self):
        return SESSION

    @property
    def demo(self):
        return SESSION.demo

    def install(self, name="app", runtime=True):
        """An installation folder of the program: the executable, its language files and, with
        `runtime`, the stand-in as the fixed-version runtime beside it. Reused between tests of
        the same name."""
        folder = os.path.join(SESSION.root_folder, "installs", name)
        exe = os.path.join(folder, EXE_NAME)
        if not os.path.isfile(exe) or os.path.getmtime(exe) < os.path.getmtime(SESSION.app):
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
            shutil.copy2(SESSION.app, exe)
            source = os.path.dirname(SESSION.app)
            resources = os.path.join(source, "resources")
            if os.path.isdir(resources):
                shutil.copytree(resources, os.path.join(folder, "resources"))
            if runtime:
                shutil.copytree(SESSION.runtime, os.path.join(folder, RUNTIME_FOLDER))
        return exe

    def run_folder(self, name):
        test = self.id().split(".")[-2:]
        folder = os.path.join(SESSION.artefacts, ".".join(test), name)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        return folder

    def start_app(self, args=(), name="run", exe=None, limit_s=45.0, environment=None):
        folder = self.run_folder(name)
        exe = exe or self.install()
        env = SESSION.environment()
        env["ORBIS_STANDIN_LOG"] = windows_path(os.path.join(folder, "standin.jsonl"))
        commands = os.path.join(folder, "commands.jsonl")
        open(commands, "w").close()
        env["ORBIS_STANDIN_COMMANDS"] = windows_path(commands)
        env.update(environment or {})
        offset = SESSION.demo.log_offset()
        with open(os.path.join(folder, "stdout.txt"), "wb") as out, \
                open(os.path.join(folder, "stderr.txt"), "wb") as err:
            process = subprocess.Popen(["wine", exe] + list(args), env=env, stdout=out,
                                       stderr=err, stdin=subprocess.DEVNULL,
                                       start_new_session=True, cwd=os.path.dirname(exe))
        app = RunningApp(name, process, folder, offset, limit_s)
        self._started.append(app)
        return app

    def start_shown(self, args, name="run", exe=None, title=WINDOW_TITLE, exclude=()):
        """Starts the program, waits for its first navigation, reports it completed and waits
        for the window (one not in `exclude`, the windows of other processes with that title):
        (app, first navigation, window id)."""
        app = self.start_app(args, name=name, exe=exe)
        navigation = app.wait_for_navigation(30)
        if navigation is None:
            self.fail("the view was never sent anywhere\n" + app.finish(5).describe())
        app.complete_navigation()
        window = app.wait_for_window(title, 20, exclude)
        if window is None:
            self.fail("no window titled %r\n%s" % (title, app.finish(5).describe()))
        return app, navigation, window

    def mint(self, content, token="wine-e2e", domain=None):
        return self.demo.mint(token, content, domain)

    def assertExit(self, result, code):
        # Wine keeps only the low 8 bits of an exit code.
        self.assertEqual(result.returncode, code & 0xFF, result.describe())
