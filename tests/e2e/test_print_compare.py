"""Reading dumps: -print and -compare, with and without an ignore file."""

from vestiga import IS_WINDOWS, ProgramTestCase, dump_bytes, system_error

CORRUPT = "An Exception occurred:\nError deserializing data. The data is corrupt.\n\n"

OLD = dump_bytes(("C:\\a.txt", 0x0102030405060708), ("HKEY_USERS", 0), ("C:\\old.txt", 5),
                 ("HKEY_CURRENT_USER\\Software\\x\\y", 0x1111))
NEW = dump_bytes(("C:\\a.txt", 0x0102030405060708), ("HKEY_USERS", 0), ("C:\\new.txt", 6),
                 ("HKEY_CURRENT_USER\\Software\\x\\y", 0x2222), ("C:\\A.TXT", 7))

COMPARE_HEAD = ("Loading dump 1.\nParsing dump 1.\nLoading dump 2.\nParsing dump 2.\n"
                "Comparing the two dumps.\nComparsion result:\n")
IGNORE_HEAD = "Loading ignore file.\nCompiling regular expressions in ignore file.\nCompiling done.\n"


class Print(ProgramTestCase):
    def test_listing_of_the_example_dump(self):
        self.write("d.dat", bytes.fromhex(
            "08000000433A5C612E7478740807060504030201"
            "0A000000484B45595F55534552530000000000000000"))
        self.assertRun(self.run_program("-print", "d.dat"),
                       "Loading dump.\nParsing dump.\nPrinting dump.\n"
                       "0102030405060708 C:\\a.txt\n0000000000000000 HKEY_USERS\n")

    def test_listing_is_sorted_byte_by_byte_and_ignore_patterns_do_not_apply(self):
        self.write("d.dat", dump_bytes(("b", 1), ("aa", 2), ("B", 0xFFFFFFFF), ("aB", 3), ("a", 1 << 32)))
        self.write("ignore.txt", ".*\n")
        self.assertRun(self.run_program("-print", "d.dat", "-ignore", "ignore.txt"),
                       IGNORE_HEAD + "Loading dump.\nParsing dump.\nPrinting dump.\n"
                       "00000000FFFFFFFF B\n0000000100000000 a\n0000000000000003 aB\n"
                       "0000000000000002 aa\n0000000000000001 b\n")

    def test_empty_dump_lists_nothing(self):
        self.write("d.dat", b"")
        self.assertRun(self.run_program("-print", "d.dat"), "Loading dump.\nParsing dump.\nPrinting dump.\n")

    def test_corrupt_dumps(self):
        for data in (dump_bytes(("abc", 1)) + b"\x01", dump_bytes(("abc", 1))[:-1],
                     b"\x05\x00\x00\x00ab", b"\xff\xff\xff\xff" + b"x" * 20):
            self.write("d.dat", data)
            self.assertRun(self.run_program("-print", "d.dat"),
                           "Loading dump.\nParsing dump.\n" + CORRUPT, status=1)

    def test_missing_dump(self):
        result = self.run_program("-print", "missing.dat")
        self.assertEqual(1, result.status)
        self.assertTrue(result.out.startswith(
            "Loading dump.\nAn Exception occurred:\n"
            "An error occured when trying to open the file for reading.\nFilename: 'missing.dat'\n"
            "Current Working Directory: "), result.out)
        self.assertIn("\n" + system_error(2) + "\nC++ exception: ", result.out)
        if not IS_WINDOWS:
            # The system's text is the program's own there, a POSIX line: `grep 'specified.$'` finds it.
            self.assertNotIn("\r", result.out)


