"""Taking dumps: a dump, a change as an installer makes it, a second dump, the report."""

import hashlib
import os
import resource
import signal
import stat
import struct

from vestiga import IS_WINDOWS, SEP, ProgramTestCase, run_windows_tool, system_error

T0 = 1_600_000_000
T1 = 1_700_000_000
EPOCH_DIFFERENCE = 11_644_473_600


def filetime(seconds, nanoseconds=0):
    return (seconds + EPOCH_DIFFERENCE) * 10_000_000 + nanoseconds // 100


def parse_raw_dump(data):
    """The (path, fingerprint) records of a dump, paths as bytes."""
    return {path.encode("latin-1"): fingerprint for path, fingerprint in parse_dump(data).items()}


def parse_dump(data):
    entries, offset = {}, 0
    while offset < len(data):
        (length,) = struct.unpack_from("<I", data, offset)
        path = data[offset + 4:offset + 4 + length].decode("latin-1")
        (fingerprint,) = struct.unpack_from("<Q", data, offset + 4 + length)
        entries[path] = fingerprint
        offset += 12 + length
    return entries


class DumpTestCase(ProgramTestCase):
    def make_tree(self, *names):
        """Directories end in '/'; every entry gets the time T0."""
        for name in names:
            full = self.path(name)
            if name.endswith("/"):
                os.makedirs(full, exist_ok=True)
            else:
                self.write(name, name)
        self.touch_all(T0)

    def touch_all(self, seconds, top="tree"):
        for root, dirs, files in os.walk(self.path(top), followlinks=False):
            for name in files + dirs:
                if not os.path.islink(os.path.join(root, name)):
                    os.utime(os.path.join(root, name), (seconds, seconds))
        os.utime(self.path(top), (seconds, seconds))

    def dump(self, name, *args):
        result = self.run_program("-dump", name, *args)
        return result

    def p(self, path):
        return path.replace("/", SEP)


class Scenario(DumpTestCase):
    def test_an_installation_shows_exactly_what_changed(self):
        self.make_tree("tree/app/bin/tool", "tree/app/share/README", "tree/app/share/old.txt",
                       "tree/logs/app.log", "tree/empty/")
        self.write("ignore.txt", ".*\\.log\n")
        first = self.dump("before.dat", "-dirs", "tree", "-ignore", "ignore.txt")
        self.assertRun(first, "Loading ignore file.\nCompiling regular expressions in ignore file.\n"
                              "Compiling done.\nCreating dump. Please be patient.\nSerializing dump.\n"
                              "Saving dump.\nDump created. 9 entries saved.")
        self.assertNotIn(self.p("tree/logs/app.log"), parse_dump(self.read("before.dat")))

        # The installation: a file changed, a file and a directory added, a file removed.
        self.write("tree/app/bin/tool", "v2")
        self.write("tree/app/bin/helper", "new")
        os.makedirs(self.path("tree/app/plugins"))
        self.write("tree/app/plugins/extra.so", "so")
        os.remove(self.path("tree/app/share/old.txt"))
        self.touch_all(T0)
        for changed in ("tree/app/bin/tool", "tree/app/bin/helper", "tree/app/plugins/extra.so",
                        "tree/app/plugins", "tree/app/bin", "tree/logs/app.log"):
            os.utime(self.path(changed), (T1, T1))

        second = self.dump("after.dat", "-dirs", "tree")
        self.assertRun(second, "Creating dump. Please be patient.\nSerializing dump.\nSaving dump.\n"
                               "Dump created. 12 entries saved.")

        self.write("ignore2.txt", ".*\\.log\n")
        report = self.run_program("-compare", "before.dat", "after.dat", "-ignore", "ignore2.txt")
        self.assertRun(report, "Loading ignore file.\nCompiling regular expressions in ignore file.\n"
                               "Compiling done.\nLoading dump 1.\nParsing dump 1.\nLoading dump 2.\n"
                               "Parsing dump 2.\nComparing the two dumps.\nComparsion result:\n" +
                               self.p("CRE tree/app/bin/helper\nCRE tree/app/plugins\n"
                                      "CRE tree/app/plugins/extra.so\nDEL tree/app/share/old.txt\n"
                                      "MOD tree/app/bin\nMOD tree/app/bin/tool\n") +
                               "Compare finished.\n")

    def test_fingerprints_are_the_filetime_of_the_last_write(self):
        self.make_tree("tree/a.txt", "tree/sub/")
        os.utime(self.path("tree/a.txt"), ns=(T1 * 10**9 + 123456789, T1 * 10**9 + 123456789))
        self.dump("d.dat", "-dirs", "tree")
        entries = parse_dump(self.read("d.dat"))
        self.assertEqual({"tree": filetime(T0), self.p("tree/a.txt"): filetime(T1, 123456789),
                          self.p("tree/sub"): filetime(T0)}, entries)

    def test_print_of_a_taken_dump(self):
        self.make_tree("tree/a.txt")
        self.dump("d.dat", "-dirs", "tree")
        self.assertRun(self.run_program("-print", "d.dat"),
                       "Loading dump.\nParsing dump.\nPrinting dump.\n"
                       "%016X tree\n%016X %s\n" % (filetime(T0), filetime(T0), self.p("tree/a.txt")))


