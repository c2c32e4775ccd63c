#ifndef VESTIGA_TESTS_SUPPORT_COLLECTINGMESSAGEOUTPUT_H
#define VESTIGA_TESTS_SUPPORT_COLLECTINGMESSAGEOUTPUT_H

#include <string>
#include <vector>

#include "app/MessageOutput.h"

// Keeps every message, one element per write call.
class CollectingMessageOutput : public com::quorvane::products::lumeno::MessageOutput {
public:
    void write(const std::string& message) override { messages.push_back(message); }

    std::string text() const {
        std::string all;
        for (const std::string& message : messages) all += message;
        return all;
    }

    std::vector<std::string> messages;
};

#endif
