#!/usr/bin/env python3
"""End-to-end check of the link inspector against the demo platform.

Links are minted by the demo platform's own encryption code, an implementation independent of
the client's, then decoded by the inspector exactly as the player would.
    inspector_check.py INSPECTOR STATE_FILE PROFILE
"""
import base64
import json
import subprocess
import sys
from pathlib import Path

from link_forgery import forge_link

ROOT = Path(__file__).resolve().parents[2]
MINT = ROOT / "tools" / "demo-platform" / "mint.py"
MAC_FAILURE = "exception_MAC verification failed — data may be tampered"


def mint(profile, token, content_id, domain, *extra):
    out = subprocess.run(["/usr/bin/python3", str(MINT), "--profile", profile, "--token", token,
                          "--content-id", content_id, "--domain", domain, *extra],
                         check=True, capture_output=True, text=True)
    return out.stdout.strip()


def open_without_tag_check(profile, envelope):
    """What a client that does not require the tag would read from a part."""
    from cryptography.hazmat.primitives import padding
    from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes
    key = bytes.fromhex(json.loads(Path(profile).read_text())["envelopeKeyHex"])
    record = json.loads(base64.b64decode(envelope))
    decryptor = Cipher(algorithms.AES(key),
                       modes.CBC(base64.b64decode(record["iv"]))).decryptor()
    padded = decryptor.update(base64.b64decode(record["value"])) + decryptor.finalize()
    unpadder = padding.PKCS7(128).unpadder()
    return (unpadder.update(padded) + unpadder.finalize()).decode("utf-8", "replace")


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

    code, _, result = inspect(inspector, mint(profile, "tok-1", "video-1", base + "/",
                                              "--upper-mac"))
    check("decodes with --upper-mac", code == 0 and result.get("contentKind") == "url_direct",
          result)

    # Untagged links follow the profile's setting; a refusal reads exactly like a wrong tag.
    tag_required = json.loads(Path(profile).read_text()).get("envelopeTagRequired", True)
    code, trace, result = inspect(inspector, mint(profile, "tok-1", "video-1", base + "/",
                                                  "--no-mac"))
    if tag_required:
        check("untagged link refused like a wrong tag",
              code == 1 and result.get("error") == MAC_FAILURE and
              any("requires the envelope tag" in t for t in trace), (result, trace))
    else:
        check("untagged link decodes", code == 0 and result.get("contentKind") == "url_direct",
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

    # A direct content address rewritten without the key: the forgery itself works...
    direct = "https://trusted1.example.test/lesson-1.mp4"
    forged = forge_link(mint(profile, "tok-1", direct, base), 1, direct,
                        "https://attacker")
    forged_part = forged.split("://", 1)[1].split(":")[1]
    forged_plain = open_without_tag_check(profile, forged_part)
    check("forgery rewrites the first block without the key",
          forged_plain == "https://attacker.example.test/lesson-1.mp4", forged_plain)
    # ...and the client refuses it exactly like a wrong tag.
    code, _, result = inspect(inspector, forged)
    check("forged link refused", code == 1 and result.get("error") == MAC_FAILURE, result)

    print("%d checks failed" % len(failures) if failures else "all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