class DumpFlow(DumpTestCase):
    def test_nothing_to_scan_saves_an_empty_dump(self):
        self.assertRun(self.dump("out.dat"), "Creating dump. Please be patient.\nSerializing dump.\n"
                                             "Saving dump.\nDump created. 0 entries saved.")
        self.assertEqual(b"", self.read("out.dat"))

    def test_print_wins_over_dump(self):
        self.write("a.dat", b"")
        self.run_program("-print", "a.dat", "-dump", "b.dat", "-dirs", ".")
        self.assertFalse(self.exists("b.dat"))

    def test_unsaveable_dump_is_reported_after_the_scan(self):
        self.make_tree("tree/a.txt")
        result = self.dump(self.p("nodir/out.dat"), "-dirs", "tree")
        self.assertEqual(1, result.status)
        self.assertTrue(result.out.startswith(
            "Creating dump. Please be patient.\nSerializing dump.\nSaving dump.\nAn Exception occurred:\n"
            "An error occured when trying to open the file for writing.\nFilename: '" +
            self.p("nodir/out.dat") + "'\n"), result.out)
        self.assertIn("\n" + system_error(3) + "\nC++ exception: None.\n", result.out)
        self.assertNotIn("Dump created.", result.out)

    def test_a_full_disk_keeps_the_previous_dump(self):
        if IS_WINDOWS:
            self.skipTest("file size limits are POSIX")
        self.make_tree(*["tree/file-with-a-long-name-%03d.txt" % i for i in range(100)])
        self.write("out.dat", b"previous")

        def limit_file_size():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (1000, 1000))

        result = self.run_program("-dump", "out.dat", "-dirs", "tree", preexec_fn=limit_file_size)
        self.assertEqual(1, result.status)
        self.assertIn("Saving dump.\nAn Exception occurred:\n"
                      "An error occured when trying to write the file.\nFilename: 'out.dat'\n", result.out)
        self.assertEqual(b"previous", self.read("out.dat"))
        self.assertEqual(["out.dat", "tree"], sorted(os.listdir(self.dir)))


# A group the unprivileged user belongs to besides its own.
SHARED_GROUP = 4242


def drop_privileges(groups=()):
    os.setgroups(list(groups))
    os.setgid(65534)
    os.setuid(65534)


