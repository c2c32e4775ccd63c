"""Taking dumps: a dump, a change as an installer makes it, a second dump, the report."""

import hashlib
import os
import resource
import shutil
import signal
import stat
import struct
import subprocess
import time

from vestiga import IS_WINDOWS, PROGRAM, SANITIZED, SEP, ProgramTestCase, run_windows_tool, system_error

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

    def test_an_empty_scan_never_replaces_a_file_that_holds_data(self):
        self.make_tree("tree/a.txt")
        self.dump("base.dat", "-dirs", "tree")
        base = self.read("base.dat")
        self.write("notes.txt", "not a dump, but maybe someone's baseline")
        kept = ("The scan recorded no entries; the existing dump was left unchanged. "
                "Remove it first to write an empty dump.\n")
        # A mistyped root, and no root at all.
        for name, args in (("base.dat", ("-dirs", "tere")), ("base.dat", ()), ("notes.txt", ("-dirs", "tere"))):
            before = self.read(name)
            result = self.dump(name, *args)
            self.assertEqual(1, result.status, name)
            self.assertTrue(result.out.startswith("Creating dump. Please be patient.\n"), result.out)
            self.assertTrue(result.out.endswith("\n" + kept), result.out)
            self.assertNotIn("Serializing dump.", result.out)
            self.assertEqual(before, self.read(name), name)
        self.assertEqual(base, self.read("base.dat"))
        # A new file, and one that is empty, get the empty dump as ever.
        self.write("empty.dat", b"")
        for name in ("new.dat", "empty.dat"):
            result = self.dump(name, "-dirs", "tere")
            self.assertEqual(0, result.status, result.out)
            self.assertTrue(result.out.endswith("\nSerializing dump.\nSaving dump.\nDump created. 0 entries saved."),
                            result.out)
            self.assertEqual(b"", self.read(name))
        self.assertEqual(["base.dat", "empty.dat", "new.dat", "notes.txt", "tree"], sorted(os.listdir(self.dir)))

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


class SaveTestCase(DumpTestCase):
    def setUp(self):
        super().setUp()
        self.make_tree("tree/a.txt")
        self.dump("expected.dat", "-dirs", "tree")
        self.expected = self.read("expected.dat")
        os.remove(self.path("expected.dat"))

    def save(self, name, **kwargs):
        result = self.run_program("-dump", name, "-dirs", "tree", **kwargs)
        self.assertTrue(result.out.endswith("Dump created. 2 entries saved."), result.out)


class SavingOverADump(SaveTestCase):
    """A save replaces what a dump holds and keeps everything else that belongs to it."""

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
        name = "d" * 251 + ".dat"
        for content in ("a first save", "a save over a dump"):
            self.save(name)
            self.assertEqual(self.expected, self.read(name), content)
        self.assertEqual([name, "tree"], sorted(os.listdir(self.dir)))

    def test_a_path_longer_than_300_characters_is_saved_over_and_printed(self):
        folders = ["f" * 100] * 3
        os.makedirs(self.path(*folders))
        name = SEP.join(folders + ["d.dat"])
        for content in ("a first save", "a save over a dump"):
            self.save(name)
            self.assertEqual(self.expected, self.read(os.path.join(*folders, "d.dat")), content)
        self.assertEqual(["d.dat"], os.listdir(self.path(*folders)))
        listing = self.run_program("-print", name)
        self.assertRun(listing, "Loading dump.\nParsing dump.\nPrinting dump.\n%016X tree\n%016X %s\n"
                       % (filetime(T0), filetime(T0), self.p("tree/a.txt")))

    def test_both_names_of_a_hard_linked_dump_hold_the_new_dump(self):
        self.write("d.dat", "old")
        os.link(self.path("d.dat"), self.path("other.dat"))
        self.save("d.dat")
        self.assertEqual((self.expected, self.expected), (self.read("d.dat"), self.read("other.dat")))
        self.assertTrue(os.path.samefile(self.path("d.dat"), self.path("other.dat")))
        self.assertEqual(["d.dat", "other.dat", "tree"], sorted(os.listdir(self.dir)))

    def test_a_writable_dump_is_written_in_place_where_its_directory_refuses_a_replacement(self):
        if IS_WINDOWS or os.getuid() != 0:
            self.skipTest("needs root to drop privileges")
        os.chmod(self.dir, 0o755)
        # A directory the user may not write to, and a sticky one that takes
        # the user's new file but not its rename over root's dump.
        for folder, mode in (("readonly", 0o555), ("sticky", 0o1777)):
            self.write(folder + "/d.dat", "a longer old content")
            os.chmod(self.path(folder, "d.dat"), 0o666)
            os.chmod(self.path(folder), mode)
            inode = os.stat(self.path(folder, "d.dat")).st_ino
            self.save(self.p(folder + "/d.dat"), preexec_fn=drop_privileges)
            self.assertEqual(self.expected, self.read(folder + "/d.dat"), folder)
            self.assertEqual(inode, os.stat(self.path(folder, "d.dat")).st_ino, folder)
            self.assertEqual(["d.dat"], os.listdir(self.path(folder)), folder)


