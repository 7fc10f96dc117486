#include "runtime/StartTime.h"

#include <cctype>
#include <climits>

namespace Demo {

namespace {

// atoi without its undefined behaviour on overflow.
int ConvertLikeAtoi(const char* text)
{
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    long long value = 0;
    while (std::isdigit(static_cast<unsigned char>(*text))) {
        value = value * 10 + (*text++ - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return value > INT_MAX ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

} // namespace

bool IsStartTime(const char* word)
{
    if (!word)
        return false;
    while (std::isspace(static_cast<unsigned char>(*word)))
        ++word;
    if (*word == '+' || *word == '-')
        ++word;
    return std::isdigit(static_cast<unsigned char>(*word));
}

int ReadStartTime(const char* word) { return word ? ConvertLikeAtoi(word) : 0; }

} // namespace Demo
