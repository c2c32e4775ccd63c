#include <gtest/gtest.h>

#include "io/file/FileExceptions.h"
#include "io/file/FileHelper.h"
#include "platform/errorresources/SystemErrors.h"
#include "platform/win32/Win32.h"

namespace {

using io::file::CouldNotLoadFileException;
using io::file::FileHelper;

// NUL is a device: it has no size and no end of its own, so it is no dump.
TEST(WindowsDevices, NulIsNotLoaded) {
    std::string message = "(no exception)";
    try {
        FileHelper::load("NUL", 0);
    } catch (const CouldNotLoadFileException& e) {
        message = e.getMessage();
    }
    EXPECT_EQ(0u, message.find("An error occured when trying to open the file for reading.\nFilename: 'NUL'\n"))
        << message;
    EXPECT_NE(std::string::npos, message.find("\n" + SystemErrors::map(ERROR_NOT_SUPPORTED) + "\nC++ exception: None."))
        << message;
}

TEST(WindowsDevices, NulTakesASaveInPlaceAndHoldsNoData) {
    EXPECT_NO_THROW(FileHelper::save("NUL", "data", 0));
    EXPECT_FALSE(FileHelper::holdsData("NUL"));
}

}  // namespace
