#include "platform/errorresources/Assertion.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

const char* const SUPPORT_EMAIL_ADDRESS = "support@quorvane.com";

namespace {

const char* const separator = "----------------------------------------";

}  // namespace

std::string currentTimeText() {
    // The asctime layout, but with the day of month always two digits.
    std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[64] = "";
    if (local != nullptr) std::strftime(text, sizeof text, "%a %b %d %H:%M:%S %Y", local);
    return text;
}

void reportAssertionFailure(const char* message, const char* file, unsigned int line) {
    try {
        std::ostringstream report;
        report << separator << "\n"
               << "Assertion failed. Message: " << message << "\n"
               << "File: " << file << "\n"
               << "Line: " << line << "\n"
               << "Occurred: " << currentTimeText() << "\n"
               << "\n"
               << "Please contact " << SUPPORT_EMAIL_ADDRESS << " and include this message.\n"
               << "Thank you for helping us improve the software.\n"
               << separator << "\n";
        const std::string text = report.str();
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);

        // Text mode: line feeds become CR LF where the platform translates.
        std::ofstream file_("assertion.txt", std::ios::out | std::ios::app);
        if (file_) file_ << text;
    } catch (...) {
        // A report must never become a failure of its own.
    }
}
