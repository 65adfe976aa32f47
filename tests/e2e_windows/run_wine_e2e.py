"""Runs the Windows end-to-end tests once: starts the session (display, Wine prefix, demo
platform), runs every test_*.py here (or the ones named) and ends with the line
"N passed, N failed, N skipped". Exit status 0 only when nothing failed and nothing was skipped.

    run_wine_e2e.py WORK_FOLDER [test name patterns...]
"""
import os
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import wine_app  # noqa: E402


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    session = wine_app.WineSession(os.path.abspath(argv[1]))
    started = time.monotonic()
    try:
        session.start()
    except Exception as error:  # the session is the test run's fixture: report, do not trace
        print("the Windows end-to-end session did not start: %s" % error)
        session.stop()
        print("0 passed, 1 failed, 0 skipped")
        return 1
    wine_app.SESSION = session
    loader = unittest.TestLoader()
    if len(argv) > 2:
        loader.testNamePatterns = ["*%s*" % p for p in argv[2:]]
    try:
        suite = loader.discover(HERE, pattern="test_*.py", top_level_dir=HERE)
        result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    finally:
        session.stop()
    # One test with several failing cases (subtests) is one failed test.
    failed_ids = {getattr(test, "test_case", test).id()
                  for test, _ in result.failures + result.errors}
    failed = len(failed_ids) + len(result.unexpectedSuccesses)
    skipped = len({getattr(test, "test_case", test).id() for test, _ in result.skipped})
    passed = result.testsRun - failed - skipped
    print("setup and tests took %.0f s" % (time.monotonic() - started))
    print("%d passed, %d failed, %d skipped" % (passed, failed, skipped))
    return 0 if failed == 0 and skipped == 0 and result.testsRun > 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
