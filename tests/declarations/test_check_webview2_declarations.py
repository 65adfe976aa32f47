"""The declarations check on the real header, and proof that it notices each kind of fault."""

import pathlib
import re
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import check_webview2_declarations as checker  # noqa: E402

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
FACTS = (REPOSITORY / "tests/data/webview2-interfaces.md").read_text(encoding="utf-8")
HEADER = (REPOSITORY / "src/host/webview2_com_webview2.h").read_text(encoding="utf-8")


def replace_once(text: str, old: str, new: str) -> str:
    assert text.count(old) == 1, f"expected exactly one {old!r}"
    return text.replace(old, new)


def swap(text: str, first: str, second: str) -> str:
    marker = "\0"
    text = replace_once(text, first, marker)
    text = replace_once(text, second, first)
    return text.replace(marker, second)


class RealHeader(unittest.TestCase):
    def test_matches_the_facts(self):
        self.assertEqual(checker.check(FACTS, HEADER), [])

    def test_every_listed_method_is_read_from_the_header(self):
        header = checker.parse_header(HEADER)
        listed = len(re.findall(r"^  \d+\. `", FACTS, flags=re.M))
        self.assertEqual(sum(len(i.methods) for i in header.interfaces.values()), listed)
        self.assertEqual(len(header.interfaces), len(re.findall(r"^- IID: ", FACTS, flags=re.M)))

    def test_command_line_exit_status(self):
        self.assertEqual(
            checker.main(
                [
                    str(REPOSITORY / "tests/data/webview2-interfaces.md"),
                    str(REPOSITORY / "src/host/webview2_com_webview2.h"),
                ]
            ),
            0,
        )