class SavingOverADump(DumpTestCase):
    """A save replaces what a dump holds and keeps everything else that belongs to it."""

    def setUp(self):
        super().setUp()
        self.make_tree("tree/a.txt")
        self.dump("expected.dat", "-dirs", "tree")
        self.expected = self.read("expected.dat")
        os.remove(self.path("expected.dat"))

    def save(self, name, **kwargs):
        result = self.run_program("-dump", name, "-dirs", "tree", **kwargs)
        self.assertTrue(result.out.endswith("Dump created. 2 entries saved."), result.out)

    def test_mode_owner_and_group_stay(self):
        if IS_WINDOWS:
            self.skipTest("POSIX modes and owners")
        self.write("private.dat", "old")
        os.chmod(self.path("private.dat"), 0o600)
        self.save("private.dat")
        self.assertEqual(self.expected, self.read("private.dat"))
        self.assertEqual(0o600, stat.S_IMODE(os.stat(self.path("private.dat")).st_mode))
        if os.getuid() != 0:
            return
        # Root gives the new file to the old one's owner; a user may give it only to a group of their own.
        self.write("theirs.dat", "old")
        os.chown(self.path("theirs.dat"), 65534, 65534)
        os.chmod(self.path("theirs.dat"), 0o640)
        self.save("theirs.dat")
        self.write("shared.dat", "old")
        os.chown(self.path("shared.dat"), 0, SHARED_GROUP)
        os.chmod(self.path("shared.dat"), 0o664)
        os.chmod(self.dir, 0o777)
        self.save("shared.dat", preexec_fn=lambda: drop_privileges([SHARED_GROUP]))
        for name, owner, group, mode in (("theirs.dat", 65534, 65534, 0o640),
                                         ("shared.dat", 65534, SHARED_GROUP, 0o664)):
            status = os.stat(self.path(name))
            self.assertEqual((owner, group, mode), (status.st_uid, status.st_gid, stat.S_IMODE(status.st_mode)), name)
            self.assertEqual(self.expected, self.read(name), name)

    def test_links_are_followed_and_stay(self):
        if IS_WINDOWS:
            self.skipTest("POSIX links (Wine shows a link as the file it leads to)")
        self.write("store/real.dat", "old")
        os.symlink("store/real.dat", self.path("link.dat"))
        os.makedirs(self.path("links"))
        os.symlink("../link.dat", self.path("links/link-to-link.dat"))
        os.symlink(self.path("store/new.dat"), self.path("dangling.dat"))
        links = {name: os.readlink(self.path(name)) for name in ("link.dat", "links/link-to-link.dat", "dangling.dat")}
        for name, target in (("link.dat", "store/real.dat"), ("links/link-to-link.dat", "store/real.dat"),
                             ("dangling.dat", "store/new.dat")):
            self.write("store/real.dat", "old")
            self.save(name)
            self.assertEqual(self.expected, self.read(target), name)
        self.assertEqual(links, {name: os.readlink(self.path(name)) for name in links})
        self.assertEqual(["new.dat", "real.dat"], sorted(os.listdir(self.path("store"))))
        self.assertEqual(["dangling.dat", "link.dat", "links", "store", "tree"], sorted(os.listdir(self.dir)))

    def test_a_name_as_long_as_the_file_system_takes(self):
        if IS_WINDOWS:
            self.skipTest("a Windows path holds at most MAX_PATH characters")
        name = "d" * 251 + ".dat"
        for content in ("a first save", "a save over a dump"):
            self.save(name)
            self.assertEqual(self.expected, self.read(name), content)
        self.assertEqual([name, "tree"], sorted(os.listdir(self.dir)))

    def test_a_writable_dump_in_a_read_only_directory_is_written_in_place(self):
        if IS_WINDOWS or os.getuid() != 0:
            self.skipTest("needs root to drop privileges")
        self.write("readonly/d.dat", "a longer old content")
        os.chmod(self.path("readonly/d.dat"), 0o666)
        os.chmod(self.path("readonly"), 0o555)
        os.chmod(self.dir, 0o755)
        inode = os.stat(self.path("readonly/d.dat")).st_ino
        self.save(self.p("readonly/d.dat"), preexec_fn=drop_privileges)
        self.assertEqual(self.expected, self.read("readonly/d.dat"))
        self.assertEqual(inode, os.stat(self.path("readonly/d.dat")).st_ino)
        self.assertEqual(["d.dat"], os.listdir(self.path("readonly")))


