#include <gtest/gtest.h>

#include "app/SnapshotException.h"
#include "exceptions/IllegalArgumentException.h"
#include "exceptions/OutOfMemoryException.h"
#include "io/file/FileExceptions.h"
#include "windows/file/WindowsFileExceptions.h"
#include "windows/registry/RegistryExceptions.h"

namespace {

// Which of the driver's and the scanner's catch clauses takes an exception.
template <class Thrown>
std::string caughtAs(const Thrown& exception) {
    try {
        throw exception;
    } catch (const io::IOException& e) {
        return "io:" + e.getMessage();
    } catch (const windows::registry::RegistryException& e) {
        return "registry:" + e.getMessage();
    } catch (const exceptions::RuntimeException& e) {
        return "runtime:" + e.getMessage();
    } catch (const exceptions::Exception& e) {
        return "exception:" + e.getMessage();
    }
}

TEST(ExceptionHierarchy, EachFailureReachesTheClauseMeantForIt) {
    EXPECT_EQ("registry:denied", caughtAs(windows::registry::RegistryAccessDeniedException("denied")));
    EXPECT_EQ("registry:no key", caughtAs(windows::registry::RegistryKeyNotFoundException("no key")));
    EXPECT_EQ("registry:no value", caughtAs(windows::registry::RegistryValueNotFoundException("no value")));
    EXPECT_EQ("io:listing", caughtAs(windows::file::CouldNotGetFirstLevelFilesException("listing")));
    EXPECT_EQ("io:cwd", caughtAs(windows::file::CouldNotGetCurrentDirectoryException("cwd")));
    EXPECT_EQ("io:load", caughtAs(io::file::CouldNotLoadFileException("load")));
    EXPECT_EQ("io:save", caughtAs(io::file::CouldNotSaveFileException("save")));
    EXPECT_EQ("runtime:flag", caughtAs(exceptions::IllegalArgumentException("flag")));
    EXPECT_EQ("exception:memory", caughtAs(exceptions::OutOfMemoryException("memory")));
    EXPECT_EQ("exception:corrupt",
              caughtAs(com::quorvane::products::lumeno::SnapshotException("corrupt")));
}

TEST(ExceptionHierarchy, ListingFailuresAreWindowsFileExceptions) {
    try {
        throw windows::file::CouldNotGetFirstLevelDirectoriesException("dirs");
    } catch (const windows::file::WindowsFileException& e) {
        EXPECT_EQ("dirs", e.getMessage());
    }
}

}  // namespace
