#include <gtest/gtest.h>

#include <boost/regex.hpp>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The ignore presets shipped in presets/ are read the way the program reads an
// ignore file: every run of characters other than CR and LF is one pattern,
// compiled with the default Perl syntax and matched against the whole path.

namespace {

struct Preset {
    std::vector<std::string> lines;
    std::vector<boost::regex> patterns;
};

std::string readPresetText(const std::string& name) {
    const std::string path = std::string(VESTIGA_SOURCE_DIR) + "/presets/" + name;
    std::ifstream file(path.c_str(), std::ios::binary);
    EXPECT_TRUE(file.good()) << "cannot open " << path;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

Preset loadPreset(const std::string& name) {
    Preset preset;
    preset.lines = splitLines(readPresetText(name));
    for (const std::string& line : preset.lines) {
        try {
            preset.patterns.push_back(boost::regex(line));
        } catch (const boost::regex_error& e) {
            ADD_FAILURE() << name << ": pattern does not compile: '" << line << "': " << e.what();
        }
    }
    return preset;
}

bool ignores(const Preset& preset, const std::string& path) {
    for (const boost::regex& pattern : preset.patterns) {
        if (boost::regex_match(path, pattern)) return true;
    }
    return false;
}

void expectIgnored(const Preset& preset, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) EXPECT_TRUE(ignores(preset, path)) << "should be ignored: " << path;
}

void expectKept(const Preset& preset, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) EXPECT_FALSE(ignores(preset, path)) << "should be kept: " << path;
}

class IgnorePresetFile : public ::testing::TestWithParam<const char*> {};

TEST_P(IgnorePresetFile, EveryLineIsAPatternThatCompiles) {
    const Preset preset = loadPreset(GetParam());
    ASSERT_FALSE(preset.lines.empty());
    EXPECT_EQ(preset.lines.size(), preset.patterns.size());
}

// Blanks belong to the pattern, and there is no comment syntax: a stray blank
// or a comment line would silently never match.
TEST_P(IgnorePresetFile, HasNoBlanksAtLineEndsAndNoComments) {
    for (const std::string& line : loadPreset(GetParam()).lines) {
        EXPECT_NE(' ', line.front()) << "'" << line << "'";
        EXPECT_NE(' ', line.back()) << "'" << line << "'";
        EXPECT_EQ(std::string::npos, line.find('\t')) << "'" << line << "'";
        EXPECT_NE('#', line.front()) << "'" << line << "'";
    }
}

INSTANTIATE_TEST_SUITE_P(Presets, IgnorePresetFile, ::testing::Values("linux-ignore.txt", "windows-ignore.txt"));

TEST(LinuxIgnorePreset, IgnoresVolatileSystemTreesWithTheirTopDirectory) {
    const Preset preset = loadPreset("linux-ignore.txt");
    expectIgnored(preset, {"/proc", "/proc/1/status", "/sys/kernel/mm", "/dev/null", "/run/utmp", "/tmp",
                           "/tmp/x/y.txt", "/var/tmp/z", "/var/cache/apt/pkgcache.bin", "/var/log",
                           "/var/log/syslog", "/var/log/apt/history.log", "/var/lib/apt/lists/lock",
                           "/var/lib/dpkg/lock-frontend", "/var/lib/dpkg/triggers/Unincorp",
                           "/var/lib/systemd/timers/stamp-apt-daily.timer", "/var/lib/systemd/random-seed",
                           "/var/spool/cups/c00001", "/var/lib/upower/history-charge.dat", "/root/.cache",
                           "/root/.cache/pip/x", "/home/bob/.cache/thumbnails/a.png", "/home/bob/.bash_history",
                           "/root/.lesshst"});
}

TEST(LinuxIgnorePreset, KeepsTheChangesAnInstallationMakes) {
    const Preset preset = loadPreset("linux-ignore.txt");
    expectKept(preset, {"/", "/usr/bin/ls", "/etc/passwd", "/var/lib/dpkg/status", "/var/lib/dpkg/info/vim.list",
                        "/var/lib/apt/extended_states", "/var/spool/cron/crontabs/root", "/opt/app/bin/app",
                        "/home/bob/.bashrc", "/home/bob/projects/.cache", "/procfs", "/tmpdir/a", "/var/logs",
                        "/usr/share/doc/x/changelog.Debian.gz", "/etc/systemd/system/app.service"});
}

