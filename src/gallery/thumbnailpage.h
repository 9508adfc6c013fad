#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "folders/imagelist.h"

namespace vimbrel {

enum class DisplayStyle { Centre = 0, Stretch = 1, Tile = 2 };

// The lines of a thumbnail page: pure text, no file and no widget.
namespace ThumbnailPage {

using WidthFunction = std::function<int(const QString &path)>;

// W0: the view's width in its own pixels, less 30.
[[nodiscard]] int baseWidth(int viewWidthPixels);
// The picture width of a matrix mode (0 gives W0 itself).
[[nodiscard]] int matrixWidth(int w0, int matrixMode);
// ceiling(count / pageSize); 0 for an empty list.
[[nodiscard]] int pageCount(int imageCount, int pageSize);

struct Request
{
    const ImageList *images = nullptr;
    int currentPage = 1;
    int pageSize = 30;
    QString background = QStringLiteral("#FFFFFF");
    int matrixMode = 0;
    DisplayStyle style = DisplayStyle::Centre; // Stretch and Tile ignore the matrix mode
    int w0 = 0;
};

// A picture of the page and the width it is shown at: its width attribute, 0 when it has none
// and keeps its own size.
struct ShownPicture
{
    QString path;
    int width = 0;
};

struct Result
{
    QStringList lines;  // without line ends
    QString pageFolder; // folder of the page's first picture, with its final "/"; empty
                        // when the page holds no picture
    bool nextEnabled = false;
    int pageCount = 0;
    int pictureCount = 0; // pictures on the page
    QList<ShownPicture> pictures;
};

// widthOf is asked only in matrix mode 0 of the centred style.
[[nodiscard]] Result build(const Request &request, const WidthFunction &widthOf);

// The width attribute a picture line gets; 0 for none.
[[nodiscard]] int widthAttribute(int matrixMode, DisplayStyle style, int width, int pictureWidth);

// One picture line (without CR LF) for a path; exposed for tests of the escaping.
[[nodiscard]] QString pictureLine(const QString &path, int matrixMode, DisplayStyle style,
                                  int width, int pictureWidth);

} // namespace ThumbnailPage

} // namespace vimbrel
