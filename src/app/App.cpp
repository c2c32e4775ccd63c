#include "app/App.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/DetailText.h"
#include "app/DifferenceFormatter.h"
#include "app/DumpCompare.h"
#include "app/DumpOrigin.h"
#include "app/DumpReader.h"
#include "app/DumpWriter.h"
#include "app/FileLoader.h"
#include "app/FileSaver.h"
#include "app/Flags.h"
#include "app/IgnorePatterns.h"
#include "app/JsonLines.h"
#include "app/Listing.h"
#include "app/MessageOutput.h"
#include "app/ReportPage.h"
#include "app/SnapshotImpl.h"
#include "exceptions/OutOfMemoryException.h"
#include "io/file/FileExceptions.h"
#include "io/file/ScratchBuffer.h"
#include "platform/errorresources/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/HostName.h"
#include "platform/win32/LastError.h"
#include "platform/win32/Sha256.h"
#include "util/UtcTime.h"
#include "util/parser/ArgumentParser.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

const char* const DUMP_FLAG = "-dump";
const char* const DIRS_FLAG = "-dirs";
const char* const REGDIRS_FLAG = "-regdirs";
const char* const COMPARE_FLAG = "-compare";
const char* const IGNORE_FLAG = "-ignore";
const char* const PRINT_FLAG = "-print";
const char* const HELP_FLAG = "-help";
const char* const HTML_FLAG = "-html";
const char* const JSON_FLAG = "-json";
const char* const VERIFY_FLAG = "-verify";
const char* const DETAILS_FLAG = "-details";
const char* const CONTENT_FLAG = "-content";

namespace {

// The bytes of the records of a scan that a verify holds in memory, beyond
// which they go to a scratch file.
const std::size_t scanMemoryBound = 16 << 20;

const unsigned int NO_LIMIT = static_cast<unsigned int>(-1);

// The version the help text shows and a detailed dump records.
const char* const PROGRAM_VERSION = "1.00";

}  // namespace

const FlagDeclaration DECLARED_FLAGS[12] = {
    {DUMP_FLAG, 1, 1},   {DIRS_FLAG, 1, NO_LIMIT}, {REGDIRS_FLAG, 1, NO_LIMIT}, {COMPARE_FLAG, 2, 2},
    {IGNORE_FLAG, 1, 1}, {PRINT_FLAG, 1, 1},       {HELP_FLAG, 0, 0},           {HTML_FLAG, 1, 1},
    {JSON_FLAG, 1, 1},   {VERIFY_FLAG, 1, 1},      {DETAILS_FLAG, 0, 0},
    {CONTENT_FLAG, 0, 0},
};

