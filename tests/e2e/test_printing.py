"""Printing from a page: the printer picker over a private CUPS server, the PDF job that reaches
a physical printer's device, and the one result message the page gets for every request."""
import json
import os
import unittest
import urllib.request

import cups_fixture
import harness
from harness import js, wait_for

HANDOUT_READY = "document.getElementById('print') !== null && !!window.printResults"
PRINT = js("(function(){window.print();return true;})()", "window.print")
CLICK_PRINT_BUTTON = js("(function(){document.getElementById('print').click();return true;})()",
                        "print button")


def results_count_at_least(count, timeout=15000):
    return wait_for("window.printResults.length >= %d" % count, "%d results" % count, timeout)


READ_RESULTS = js("JSON.stringify(window.printResults)", "results")
# The PDF viewer's page has no result list of its own: count the answers the page receives.
COUNT_RESULTS_IN_THE_VIEWER = js(
    "(function(){window.__printResults=0;window.chrome.webview.addEventListener('message',"
    "function(e){if(e.data&&e.data.type==='printResult')window.__printResults++;});"
    "return true;})()", "result counter")

CANCELLED = {"type": "printResult", "status": "cancelled"}
SUCCESS = {"type": "printResult", "status": "success", "message": "Print job sent successfully."}
UNAVAILABLE = {"type": "printResult", "status": "error",
               "message": "The selected printer is unavailable."}


