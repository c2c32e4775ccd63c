#include "platform/errorresources/OutOfMemoryHandler.h"

#include <new>

#include "exceptions/OutOfMemoryException.h"
#include "platform/errorresources/Assertion.h"

namespace {

OutOfMemoryHandler* theHandler = nullptr;

void outOfMemoryCallback() {
    ASSERT(theHandler);
    if (theHandler != nullptr) theHandler->onOutOfMemory();
    // Without a handler there is nothing to retry with.
    throw std::bad_alloc();
}

}  // namespace

void OutOfMemoryHandler::install(OutOfMemoryHandler* handler) {
    theHandler = handler;
    std::set_new_handler(outOfMemoryCallback);
}

void ThrowingOutOfMemoryHandler::onOutOfMemory() {
    throw exceptions::OutOfMemoryException("Out of memory!!");
}