namespace {

// A progress line is out before the step it announces starts.
void progress(MessageOutput& output, const std::string& message) {
    output.write(message);
    output.flush();
}

std::vector<std::string> argumentsIfSet(const ArgumentParser& parser, const char* flag) {
    return parser.isSet(flag) ? parser.getArguments(flag) : std::vector<std::string>();
}

// The time now, UTC, as "YYYY-MM-DDTHH:MM:SS.fffffffZ".
std::string utcTimeNow() {
    using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>;
    const std::int64_t ticks =
        std::chrono::duration_cast<Ticks>(std::chrono::system_clock::now().time_since_epoch()).count();
    const std::int64_t ticksPerSecond = 10000000;
    std::int64_t seconds = ticks / ticksPerSecond;
    std::int64_t fraction = ticks % ticksPerSecond;
    if (fraction < 0) {
        fraction += ticksPerSecond;
        --seconds;
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, ".%07lldZ", static_cast<long long>(fraction));
    return utcDateTime(seconds) + digits;
}

// What a detailed dump of a scan starting now records about it.
DumpOrigin scanOrigin(const std::vector<std::string>& dirs, const std::vector<std::string>& regdirs,
                      const std::optional<std::string>& ignoreFileDigest) {
    DumpOrigin origin;
    origin.programVersion = PROGRAM_VERSION;
    origin.hostName = platform::hostName();
    origin.scanStarted = utcTimeNow();
    origin.dirs = dirs;
    origin.regdirs = regdirs;
    origin.ignoreFileDigest = ignoreFileDigest;
    return origin;
}

// Warnings that the two dumps may not be the before and after of one tree.
void warnOfMismatch(const DumpOrigin& oldOrigin, const DumpOrigin& newOrigin, MessageOutput& output) {
    if (oldOrigin.scanStarted && newOrigin.scanStarted && *oldOrigin.scanStarted > *newOrigin.scanStarted) {
        output.write("Warning: dump 1 was taken after dump 2.\n");
    }
    if (oldOrigin.dirs != newOrigin.dirs || oldOrigin.regdirs != newOrigin.regdirs) {
        output.write("Warning: the two dumps were taken of different directories or keys.\n");
    }
}

// A dump file's bytes and the reader of its records over them.
struct LoadedDump {
    std::unique_ptr<io::file::FileContents> bytes;
    std::unique_ptr<DumpReader> reader;
};

void readDump(const std::string& fileName, const std::string& loadingMessage, const std::string& parsingMessage,
              MessageOutput& output, FileLoader& loader, LoadedDump& dump) {
    progress(output, loadingMessage);
    dump.bytes.reset(new io::file::FileContents(loader.map(fileName)));
    progress(output, parsingMessage);
    dump.reader.reset(new DumpReader(dump.bytes->begin(), dump.bytes->end()));
}

// Reads the two dumps of a compare. The second is mapped and checked on a
// thread of its own while the first is checked here; its messages and its
// failure come after the first's, as if it had been read after it, and a
// failure of the first leaves the second unsaid.
void readTwoDumps(const std::vector<std::string>& files, MessageOutput& output, FileLoader& loader,
                  LoadedDump& oldDump, LoadedDump& newDump) {
    progress(output, "Loading dump 1.\n");
    oldDump.bytes.reset(new io::file::FileContents(loader.map(files[0])));
    bool secondMapped = false;
    std::exception_ptr secondFailure;
    std::thread second([&]() {
        try {
            newDump.bytes.reset(new io::file::FileContents(loader.map(files[1])));
            secondMapped = true;
            newDump.reader.reset(new DumpReader(newDump.bytes->begin(), newDump.bytes->end()));
        } catch (...) {
            secondFailure = std::current_exception();
        }
    });
    try {
        progress(output, "Parsing dump 1.\n");
        oldDump.reader.reset(new DumpReader(oldDump.bytes->begin(), oldDump.bytes->end()));
    } catch (...) {
        second.join();
        throw;
    }
    second.join();
    progress(output, "Loading dump 2.\n");
    if (secondMapped) progress(output, "Parsing dump 2.\n");
    if (secondFailure) std::rethrow_exception(secondFailure);
}

// A dump writer of the form the snapshot's records take.
std::unique_ptr<DumpWriter> dumpWriterFor(const SnapshotImpl& snapshot, const io::file::DataSource::Writer& write,
                                          const DumpOrigin& origin) {
    if (!snapshot.hasDetails()) return std::unique_ptr<DumpWriter>(new DumpWriter(write));
    return std::unique_ptr<DumpWriter>(new DumpWriter(write, origin, snapshot.hasContent()));
}

// The records of a scan as a dump file holds them, made as the save writes
// them. A scan that found nothing is most often a mistyped or missing
// directory: it withdraws rather than replace a dump that holds entries.
class DumpRecords : public io::file::DataSource {
public:
    DumpRecords(const SnapshotImpl& snapshot, const DumpOrigin& origin, const std::string& dumpFile,
                MessageOutput& output, FileSaver& saver)
        : _snapshot(snapshot), _origin(origin), _dumpFile(dumpFile), _output(output), _saver(saver) {}

