"""Links rewritten without the key: a part whose first block was forged (tag dropped, IV
changed) is refused with the link-error box, and the host it was forged to point at sees nothing.
"""
import os
import sys
import unittest

import harness

sys.path.insert(0, os.path.join(harness.ROOT, "tests", "support"))
from link_forgery import forge_link  # noqa: E402

CONTENT_PART, DOMAIN_PART = 1, 2
MAC_FAILURE_CODE = "exception_MAC verification failed — data may be tampered"
PAGE_LOADED = "document.getElementById('status') && " \
    "document.getElementById('status').getAttribute('data-loaded') === '1'"


class ForgedLinkTest(harness.AppTestCase):
    def page(self, host, marker):
        return "http://%s:%d/content/page.html?e2e=%s" % (host, self.demo.port, marker)

    def run_link(self, link, name, steps=()):
        return self.run_app([link], steps=list(steps), name=name, chromium=[harness.host_rules(
            "MAP trusted1.test 127.0.0.1", "MAP attacker.test 127.0.0.1")])

    def assertRefusedAsTampered(self, result):
        self.assertRanCleanly(result, 0)
        boxes = result.message_boxes()
        self.assertEqual([b["caption"] for b in boxes], [harness.LINK_ERROR_CAPTION],
                         result.describe())
        self.assertTrue(boxes[0]["text"].endswith(MAC_FAILURE_CODE), boxes[0]["text"])
        self.assertEqual(result.of("contentShown"), [], result.describe())

    def test_forged_direct_address_is_refused_and_never_contacted(self):
        marker = harness.unique("forged-direct")
        # Control: a genuine link to the attacker's address does reach it, so the log would show
        # a forged one that got through.
        control = self.run_link(self.mint(self.page("attacker.test", marker + "-control")),
                                "control", [harness.wait_for(PAGE_LOADED, "page loaded")])
        self.assertRanCleanly(control)
        self.assertTrue(control.server_requests(
            marker + "-control", harness.host_header("attacker.test", self.demo.port)),
            control.describe())

        issued = self.page("trusted1.test", marker)
        forged = forge_link(self.mint(issued), CONTENT_PART, issued, "http://attacker.")
        result = self.run_link(forged, "forged", [harness.wait_for(PAGE_LOADED, "page loaded")])
        self.assertRefusedAsTampered(result)
        self.assertEqual(result.server_requests(marker), [], result.describe())

    def test_forged_platform_domain_is_refused_before_any_platform_call(self):
        # The issued domain is the demo platform by address; the forgery names it "localhost",
        # standing in for the attacker's host: a content-data call there would carry that Host.
        issued = self.demo.base
        self.assertTrue(issued.startswith("http://127.0.0.1"), issued)
        token = harness.unique("forged-domain")
        # Control: a genuine link with that domain does make its content-data call there.
        control = self.run_link(self.mint("page-1", token=token + "-control",
                                          domain="http://localhost:%d" % self.demo.port),
                                "control")
        self.assertRanCleanly(control)
        self.assertTrue([r for r in control.requests if token + "-control" in r.get("body", "")
                         and r["headers"].get("host") == "localhost:%d" % self.demo.port],
                        control.describe())

        forged = forge_link(self.mint("page-1", token=token, domain=issued), DOMAIN_PART, issued,
                            "http://localhost")
        result = self.run_link(forged, "forged")
        self.assertRefusedAsTampered(result)
        self.assertEqual([r for r in result.requests if token in r.get("body", "")], [],
                         result.describe())


if __name__ == "__main__":
    unittest.main()
