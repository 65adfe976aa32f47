"""Runs the application as a learner would, once, and checks how it ends.

    app_run.py ITEM      ITEM: a demo catalogue id (page-1, video-1, youtube-1, zoom-1,
                         handout-1) or "init"

The build under test needs no test hooks: the run waits until the splash has gone and the
content's own request reached the demo platform (local items) or until the splash has gone
(items on other hosts, which a private network cannot reach), keeps a picture of the screen,
ends the process with SIGTERM and expects exit code 0 and no sanitizer report of ours on its error
output (the sanitizers are told to leave the exit code alone: their verdict is read from their
reports, where the allocation stack tells our leaks from the libraries').

Environment: ORBIS_APP_BINARY, ORBIS_E2E_SCREEN_GRAB, ORBIS_DEMO_PLATFORM_FILE (or a platform of
its own), ORBIS_TENANT_PROFILE, ORBIS_E2E_ARTIFACTS.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import time

import harness
import screen

# The request that shows the item's own content reached the platform; None: nothing local.
CONTENT_REQUESTS = {
    "page-1": "/content/page.html",
    "video-1": "/content/video.html",
    "handout-1": "/content/handout.html",
    "youtube-1": None,
    "zoom-1": None,
    "init": "/portal/courses",
}
SPLASH_TITLE = "Zelvan Splash"
SPLASH_OWN_CLOSE_S = 15.0
# Reports that fail the run wherever they point: memory errors (also inside a library, which our
# code may have caused) and undefined behaviour (only our code is built to find it).
ERROR_REPORT = re.compile(r"ERROR: AddressSanitizer|runtime error:|UndefinedBehaviorSanitizer")


def leak_reports(errors):
    """The leak checker's reports at exit, one text per leaked allocation with its stack."""
    blocks, current = [], None
    for line in errors.splitlines():
        if re.match(r"(Direct|Indirect) leak of ", line):
            current = [line]
            blocks.append(current)
        elif current is not None and line.strip():
            current.append(line)
        else:
            current = None
    return ["\n".join(block) for block in blocks]


def judge_sanitizer_output(errors):
    """Failures found in the sanitizers' output. A leak is ours when a frame of its allocation
    stack lies in this repository's build (our code is linked statically into the program);
    leaks allocated entirely inside Qt WebEngine, D-Bus or fontconfig at exit are counted, not
    failed."""
    failures = []
    errors_found = sorted({m.group(0) for m in ERROR_REPORT.finditer(errors)})
    if errors_found:
        failures.append("sanitizer reports: " + ", ".join(errors_found))
    leaks = leak_reports(errors)
    ours = [leak for leak in leaks if harness.ROOT in leak]
    if ours:
        failures.append("%d of %d leaks were allocated through our code, the first:\n%s" % (
            len(ours), len(leaks), ours[0]))
    return failures, len(leaks) - len(ours)


def splash_window_exists(display_environment):
    env = dict(os.environ, **display_environment)
    listing = subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True,
                             text=True, timeout=10).stdout
    return '"%s"' % SPLASH_TITLE in listing



def launch(binary, args, env, folder, stderr_path, home):
    with open(os.path.join(folder, "stdout.txt"), "wb") as out, open(stderr_path, "wb") as err:
        return subprocess.Popen([binary] + args, env=env, stdout=out, stderr=err,
                                stdin=subprocess.DEVNULL, start_new_session=True, cwd=home)


def refused_by_display(stderr_path):
    with open(stderr_path, encoding="utf-8", errors="replace") as f:
        return "could not connect to display" in f.read()


def main(item):
    if item not in CONTENT_REQUESTS:
        print("unknown item %r" % item)
        return 2
    binary = os.environ["ORBIS_APP_BINARY"]
    grabber = os.environ["ORBIS_E2E_SCREEN_GRAB"]
    profile = os.environ.get("ORBIS_TENANT_PROFILE") or os.path.join(
        harness.ROOT, "config", "tenant.test.json")
    state = os.environ.get("ORBIS_DEMO_PLATFORM_FILE", "")
    demo = (harness.DemoPlatform.from_state_file(state) if state
            else harness.DemoPlatform.start_own(profile))
    folder = os.path.join(os.environ.get("ORBIS_E2E_ARTIFACTS", "/tmp/orbis-app-runs"), item)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    display = harness.Display()
    display.start()
    user = harness.UserFolders()
    process = None
    failures = []
    try:
        if display.number is None:
            print("FAIL: no Xvfb display")
            return 1
        args = [] if item == "init" else [demo.mint("demo-token", item)]
        if item == "init" and not demo.serves_portal:
            print("FAIL: the demo platform is not on the portal port %d" % harness.PORTAL_PORT)
            return 1
        env = {k: v for k, v in os.environ.items() if not k.startswith(("QTWEBENGINE_", "QT_QPA"))}
        env.update(user.paths)
        env.update(display.environment())
        env.update({"LANG": "C.UTF-8", "CUPS_SERVER": "127.0.0.1:%d" % harness.NO_CUPS_PORT})
        offset = demo.log_offset()
        stderr_path = os.path.join(folder, "stderr.txt")
        display_env = display.environment()
        for attempt in (1, 2):
            process = launch(binary, args, env, folder, stderr_path, user.paths["HOME"])
            harness.wait_until(lambda: process.poll() is not None or
                               splash_window_exists(display_env), 60)
            if splash_window_exists(display_env):
                break
            # The display server refused the program's very first connection (seen on a busy
            # machine with other X servers starting): the program never ran, so it gets one new
            # display and one more start; anything else is the program's own failure.
            if attempt == 1 and process.poll() is not None and refused_by_display(stderr_path):
                print("note: the display refused the first start; starting again on a new one")
                display.stop()
                display.start()
                env.update(display.environment())
                display_env = display.environment()
                continue
            failures.append("no splash window appeared")
            break
        splash_since = time.monotonic()
        # The splash goes when the content is shown, or on its own after 15 s: the time it
        # stayed tells the two apart.
        if not harness.wait_until(lambda: not splash_window_exists(display_env), 90):
            failures.append("the splash never went")
        shown_after = time.monotonic() - splash_since
        if shown_after >= SPLASH_OWN_CLOSE_S - 0.5:
            failures.append("the splash closed itself after %.1f s: no content was shown" %
                            shown_after)
        wanted = CONTENT_REQUESTS[item]
        if wanted and not harness.wait_until(lambda: any(
                r["path"].startswith(wanted) for r in demo.requests_since(offset)), 60):
            failures.append("the platform never saw %s" % wanted)
        if process.poll() is not None:
            failures.append("the application ended by itself with %s" % process.returncode)
        else:
            screen.grab(grabber, display_env, os.path.join(folder, "shown.png"))
            process.send_signal(signal.SIGTERM)
            try:
                code = process.wait(timeout=60)
            except subprocess.TimeoutExpired:
                code = "still running 60 s after SIGTERM"
            if code != 0:
                failures.append("exit code %s after SIGTERM" % code)
        with open(stderr_path, encoding="utf-8", errors="replace") as f:
            errors = f.read()
        sanitizer_failures, library_leaks = judge_sanitizer_output(errors)
        failures += sanitizer_failures
        print("%s: splash gone after %.1f s; %d leaks at exit, all inside libraries; artefacts "
              "in %s" % (item, shown_after, library_leaks, folder))
        for failure in failures:
            print("FAIL:", failure)
        if failures:
            print(errors[-6000:])
        return 1 if failures else 0
    finally:
        if process is not None and process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        elif process is not None:
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except OSError:
                pass
        user.remove()
        display.stop()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else ""))