class FaultsInTheHeader(unittest.TestCase):
    def assertNoticed(self, header_text: str, expected_words: str):
        problems = checker.check(FACTS, header_text)
        self.assertTrue(problems, "the fault went unnoticed")
        self.assertTrue(
            any(expected_words in problem for problem in problems),
            f"no problem mentions {expected_words!r}: {problems}",
        )

    def test_two_methods_swapped(self):
        mutated = swap(
            HEADER,
            "get_IsScriptEnabled(BOOL* isScriptEnabled)",
            "put_IsScriptEnabled(BOOL isScriptEnabled)",
        )
        self.assertNoticed(mutated, "ICoreWebView2Settings: methods")

    def test_methods_swapped_across_wrapped_lines(self):
        # Long signatures are wrapped by the formatter; the swap must still be seen.
        mutated = swap(HEADER, "add_FrameNavigationStarting(", "add_FrameNavigationCompleted(")
        self.assertNoticed(mutated, "ICoreWebView2: methods")

    def test_one_iid_digit_changed(self):
        mutated = replace_once(HEADER, "0x76ECEACB", "0x76ECEACC")
        self.assertNoticed(mutated, "ICoreWebView2: IID 76ECEACC-0462")

    def test_iid_byte_changed(self):
        mutated = replace_once(HEADER, "0xFF85C98A, 0x1BA7, 0x4A6B, {0x90, 0xC8", "0xFF85C98A, "
                               "0x1BA7, 0x4A6B, {0x90, 0xC9")
        self.assertNoticed(mutated, "ICoreWebView2EnvironmentOptions2: IID")

    def test_iid_constant_missing(self):
        mutated = re.sub(r"inline constexpr IID IID_ICoreWebView2Deferral = \{[^;]*;", "", HEADER)
        self.assertNoticed(mutated, "ICoreWebView2Deferral: no IID_ICoreWebView2Deferral")

    def test_wrong_base(self):
        mutated = replace_once(
            HEADER,
            "struct ICoreWebView2_3 : public ICoreWebView2_2 {",
            "struct ICoreWebView2_3 : public ICoreWebView2 {",
        )
        self.assertNoticed(mutated, "ICoreWebView2_3: derives from ICoreWebView2,")

    def test_method_dropped(self):
        mutated = replace_once(
            HEADER, "    virtual HRESULT STDMETHODCALLTYPE OpenTaskManagerWindow() = 0;\n", ""
        )
        self.assertNoticed(mutated, "ICoreWebView2_6: methods")

    def test_method_added(self):
        mutated = replace_once(
            HEADER,
            "    virtual HRESULT STDMETHODCALLTYPE OpenTaskManagerWindow() = 0;\n",
            "    virtual HRESULT STDMETHODCALLTYPE OpenTaskManagerWindow() = 0;\n"
            "    virtual HRESULT STDMETHODCALLTYPE Extra() = 0;\n",
        )
        self.assertNoticed(mutated, "ICoreWebView2_6: methods")

    def test_parameter_type_changed(self):
        mutated = replace_once(HEADER, "put_ZoomFactor(double zoomFactor)",
                               "put_ZoomFactor(float zoomFactor)")
        self.assertNoticed(mutated, "ICoreWebView2Controller.put_ZoomFactor: parameters")

    def test_parameter_dropped(self):
        mutated = re.sub(
            r"Invoke\(HRESULT errorCode,\s+COREWEBVIEW2_PRINT_STATUS result\)",
            "Invoke(COREWEBVIEW2_PRINT_STATUS result)",
            HEADER,
        )
        self.assertNotEqual(mutated, HEADER)
        self.assertNoticed(mutated, "ICoreWebView2PrintCompletedHandler.Invoke: parameters")

    def test_method_hidden_behind_a_macro(self):
        mutated = replace_once(
            HEADER,
            "    virtual HRESULT STDMETHODCALLTYPE OpenTaskManagerWindow() = 0;\n",
            "    STDMETHOD(OpenTaskManagerWindow)() PURE;\n",
        )
        self.assertNoticed(mutated, "line not understood")

    def test_non_virtual_member_in_an_interface(self):
        mutated = replace_once(
            HEADER,
            "    virtual HRESULT STDMETHODCALLTYPE OpenTaskManagerWindow() = 0;\n",
            "    virtual HRESULT STDMETHODCALLTYPE OpenTaskManagerWindow() = 0;\n    int extra;\n",
        )
        self.assertNoticed(mutated, "line not understood")

    def test_unknown_top_level_statement(self):
        mutated = HEADER + "\ntypedef ICoreWebView2 WebView;\n"
        self.assertNoticed(mutated, "statement not understood")

    def test_unknown_preprocessor_line(self):
        mutated = HEADER + "\n#define STDMETHODCALLTYPE\n"
        self.assertNoticed(mutated, "preprocessor line not understood")

    def test_interface_missing(self):
        mutated = re.sub(r"struct ICoreWebView2Deferral : public IUnknown \{[^}]*\};", "", HEADER)
        self.assertNoticed(mutated, "ICoreWebView2Deferral: listed in the facts but not declared")

    def test_interface_defined_twice(self):
        body = re.search(r"struct ICoreWebView2Deferral : public IUnknown \{[^}]*\};", HEADER)
        self.assertNoticed(HEADER + "\n" + body.group(0) + "\n", "defined twice")

    def test_enumerators_swapped(self):
        mutated = swap(
            HEADER,
            "COREWEBVIEW2_PRINT_STATUS_PRINTER_UNAVAILABLE,",
            "COREWEBVIEW2_PRINT_STATUS_OTHER_ERROR,",
        )
        self.assertNoticed(mutated, "enum COREWEBVIEW2_PRINT_STATUS")

    def test_enumerator_value_changed(self):
        mutated = replace_once(
            HEADER,
            "COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_ALL = 0xFFFFFFFF",
            "COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_ALL = 0x7",
        )
        self.assertNoticed(mutated, "enum COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS")

    def test_colour_channels_reordered(self):
        mutated = swap(HEADER, "BYTE R;", "BYTE G;")
        self.assertNoticed(mutated, "struct COREWEBVIEW2_COLOR")

    def test_unbalanced_braces(self):
        self.assertNoticed(HEADER + "\n}\n", "unbalanced")


class FaultsInTheFacts(unittest.TestCase):
    """The facts are parsed as strictly: a damaged facts file must not pass by reading less."""

    def test_method_numbers_out_of_sequence(self):
        mutated = replace_once(FACTS, "  2. `put_IsScriptEnabled", "  3. `put_IsScriptEnabled")
        self.assertTrue(checker.check(mutated, HEADER))

    def test_iid_line_missing(self):
        mutated = replace_once(FACTS, "- IID: {C10E7F7B-B585-46F0-A623-8BEFBF3E4EE0}\n", "")
        self.assertTrue(checker.check(mutated, HEADER))


if __name__ == "__main__":
    unittest.main()