class Walk(DumpTestCase):
    def test_missing_directory_is_dropped_with_warnings(self):
        result = self.dump("d.dat", "-dirs", "missing")
        self.assertEqual(0, result.status)
        warnings = result.out.split("Creating dump. Please be patient.\n")[1].split("Serializing dump.\n")[0]
        self.assertTrue(warnings.startswith("Warning: Error getting files.\n"
                                            "Error when trying to get first level directories. \n"
                                            "The error occured when opening a find file handle. "
                                            "Initial directory: missing\n\n"), warnings)
        self.assertIn("Warning: Error getting  directories.\n", warnings)
        self.assertIn("Warning. File ignored: Error opening file or directory: 'missing'\n"
                      "Using 'CreateFile' system call.\nSystem error message: ", warnings)
        self.assertTrue(result.out.endswith("Dump created. 0 entries saved."))

    def test_ignored_directory_keeps_its_children(self):
        self.make_tree("tree/skip/inner.txt", "tree/keep.txt")
        self.write("ignore.txt", "tree.skip\n")
        self.dump("d.dat", "-dirs", "tree", "-ignore", "ignore.txt")
        self.assertEqual(sorted(["tree", self.p("tree/keep.txt"), self.p("tree/skip/inner.txt")]),
                         sorted(parse_dump(self.read("d.dat"))))

    def test_pattern_matching_every_file_keeps_the_directories(self):
        self.make_tree("tree/a.txt", "tree/sub/b.txt")
        self.write("ignore.txt", ".*\\.txt\n")
        self.dump("d.dat", "-dirs", "tree", "-ignore", "ignore.txt")
        self.assertEqual(sorted(["tree", self.p("tree/sub")]), sorted(parse_dump(self.read("d.dat"))))

    def test_trailing_separator_and_absolute_paths(self):
        self.make_tree("tree/a.txt")
        self.dump("d.dat", "-dirs", "tree" + SEP)
        self.assertEqual(sorted(["tree" + SEP, self.p("tree/a.txt")]), sorted(parse_dump(self.read("d.dat"))))

    def test_link_loop_ends(self):
        if IS_WINDOWS:
            self.skipTest("POSIX links")
        self.make_tree("tree/sub/a.txt")
        os.symlink("..", self.path("tree/sub/up"))
        os.symlink("missing-target", self.path("tree/dangling"))
        result = self.dump("d.dat", "-dirs", "tree")
        entries = parse_dump(self.read("d.dat"))
        self.assertIn("tree/sub/up", entries)
        self.assertEqual(os.lstat(self.path("tree/sub/up")).st_mtime_ns // 100 + EPOCH_DIFFERENCE * 10**7,
                         entries["tree/sub/up"])
        self.assertIn("tree/dangling", entries)
        self.assertEqual(5, len(entries), entries)
        self.assertTrue(result.out.endswith("Dump created. 5 entries saved."))

    def test_named_directory_that_is_a_link_is_walked_and_dated_by_what_it_points_to(self):
        self.make_tree("tree/a.txt")
        os.symlink("tree", self.path("link"))
        os.utime(self.path("link"), (T1, T1), follow_symlinks=False)
        self.dump("before.dat", "-dirs", "link")
        self.assertEqual({"link": filetime(T0), self.p("link/a.txt"): filetime(T0)},
                         parse_dump(self.read("before.dat")))

        self.write("tree/new.txt", "new")
        self.dump("after.dat", "-dirs", "link")
        report = self.run_program("-compare", "before.dat", "after.dat")
        self.assertTrue(report.out.endswith("Comparsion result:\n" + self.p("CRE link/new.txt\n") +
                                            "MOD link\nCompare finished.\n"), report.out)

    def test_unreadable_directory_gives_warnings_and_the_scan_goes_on(self):
        if IS_WINDOWS or os.getuid() != 0:
            self.skipTest("needs root to drop privileges")
        self.make_tree("tree/locked/secret.txt", "tree/open/a.txt")
        os.chmod(self.path("tree/locked"), 0o000)
        for folder in (self.dir, self.path("tree"), self.path("tree/open")):
            os.chmod(folder, 0o777)

        def drop():
            os.setgid(65534)
            os.setuid(65534)

        result = self.run_program("-dump", "d.dat", "-dirs", "tree", preexec_fn=drop)
        os.chmod(self.path("tree/locked"), 0o755)
        failure = ("Error when trying to get first level directories. \n"
                   "The error occured when opening a find file handle. Initial directory: tree/locked\n\n"
                   "System error message: Access is denied.\r\n")
        self.assertIn("Warning: Error getting files.\n" + failure + "Warning: Error getting  directories.\n" + failure,
                      result.out)
        self.assertEqual(sorted(["tree", "tree/locked", "tree/open", "tree/open/a.txt"]),
                         sorted(parse_dump(self.read("d.dat"))))

    def test_a_deep_tree_by_its_absolute_path_is_scanned_and_saved_within_64_open_files(self):
        if IS_WINDOWS:
            self.skipTest("the limit of open files of POSIX systems")
        deepest = os.path.join(self.path("tree"), *["level%02d" % level for level in range(60)])
        os.makedirs(deepest)
        self.write(os.path.join(deepest, "bottom.txt"), "x")

        def limit_open_files():
            resource.setrlimit(resource.RLIMIT_NOFILE, (64, 64))

        result = self.run_program("-dump", "d.dat", "-dirs", self.path("tree"), preexec_fn=limit_open_files)
        self.assertEqual("Creating dump. Please be patient.\nSerializing dump.\nSaving dump.\n"
                         "Dump created. 62 entries saved.", result.out)
        self.assertIn(os.path.join(deepest, "bottom.txt"), parse_dump(self.read("d.dat")))


