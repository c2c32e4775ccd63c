#ifndef VESTIGA_UTIL_PARSER_STRINGTOKENIZER_H
#define VESTIGA_UTIL_PARSER_STRINGTOKENIZER_H

#include <string>

// Splits a text into tokens: maximal runs of characters that are not
// delimiters. Tokens are never empty and never contain a delimiter.
class StringTokenizer {
public:
    // The number of tokens not yet returned by nextToken.
    virtual unsigned int countTokens() const = 0;
    virtual bool hasMoreTokens() const = 0;
    // Returns the next token and moves past it.
    virtual std::string nextToken() = 0;
    // The token `tokensAheadOfNextToken` tokens behind the next one (0 is the
    // next token itself); does not move.
    virtual std::string peekToken(unsigned int tokensAheadOfNextToken) const = 0;

protected:
    // Not deleted through this interface.
    ~StringTokenizer() {}
};

#endif
