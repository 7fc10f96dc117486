#include "runtime/StartTime.h"
#include "platform/Platform.h"

#include <cctype>
#include <climits>
#include <cstring>

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

int GetStartTime(const char* commandLine)
{
    if (!commandLine)
        return 0;
    const size_t length = std::strlen(commandLine);
    if (length <= 1)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if (commandLine[i] == ' ' || commandLine[i] == '"')
            return ConvertLikeAtoi(commandLine + i + 1);
    }
    return 0;
}

int GetStartTime() { return GetStartTime(Platform::GetCommandLine()); }

} // namespace Demo