class Registry(DumpTestCase):
    def test_unknown_root_is_recorded_with_a_warning(self):
        result = self.dump("d.dat", "-regdirs", "HKLM\\Software")
        self.assertRun(result, "Creating dump. Please be patient.\n"
                               "Warning: Error gettings information from the registry. "
                               "Unable to convert the string 'HKLM' to a registry key.Serializing dump.\n"
                               "Saving dump.\nDump created. 1 entries saved.")
        self.assertEqual({"HKLM\\Software": 0}, parse_dump(self.read("d.dat")))

    def test_hkey_root_scans_each_root_once(self):
        self.write("ignore.txt", "HKEY_[A-Z_]+\\\\.+\n")
        self.dump("d.dat", "-regdirs", "HKEY_ROOT", "HKEY_USERS", "-ignore", "ignore.txt")
        entries = parse_dump(self.read("d.dat"))
        self.assertEqual(sorted(["HKEY_CLASSES_ROOT", "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER",
                                 "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_PERFORMANCE_DATA",
                                 "HKEY_DYN_DATA"]), sorted(entries))
        self.assertEqual({0}, set(entries.values()))


def folded_md5(data):
    digest = hashlib.md5(data).digest()
    return int.from_bytes(digest[:8], "little") ^ int.from_bytes(digest[8:], "little")


class RegistryNames(DumpTestCase):
    """Keys, values and data outside ASCII, in a real registry (Wine's)."""

    def setUp(self):
        super().setUp()
        if not IS_WINDOWS:
            self.skipTest("a POSIX system has no registry")
        self.key = "HKEY_CURRENT_USER\\Software\\VestigaNames%d" % os.getpid()
        self.addCleanup(run_windows_tool, "reg", "delete", self.key, "/f", cwd=self.dir)

    def import_reg(self, data):
        lines = ["Windows Registry Editor Version 5.00", "",
                 "[%s\\\u041a\u043b\u044e\u0447 \u65e5\u672c]" % self.key,
                 '"Wert \u00fc\U0001F600"="%s"' % data, ""]
        with open(self.path("names.reg"), "wb") as f:
            f.write("\r\n".join(lines).encode("utf-16"))
        result = run_windows_tool("reg", "import", "names.reg", cwd=self.dir)
        self.assertEqual(0, result.status, result.raw + result.err)

    def test_names_and_data_outside_ascii_are_recorded_and_compared(self):
        self.import_reg("\u0434\u0430\u043d\u043d\u044b\u0435 \u65e5\u672c\u8a9e")
        first = self.dump("old.dat", "-regdirs", self.key)
        self.assertRun(first, "Creating dump. Please be patient.\nSerializing dump.\nSaving dump.\n"
                              "Dump created. 3 entries saved.")
        subkey = (self.key + "\\\u041a\u043b\u044e\u0447 \u65e5\u672c").encode()
        value = subkey + "\\Wert \u00fc\U0001F600".encode()
        data = "\u0434\u0430\u043d\u043d\u044b\u0435 \u65e5\u672c\u8a9e".encode()
        self.assertEqual({self.key.encode(): 0, subkey: 0, value: folded_md5(data)},
                         parse_raw_dump(self.read("old.dat")))

        self.import_reg("\u65b0")
        self.dump("new.dat", "-regdirs", self.key)
        result = self.run_program("-compare", "old.dat", "new.dat")
        self.assertEqual(b"Loading dump 1.\nParsing dump 1.\nLoading dump 2.\nParsing dump 2.\n"
                         b"Comparing the two dumps.\nComparsion result:\nMOD " + value + b"\nCompare finished.\n",
                         result.raw)

    def test_the_globe_key_of_every_prefix_is_recorded_without_a_warning(self):
        international = "HKEY_CURRENT_USER\\Control Panel\\International"
        result = self.dump("d.dat", "-regdirs", international)
        self.assertNotIn("Warning", result.out)
        globe = (international + "\\\U0001F30E\U0001F30F\U0001F30D").encode()
        self.assertIn(globe, parse_raw_dump(self.read("d.dat")))