class Compare(ProgramTestCase):
    def test_differences_grouped_by_kind(self):
        self.write("old.dat", OLD)
        self.write("new.dat", NEW)
        self.assertRun(self.run_program("-compare", "old.dat", "new.dat"),
                       COMPARE_HEAD + "CRE C:\\A.TXT\nCRE C:\\new.txt\nDEL C:\\old.txt\n"
                       "MOD HKEY_CURRENT_USER\\Software\\x\\y\nCompare finished.\n")

    def test_identical_dumps(self):
        self.write("old.dat", OLD)
        self.write("new.dat", OLD[::1])
        self.assertRun(self.run_program("-compare", "old.dat", "new.dat"),
                       COMPARE_HEAD + "The two dumps are identical.\nCompare finished.\n")

    def test_ignore_file_leaves_out_matching_differences(self):
        self.write("old.dat", OLD)
        self.write("new.dat", NEW)
        self.write("ignore.txt", "C:\\\\[a-z]+\\.txt\r\n\r\nHKEY_CURRENT_USER\\\\.*\r\n")
        self.assertRun(self.run_program("-compare", "old.dat", "new.dat", "-ignore", "ignore.txt"),
                       IGNORE_HEAD + COMPARE_HEAD + "CRE C:\\A.TXT\nCompare finished.\n")

    def test_every_difference_ignored_prints_nothing_between(self):
        self.write("old.dat", OLD)
        self.write("new.dat", NEW)
        self.write("ignore.txt", ".*")
        self.assertRun(self.run_program("-compare", "old.dat", "new.dat", "-ignore", "ignore.txt"),
                       IGNORE_HEAD + COMPARE_HEAD + "Compare finished.\n")

    def test_missing_second_dump(self):
        self.write("old.dat", OLD)
        result = self.run_program("-compare", "old.dat", "missing.dat")
        self.assertEqual(1, result.status)
        self.assertTrue(result.out.startswith(
            "Loading dump 1.\nParsing dump 1.\nLoading dump 2.\nAn Exception occurred:\n"
            "An error occured when trying to open the file for reading.\nFilename: 'missing.dat'\n"),
            result.out)
        self.assertIn("\n" + system_error(2) + "\nC++ exception: ", result.out)

    def test_corrupt_first_dump_stops_before_the_second(self):
        self.write("old.dat", b"\x01\x00")
        self.write("new.dat", OLD)
        self.assertRun(self.run_program("-compare", "old.dat", "new.dat"),
                       "Loading dump 1.\nParsing dump 1.\n" + CORRUPT, status=1)


class IgnoreFile(ProgramTestCase):
    def test_invalid_pattern_stops_before_any_flow(self):
        self.write("ignore.txt", "a.*\nb\nc:\\\\temp[\n")
        result = self.run_program("-help", "-ignore", "ignore.txt")
        self.assertEqual(1, result.status)
        self.assertTrue(result.out.startswith(
            "Loading ignore file.\nCompiling regular expressions in ignore file.\nAn Exception occurred:\n"
            "Error compiling regular expression: 'c:\\\\temp['\n"), result.out)
        self.assertTrue(result.out.endswith("\n\n"), result.out)
        self.assertNotIn("Vestiga Lite", result.out)

    def test_missing_ignore_file_is_reported_before_help(self):
        result = self.run_program("-ignore", "missing.txt", "-help")
        self.assertEqual(1, result.status)
        self.assertTrue(result.out.startswith(
            "Loading ignore file.\nAn Exception occurred:\n"
            "An error occured when trying to open the file for reading.\nFilename: 'missing.txt'\n"),
            result.out)
        self.assertNotIn("Vestiga Lite", result.out)


# Names that would forge a line, drive the terminal or disguise themselves, as
# raw paths of a dump and as the report shows them.
PLAIN = b"C:\\plain\\file.txt"
HOSTILE_NAMES = [
    (b"t/innocent\nDEL t", b'"t/innocent\\nDEL t"'),
    (b"C:\\dir\\x\ny", b'"C:\\\\dir\\\\x\\ny"'),
    (b"cr\r tab\t", b'"cr\\r tab\\t"'),
    (b"ctl \x00\x01\x08\x0b\x1f \x7f", b'"ctl \\000\\001\\010\\013\\037 \\177"'),
    (b"esc \x1b[2J \x1b]0;title\x07", b'"esc \\033[2J \\033]0;title\\007"'),
    (b"c1 \xc2\x80\xc2\x9b\xc2\x9f", b'"c1 \\302\\200\\302\\233\\302\\237"'),
    (b"gpj\xe2\x80\xae.exe", b'"gpj\\342\\200\\256.exe"'),
    (b"bidi \xd8\x9c \xe2\x80\x8e\xe2\x80\x8f \xe2\x80\xaa \xe2\x81\xa6\xe2\x81\xa9",
     b'"bidi \\330\\234 \\342\\200\\216\\342\\200\\217 \\342\\200\\252 \\342\\201\\246\\342\\201\\251"'),
    (b'"lead', b'"\\"lead"'),
    (b"sep\xe2\x80\xa8DEL x su\xe2\x80\x8bdo \xef\xbb\xbf \xf3\xa0\x80\x81 \x9b[2J \xff sur\xed\xa0\x80",
     b'"sep\\342\\200\\250DEL x su\\342\\200\\213do \\357\\273\\277 \\363\\240\\200\\201 \\233[2J \\377 '
     b'sur\\355\\240\\200"'),
]
ORDINARY_NAMES = [PLAIN, b"tab\tonly", b'a"b\\c', b"caf\xc3\xa9 cafe\xcc\x81 \xc2\xa0\xf0\x9f\x98\x80"]