TEST(WindowsIgnorePreset, IgnoresSystemFilesOnAnyDriveInAnyCase) {
    const Preset preset = loadPreset("windows-ignore.txt");
    expectIgnored(preset, {"C:\\pagefile.sys", "c:\\pagefile.sys", "D:\\hiberfil.sys", "C:\\swapfile.sys",
                           "C:\\PAGEFILE.SYS", "C:\\DumpStack.log.tmp", "C:\\System Volume Information\\tracking.log",
                           "C:\\$Recycle.Bin\\S-1-5-21-1\\$RABC.txt"});
}

TEST(WindowsIgnorePreset, IgnoresTemporaryFilesCachesAndLogs) {
    const Preset preset = loadPreset("windows-ignore.txt");
    expectIgnored(preset, {"C:\\Users\\bob\\AppData\\Local\\Temp", "C:\\Users\\bob\\AppData\\Local\\Temp\\x.tmp",
                           "c:\\windows\\temp\\a\\b.dat", "C:\\Temp", "C:\\Windows\\Prefetch",
                           "C:\\Windows\\Prefetch\\X.pf", "C:\\WINDOWS\\Prefetch\\Layout.ini",
                           "C:\\Program Files\\App\\install.log", "C:\\Windows\\Panther\\setupact.log",
                           "C:\\ProgramData\\Microsoft\\Windows\\WER\\ReportQueue\\a.wer",
                           "C:\\Windows\\System32\\LogFiles\\WMI\\Wifi.etl",
                           "C:\\Windows\\System32\\winevt\\Logs\\System.evtx",
                           "C:\\Users\\bob\\AppData\\Local\\Microsoft\\Windows\\Explorer\\thumbcache_256.db",
                           "C:\\Users\\bob\\AppData\\Local\\IconCache.db",
                           "C:\\Windows\\SoftwareDistribution\\Download\\abc\\update.cab",
                           "C:\\ProgramData\\Microsoft\\Windows Defender\\Definition Updates\\Backup\\mpavbase.vdm",
                           "C:\\Users\\bob\\AppData\\Roaming\\Microsoft\\Windows\\Recent\\report.lnk",
                           "C:\\Users\\bob\\NTUSER.DAT", "C:\\Users\\bob\\ntuser.dat.LOG1",
                           "C:\\Windows\\System32\\config\\SOFTWARE"});
}

TEST(WindowsIgnorePreset, IgnoresRegistryKeysThatChangeOnEveryBootOrLogon) {
    const Preset preset = loadPreset("windows-ignore.txt");
    expectIgnored(
        preset,
        {"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs",
         "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs\\.txt\\0",
         "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\{CEBFF5CD}\\Count\\x",
         "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SessionInfo\\1",
         "HKEY_USERS\\S-1-5-21-1-2-3-1001\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs\\MRUListEx",
         "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\bam\\State\\UserSettings\\S-1-5-18\\x",
         "HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\bam\\State",
         "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Windows\\ShutdownTime",
         "HKEY_LOCAL_MACHINE\\SYSTEM\\RNG\\Seed",
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Prefetcher\\StartTime",
         "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Prefetcher",
         "HKEY_PERFORMANCE_DATA\\Global"});
}

TEST(WindowsIgnorePreset, KeepsTheChangesAnInstallationMakes) {
    const Preset preset = loadPreset("windows-ignore.txt");
    expectKept(preset, {"C:\\", "C:\\Program Files\\App\\app.exe", "C:\\Program Files\\App",
                        "C:\\Windows\\System32\\drivers\\etc\\hosts", "C:\\Users\\bob\\Documents\\Template.docx",
                        "C:\\Data\\pagefile.sys", "C:\\Windows\\System32\\kernel32.dll",
                        "HKEY_LOCAL_MACHINE\\SOFTWARE\\App\\Version",
                        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\App",
                        "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\App\\ImagePath",
                        "HKEY_CURRENT_USER\\Environment\\TEMP",
                        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App\\DisplayName"});
}

}  // namespace
