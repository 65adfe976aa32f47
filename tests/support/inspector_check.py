#!/usr/bin/env python3
"""End-to-end check of the link inspector against the demo platform.

Links are minted by the demo platform's own encryption code, an implementation independent of
the client's, then decoded by the inspector exactly as the player would.
    inspector_check.py INSPECTOR STATE_FILE PROFILE
"""
import json
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
MINT = ROOT / "tools" / "demo-platform" / "mint.py"


def mint(profile, token, content_id, domain, *extra):
    out = subprocess.run(["/usr/bin/python3", str(MINT), "--profile", profile, "--token", token,
                          "--content-id", content_id, "--domain", domain, *extra],
                         check=True, capture_output=True, text=True)
    return out.stdout.strip()


def inspect(inspector, link):
    run = subprocess.run([inspector, link], capture_output=True, text=True, timeout=60)
    lines = run.stdout.strip().splitlines()
    return run.returncode, lines[:-1], json.loads(lines[-1])


def main():
    inspector, state_file, profile = sys.argv[1:4]
    base = json.loads(Path(state_file).read_text())["base"]
    failures = []

    def check(name, condition, detail):
        print(("ok    " if condition else "FAIL  ") + name)
        if not condition:
            failures.append(name)
            print("      " + str(detail))

    code, trace, result = inspect(inspector, mint(profile, "tok-1", "pdf-1", base))
    check("pdf link decodes", code == 0 and result.get("contentKind") == "pdf_url", result)
    check("pdf fields", result.get("contentNumber") == 101 and
          result.get("contentUrl") == base + "/content/sample.pdf" and
          result.get("watermarkText") == "learner@example.test" and
          result.get("baseUrl") == base, result)
    check("trace shows the steps", any("ParseSchemeArgs succeeded" in t for t in trace), trace)

    for variant in (["--no-mac"], ["--upper-mac"]):
        code, _, result = inspect(inspector, mint(profile, "tok-1", "video-1", base + "/", *variant))
        check("decodes with " + variant[0], code == 0 and result.get("contentKind") == "url_direct",
              result)

    direct = "https://videos.example.test/lesson-1.mp4"
    code, _, result = inspect(inspector, mint(profile, "tok-1", direct, base))
    check("direct link skips the platform", code == 0 and result.get("contentUrl") == direct and
          result.get("contentNumber") == 0, result)

    code, _, result = inspect(inspector, "orbiscampus://only-one-part")
    check("broken link", code == 1 and result.get("error") == "split_failed_parts_1", result)

    code, _, result = inspect(inspector, mint(profile, "revoked", "pdf-1", base))
    check("refused link carries the server's text",
          code == 1 and result.get("error", "").startswith("server:") and
          "expired" in result.get("error", ""), result)

    link = mint(profile, "tok-1", "pdf-1", base)
    tampered = link[:-6] + ("A" if link[-6] != "A" else "B") + link[-5:]
    code, _, result = inspect(inspector, tampered)
    check("tampered link refused", code == 1 and result.get("error", "").startswith("exception_"),
          result)

    print("%d checks failed" % len(failures) if failures else "all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
