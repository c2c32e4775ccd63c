#ifndef VESTIGA_TESTS_PLATFORM_WIN32_EMULATION_CHILDPROCESS_H
#define VESTIGA_TESTS_PLATFORM_WIN32_EMULATION_CHILDPROCESS_H

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

// Runs `body` in a forked child, so that it may change what the process is
// (its user, its limits, its directory) without touching the test program.
// Returns what the body returned: "" when all its checks held, otherwise a
// description of what did not.
inline std::string runInChild(const std::function<std::string()>& body) {
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0) return "no fork";
    if (child == 0) {
        close(channel[0]);
        std::string report;
        try {
            report = body();
        } catch (...) {
            report = "unexpected exception in the child";
        }
        for (std::string::size_type written = 0; written < report.size();) {
            const ssize_t n = ::write(channel[1], report.data() + written, report.size() - written);
            if (n <= 0) break;
            written += static_cast<std::string::size_type>(n);
        }
        _exit(0);
    }
    close(channel[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::string::size_type>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) report += "the child ended abnormally";
    return report;
}

// Becomes the unprivileged user 65534: root passes every permission check,
// so a test of permissions proves nothing as root. "" on success.
inline std::string becomeUnprivileged() {
    if (geteuid() != 0) return "";
    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) return "could not drop privileges";
    return "";
}

// "" when the two are equal, otherwise a description.
inline std::string expectEqual(const std::string& what, const std::string& expected, const std::string& actual) {
    if (expected == actual) return "";
    return what + ":\n  expected: [" + expected + "]\n  actual:   [" + actual + "]\n";
}

#endif
