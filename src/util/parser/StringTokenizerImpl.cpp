#include "util/parser/StringTokenizerImpl.h"

#include "platform/errorresources/Assertion.h"

StringTokenizerImpl::StringTokenizerImpl(const std::string& text, const std::string& delimiters)
    : _text(text), _delimiters(delimiters), _nextTokenStart(firstNonDelimiterFrom(0)) {}

std::string::size_type StringTokenizerImpl::firstDelimiterFrom(std::string::size_type index) const {
    return _text.find_first_of(_delimiters, index);
}

std::string::size_type StringTokenizerImpl::firstNonDelimiterFrom(std::string::size_type index) const {
    return _text.find_first_not_of(_delimiters, index);
}

std::string::size_type StringTokenizerImpl::nextTokenStartAfter(std::string::size_type tokenStart) const {
    return firstNonDelimiterFrom(firstDelimiterFrom(tokenStart));
}

std::string StringTokenizerImpl::tokenAt(std::string::size_type tokenStart) const {
    return _text.substr(tokenStart, firstDelimiterFrom(tokenStart) - tokenStart);
}

bool StringTokenizerImpl::hasMoreTokens() const { return _nextTokenStart != std::string::npos; }

std::string StringTokenizerImpl::nextToken() {
    ASSERT(hasMoreTokens());
    if (!hasMoreTokens()) return std::string();
    const std::string token = tokenAt(_nextTokenStart);
    _nextTokenStart = nextTokenStartAfter(_nextTokenStart);
    return token;
}

unsigned int StringTokenizerImpl::countTokens() const {
    unsigned int count = 0;
    for (std::string::size_type p = _nextTokenStart; p != std::string::npos; p = nextTokenStartAfter(p)) {
        ++count;
    }
    return count;
}

std::string StringTokenizerImpl::peekToken(unsigned int tokensAheadOfNextToken) const {
    ASSERT(countTokens() >= tokensAheadOfNextToken);
    std::string::size_type p = _nextTokenStart;
    for (unsigned int skipped = 0; skipped < tokensAheadOfNextToken && p != std::string::npos; ++skipped) {
        p = nextTokenStartAfter(p);
    }
    if (p == std::string::npos) return std::string();
    return tokenAt(p);
}
