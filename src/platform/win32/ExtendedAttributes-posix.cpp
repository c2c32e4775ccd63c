#include "platform/win32/ExtendedAttributes-posix.h"

#include <cerrno>

#ifdef VESTIGA_HAVE_LIBATTR
#include <attr/error_context.h>
#include <attr/libattr.h>
#endif

namespace platform {

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