    bool writeTo(const Writer& write) override {
        try {
            const std::unique_ptr<DumpWriter> writer = dumpWriterFor(_snapshot, write, _origin);
            _snapshot.serialize(*writer, _dumpFile);
            if (writer->recordCount() == 0 && _saver.holdsData(_dumpFile)) {
                _withdrew = true;
                return false;
            }
            announceSave();
            writer->finish();
            _entries = writer->recordCount();
            return true;
        } catch (const DumpWriter::Refused&) {
            announceSave();
            return false;
        }
    }
    // Says that the dump is being saved, once: when the scan is complete, or
    // when the save failed before.
    void announceSave() {
        if (_announced) return;
        _announced = true;
        progress(_output, "Serializing dump.\n");
        progress(_output, "Saving dump.\n");
    }
    // Details hold registry data, which may be secret.
    bool isPrivate() const override { return _snapshot.hasDetails(); }
    bool withdrew() const override { return _withdrew; }
    std::uint64_t entries() const { return _entries; }

private:
    const SnapshotImpl& _snapshot;
    const DumpOrigin& _origin;
    const std::string& _dumpFile;
    MessageOutput& _output;
    FileSaver& _saver;
    bool _withdrew = false;
    bool _announced = false;
    std::uint64_t _entries = 0;
};

// The report page goes out after the text report, through the same save as a dump.
void writeReportPage(const std::string& fileName, const std::string& page, MessageOutput& output,
                     FileSaver& saver) {
    progress(output, "Writing report.\n");
    saver.save(fileName, page, 0);
}

// The lines for scripts go out last, through the same save.
void writeJsonLines(const std::string& fileName, const std::string& lines, MessageOutput& output,
                    FileSaver& saver) {
    progress(output, "Writing JSON.\n");
    saver.save(fileName, lines, 0);
}

// The result of a comparison, on the output and in the files asked for.
void reportComparison(const ArgumentParser& parser, const IgnorePatternList& ignorePatterns,
                      const std::string& oldName, DumpReader& oldDump, const std::string& newName,
                      DumpReader& newDump, MessageOutput& output, FileSaver& saver) {
    if (oldDump.origin() != nullptr && newDump.origin() != nullptr) {
        warnOfMismatch(*oldDump.origin(), *newDump.origin(), output);
    }
    if (oldDump.isDetailed() != newDump.isDetailed()) {
        progress(output, "Only one of the dumps has details: comparing last-write times and fingerprints alone.\n");
    } else if (oldDump.holdsContent() != newDump.holdsContent()) {
        progress(output, "Only one of the dumps holds content digests: comparing the other details alone.\n");
    }
    std::vector<SnapshotDifference> differences = compare(oldDump, newDump);
    output.write("Comparsion result:\n");
    // "identical" speaks of the dumps, before the ignore patterns hide anything.
    if (differences.empty()) output.write("The two dumps are identical.\n");
    removeIgnored(differences, ignorePatterns);
    writeDifferences(differences, output);
    output.write("Compare finished.\n");
    if (parser.isSet(HTML_FLAG)) {
        writeReportPage(parser.getArgument(HTML_FLAG),
                        comparisonPage(oldName, oldDump, newName, newDump, differences), output, saver);
    }
    if (parser.isSet(JSON_FLAG)) {
        writeJsonLines(parser.getArgument(JSON_FLAG), differenceLines(differences), output, saver);
    }
}

// What the report page calls the scan: the directories and keys it was given.
std::string scanName(const std::vector<std::string>& dirs, const std::vector<std::string>& regdirs) {
    std::string name = "scan of ";
    const char* separator = "";
    for (const std::vector<std::string>* roots : {&dirs, &regdirs}) {
        for (const std::string& root : *roots) {
            name += separator;
            name += root;
            separator = ", ";
        }
    }
    return name;
}

}  // namespace

void App::printHelp(MessageOutput& output) {
    std::ostringstream help;
    help << "Vestiga Lite v" << PROGRAM_VERSION << " by Quorvane Software.\n"
         << "http://www.quorvane.com/vestiga/\n"
         << "\n"
         << "This is a command line program, please run it from a DOS prompt.\n"
         << "A brief guide how to run a command line program:\n"
         << "http://www.quorvane.com/vestiga/commandline.html\n"
         << "\n"
         << "Examples:\n"
         << "Display help and version information\n"
         << "vestiga.exe -help\n"
         << "\n"
         << "Create a dump of c:\\ and d:\\.\n"
         << "vestiga.exe -dump dump.dat -dirs c:\\ d:\\\n"
         << "\n"
         << "Compare two dumps.\n"
         << "vestiga.exe -compare olddump.dat newdump.dat\n"
         << "\n"
         << "Compare two dumps and ignore the all files in 'ignore.txt'.\n"
         << "vestiga.exe -compare olddump.dat newdump -ignore ignore.txt\n"
         << "\n"
         << "Please view the manual and faq for a thorough description of the program,\n"
         << "its features and more examples how to use the program.\n";
    output.write(help.str());
}

