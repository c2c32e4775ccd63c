#ifndef VESTIGA_APP_SNAPSHOTEXCEPTION_H
#define VESTIGA_APP_SNAPSHOTEXCEPTION_H

#include "exceptions/Exception.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

class SnapshotException : public exceptions::WithMessage<exceptions::Exception> {
public:
    using WithMessage::WithMessage;
};

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com

#endif