@unittest.skipUnless(cups_fixture.available(), "cupsd, lpadmin or the socket backend is missing")
class PrintingTest(harness.AppTestCase):
    cups = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.cups = cups_fixture.PrivateCups()
        cls.cups.start()

    @classmethod
    def tearDownClass(cls):
        if cls.cups is not None:
            cls.cups.stop()
        super().tearDownClass()

    def setUp(self):
        super().setUp()
        self.queues = []
        self.listeners = []

    def tearDown(self):
        for name in self.queues:
            try:
                self.cups.remove_queue(name)
            except RuntimeError:
                pass
        for listener in self.listeners:
            listener.close()
        super().tearDown()

    def physical_queue(self, name):
        listener = cups_fixture.JobListener()
        self.listeners.append(listener)
        self.cups.add_queue(name, listener.uri)
        self.queues.append(name)
        return listener

    def virtual_queue(self, name):
        self.cups.add_queue(name, "file:///dev/null")
        self.queues.append(name)

    def handout_steps(self, steps):
        return [wait_for(HANDOUT_READY, "handout ready")] + steps + [READ_RESULTS]

    def run_handout(self, steps, name="run"):
        url = self.demo.base + "/content/handout.html?e2e=" + harness.unique("print")
        result = self.run_app([self.mint(url)], steps=self.handout_steps(steps), name=name,
                              timeout_ms=60000, environment=self.cups.environment())
        self.assertRanCleanly(result)
        self.assertProbe(result, "handout ready", True)
        return result

    def page_results(self, result):
        return json.loads(result.probe("results"))

    def posted_results(self, result):
        return [json.loads(e["json"]) for e in result.of("postWebMessage")
                if '"printResult"' in e["json"]]

    def assertOneResultPerRequest(self, result, expected):
        self.assertEqual(self.page_results(result), expected, result.describe())
        self.assertEqual(self.posted_results(result), expected, result.describe())

    def test_only_the_physical_default_queue_is_listed_and_receives_the_pdf(self):
        office = self.physical_queue("Office_Laser")
        self.virtual_queue("PDF_Writer")
        self.cups.set_default("Office_Laser")
        result = self.run_handout([
            PRINT,
            {"picker": "state"},
            {"picker": "screenshot", "file": "picker.png"},
            {"picker": "print"},
            results_count_at_least(1),
        ])
        picker = result.of("printerPicker")[-1]
        self.assertEqual(picker["printers"], [{"name": "Office_Laser", "isDefault": True}],
                         result.describe())
        self.assertEqual(picker["title"], "Select Printer")
        self.assertEqual((picker["selected"], picker["listVisible"], picker["printVisible"],
                          picker["messageVisible"], picker["focus"], picker["modal"]),
                         (0, True, True, False, "printerList", True))
        jobs = office.wait_for_jobs(1)
        self.assertEqual(len(jobs), 1, result.describe())
        self.assertTrue(jobs[0].startswith(b"%PDF-"), jobs[0][:40])
        self.assertIn(b"%%EOF", jobs[0][-64:])
        with open(result.folder + "/job.pdf", "wb") as f:
            f.write(jobs[0])
        self.assertOneResultPerRequest(result, [SUCCESS])

    def test_print_timings(self):
        """Five one-page prints in a row: the phases of each, against making the PDF alone.
        Written to print-timings.json beside the run's other files."""
        office = self.physical_queue("Office_Laser")
        rounds = 5
        steps = []
        for done in range(1, rounds + 1):
            steps += [PRINT, {"picker": "print"}, results_count_at_least(done)]
        result = self.run_handout(steps)
        self.assertOneResultPerRequest(result, [SUCCESS] * rounds)
        self.assertEqual(len(office.wait_for_jobs(rounds)), rounds)

        def stamps(kind, predicate=lambda e: True):
            return [e["ms"] for e in result.of(kind) if predicate(e)]
        phases = zip(stamps("printDialog"), stamps("printerPicker"), stamps("printerChosen"),
                     stamps("printToPdf"), stamps("pdfReady"),
                     stamps("postWebMessage", lambda e: "printResult" in e["json"]))
        rows = [{"request_to_picker_ms": picker - request, "pdf_ms": ready - pdf,
                 "chosen_to_result_ms": posted - chosen}
                for request, picker, chosen, pdf, ready, posted in phases]
        self.assertEqual(len(rows), rounds, result.describe())
        median = lambda key: sorted(r[key] for r in rows)[rounds // 2]
        summary = {key: round(median(key), 1) for key in rows[0]}
        summary["ratio_chosen_to_result_vs_pdf"] = round(
            summary["chosen_to_result_ms"] / summary["pdf_ms"], 2)
        with open(result.folder + "/print-timings.json", "w", encoding="utf-8") as f:
            json.dump({"rounds": rows, "median": summary}, f, indent=1)
        print("print timings (median of %d): %s" % (rounds, json.dumps(summary)))

    def test_a_pdf_item_prints_the_file_itself_not_the_viewer(self):
        office = self.physical_queue("Office_Laser")
        result = self.run_app(
            [self.mint("pdf-1")],
            steps=[wait_for("!!document.getElementById('zelvan-print-btn')", "viewer ready", 15000),
                   COUNT_RESULTS_IN_THE_VIEWER,
                   js("document.getElementById('zelvan-print-btn').click();true", "print button"),
                   {"picker": "print"}, wait_for("window.__printResults >= 1", "printed", 15000)],
            timeout_ms=60000, environment=self.cups.environment())
        self.assertRanCleanly(result)
        with urllib.request.urlopen(self.demo.base + "/content/sample.pdf", timeout=10) as served:
            document = served.read()
        self.assertEqual(office.wait_for_jobs(1), [document], result.describe())
        self.assertEqual(self.posted_results(result), [SUCCESS], result.describe())

    def test_double_click_prints_to_that_entry_and_the_default_comes_first(self):
        zebra = self.physical_queue("Zebra")
        brother = self.physical_queue("brother")
        annex = self.physical_queue("Annex")
        self.cups.set_default("brother")
        result = self.run_handout([
            CLICK_PRINT_BUTTON,
            {"picker": "state"},
            {"picker": "doubleClick", "row": 2},
            results_count_at_least(1),
        ])
        names = [(p["name"], p["isDefault"]) for p in result.of("printerPicker")[-1]["printers"]]
        # Ordinal order after the default: capitals before small letters.
        self.assertEqual(names, [("brother", True), ("Annex", False), ("Zebra", False)])
        self.assertEqual(len(zebra.wait_for_jobs(1)), 1, result.describe())
        self.assertEqual(brother.received() + annex.received(), [])
        self.assertOneResultPerRequest(result, [SUCCESS])

    def test_enter_keeps_the_picker_open_and_every_way_out_cancels(self):
        office = self.physical_queue("Office_Laser")
        result = self.run_handout([
            PRINT,
            {"picker": "enter"},
            {"picker": "escape"},
            results_count_at_least(1),
            PRINT,
            {"picker": "select", "row": 0},
            {"picker": "cancel"},
            results_count_at_least(2),
            PRINT,
            {"picker": "close"},
            results_count_at_least(3),
        ])
        steps = [(s["action"], s["open"]) for s in result.of("pickerStep")]
        self.assertEqual(steps, [("enter", True), ("escape", False), ("select", True),
                                 ("cancel", False), ("close", False)], result.describe())
        self.assertOneResultPerRequest(result, [CANCELLED] * 3)
        self.assertEqual(office.received(), [])

    def test_without_a_physical_queue_only_cancel_is_offered(self):
        self.virtual_queue("PDF_Writer")
        self.cups.set_default("PDF_Writer")
        result = self.run_handout([
            PRINT,
            {"picker": "state"},
            {"picker": "print"},  # hidden: nothing happens
            {"picker": "cancel"},
            results_count_at_least(1),
        ])
        picker = result.of("printerPicker")[-1]
        self.assertEqual((picker["printers"], picker["listVisible"], picker["printVisible"],
                          picker["cancelVisible"], picker["messageVisible"]),
                         ([], False, False, True, True), result.describe())
        self.assertEqual(picker["message"], "No physical printers found.\nPlease connect a printer.")
        self.assertOneResultPerRequest(result, [CANCELLED])

    def test_a_stopped_queue_is_unavailable_and_a_second_request_prints(self):
        office = self.physical_queue("Office_Laser")
        self.cups.stop_queue("Office_Laser")
        result = self.run_handout([
            PRINT,
            {"picker": "print"},
            results_count_at_least(1),
            js("(function(){window.print();window.print();return true;})()", "two at once"),
            {"picker": "cancel"},
            {"picker": "cancel"},
            results_count_at_least(3),
        ])
        self.assertOneResultPerRequest(result, [UNAVAILABLE, CANCELLED, CANCELLED])
        self.assertEqual(office.received(), [])

    def test_a_queue_removed_while_the_picker_is_open_is_unavailable(self):
        self.physical_queue("Office_Laser")
        removed_signal = os.path.join(self.user().root, "queue-removed")
        app = self.start_app(
            [self.mint(self.demo.base + "/content/handout.html")],
            steps=self.handout_steps([PRINT, {"picker": "state"},
                                      {"waitForFile": removed_signal, "name": "queue removed"},
                                      {"picker": "print"}, results_count_at_least(1)]),
            timeout_ms=60000, environment=self.cups.environment())
        self.assertTrue(app.wait_for_event(lambda e: e.get("event") == "printerPicker"),
                        "the picker never opened")
        self.cups.remove_queue("Office_Laser")
        self.queues.remove("Office_Laser")
        with open(removed_signal, "w", encoding="utf-8"):
            pass
        result = app.finish()
        self.assertRanCleanly(result)
        self.assertOneResultPerRequest(result, [UNAVAILABLE])


if __name__ == "__main__":
    unittest.main()
