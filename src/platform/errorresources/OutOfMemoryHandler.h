#ifndef VESTIGA_PLATFORM_ERRORRESOURCES_OUTOFMEMORYHANDLER_H
#define VESTIGA_PLATFORM_ERRORRESOURCES_OUTOFMEMORYHANDLER_H

// Called by the runtime whenever an allocation fails.
class OutOfMemoryHandler {
public:
    virtual ~OutOfMemoryHandler() {}
    virtual void onOutOfMemory() = 0;

    // Makes `handler` the process-wide handler; it is not owned.
    static void install(OutOfMemoryHandler* handler);
};

// Turns every failed allocation into exceptions::OutOfMemoryException.
class ThrowingOutOfMemoryHandler : public OutOfMemoryHandler {
public:
    void onOutOfMemory() override;
};

#endif
