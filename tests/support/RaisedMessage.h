#ifndef VESTIGA_TESTS_SUPPORT_RAISEDMESSAGE_H
#define VESTIGA_TESTS_SUPPORT_RAISEDMESSAGE_H

#include <string>
#include <typeinfo>

namespace testsupport {

// The message of the exception `call` raises, when it is an E itself and not
// one of its subclasses; otherwise a text saying what happened instead.
// Exceptions of other classes pass through to the test.
template <class E, class Call>
std::string raisedMessage(Call call) {
    try {
        call();
    } catch (const E& e) {
        if (typeid(e) != typeid(E)) return std::string("(raised the subclass ") + typeid(e).name() + ")";
        return e.getMessage();
    }
    return "(nothing raised)";
}

}  // namespace testsupport

#endif
