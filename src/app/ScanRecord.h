#ifndef VESTIGA_APP_SCANRECORD_H
#define VESTIGA_APP_SCANRECORD_H

#include <string>

#include "app/Fingerprint.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

// One record of a scan, as a dump holds it.
struct ScanRecord {
    std::string path;
    Fingerprint fingerprint = 0;
    // The details part of its record in a detailed dump; empty otherwise.
    std::string details;
    // A regular file, whose content a content dump digests.
    bool regularFile = false;
};

// Takes the records of a scan, in byte order of their paths, each path once.
// A record may be moved from.
class ScanRecordSink {
public:
    virtual ~ScanRecordSink() {}
    virtual void take(ScanRecord& record) = 0;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
