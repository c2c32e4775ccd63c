#ifndef VESTIGA_EXCEPTIONS_EXCEPTION_H
#define VESTIGA_EXCEPTIONS_EXCEPTION_H

#include <string>

namespace exceptions {

// Root of every failure the program reports to its user. The only payload
// is the complete, user-facing message composed where the failure happened.
class Exception {
public:
    virtual ~Exception() {}
    virtual const std::string& getMessage() const = 0;
};

// Gives a class of the hierarchy its one message member. Classes derived
// from a message-holding class add nothing but their type.
template <class Base>
class WithMessage : public Base {
public:
    explicit WithMessage(const std::string& message) : _message(message) {}
    const std::string& getMessage() const override { return _message; }

private:
    std::string _message;
};

}  // namespace exceptions

#endif
