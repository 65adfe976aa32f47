"""Runs the real Linux application against the demo platform and reads what happened.

Each run gets fresh HOME and XDG folders, a step file, a time limit and its own event log; the
demo platform's request log shows what reached the server. Every file of a run (event log,
steps, standard output and error, screenshots) is kept under
<artefacts>/<test name>/<run name>/.

Environment (CTest sets it; see tests/CMakeLists.txt):
  ORBIS_E2E_BINARY          orbis-campus-e2e: the application with the e2e observer attached
  ORBIS_PRODUCT_BINARY      orbis-campus: the product build, nothing attached
  ORBIS_DEMO_PLATFORM_FILE  the demo platform's state file (base URLs and request log path);
                            without it the harness starts a demo platform of its own
  ORBIS_TENANT_PROFILE      the tenant profile the binary was built with
  ORBIS_E2E_ARTIFACTS       where screenshots and logs are kept
  ORBIS_E2E_SCREEN_GRAB     orbis-screen-grab, for pictures of the whole display
"""
import atexit
import json
import os
import random
import re
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
import urllib.parse
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
SCHEME = "orbiscampus"
DISPLAY_NAME = "Orbis Campus"
# The portal address the test profile builds into the application.
PORTAL_PORT = 47810
# The discard port: nothing listens there on a test machine.
NO_CUPS_PORT = 9

# Texts the application shows, exactly.
ALREADY_RUNNING_TEXT = (
    "The application is already running.\n\nالبرنامج يعمل بالفعل.")
LINK_ERROR_CAPTION = "Link Error - خطأ في الرابط"
SERVER_ERROR_CAPTION = DISPLAY_NAME + " - خطأ"

# Message box flags as the Windows build uses them.
MB_ICONERROR = 0x10
MB_ICONWARNING = 0x30
MB_ICONINFORMATION = 0x40
MB_SETFOREGROUND = 0x10000
MB_TOPMOST = 0x40000
MB_RIGHT = 0x80000
MB_RTLREADING = 0x100000


def wait_until(condition, timeout_s, interval_s=0.1):
    """Polls `condition` until it holds or the time is up; its last answer."""
    deadline = time.monotonic() + timeout_s
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(interval_s)
    return condition()


def stop_process(process, timeout_s=10):
    """Asks a helper process to end, and makes sure it does."""
    if process is None:
        return
    process.terminate()
    try:
        process.wait(timeout=timeout_s)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def _env_path(name):
    value = os.environ.get(name, "")
    return os.path.abspath(value) if value else ""


