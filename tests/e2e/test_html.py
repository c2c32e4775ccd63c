"""-html FILE: the report page of -compare and -print, written by the real
program and looked at in a real browser."""

import base64
import glob
import hashlib
import os
import re
import unittest

import chromium
from vestiga import IS_WINDOWS, ProgramTestCase, dump_bytes

PAGE_SOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "app", "report")

DEEP = "C:\\data\\a\\b\\c\\d\\deep.txt"
OLD = dump_bytes(("C:\\", 0x10), ("C:\\data", 1), ("C:\\data\\old.txt", 5), ("C:\\data\\same.txt", 7),
                 ("HKEY_CURRENT_USER\\Software\\x\\y", 0x1111), ("C:\\data\\app.log", 8), ("/", 0x20))
NEW = dump_bytes(("C:\\", 0x11), ("/", 0x21), ("C:\\data\\one", 9), ("C:\\data\\one\\only.txt", 9),
                 ("C:\\data", 0x01D9B0E2A1234567), ("C:\\data\\same.txt", 7), ("C:\\data\\a", 9),
                 ("C:\\data\\a\\b", 9), ("C:\\data\\a\\b\\c", 9), ("C:\\data\\a\\b\\c\\d", 9), (DEEP, 9),
                 ("HKEY_CURRENT_USER\\Software\\x\\y", 0x2222), ("C:\\data\\app.log", 9),
                 ("C:\\data\\<img src=x onerror=window.pwned=1>", 3), ("C:\\data\\</script><b>bold", 3),
                 (b"C:\\data\\bad\xffname", 3))

COMPARE_TEXT = (
    "Loading ignore file.\nCompiling regular expressions in ignore file.\nCompiling done.\n"
    "Loading dump 1.\nParsing dump 1.\nLoading dump 2.\nParsing dump 2.\nComparing the two dumps.\n"
    "Comparsion result:\n"
    "CRE C:\\data\\</script><b>bold\nCRE C:\\data\\<img src=x onerror=window.pwned=1>\nCRE C:\\data\\a\n"
    "CRE C:\\data\\a\\b\nCRE C:\\data\\a\\b\\c\nCRE C:\\data\\a\\b\\c\\d\nCRE " + DEEP + "\n"
    "CRE \"C:\\\\data\\\\bad\\377name\"\nCRE C:\\data\\one\nCRE C:\\data\\one\\only.txt\nDEL C:\\data\\old.txt\n"
    "MOD /\nMOD C:\\\nMOD C:\\data\nMOD HKEY_CURRENT_USER\\Software\\x\\y\n"
    "Compare finished.\n")

COMPARE_DATA = (
    '{"report":"comparison","dumps":[{"file":"old.dat","entries":7},{"file":"new.dat","entries":16}],'
    '"created":10,"deleted":1,"modified":4,'
    '"names":["C:\\\\","data","\\u003c/script\\u003e\\u003cb\\u003ebold",'
    '"\\u003cimg src=x onerror=window.pwned=1\\u003e","a","b","c","d","deep.txt","\\"bad\\\\377name\\"","old.txt",'
    '"one","only.txt","HKEY_CURRENT_USER","Software","x","y","/"],'
    '"depths":[0,1,2,2,2,3,4,5,6,2,2,2,3,0,1,2,3,0],"marks":"331111111121100033",'
    '"fingerprints":["10","11","1","1D9B0E2A1234567","1111","2222","20","21"]}')


def page_data(page):
    return re.search(rb'<script type="application/json" id="data">(.*?)</script>', page, re.S).group(1).decode()


