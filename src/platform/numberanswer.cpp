#include "platform/numberanswer.h"

#include <cmath>
#include <limits>
#include <string>

#include "platform/rounding.h"

namespace vimbrel {

namespace NumberAnswer {

double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    while (i < n && isBlank(text[i]))
        ++i;
    std::string number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        number += char(text[i++].unicode());
    bool digits = false;
    while (i < n && isDigit(text[i])) {
        number += char(text[i++].unicode());
        digits = true;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        while (i < n && isDigit(text[i])) {
            number += char(text[i++].unicode());
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            exponent += char(text[j++].unicode());
        bool expDigits = false;
        while (j < n && isDigit(text[j]) && exponent.size() < 12) {
            exponent += char(text[j++].unicode());
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    return std::strtod(number.c_str(), nullptr);
}

Answer read(const std::optional<QString> &answer)
{
    Answer result;
    if (!answer)
        return result;
    const double number = leadingNumber(*answer);
    result.positive = number > 0;
    if (const auto value = roundHalfEvenChecked(number))
        result.value = *value;
    else
        result.inRange = false;
    return result;
}

} // namespace NumberAnswer

} // namespace vimbrel
