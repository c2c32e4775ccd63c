#ifndef VESTIGA_APP_APP_H
#define VESTIGA_APP_APP_H

#include <optional>
#include <string>

class ArgumentParser;

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class FileLoader;
class FileSaver;
class IgnorePatternList;
class MessageOutput;

// The driver: parses the command line and runs one flow inside the
// failure guard.
class App {
public:
    // Returns the exit status: 1 when a failure was reported or a dump was
    // not saved, 0 otherwise.
    static int run(int argc, const char* const* argv, MessageOutput& output, FileLoader& loader,
                   FileSaver& saver);
    static void printHelp(MessageOutput& output);

private:
    // Each returns the exit status of a run that reported no failure.
    // `ignoreFileDigest` is the SHA-256 digest of the ignore file, when one was used.
    static int runFlow(const ArgumentParser& parser, const IgnorePatternList& ignorePatterns,
                       const std::optional<std::string>& ignoreFileDigest, MessageOutput& output,
                       FileLoader& loader, FileSaver& saver);
    static void printFlow(const ArgumentParser& parser, MessageOutput& output, FileLoader& loader,
                          FileSaver& saver);
    static void compareFlow(const ArgumentParser& parser, const IgnorePatternList& ignorePatterns,
                            MessageOutput& output, FileLoader& loader, FileSaver& saver);
    static void verifyFlow(const ArgumentParser& parser, const IgnorePatternList& ignorePatterns,
                           const std::optional<std::string>& ignoreFileDigest, MessageOutput& output,
                           FileLoader& loader, FileSaver& saver);
    static int dumpFlow(const ArgumentParser& parser, const IgnorePatternList& ignorePatterns,
                        const std::optional<std::string>& ignoreFileDigest, MessageOutput& output,
                        FileSaver& saver);
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
