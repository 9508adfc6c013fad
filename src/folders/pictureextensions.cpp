#include "folders/pictureextensions.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vimbrel {

namespace {

constexpr std::uint32_t pack(std::string_view ext)
{
    std::uint32_t packed = 0;
    for (char c : ext)
        packed = (packed << 8) | static_cast<unsigned char>(c);
    return packed;
}

// The set behind the list "$$$,bmp,jpg,jpeg,gif,png,tif,tiff,": the leading "$$$" only gives
// "bmp" a comma in front and is never an extension itself. Every name of a folder is tested,
// so the extension is packed into one number in lower case and compared as that.
template <typename Char> bool isPictureExtension(const Char *ext, size_t length)
{
    if (length < 3 || length > 4)
        return false;
    std::uint32_t packed = 0;
    for (size_t i = 0; i < length; ++i) {
        auto c = static_cast<char32_t>(static_cast<std::make_unsigned_t<Char>>(ext[i]));
        if (c >= 0x80)
            return false;
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        packed = (packed << 8) | c;
    }
    switch (packed) {
    case pack("bmp"):
    case pack("jpg"):
    case pack("jpeg"):
    case pack("gif"):
    case pack("png"):
    case pack("tif"):
    case pack("tiff"):
    // Beyond the list: what most web and phone pictures come in today.
    case pack("webp"):
    case pack("avif"):
        return true;
    default:
        return false;
    }
}

} // namespace

bool isPictureName(QStringView fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const qsizetype start = dot + 1; // the whole name when there is no dot
    return isPictureExtension(fileName.utf16() + start,
                              static_cast<size_t>(fileName.size() - start));
}

bool isPictureName(std::string_view fileName)
{
    const size_t dot = fileName.rfind('.');
    const size_t start = dot == std::string_view::npos ? 0 : dot + 1;
    return isPictureExtension(fileName.data() + start, fileName.size() - start);
}

} // namespace vimbrel
