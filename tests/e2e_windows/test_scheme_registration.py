"""The orbiscampus: scheme in the prefix's registry after a start, and re-pointed by a start
from another folder."""
import unittest

import wine_app

SCHEME_KEY = "HKCU\\Software\\Classes\\orbiscampus"


class SchemeRegistrationTest(wine_app.WineAppTestCase):
    def start_and_close(self, exe, name):
        app, _, window = self.start_shown([], name=name, exe=exe)
        self.assertExit(app.close_window(window), 0)

    def assertPointsAt(self, exe):
        path = wine_app.windows_path(exe)
        values = self.session.registry_values(SCHEME_KEY)
        self.assertEqual(values, {"": ("REG_SZ", "Zelvan Desktop Player"),
                                  "URL Protocol": ("REG_SZ", "")})
        icon = self.session.registry_values(SCHEME_KEY + "\\DefaultIcon")
        command = self.session.registry_values(SCHEME_KEY + "\\shell\\open\\command")
        # Wine names the program as it was started; drive letters and case may differ.
        self.assertEqual(icon[""][1].lower(), (path + ",1").lower())
        self.assertEqual(command[""][1].lower(), ('"%s" "%%1"' % path).lower())

    def test_a_start_registers_the_scheme_and_another_folder_repoints_it(self):
        self.session.delete_key(SCHEME_KEY)
        self.assertIsNone(self.session.registry_values(SCHEME_KEY))
        first = self.install("app")
        self.start_and_close(first, "first")
        self.assertPointsAt(first)
        moved = self.install("moved-elsewhere")
        self.start_and_close(moved, "moved")
        self.assertPointsAt(moved)


if __name__ == "__main__":
    unittest.main()