int App::run(int argc, const char* const* argv, MessageOutput& output, FileLoader& loader, FileSaver& saver) {
    if (argc == 1) {
        printHelp(output);
        output.flush();
        std::fputs("Press 'enter' to exit.\n", stdout);
        std::fflush(stdout);
        std::getchar();
        return 0;
    }

    try {
        ArgumentParser parser('-');
        for (const FlagDeclaration& flag : DECLARED_FLAGS) {
            parser.addFlag(flag.name, flag.minArguments, flag.maxArguments, true);
        }
        parser.parse(argc - 1, argv + 1);

        IgnorePatternList ignorePatterns;
        std::optional<std::string> ignoreFileDigest;
        if (parser.isSet(IGNORE_FLAG)) {
            const std::string text = loadIgnorePatterns(output, loader, parser.getArgument(IGNORE_FLAG), ignorePatterns);
            platform::Sha256 sha256;
            sha256.update(text.data(), text.size());
            const platform::Sha256Digest digest = sha256.finish();
            ignoreFileDigest = std::string(digest.begin(), digest.end());
        }
        const int status = runFlow(parser, ignorePatterns, ignoreFileDigest, output, loader, saver);
        output.flush();
        return status;
    } catch (const exceptions::OutOfMemoryException& e) {
        output.write("Out of memory. Please make sure you have a large amount of virtual memory.\n" +
                     e.getMessage() + "\n");
    } catch (const exceptions::Exception& e) {
        output.write("An Exception occurred:\n" + e.getMessage() + "\n");
    } catch (...) {
        const std::uint32_t lastError = platform::lastError();
        output.write(std::string("An unexpected ... exception occured.\nPlease contact ") + SUPPORT_EMAIL_ADDRESS +
                     "\n" + SystemErrors::map(static_cast<int>(lastError)) +
                     "\nThank you for helping us improve the software!");
    }
    output.flush();
    return 1;
}

int App::runFlow(const ArgumentParser& parser, const IgnorePatternList& ignorePatterns,
                 const std::optional<std::string>& ignoreFileDigest, MessageOutput& output, FileLoader& loader,
                 FileSaver& saver) {
    if (parser.isSet(HELP_FLAG)) {
        printHelp(output);
    } else if (parser.isSet(PRINT_FLAG)) {
        printFlow(parser, output, loader, saver);
    } else if (parser.isSet(DUMP_FLAG)) {
        return dumpFlow(parser, ignorePatterns, ignoreFileDigest, output, saver);
    } else if (parser.isSet(COMPARE_FLAG)) {
        compareFlow(parser, ignorePatterns, output, loader, saver);
    } else if (parser.isSet(VERIFY_FLAG)) {
        verifyFlow(parser, ignorePatterns, ignoreFileDigest, output, loader, saver);
    } else {
        ASSERT(false);
    }
    return 0;
}

void App::printFlow(const ArgumentParser& parser, MessageOutput& output, FileLoader& loader, FileSaver& saver) {
    const std::string& dumpFile = parser.getArgument(PRINT_FLAG);
    LoadedDump dump;
    readDump(dumpFile, "Loading dump.\n", "Parsing dump.\n", output, loader, dump);
    if (dump.reader->origin() != nullptr) progress(output, originLines("Dump", *dump.reader->origin()));
    progress(output, "Printing dump.\n");
    printListing(*dump.reader, output);
    if (parser.isSet(HTML_FLAG)) {
        writeReportPage(parser.getArgument(HTML_FLAG), listingPage(dumpFile, *dump.reader), output, saver);
    }
    if (parser.isSet(JSON_FLAG)) {
        writeJsonLines(parser.getArgument(JSON_FLAG), listingLines(*dump.reader), output, saver);
    }
}

