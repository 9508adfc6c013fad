#include "folders/naturalorder.h"

#include <QChar>
#include <QStringDecoder>
#include <QVarLengthArray>

#include <algorithm>
#include <type_traits>

namespace vimbrel {

namespace {

inline bool isDigit(char32_t c)
{
    return c >= '0' && c <= '9';
}

inline char32_t fold(char16_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    return QChar::toCaseFolded(static_cast<char32_t>(c));
}

inline char32_t fold(char c)
{
    // Only called on ASCII names.
    return (c >= 'A' && c <= 'Z') ? static_cast<char32_t>(c + ('a' - 'A'))
                                  : static_cast<char32_t>(static_cast<unsigned char>(c));
}

// Compares the names as sequences of tokens: a run of digits is one token ordered by its value
// and placed where its digits would sort among single characters; every other unit is one token
// ordered by its case-folded value. Returns <0, 0 or >0; 0 means equal up to case and leading
// zeros.
template <typename Char> int compareTokens(const Char *a, size_t na, const Char *b, size_t nb)
{
    size_t i = 0;
    size_t j = 0;
    while (i < na && j < nb) {
        const auto ca = static_cast<char32_t>(a[i]);
        const auto cb = static_cast<char32_t>(b[j]);
        if (isDigit(ca) && isDigit(cb)) {
            while (i < na && a[i] == '0')
                ++i;
            while (j < nb && b[j] == '0')
                ++j;
            size_t ea = i;
            while (ea < na && isDigit(static_cast<char32_t>(a[ea])))
                ++ea;
            size_t eb = j;
            while (eb < nb && isDigit(static_cast<char32_t>(b[eb])))
                ++eb;
            if (ea - i != eb - j)
                return ea - i < eb - j ? -1 : 1;
            for (; i < ea; ++i, ++j) {
                if (a[i] != b[j])
                    return a[i] < b[j] ? -1 : 1;
            }
            continue;
        }
        const char32_t fa = fold(a[i]);
        const char32_t fb = fold(b[j]);
        if (fa != fb)
            return fa < fb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < na)
        return 1;
    if (j < nb)
        return -1;
    return 0;
}

template <typename Char> int plainCompare(const Char *a, size_t na, const Char *b, size_t nb)
{
    const size_t n = std::min(na, nb);
    for (size_t k = 0; k < n; ++k) {
        using U = std::make_unsigned_t<Char>;
        if (a[k] != b[k])
            return static_cast<U>(a[k]) < static_cast<U>(b[k]) ? -1 : 1;
    }
    return na == nb ? 0 : (na < nb ? -1 : 1);
}

template <typename Char> bool lessTotal(const Char *a, size_t na, const Char *b, size_t nb)
{
    const int c = compareTokens(a, na, b, nb);
    if (c != 0)
        return c < 0;
    return plainCompare(a, na, b, nb) < 0;
}

bool isAscii(std::string_view s)
{
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

using Utf16Buffer = QVarLengthArray<QChar, 512>;

QStringView decode(std::string_view s, Utf16Buffer &buffer)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    buffer.resize(static_cast<qsizetype>(decoder.requiredSpace(static_cast<qsizetype>(s.size()))));
    QChar *end = decoder.appendToBuffer(buffer.data(), QByteArrayView(s.data(), s.size()));
    return QStringView(buffer.data(), end - buffer.data());
}

// Code values in the UTF-8 scheme, which keeps their order when compared byte by byte.
void appendOrdered(std::string &key, char32_t c)
{
    if (c < 0x80) {
        key.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        key.push_back(static_cast<char>(0xC0 | (c >> 6)));
        key.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        key.push_back(static_cast<char>(0xE0 | (c >> 12)));
        key.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        key.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        key.push_back(static_cast<char>(0xF0 | (c >> 18)));
        key.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        key.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        key.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The tokens of compareTokens as bytes: a run of digits becomes "0" (any digit compares the
// same against a unit that is not one), its length without leading zeros in two bytes, then
// those digits; every other unit its folded value. Then a NUL, which ends the shorter of two
// keys that agree so far, and the units themselves for the tie-break of plainCompare.
template <typename Char> void appendKey(std::string &key, const Char *s, size_t n)
{
    for (size_t i = 0; i < n;) {
        if (isDigit(static_cast<char32_t>(s[i]))) {
            while (i < n && s[i] == '0')
                ++i;
            size_t end = i;
            while (end < n && isDigit(static_cast<char32_t>(s[end])))
                ++end;
            const size_t length = end - i;
            key.push_back('0');
            key.push_back(static_cast<char>((length >> 8) & 0xFF));
            key.push_back(static_cast<char>(length & 0xFF));
            for (; i < end; ++i)
                key.push_back(static_cast<char>(s[i]));
            continue;
        }
        appendOrdered(key, fold(s[i]));
        ++i;
    }
    key.push_back('\0');
    for (size_t i = 0; i < n; ++i)
        appendOrdered(key, static_cast<char32_t>(static_cast<std::make_unsigned_t<Char>>(s[i])));
}

} // namespace

void appendNaturalSortKey(std::string &key, std::string_view storedName)
{
    if (isAscii(storedName)) {
        appendKey(key, storedName.data(), storedName.size());
        return;
    }
    Utf16Buffer buffer;
    const QStringView name = decode(storedName, buffer);
    appendKey(key, name.utf16(), static_cast<size_t>(name.size()));
}

bool naturalLess(QStringView a, QStringView b)
{
    return lessTotal(a.utf16(), static_cast<size_t>(a.size()), b.utf16(),
                     static_cast<size_t>(b.size()));
}

bool naturalLess(std::string_view a, std::string_view b)
{
    // ASCII is the same in UTF-8 and UTF-16, so the order is the same as on the decoded names.
    if (isAscii(a) && isAscii(b))
        return lessTotal(a.data(), a.size(), b.data(), b.size());
    Utf16Buffer ba;
    Utf16Buffer bb;
    return naturalLess(decode(a, ba), decode(b, bb));
}

} // namespace vimbrel