class HostileSaves(SaveTestCase):
    """Saves as root, or into directories others may write to (Linux)."""

    def setUp(self):
        super().setUp()
        if IS_WINDOWS:
            self.skipTest("POSIX links, modes, signals and attributes")

    def test_a_link_the_system_refuses_to_follow_ends_the_save(self):
        if os.getuid() != 0:
            self.skipTest("the link must be followed by root")
        setting = "/proc/sys/fs/protected_symlinks"
        try:
            with open(setting) as f:
                previous = f.read()
            with open(setting, "w") as f:
                f.write("1")
        except OSError as e:
            self.skipTest("fs.protected_symlinks cannot be set here: %s" % e)

        def restore():
            with open(setting, "w") as f:
                f.write(previous)
        self.addCleanup(restore)
        os.chmod(self.dir, 0o755)
        self.write("victim.conf", "victim")
        os.makedirs(self.path("sticky"))
        os.chmod(self.path("sticky"), 0o1777)
        # Another user's links: to an existing file, and to one that does not exist yet.
        for name, target in (("before.dat", "victim.conf"), ("dangling.dat", "new.conf")):
            link = self.path("sticky", name)
            os.symlink(self.path(target), link)
            os.lchown(link, 65534, 65534)
            result = self.run_program("-dump", "sticky/" + name, "-dirs", "tree")
            self.assertEqual(1, result.status, name)
            self.assertIn("Saving dump.\nAn Exception occurred:\nAn error occured when trying to open the file for "
                          "writing.\nFilename: 'sticky/%s'\n" % name, result.out)
            self.assertIn("\nSystem error message: Access is denied.\n\nC++ exception: None.\n", result.out)
        self.assertEqual(b"victim", self.read("victim.conf"))
        self.assertEqual(["sticky", "tree", "victim.conf"], sorted(os.listdir(self.dir)))
        self.assertEqual(["before.dat", "dangling.dat"], sorted(os.listdir(self.path("sticky"))))

    def test_a_dump_another_user_planted_in_a_sticky_directory_is_refused(self):
        if os.getuid() != 0:
            self.skipTest("root's save is what the planted file is after")
        os.chmod(self.dir, 0o755)
        os.makedirs(self.path("sticky"))
        os.chmod(self.path("sticky"), 0o1777)
        planted = self.write("sticky/before.dat", "planted")
        os.chmod(planted, 0o666)
        os.chown(planted, 65534, 65534)
        hard_link = self.path("sticky", "linked.dat")
        os.link(planted, hard_link)
        # Named directly, through root's own link from elsewhere, and by its
        # second name: each is judged where the file lives.
        os.symlink(planted, self.path("link.dat"))
        for name in ("sticky/before.dat", "link.dat", "sticky/linked.dat"):
            result = self.run_program("-dump", name, "-dirs", "tree")
            self.assertEqual(1, result.status, name)
            self.assertTrue(result.out.endswith(
                "Saving dump.\nAn Exception occurred:\nAn error occured when trying to open the file for writing.\n"
                "Filename: '%s'\nCurrent Working Directory: %s\nSystem error message: Access is denied.\n\n"
                "C++ exception: None.\n" % (name, os.path.join(os.path.realpath(self.dir), ""))), result.out)
            self.assertEqual(b"planted", self.read("sticky/before.dat"), name)
            status = os.stat(planted)
            self.assertEqual((65534, 0o100666), (status.st_uid, status.st_mode), name)
            self.assertEqual(["before.dat", "linked.dat"], sorted(os.listdir(self.path("sticky"))), name)
        # Root's own dump there, and one the directory's owner gave another
        # user, are saved as ever.
        self.write("sticky/own.dat", "old")
        os.chmod(self.path("sticky", "own.dat"), 0o640)
        self.save("sticky/own.dat")
        self.assertEqual(self.expected, self.read("sticky/own.dat"))
        self.assertEqual(0o100640, os.stat(self.path("sticky", "own.dat")).st_mode)
        os.chown(self.path("sticky"), 65534, 65534)
        self.save("sticky/before.dat")
        self.assertEqual(self.expected, self.read("sticky/before.dat"))
        self.assertEqual(65534, os.stat(self.path("sticky", "before.dat")).st_uid)

    def test_a_private_dump_stays_private_and_an_interrupted_save_leaves_it_whole(self):
        if shutil.which("strace") is None:
            self.skipTest("strace is not installed")
        directory = os.path.realpath(self.dir)
        dump = os.path.join(directory, "private.dat")
        self.write("private.dat", "old")
        os.chmod(dump, 0o600)
        trace = os.path.join(directory, "..", os.path.basename(directory) + ".trace")
        self.addCleanup(os.remove, trace)
        # The signal comes while the new file has a temporary name; the save
        # then waits for a moment, in which the directory is looked at. Where
        # the file system makes no file without a name (here: strace says so
        # for the third open of the target or its directory), the new file
        # has a name from the start.
        ways = {"linked": ["-e", "trace=linkat,link", "-e", "inject=linkat,link:signal=%s:delay_exit=2000000"],
                "named": ["-P", directory, "-P", dump, "-e", "trace=openat,flistxattr",
                          "-e", "inject=openat:error=EOPNOTSUPP:when=3",
                          "-e", "inject=flistxattr:signal=%s:delay_exit=2000000"]}
        for way, options in ways.items():
            for ending in (signal.SIGINT, signal.SIGTERM):
                what = "%s, %s" % (way, ending.name)
                tracer = subprocess.Popen(["strace", "-f", "-o", trace] +
                                          [option.replace("%s", ending.name) for option in options] +
                                          [PROGRAM, "-dump", dump, "-dirs", "tree"],
                                          cwd=self.dir, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                modes = {}
                while tracer.poll() is None:
                    for name in set(os.listdir(self.dir)) - {"private.dat", "tree"}:
                        try:
                            modes[name] = stat.S_IMODE(os.stat(self.path(name)).st_mode)
                        except FileNotFoundError:
                            pass
                    time.sleep(0.01)
                with open(trace) as f:
                    traced = f.read()
                self.assertIn("+++ killed by %s +++" % ending.name, traced, what)
                if way == "named":
                    self.assertRegex(traced, r"O_TMPFILE.*EOPNOTSUPP.*\(INJECTED\)", what)
                self.assertEqual([0o600], list(modes.values()), what)
                self.assertEqual(["private.dat", "tree"], sorted(os.listdir(self.dir)), what)
                self.assertEqual(b"old", self.read("private.dat"), what)

    def test_umask_0222_gives_a_read_only_new_dump_and_keeps_a_dump_s_mode(self):
        if os.getuid() != 0:
            self.skipTest("needs root to drop privileges")
        os.chmod(self.dir, 0o777)
        self.write("theirs.dat", "old")
        os.chown(self.path("theirs.dat"), 65534, 65534)
        os.chmod(self.path("theirs.dat"), 0o644)

        def unprivileged_with_umask():
            drop_privileges()
            os.umask(0o222)
        for name, mode in (("new.dat", 0o444), ("theirs.dat", 0o644)):
            self.save(name, preexec_fn=unprivileged_with_umask)
            self.assertEqual(self.expected, self.read(name), name)
            self.assertEqual(mode, stat.S_IMODE(os.stat(self.path(name)).st_mode), name)

    def test_the_access_control_list_and_user_attributes_stay(self):
        if shutil.which("setfacl") is None:
            self.skipTest("setfacl (Debian package acl) is not installed")
        dump = self.write("d.dat", "old")
        os.chmod(dump, 0o640)
        try:
            os.setxattr(dump, "user.note", b"kept")
        except OSError as e:
            self.skipTest("the file system takes no user attributes: %s" % e)
        subprocess.run(["setfacl", "-m", "u:nobody:r,g::-,m::r", dump], check=True)
        acl = os.getxattr(dump, "system.posix_acl_access")
        self.save("d.dat")
        self.assertEqual(self.expected, self.read("d.dat"))
        self.assertEqual(acl, os.getxattr(dump, "system.posix_acl_access"))
        self.assertEqual(b"kept", os.getxattr(dump, "user.note"))
        self.assertEqual(0o640, stat.S_IMODE(os.stat(dump).st_mode))


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

    def test_records_are_in_byte_order_of_whole_paths_each_once(self):
        # Names that sort before the separator: a walk that keeps a
        # directory's entries together with it would write them out of order.
        names = ["a", "a b", "a-b", "a.b", "a0", "a[", "a!", "b"]
        self.make_tree(*["tree/%s/x" % name for name in names], *["tree/%s.f" % name for name in names],
                       "tree/a/a b/x", "tree/a/a-b.txt")
        roots = ["tree", self.p("tree/a"), self.p("tree/a b"), self.p("tree/a-b"), "tree" + SEP]
        if not IS_WINDOWS:
            top = os.path.abspath(self.path("tree"))
            roots += [top, os.path.join(top, "a b"), top + SEP]
        apart = [self.p("tree/a b"), self.p("tree/a-b"), self.p("tree/a0"), self.p("tree/b")]
        for dirs in ([roots[0]], roots, apart):
            self.dump("d.dat", "-dirs", *dirs)
            data, paths, offset = self.read("d.dat"), [], 0
            while offset < len(data):
                (length,) = struct.unpack_from("<I", data, offset)
                paths.append(data[offset + 4:offset + 4 + length])
                offset += 12 + length
            self.assertEqual(sorted(set(paths)), paths, dirs)
            walked = set()
            for root in dirs:
                walked.add(root.encode())
                full = root.rstrip(SEP) if os.path.isabs(root) else self.path(*root.rstrip(SEP).split(SEP))
                for folder, subdirs, files in os.walk(full):
                    for name in subdirs + files:
                        below = folder[len(full):].replace(os.sep, SEP)
                        walked.add((root.rstrip(SEP) + below + SEP + name).encode())
            self.assertEqual(walked, set(paths), dirs)

    def test_names_that_windows_would_clean_up_are_listed_and_recorded_as_they_are(self):
        if not IS_WINDOWS:
            self.skipTest("Windows names")
        self.make_tree("tree/App/a.txt", "tree/App./planted.exe", "tree/CON", "tree/nul.txt", "tree/evil2 ")
        os.utime(self.path("tree/App./planted.exe"), (T1, T1))
        self.assertRun(self.dump("d.dat", "-dirs", "tree"),
                       "Creating dump. Please be patient.\nSerializing dump.\nSaving dump.\n"
                       "Dump created. 8 entries saved.")
        self.assertEqual({"tree": filetime(T0), "tree\\App": filetime(T0), "tree\\App\\a.txt": filetime(T0),
                          "tree\\App.": filetime(T0), "tree\\App.\\planted.exe": filetime(T1),
                          "tree\\CON": filetime(T0), "tree\\nul.txt": filetime(T0), "tree\\evil2 ": filetime(T0)},
                         parse_dump(self.read("d.dat")))

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
        if not IS_WINDOWS:
            # Named by its absolute path, reached through open directories.
            link = os.path.abspath(self.path("link"))
            self.dump("absolute.dat", "-dirs", link)
            self.assertEqual({link: filetime(T0), link + "/a.txt": filetime(T0)}, parse_dump(self.read("absolute.dat")))

        self.write("tree/new.txt", "new")
        self.dump("after.dat", "-dirs", "link")
        report = self.run_program("-compare", "before.dat", "after.dat")
        self.assertTrue(report.out.endswith("Comparsion result:\n" + self.p("CRE link/new.txt\n") +
                                            "MOD link\nCompare finished.\n"), report.out)

    def test_unreadable_directory_gives_warnings_and_the_scan_goes_on(self):
        if IS_WINDOWS or os.getuid() != 0:
            self.skipTest("needs root to drop privileges")
        self.make_tree("tree/locked/secret.txt", "tree/listed/hidden.txt", "tree/open/a.txt")
        os.chmod(self.path("tree/locked"), 0o000)
        # Listed, but its entries cannot be looked at: their times are not
        # taken with the listing, and their queries fail as they always did.
        os.chmod(self.path("tree/listed"), 0o744)
        for folder in (self.dir, self.path("tree"), self.path("tree/open")):
            os.chmod(folder, 0o777)

        def drop():
            os.setgid(65534)
            os.setuid(65534)

        result = self.run_program("-dump", "d.dat", "-dirs", "tree", preexec_fn=drop)
        os.chmod(self.path("tree/locked"), 0o755)
        failure = ("Error when trying to get first level directories. \n"
                   "The error occured when opening a find file handle. Initial directory: tree/locked\n\n"
                   "System error message: Access is denied.\n")
        self.assertIn("Warning: Error getting files.\n" + failure + "Warning: Error getting  directories.\n" + failure,
                      result.out)
        self.assertIn("Warning. File ignored: Error opening file or directory: 'tree/listed/hidden.txt'\n"
                      "Using 'CreateFile' system call.\nSystem error message: Access is denied.\n", result.out)
        self.assertEqual(sorted(["tree", "tree/listed", "tree/locked", "tree/open", "tree/open/a.txt"]),
                         sorted(parse_dump(self.read("d.dat"))))

    def test_a_directory_ignored_with_all_below_it_is_not_walked(self):
        # Run as nobody, a directory that cannot be listed warns wherever it
        # is walked; as Windows runs here, every directory can be listed and
        # only the entries show.
        locked = not IS_WINDOWS and os.getuid() == 0
        self.make_tree("tree/d/locked/secret.txt", "tree/d/a.txt", "tree/e/locked/secret.txt", "tree/e/x.txt",
                       "tree/keep.txt")
        if not IS_WINDOWS:
            self.write("tree/d/a\nb", "x")
        for folder in ("tree/d/locked", "tree/e/locked"):
            os.chmod(self.path(folder), 0o000 if locked else 0o755)
        for folder in (self.dir, self.path("tree"), self.path("tree/d"), self.path("tree/e")):
            os.chmod(folder, 0o777)
        sep = "\\\\" if IS_WINDOWS else "/"
        below = "(" + sep + ".*)?"

        def warning(folder):
            failure = ("Error when trying to get first level directories. \n"
                       "The error occured when opening a find file handle. Initial directory: " + self.p(folder) +
                       "\n\nSystem error message: Access is denied.\n")
            return "Warning: Error getting files.\n" + failure + "Warning: Error getting  directories.\n" + failure

        kept = ["tree", "tree/e", "tree/keep.txt"]
        cases = [("tree" + sep + "d" + below, ["tree/e/locked"], kept + ["tree/e/locked", "tree/e/x.txt"] +
                  (["tree/e/locked/secret.txt"] if not locked else [])),
                 ("tree" + sep + "d", ["tree/d/locked", "tree/e/locked"],
                  kept + ["tree/d/locked", "tree/d/a.txt", "tree/e/locked", "tree/e/x.txt"] +
                  ([] if IS_WINDOWS else ["tree/d/a\nb"]) + (["tree/d/locked/secret.txt",
                                                               "tree/e/locked/secret.txt"] if not locked else [])),
                 ("tree" + sep + "d|tree" + sep + "e" + below, ["tree/d/locked", "tree/e/locked"],
                  ["tree", "tree/keep.txt", "tree/d/locked", "tree/d/a.txt"] +
                  ([] if IS_WINDOWS else ["tree/d/a\nb"]) + (["tree/d/locked/secret.txt"] if not locked else []))]
        for pattern, warned, entries in cases:
            with self.subTest(pattern=pattern):
                self.write("ignore.txt", pattern + "\n")
                result = self.run_program("-dump", "d.dat", "-dirs", "tree", "-ignore", "ignore.txt",
                                          preexec_fn=drop_privileges if locked else None)
                out = result.out
                for folder in warned if locked else []:
                    self.assertIn(warning(folder), out)
                    out = out.replace(warning(folder), "")
                self.assertEqual("Loading ignore file.\nCompiling regular expressions in ignore file.\n"
                                 "Compiling done.\nCreating dump. Please be patient.\n"
                                 "Serializing dump.\nSaving dump.\nDump created. %d entries saved." % len(entries),
                                 out)
                self.assertEqual(sorted(self.p(entry) for entry in entries), sorted(parse_dump(self.read("d.dat"))))
        for folder in ("tree/d/locked", "tree/e/locked"):
            os.chmod(self.path(folder), 0o755)

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


    def test_a_tree_200_deep_is_scanned_whole_with_5_open_files(self):
        if IS_WINDOWS:
            self.skipTest("the limit of open files of POSIX systems")
        if SANITIZED:
            self.skipTest("the sanitizers' runtime needs descriptors of its own")
        deepest = os.path.join("tree", *["d"] * 200)
        os.makedirs(self.path(deepest))
        self.write(os.path.join(deepest, "f"), "x")

        def limit_open_files():
            resource.setrlimit(resource.RLIMIT_NOFILE, (5, 5))

        result = self.run_program("-dump", "d.dat", "-dirs", "tree", preexec_fn=limit_open_files)
        self.assertEqual(0, result.status, result.raw + result.err)
        self.assertEqual("Creating dump. Please be patient.\nSerializing dump.\nSaving dump.\n"
                         "Dump created. 202 entries saved.", result.out)
        self.assertIn(os.path.join(deepest, "f"), parse_dump(self.read("d.dat")))

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
    return fold(hashlib.md5(data).digest())


def fold(digest):
    return int.from_bytes(digest[:8], "little") ^ int.from_bytes(digest[8:], "little")


def folded_items(*items):
    """The fingerprint of the registry items (kind, key path, name, data or
    None for a key) that give one path: each field with its length, in order."""
    digest = hashlib.md5()
    for kind, key_path, name, data in sorted(
            (kind, key_path, name, b"" if data is None else hashlib.md5(data).digest())
            for kind, key_path, name, data in items):
        digest.update(kind)
        for field in (key_path, name, data):
            digest.update(len(field).to_bytes(8, "little") + field)
    return fold(digest.digest())


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


class RegistryItemsOfOnePath(DumpTestCase):
    """Values beside keys of the same path, and text behind a NUL, in a real registry (Wine's)."""

    def setUp(self):
        super().setUp()
        if not IS_WINDOWS:
            self.skipTest("a POSIX system has no registry")
        self.key = "HKEY_CURRENT_USER\\Software\\VestigaOnePath%d" % os.getpid()
        self.addCleanup(run_windows_tool, "reg", "delete", self.key, "/f", cwd=self.dir)

    def import_reg(self, data):
        hidden = ",".join("%02x" % b for b in ("ab\0%s\0" % data).encode("utf-16-le"))
        lines = ["Windows Registry Editor Version 5.00", "",
                 "[%s]" % self.key, '"Sub"="%s"' % data, '"a\\\\b"="%s"' % data,
                 '"Hidden"=hex(1):%s' % hidden, '"Plain"="plain text"', "",
                 "[%s\\Sub]" % self.key, "",
                 "[%s\\a]" % self.key, '"b"="x"', ""]
        with open(self.path("one-path.reg"), "wb") as f:
            f.write("\r\n".join(lines).encode("utf-16"))
        result = run_windows_tool("reg", "import", "one-path.reg", cwd=self.dir)
        self.assertEqual(0, result.status, result.raw + result.err)

    def test_every_item_of_a_path_and_the_text_after_a_nul_count(self):
        self.import_reg("one")
        self.dump("old.dat", "-regdirs", self.key)
        key = self.key.encode()
        self.assertEqual({key: 0, key + b"\\Hidden": folded_md5(b"ab\0one"),
                          key + b"\\Plain": folded_md5(b"plain text"),
                          key + b"\\Sub": folded_items((b"K", key, b"Sub", None), (b"V", key, b"Sub", b"one")),
                          key + b"\\a": 0,
                          key + b"\\a\\b": folded_items((b"V", key, b"a\\b", b"one"),
                                                       (b"V", key + b"\\a", b"b", b"x"))},
                         parse_raw_dump(self.read("old.dat")))

        self.import_reg("two")
        self.dump("new.dat", "-regdirs", self.key)
        self.assertEqual(b"Loading dump 1.\nParsing dump 1.\nLoading dump 2.\nParsing dump 2.\n"
                         b"Comparing the two dumps.\nComparsion result:\n"
                         b"MOD " + key + b"\\Hidden\nMOD " + key + b"\\Sub\nMOD " + key + b"\\a\\b\n"
                         b"Compare finished.\n",
                         self.run_program("-compare", "old.dat", "new.dat").raw)