void App::compareFlow(const ArgumentParser& parser, const IgnorePatternList& ignorePatterns,
                      MessageOutput& output, FileLoader& loader, FileSaver& saver) {
    const std::vector<std::string>& files = parser.getArguments(COMPARE_FLAG);
    LoadedDump oldDump, newDump;
    readTwoDumps(files, output, loader, oldDump, newDump);
    if (oldDump.reader->origin() != nullptr) progress(output, originLines("Dump 1", *oldDump.reader->origin()));
    if (newDump.reader->origin() != nullptr) progress(output, originLines("Dump 2", *newDump.reader->origin()));

    progress(output, "Comparing the two dumps.\n");
    reportComparison(parser, ignorePatterns, files[0], *oldDump.reader, files[1], *newDump.reader, output, saver);
}

void App::verifyFlow(const ArgumentParser& parser, const IgnorePatternList& ignorePatterns,
                     const std::optional<std::string>& ignoreFileDigest, MessageOutput& output, FileLoader& loader,
                     FileSaver& saver) {
    const std::string& dumpFile = parser.getArgument(VERIFY_FLAG);
    const std::vector<std::string> dirs = argumentsIfSet(parser, DIRS_FLAG);
    const std::vector<std::string> regdirs = argumentsIfSet(parser, REGDIRS_FLAG);
    LoadedDump oldDump;
    readDump(dumpFile, "Loading dump.\n", "Parsing dump.\n", output, loader, oldDump);
    if (oldDump.reader->origin() != nullptr) progress(output, originLines("Dump", *oldDump.reader->origin()));

    progress(output, "Scanning. Please be patient.\n");
    const DumpOrigin origin = scanOrigin(dirs, regdirs, ignoreFileDigest);
    // The scan becomes the records of a dump, as a file of them would be, so
    // that the merge reads both sides alike: in memory while they are few,
    // then in a scratch file beside the dump.
    io::file::ScratchBuffer records(dumpFile);
    {
        // A detailed dump is checked against the same details, taken now,
        // and one that holds digests against the content as it is now.
        const SnapshotImpl snapshot(dirs, regdirs, ignorePatterns, output,
                                    parser.isSet(DETAILS_FLAG) || oldDump.reader->isDetailed(),
                                    oldDump.reader->holdsContent());
        const std::unique_ptr<DumpWriter> writer = dumpWriterFor(
            snapshot,
            [&records](const char* data, std::size_t size) {
                if (!records.write(data, size)) return false;
                if (records.heldBytes() > scanMemoryBound) records.spill();
                return true;
            },
            origin);
        snapshot.serialize(*writer, std::string());
        writer->finish();
    }
    LoadedDump scan;
    scan.bytes.reset(new io::file::FileContents(std::string()));
    if (!records.read(*scan.bytes)) throw DumpWriter::Refused();
    scan.reader.reset(new DumpReader(scan.bytes->begin(), scan.bytes->end()));

    progress(output, "Comparing the dump with the scan.\n");
    reportComparison(parser, ignorePatterns, dumpFile, *oldDump.reader, scanName(dirs, regdirs), *scan.reader,
                     output, saver);
}

int App::dumpFlow(const ArgumentParser& parser, const IgnorePatternList& ignorePatterns,
                  const std::optional<std::string>& ignoreFileDigest, MessageOutput& output, FileSaver& saver) {
    const std::string dumpFile = parser.getArgument(DUMP_FLAG);
    const std::vector<std::string> dirs = argumentsIfSet(parser, DIRS_FLAG);
    const std::vector<std::string> regdirs = argumentsIfSet(parser, REGDIRS_FLAG);

    progress(output, "Creating dump. Please be patient.\n");
    const DumpOrigin origin = scanOrigin(dirs, regdirs, ignoreFileDigest);
    const SnapshotImpl snapshot(dirs, regdirs, ignorePatterns, output, parser.isSet(DETAILS_FLAG),
                                parser.isSet(CONTENT_FLAG));
    DumpRecords records(snapshot, origin, dumpFile, output, saver);
    try {
        saver.save(dumpFile, records);
    } catch (const io::file::CouldNotSaveFileException&) {
        records.announceSave();
        throw;
    }
    if (records.withdrew()) {
        output.write("The scan recorded no entries; the existing dump was left unchanged. "
                     "Remove it first to write an empty dump.\n");
        return 1;
    }

    std::ostringstream done;
    done << "Dump created. " << records.entries() << " entries saved.";
    output.write(done.str());
    return 0;
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
