#include "platform/win32/ExtendedAttributes-posix.h"
#include "platform/win32/FileDetails.h"

#include <sys/types.h>
#include <sys/xattr.h>

#include <cerrno>
#include <algorithm>

#ifdef VESTIGA_HAVE_LIBATTR
#include <attr/error_context.h>
#include <attr/libattr.h>
#endif

namespace platform {

namespace {

// Calls `read(buffer, size)`, a call of the listxattr family, with a buffer
// grown until what it gives fits; false when it fails otherwise.
template <typename Read>
bool readWhole(std::string& buffer, Read read) {
    for (;;) {
        const ssize_t length = read(buffer.empty() ? nullptr : &buffer[0], buffer.size());
        if (length >= 0 && static_cast<std::size_t>(length) <= buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            return true;
        }
        if (length < 0 && errno != ERANGE) return false;
        const ssize_t needed = read(nullptr, 0);
        if (needed < 0) return false;
        buffer.resize(std::max<std::size_t>(static_cast<std::size_t>(needed), buffer.size() * 2 + 1));
    }
}

// One listing by `list(buffer, size)`, then each value by
// `get(name, buffer, size)`: the calls on a path or on a descriptor.
template <typename List, typename Get>
void readAttributes(std::vector<std::pair<std::string, std::string>>& attributes, List list, Get get) {
    attributes.clear();
    // Most entries have none: a small buffer is enough for one call.
    std::string names(256, '\0');
    if (!readWhole(names, list)) return;
    for (std::size_t at = 0; at < names.size();) {
        const std::size_t end = names.find('\0', at);
        const std::string name = names.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? names.size() : end + 1;
        if (name.empty()) continue;
        std::string value;
        if (!readWhole(value, [&](char* buffer, std::size_t size) { return get(name.c_str(), buffer, size); })) {
            continue;
        }
        attributes.emplace_back(name, value);
    }
}

}  // namespace

void readExtendedAttributes(const std::string& path, std::vector<std::pair<std::string, std::string>>& attributes) {
    readAttributes(
        attributes, [&](char* buffer, std::size_t size) { return llistxattr(path.c_str(), buffer, size); },
        [&](const char* name, char* buffer, std::size_t size) { return lgetxattr(path.c_str(), name, buffer, size); });
}

void readExtendedAttributes(int descriptor, std::vector<std::pair<std::string, std::string>>& attributes) {
    readAttributes(
        attributes, [&](char* buffer, std::size_t size) { return flistxattr(descriptor, buffer, size); },
        [&](const char* name, char* buffer, std::size_t size) { return fgetxattr(descriptor, name, buffer, size); });
}

#ifdef VESTIGA_HAVE_LIBATTR

namespace {

// libattr reports each failure and goes on with the next attribute.
struct CopyFailures : error_context {
    int firstError = 0;
};

void noteFailure(error_context* context, const char* /*format*/, ...) {
    const int error = errno;
    CopyFailures* failures = static_cast<CopyFailures*>(context);
    if (error != EPERM && error != ENOTSUP && failures->firstError == 0) failures->firstError = error;
}

// libattr's own check leaves the access control list to a separate copy of
// the permissions; here it comes along with the rest.
int isCopied(const char* name, error_context* context) { return attr_copy_action(name, context) != ATTR_ACTION_SKIP; }

}  // namespace

bool copyExtendedAttributes(int source, int target) {
    CopyFailures failures;
    failures.error = noteFailure;
    failures.quote = nullptr;
    failures.quote_free = nullptr;
    attr_copy_fd("", source, "", target, isCopied, &failures);
    if (failures.firstError == 0) return true;
    errno = failures.firstError;
    return false;
}

#else

bool copyExtendedAttributes(int /*source*/, int /*target*/) { return true; }

#endif

}  // namespace platform