class QuotedNames(ProgramTestCase):
    def test_listing(self):
        entries = [(raw, i) for i, (raw, _) in enumerate(HOSTILE_NAMES)] + [(raw, 0xA0 + i)
                                                                          for i, raw in enumerate(ORDINARY_NAMES)]
        self.write("d.dat", dump_bytes(*entries))
        self.assertEqual(
            b"Loading dump.\nParsing dump.\nPrinting dump.\n"
            b'0000000000000008 "\\"lead"\n'
            b'0000000000000001 "C:\\\\dir\\\\x\\ny"\n'
            b"00000000000000A0 C:\\plain\\file.txt\n"
            b'00000000000000A2 a"b\\c\n'
            b'0000000000000007 "bidi \\330\\234 \\342\\200\\216\\342\\200\\217 \\342\\200\\252 '
            b'\\342\\201\\246\\342\\201\\251"\n'
            b'0000000000000005 "c1 \\302\\200\\302\\233\\302\\237"\n'
            b"00000000000000A3 caf\xc3\xa9 cafe\xcc\x81 \xc2\xa0\xf0\x9f\x98\x80\n"
            b'0000000000000002 "cr\\r tab\\t"\n'
            b'0000000000000003 "ctl \\000\\001\\010\\013\\037 \\177"\n'
            b'0000000000000004 "esc \\033[2J \\033]0;title\\007"\n'
            b'0000000000000006 "gpj\\342\\200\\256.exe"\n'
            b'0000000000000009 ' + HOSTILE_NAMES[9][1] + b'\n'
            b'0000000000000000 "t/innocent\\nDEL t"\n'
            b"00000000000000A1 tab\tonly\n",
            self.run_program("-print", "d.dat").raw)

    def test_report(self):
        old = [(raw, 1) for raw, _ in HOSTILE_NAMES[:4]] + [(raw, 1) for raw in ORDINARY_NAMES[:2]]
        new = [(raw, 1) for raw, _ in HOSTILE_NAMES[4:]] + [(raw, 2) for raw in ORDINARY_NAMES]
        new += [(HOSTILE_NAMES[3][0], 2)]
        self.write("old.dat", dump_bytes(*old))
        self.write("new.dat", dump_bytes(*new))
        # Ignore patterns see the raw path: this one matches only the line break.
        self.write("ignore.txt", "cr\\r tab\\t\n")
        self.assertEqual(
            IGNORE_HEAD.encode() + COMPARE_HEAD.encode() +
            b'CRE "\\"lead"\n'
            b'CRE a"b\\c\n'
            b'CRE "bidi \\330\\234 \\342\\200\\216\\342\\200\\217 \\342\\200\\252 '
            b'\\342\\201\\246\\342\\201\\251"\n'
            b'CRE "c1 \\302\\200\\302\\233\\302\\237"\n'
            b"CRE caf\xc3\xa9 cafe\xcc\x81 \xc2\xa0\xf0\x9f\x98\x80\n"
            b'CRE "esc \\033[2J \\033]0;title\\007"\n'
            b'CRE "gpj\\342\\200\\256.exe"\n'
            b'CRE ' + HOSTILE_NAMES[9][1] + b'\n'
            b'DEL "C:\\\\dir\\\\x\\ny"\n'
            b'DEL "t/innocent\\nDEL t"\n'
            b"MOD C:\\plain\\file.txt\n"
            b'MOD "ctl \\000\\001\\010\\013\\037 \\177"\n'
            b"MOD tab\tonly\n"
            b"Compare finished.\n",
            self.run_program("-compare", "old.dat", "new.dat", "-ignore", "ignore.txt").raw)
