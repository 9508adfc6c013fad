#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace vimbrel {

// Numbers typed into input boxes: the answer's leading number, rounded half to even.
namespace NumberAnswer {

// The leading number of the text (blanks before it, a sign, digits, a fraction, an exponent);
// 0 when the text does not begin with a number. May be huge or infinite.
[[nodiscard]] double leadingNumber(QStringView text);

struct Answer
{
    int value = 0;         // 0 for no answer, no number, or out of range
    bool inRange = true;   // false when the number does not fit in 32 bits
    bool positive = false; // the number read was above 0 (even when out of range)
};

// What an input-box answer means as a whole number; nullopt (cancelled) gives 0.
[[nodiscard]] Answer read(const std::optional<QString> &answer);

} // namespace NumberAnswer

} // namespace vimbrel
