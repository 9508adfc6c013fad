#include "gallery/pictureextensions.h"

#include <array>

namespace vimbrel {

namespace {

// The set behind the list "$$$,bmp,jpg,jpeg,gif,png,tif,tiff,": the leading "$$$" only gives
// "bmp" a comma in front and is never an extension itself.
constexpr std::array<std::string_view, 7> Extensions = {"bmp", "jpg",  "jpeg", "gif",
                                                        "png", "tiff", "tif"};

template <typename Char> bool isPictureExtension(const Char *ext, size_t length)
{
    if (length < 3 || length > 4)
        return false;
    char lower[4];
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<char32_t>(ext[i]);
        if (c >= 'A' && c <= 'Z')
            lower[i] = static_cast<char>(c - 'A' + 'a');
        else if (c < 0x80)
            lower[i] = static_cast<char>(c);
        else
            return false;
    }
    const std::string_view e(lower, length);
    for (std::string_view known : Extensions) {
        if (e == known)
            return true;
    }
    return false;
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