class Writing(ProgramTestCase):
    def compare(self, *extra):
        self.write("old.dat", OLD)
        self.write("new.dat", NEW)
        self.write("ignore.txt", ".*\\.log\n")
        return self.run_program("-compare", "old.dat", "new.dat", "-ignore", "ignore.txt", *extra)

    def test_compare_writes_the_page_after_the_usual_text(self):
        self.assertRun(self.compare("-html", "r.html"), COMPARE_TEXT + "Writing report.\n")
        self.assertEqual(COMPARE_DATA, page_data(self.read("r.html")))

    def test_print_writes_the_listing_page_after_the_listing(self):
        self.write("d.dat", dump_bytes(("C:\\a.txt", 0x0102030405060708), ("HKEY_USERS", 0)))
        self.assertRun(self.run_program("-print", "d.dat", "-html", "r.html"),
                       "Loading dump.\nParsing dump.\nPrinting dump.\n"
                       "0102030405060708 C:\\a.txt\n0000000000000000 HKEY_USERS\nWriting report.\n")
        self.assertEqual('{"report":"listing","dumps":[{"file":"d.dat","entries":2}],'
                         '"names":["C:\\\\","a.txt","HKEY_USERS"],"depths":[0,1,0],"marks":"044",'
                         '"fingerprints":["102030405060708","0"]}', page_data(self.read("r.html")))

    def test_help_and_dump_accept_the_flag_and_write_no_page(self):
        result = self.run_program("-help", "-html", "r.html")
        self.assertEqual(0, result.status)
        self.assertTrue(result.out.startswith("Vestiga Lite v1.00"), result.out)
        os.mkdir(self.path("tree"))
        result = self.run_program("-dump", "d.dat", "-dirs", "tree", "-html", "r.html")
        self.assertTrue(result.out.endswith("Dump created. 1 entries saved."), result.out)
        self.assertFalse(self.exists("r.html"))
        self.assertRun(self.run_program("-help", "-html", "a", "-html", "b"),
                       "An Exception occurred:\nThe flag -html was used more than once.\n", status=1)
        self.assertRun(self.run_program("-help", "-html"),
                       "An Exception occurred:\nNot enough arguments for the flag -html. 1 is required.\n",
                       status=1)

    def test_unwritable_page_gives_the_save_error(self):
        name = os.path.join("nodir", "r.html") if not IS_WINDOWS else "nodir\\r.html"
        result = self.compare("-html", name)
        self.assertEqual(1, result.status)
        self.assertTrue(result.out.startswith(
            COMPARE_TEXT + "Writing report.\nAn Exception occurred:\n"
            "An error occured when trying to open the file for writing.\nFilename: '" + name + "'\n"), result.out)
        self.assertFalse(self.exists("nodir"))

    def test_page_loads_nothing_from_the_network(self):
        for source in glob.glob(os.path.join(PAGE_SOURCES, "page.*")):
            with open(source, encoding="utf-8") as f:
                text = f.read()
            for reference in ("http:", "https:", "//"):
                self.assertNotIn(reference, text, source)
        self.compare("-html", "r.html")
        page = self.read("r.html")
        policy = re.search(rb'<meta http-equiv="Content-Security-Policy" content="([^"]*)">', page).group(1)
        style = re.search(rb"<style>(.*?)</style>", page, re.S).group(1)
        script = re.search(rb"<script>(.*?)</script>", page, re.S).group(1)

        def source_hash(text):
            return b"'sha256-" + base64.b64encode(hashlib.sha256(text).digest()) + b"'"

        self.assertEqual(b"default-src 'none'; script-src " + source_hash(script) + b"; style-src " +
                         source_hash(style) + b"; img-src data:; base-uri 'none'; form-action 'none'", policy)
        self.assertNotIn(b"http:", page)
        self.assertNotIn(b"https:", page)


