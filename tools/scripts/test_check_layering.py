"""The layering check finds each kind of breach in a small tree, and passes a clean one."""
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import check_layering  # noqa: E402


class LayeringCheck(unittest.TestCase):
    def tree(self, files):
        root = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory()))
        for name, text in files.items():
            path = root / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text, encoding="utf-8")
        return check_layering.breaches(root)

    def test_clean_tree_passes(self):
        self.assertEqual(self.tree({
            "common/text.h": "#include <string>\n",
            "content/rules.cpp": '#include "common/text.h"\n',
            "service/http_client_curl.cpp": "#include <curl/curl.h>\n#include <unistd.h>\n",
            "host/view_qt.cpp": '#include <QWidget>\n#include "content/rules.h"\n',
            "app/orbis_main.cpp": '#include "host/view_qt.h"\nint main() { return App().x; }\n',
        }), [])

    def test_platform_headers_in_portable_files(self):
        found = self.tree({
            "content/rules.cpp": "#include <windows.h>\n#include <QString>\n",
            "print/flow.h": '#include "print/picker_qt.h"\n',
            "service/link.cpp": "#include <openssl/evp.h>\n#include <sys/stat.h>\n",
        })
        self.assertEqual(len(found), 5, found)

    def test_a_folder_includes_only_folders_below_it(self):
        found = self.tree({
            "content/page.cpp": '#include "host/scripts.h"\n',
            "host/window_qt.cpp": '#include "app/splash.h"\n#include "content/page.h"\n',
        })
        self.assertEqual(len(found), 2, found)
        self.assertIn("content/ includes host/scripts.h", found[0])

    def test_only_entry_points_reach_the_record(self):
        found = self.tree({
            "service/client_curl.cpp": "auto b = App().baseUrl;\n",
            "common/app_record.cpp": "AppRecord& App() { static AppRecord r; return r; }\n",
            "app/orbis_campus_qt_main.cpp": "auto n = App().displayName;\n",
        })
        self.assertEqual(len(found), 1, found)
        self.assertIn("service/client_curl.cpp:1", found[0])


if __name__ == "__main__":
    unittest.main()
