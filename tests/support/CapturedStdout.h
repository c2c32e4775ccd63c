#ifndef VESTIGA_TESTS_SUPPORT_CAPTUREDSTDOUT_H
#define VESTIGA_TESTS_SUPPORT_CAPTUREDSTDOUT_H

#include <gtest/gtest.h>

#include <string>

// Runs `action` and returns what it wrote to standard output (where failed
// internal checks are reported).
template <typename Action>
std::string capturedStdout(Action action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

#endif