class InTheBrowser(ProgramTestCase):
    @classmethod
    def setUpClass(cls):
        try:
            cls.browser = chromium.Browser()
        except chromium.BrowserUnavailable as reason:
            raise unittest.SkipTest(str(reason))

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()

    def setUp(self):
        super().setUp()
        self.write("old.dat", OLD)
        self.write("new.dat", NEW)
        self.write("ignore.txt", ".*\\.log\n")
        result = self.run_program("-compare", "old.dat", "new.dat", "-ignore", "ignore.txt", "-html", "r.html")
        self.assertEqual(0, result.status, result.out)
        self.browser.open(self.path("r.html"))

    def js(self, expression):
        return self.browser.evaluate(expression)

    def row_names(self, selector="#tree .row"):
        return self.js("Array.from(document.querySelectorAll('%s'), r => r.querySelector('.name').textContent)"
                       % selector)

    def test_header_and_top_level_names_with_their_counts(self):
        self.assertEqual("Comparison of old.dat and new.dat", self.js("document.querySelector('h1').textContent"))
        self.assertEqual([["old", "old.dat", "7"], ["new", "new.dat", "16"]],
                         self.js("Array.from(document.querySelectorAll('#dumps tbody tr'),"
                                 " r => Array.from(r.cells, c => c.textContent))"))
        self.assertEqual("10 created, 1 deleted, 4 modified (after the ignore patterns)",
                         self.js("document.getElementById('totals').textContent"))
        # The roots of a drive and of a POSIX file system go by their own names, as do the paths below them.
        self.assertEqual(["C:\\", "HKEY_CURRENT_USER", "/"], self.row_names("#tree > li > .row"))
        self.assertEqual(["C:\\", "HKEY_CURRENT_USER", "/"], self.js("Array.from(document.querySelectorAll("
                                                                  "'#tree > li > .row'), r => r.title)"))
        self.assertEqual(0, self.js("document.querySelectorAll('.nameless').length"))
        self.assertEqual(["10 created, 1 deleted, 1 modified below", "1 modified below"],
                         self.js("Array.from(document.querySelectorAll('#tree > li > .row .counts'),"
                                 " c => c.textContent)"))
        self.assertEqual("C:\\data", self.js("document.querySelectorAll('#tree .row')[1].title"))
        data_row = self.js("document.querySelectorAll('#tree .row')[1].textContent")
        self.assertIn("modified", data_row)
        self.assertIn("last write: 1601-01-01T00:00:00.0000001Z \u2192 2023-07-07T14:52:19.6681063Z", data_row)

    def test_hostile_names_are_text(self):
        names = self.row_names()
        self.assertIn("<img src=x onerror=window.pwned=1>", names)
        self.assertIn("</script><b>bold", names)
        self.assertIn('"bad\\377name"', names)
        self.assertEqual(0, self.js("document.querySelectorAll('img, b').length"))
        self.assertEqual(False, self.js("'pwned' in window"))

    def test_opening_a_node_shows_its_children(self):
        self.assertNotIn("y", self.row_names())
        tree = self.js("document.getElementById('tree').textContent")
        self.assertIn("created: 4 entries below", tree)
        self.assertIn("created: 1 entry below", tree)
        self.js("Array.from(document.querySelectorAll('#tree .row')).find("
                "r => r.querySelector('.name').textContent === 'x').click()")
        self.assertIn("y", self.row_names())
        self.assertIn("data changed: 0000000000001111 \u2192 0000000000002222",
                      self.js("document.getElementById('tree').textContent"))
        self.js("Array.from(document.querySelectorAll('#tree .row')).find("
                "r => r.querySelector('.name').textContent === 'a').dispatchEvent("
                "new KeyboardEvent('keydown', {key: 'ArrowRight', bubbles: true}))")
        self.assertIn("b", self.row_names())

    def test_search_finds_a_deep_path_with_its_ancestors(self):
        self.assertNotIn("deep.txt", self.row_names())
        self.js("const box = document.getElementById('search'); box.value = ':\\\\DATA\\\\a\\\\b\\\\c\\\\D\\\\deep';"
                "document.getElementById('controls').requestSubmit()")
        self.assertEqual(["C:\\", "data", "a", "b", "c", "d", "deep.txt"], self.row_names())
        self.assertEqual(["deep.txt"], self.row_names("#tree .hit > .row"))
        self.assertEqual("1 matching path", self.js("document.getElementById('found').textContent"))

    def test_a_listing_names_its_roots_and_counts_one_entry_as_one(self):
        self.write("d.dat", dump_bytes(("C:\\", 1), ("C:\\a.txt", 2)))
        self.write("one.dat", dump_bytes(("/", 3)))
        for name in ("d", "one"):
            self.assertEqual(0, self.run_program("-print", name + ".dat", "-html", name + ".html").status)
        counts = "Array.from(document.querySelectorAll('#tree .counts'), c => c.textContent)"
        totals = "document.getElementById('totals').textContent"
        self.browser.open(self.path("d.html"))
        self.assertEqual(["C:\\", "a.txt"], self.row_names())
        self.assertEqual("C:\\a.txt", self.js("document.querySelectorAll('#tree .row')[1].title"))
        self.assertEqual(["1 entry below"], self.js(counts))
        self.assertEqual("2 entries", self.js(totals))
        self.browser.open(self.path("one.html"))
        self.assertEqual(["/"], self.row_names())
        self.assertEqual("1 entry", self.js(totals))


if __name__ == "__main__":
    unittest.main()
