#ifndef VESTIGA_UTIL_PARSER_STRINGTOKENIZERIMPL_H
#define VESTIGA_UTIL_PARSER_STRINGTOKENIZERIMPL_H

#include <string>

#include "util/parser/StringTokenizer.h"

class StringTokenizerImpl : public StringTokenizer {
public:
    // Each character of `delimiters` is a delimiter by itself.
    StringTokenizerImpl(const std::string& text, const std::string& delimiters);
    virtual ~StringTokenizerImpl() {}

    unsigned int countTokens() const override;
    bool hasMoreTokens() const override;
    // After the last token: reports the failed check and returns an empty
    // string without moving.
    std::string nextToken() override;
    // With nothing that far ahead (`tokensAheadOfNextToken` at or beyond
    // countTokens()): returns an empty string.
    std::string peekToken(unsigned int tokensAheadOfNextToken) const override;

private:
    std::string::size_type firstDelimiterFrom(std::string::size_type index) const;
    std::string::size_type firstNonDelimiterFrom(std::string::size_type index) const;
    // The start of the token after the one that starts at `tokenStart`, or npos.
    std::string::size_type nextTokenStartAfter(std::string::size_type tokenStart) const;
    std::string tokenAt(std::string::size_type tokenStart) const;

    const std::string _text;
    const std::string _delimiters;
    // The first character of the next token; npos when no token is left.
    std::string::size_type _nextTokenStart;
};

#endif