class DemoPlatform:
    """The demo platform the application talks to: its addresses, its request log, minting."""

    def __init__(self, state):
        self.base = state["base"]
        self.tls_base = state.get("tls_base", "")
        self.log_path = state["log"]
        self.port = int(self.base.rsplit(":", 1)[1])
        self.tls_port = int(self.tls_base.rsplit(":", 1)[1]) if self.tls_base else 0

    @classmethod
    def from_state_file(cls, path):
        with open(path, encoding="utf-8") as f:
            return cls(json.load(f))

    @classmethod
    def start_own(cls, profile):
        """For running a test file by hand: a private server, stopped when Python exits."""
        folder = tempfile.mkdtemp(prefix="orbis-e2e-demo-")
        state_path = os.path.join(folder, "platform.json")
        process = subprocess.Popen(
            ["/usr/bin/python3", os.path.join(ROOT, "tools", "demo-platform", "server.py"),
             "--profile", profile, "--port-from-profile", "--tls", "--state-file", state_path,
             "--log", os.path.join(folder, "requests.jsonl")],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def stop():
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
            shutil.rmtree(folder, ignore_errors=True)

        atexit.register(stop)
        for _ in range(200):
            if os.path.exists(state_path):
                return cls.from_state_file(state_path)
            time.sleep(0.05)
        raise RuntimeError("the demo platform did not start")

    @property
    def serves_portal(self):
        """The application's portal address is fixed at build time; only a platform on that port
        sees the init window's requests."""
        return self.port == PORTAL_PORT

    def log_offset(self):
        try:
            return os.path.getsize(self.log_path)
        except OSError:
            return 0

    def requests_since(self, offset):
        entries = []
        with open(self.log_path, "rb") as f:
            f.seek(offset)
            for line in f.read().decode("utf-8", "replace").splitlines():
                if line.strip():
                    entries.append(json.loads(line))
        return entries

    def mint(self, token, content, domain=None):
        query = {"token": token, "content": content}
        if domain is not None:
            query["domain"] = domain
        url = self.base + "/_mint?" + urllib.parse.urlencode(query)
        with urllib.request.urlopen(url, timeout=10) as response:
            return response.read().decode("utf-8")


class Display:
    """One Xvfb per test file on a display number it picks itself; without Xvfb, Qt's offscreen
    platform."""

    def __init__(self):
        self.process = None
        self.number = None

    def start(self):
        xvfb = shutil.which("Xvfb")
        if not xvfb:
            return
        # A number of its own from a high range rather than the first free one: programs that
        # default to ":0" (or a stale socket of another namespace there) never meet this server.
        for number in random.sample(range(100, 900), 8):
            if os.path.exists("/tmp/.X%d-lock" % number):
                continue
            read_end, write_end = os.pipe()
            # -noreset: by default the server resets when its last client leaves, and refuses
            # connections meanwhile; the readiness probe below is such a client, and the program
            # started right after it met a closed door now and then.
            self.process = subprocess.Popen(
                [xvfb, ":%d" % number, "-displayfd", str(write_end), "-screen", "0",
                 "1280x1024x24", "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,),
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write_end)
            with os.fdopen(read_end) as pipe:
                line = pipe.readline().strip()
            if line.isdigit():
                self.number = int(line)
                # The number is announced once the server listens; the application's own first
                # connection needs it to answer a client.
                if wait_until(self.answers, 10):
                    return
            self.stop()
            self.number = None

    def answers(self):
        probe = subprocess.run(["xwininfo", "-root"], env=dict(os.environ, **self.environment()),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
        return probe.returncode == 0

    def stop(self):
        stop_process(self.process)
        self.process = None

    def environment(self):
        if self.number is None:
            return {"QT_QPA_PLATFORM": "offscreen"}
        return {"DISPLAY": ":%d" % self.number}


class UserFolders:
    """HOME, XDG_DATA_HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR (mode 0700) of one user; two
    processes that share one instance see each other."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="orbis-e2e-user-")
        self.paths = {}
        for name, sub in (("HOME", "home"), ("XDG_DATA_HOME", "home/.local/share"),
                          ("XDG_CONFIG_HOME", "home/.config"), ("XDG_RUNTIME_DIR", "run")):
            path = os.path.join(self.root, sub)
            os.makedirs(path, exist_ok=True)
            self.paths[name] = path
        os.chmod(self.paths["XDG_RUNTIME_DIR"], 0o700)

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


class RunResult:
    """What one process did: its exit code, its events and the server's requests meanwhile."""

    def __init__(self, name, returncode, events, requests, folder, stderr):
        self.name = name
        self.returncode = returncode
        self.events = events
        self.requests = requests
        self.folder = folder
        self.stderr = stderr

    def of(self, kind):
        return [e for e in self.events if e.get("event") == kind]

    def probe(self, name):
        """The result of the last probe with that name; KeyError when it never ran."""
        found = [e["result"] for e in self.of("probe") if e.get("name") == name]
        if not found:
            raise KeyError("probe %r did not run in %s" % (name, self.name))
        return found[-1]

    def web_messages(self):
        return [e["text"] for e in self.of("webMessage")]

    def commands(self):
        return [e["name"] for e in self.of("command")]

    def message_boxes(self):
        return self.of("messageBox")

    def loads(self):
        return [(e["url"], e["ok"]) for e in self.of("loadFinished")]

    def navigations(self, fragment):
        return [e for e in self.of("navigation") if fragment in e.get("uri", "")]

    def server_requests(self, fragment="", host=None):
        """Requests the demo platform received whose path contains `fragment` (and, when given,
        whose Host header is `host`)."""
        return [r for r in self.requests if fragment in r.get("path", "") and
                (host is None or r.get("headers", {}).get("host", "") == host)]

    def describe(self):
        """A summary for assertion messages."""
        lines = ["run %s: exit %s, folder %s (requests the view made: events.jsonl)" % (
            self.name, self.returncode, self.folder)]
        shown = [e for e in self.events if e.get("event") != "request"]
        for event in shown[-60:]:
            lines.append("  " + json.dumps(event, ensure_ascii=False)[:300])
        if self.stderr.strip():
            lines.append("  stderr: " + self.stderr.strip()[-1500:])
        return "\n".join(lines)


class RunningApp:
    """A started process; `finish` waits for it and collects the result."""

    def __init__(self, suite, name, process, folder, log_path, offset, limit_s, stderr_path):
        self.suite = suite
        self.name = name
        self.process = process
        self.folder = folder
        self.log_path = log_path
        self.offset = offset
        self.limit_s = limit_s
        self.stderr_path = stderr_path

    def events(self):
        """The events logged so far. While the process runs, its last line may be half
        written: a line that does not parse yet is left for the next look."""
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                lines = f.read().splitlines()
        except OSError:
            return []
        events = []
        for line in lines:
            try:
                events.append(json.loads(line))
            except ValueError:
                pass
        return events

    def wait_for_event(self, predicate, timeout_s=30.0):
        deadline = time.monotonic() + timeout_s
        while time.monotonic() < deadline:
            if any(predicate(e) for e in self.events()):
                return True
            if self.process.poll() is not None:
                return any(predicate(e) for e in self.events())
            time.sleep(0.1)
        return False

    def kill(self):
        """Ends the process and its helpers at once, as a crash or the task manager would."""
        os.killpg(self.process.pid, signal.SIGKILL)
        self.process.wait()

    def finish(self):
        try:
            returncode = self.process.wait(timeout=self.limit_s)
        except subprocess.TimeoutExpired:
            # The application's own time limit did not end it: stop the whole process group
            # (Chromium's helpers included) and report the overrun as a failure code.
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
            returncode = "killed after %.0f s" % self.limit_s
        # Chromium helpers left behind by a crash would otherwise outlive the test.
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except OSError:
            pass
        with open(self.stderr_path, encoding="utf-8", errors="replace") as f:
            stderr = f.read()
        requests = self.suite.demo.requests_since(self.offset)
        with open(os.path.join(self.folder, "requests.jsonl"), "w", encoding="utf-8") as f:
            for entry in requests:
                f.write(json.dumps(entry, ensure_ascii=False) + "\n")
        return RunResult(self.name, returncode, self.events(), requests, self.folder, stderr)


def host_rules(*rules):
    """A Chromium host-resolver switch mapping test host names to the demo platform. Everything
    else resolves to nothing, so no test ever leaves the machine."""
    return "--host-resolver-rules=" + ", ".join(
        list(rules) + ["MAP * ~NOTFOUND", "EXCLUDE localhost", "EXCLUDE 127.0.0.1"])


class AppTestCase(unittest.TestCase):
    """Base class of the e2e test files: one display and one demo platform per file."""

    display = None
    demo = None
    binary = ""
    artefacts = ""

    @classmethod
    def setUpClass(cls):
        cls.binary = _env_path("ORBIS_E2E_BINARY")
        if not cls.binary or not os.access(cls.binary, os.X_OK):
            raise unittest.SkipTest("ORBIS_E2E_BINARY does not name the application")
        profile = _env_path("ORBIS_TENANT_PROFILE") or os.path.join(
            ROOT, "config", "tenant.test.json")
        state = _env_path("ORBIS_DEMO_PLATFORM_FILE")
        AppTestCase.demo = (DemoPlatform.from_state_file(state) if state
                            else AppTestCase.demo or DemoPlatform.start_own(profile))
        cls.artefacts = _env_path("ORBIS_E2E_ARTIFACTS") or os.path.join(
            tempfile.gettempdir(), "orbis-e2e-artifacts")
        # Artefacts of an earlier run of this file would be mistaken for this run's.
        if os.path.isdir(cls.artefacts):
            for entry in os.listdir(cls.artefacts):
                if entry.startswith(cls.__name__ + "."):
                    shutil.rmtree(os.path.join(cls.artefacts, entry), ignore_errors=True)
        cls.display = Display()
        cls.display.start()

    @classmethod
    def tearDownClass(cls):
        if cls.display is not None:
            cls.display.stop()

    def setUp(self):
        self._users = []
        self._started = []

    def tearDown(self):
        # A test that failed half-way may leave a process it started: end it with its helpers.
        for app in self._started:
            if app.process.poll() is None:
                os.killpg(app.process.pid, signal.SIGKILL)
                app.process.wait()
        for folders in self._users:
            folders.remove()

    # --- helpers for the tests -----------------------------------------------------------

    def user(self):
        folders = UserFolders()
        self._users.append(folders)
        return folders

    def require_portal(self):
        if not self.demo.serves_portal:
            self.skipTest("the demo platform is not on the portal port %d (busy); init-mode "
                          "requests would go elsewhere" % PORTAL_PORT)

    def mint(self, content, token="e2e-token", domain=None):
        return self.demo.mint(token, content, domain)

    def run_folder(self, name):
        test = self.id().split(".")[-2:]
        folder = os.path.join(self.artefacts, ".".join(test), name)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        return folder

    def start_app(self, args=(), steps=None, name="run", timeout_ms=30000, chromium=(),
                  box_answer=None, user=None, environment=None):
        """Starts the application; `steps` always end with a quit so a run takes only as long
        as its steps. `environment` adds variables of its own (a CUPS server, for example)."""
        folder = self.run_folder(name)
        user = user or self.user()
        log_path = os.path.join(folder, "events.jsonl")
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QTWEBENGINE_", "ORBIS_E2E_", "QT_QPA"))}
        env.update(user.paths)
        env.update(self.display.environment())
        env.update({
            "ORBIS_E2E_LOG": log_path,
            "ORBIS_E2E_TIMEOUT_MS": str(timeout_ms),
            "ORBIS_E2E_SCREENSHOT_DIR": folder,
            "LANG": "C.UTF-8",
        })
        if steps is not None:
            steps_path = os.path.join(folder, "steps.json")
            with open(steps_path, "w", encoding="utf-8") as f:
                # The short wait keeps the quit out of the load signal that starts the steps.
                json.dump(list(steps) + [{"wait": 100}, {"quit": True}], f, ensure_ascii=False,
                          indent=1)
            env["ORBIS_E2E_STEPS"] = steps_path
        # Without rules of its own a run still resolves no name outside the machine.
        env["ORBIS_E2E_CHROMIUM_ARGS"] = "\n".join(chromium or [host_rules()])
        if box_answer:
            env["ORBIS_E2E_BOX_ANSWER"] = box_answer
        # Printing never reaches the machine's own CUPS: a run without a server of its own
        # gets a port where nothing listens, so its picker lists no printer.
        env["CUPS_SERVER"] = "127.0.0.1:%d" % NO_CUPS_PORT
        env.update(environment or {})
        offset = self.demo.log_offset()
        stderr_path = os.path.join(folder, "stderr.txt")
        with open(os.path.join(folder, "stdout.txt"), "wb") as out, \
                open(stderr_path, "wb") as err:
            process = subprocess.Popen([self.binary] + list(args), env=env, stdout=out,
                                       stderr=err, stdin=subprocess.DEVNULL,
                                       start_new_session=True, cwd=user.paths["HOME"])
        app = RunningApp(self, name, process, folder, log_path, offset,
                         timeout_ms / 1000.0 + 20.0, stderr_path)
        self._started.append(app)
        return app

    def run_app(self, *args, **kwargs):
        return self.start_app(*args, **kwargs).finish()

    def assertRanCleanly(self, result, code=0):
        self.assertEqual(result.returncode, code, result.describe())

    def assertProbe(self, result, name, expected):
        try:
            value = result.probe(name)
        except KeyError as error:
            self.fail("%s\n%s" % (error, result.describe()))
        self.assertEqual(value, expected, "probe %s\n%s" % (name, result.describe()))


def js_string(text):
    """A JavaScript string literal of `text` (JSON's form is valid JavaScript)."""
    return json.dumps(text)


def element_exists(element_id):
    return "!!document.getElementById(%s)" % js_string(element_id)


def host_header(host, port):
    return "%s:%d" % (host, port)


def path_of(url):
    parts = urllib.parse.urlsplit(url)
    return parts.path + ("?" + parts.query if parts.query else "")


def unique(prefix):
    """A marker that makes one run's requests easy to find in the shared request log."""
    return "%s-%d-%d" % (prefix, os.getpid(), time.monotonic_ns() % 10**9)


def same_address(a, b):
    """Equal up to the letter case of percent escapes (Qt writes them in upper case)."""
    upper = lambda text: re.sub(r"%[0-9a-fA-F]{2}", lambda m: m.group(0).upper(), text)
    return upper(a) == upper(b)




# --- steps --------------------------------------------------------------------------------------

def js(expression, name):
    return {"js": expression, "name": name}


def wait_for(expression, name, timeout=8000):
    return {"waitFor": expression, "name": name, "timeout": timeout}


def window_reaches(name, timeout=5000, **state):
    """A step that waits until the window's state has every given field (title, width, height,
    visible, fullscreen, minimized, viewVisible), then logs the state as a "window" event; the
    probe `name` tells whether it got there in time."""
    return {"waitWindow": state, "name": name, "timeout": timeout}


def frames_drawn(name="frames drawn", timeout=5000):
    """Steps that wait until the page has drawn two more frames: what a screenshot taken next
    shows is what the page holds now."""
    return [js("(function(){window.__e2eFrames=0;requestAnimationFrame(function(){"
               "requestAnimationFrame(function(){window.__e2eFrames=2;});});return true;})()",
               name + " requested"),
            wait_for("window.__e2eFrames === 2", name, timeout)]


def fetch_steps(requests, timeout=8000):
    """Steps that request every {name: url} from the page at once (no-cors, no cache) and wait
    until all have settled; each name's probe then reads "ok" or "failed"."""
    names = sorted(requests)
    starts = ";".join(
        "fetch(%s,{mode:'no-cors',cache:'no-store'}).then(function(){r[%s]='ok';},"
        "function(){r[%s]='failed';})" % (js_string(requests[n]), js_string(n), js_string(n))
        for n in names)
    start = "(function(){var r=window.__e2eFetch=window.__e2eFetch||{};%s;return true;})()" % starts
    settled = "window.__e2eFetch && %s" % " && ".join(
        "window.__e2eFetch[%s] !== undefined" % js_string(n) for n in names)
    steps = [js(start, "fetch started"), wait_for(settled, "fetches settled", timeout)]
    steps += [js("window.__e2eFetch[%s]" % js_string(n), n) for n in names]
    return steps


def navigate_step(url, name):
    return js("(function(){location.href=%s;return true;})()" % js_string(url), name)
