#pragma once

#include <QString>
#include <QStringList>

#include "search/extraction.h"
#include "search/resultlist.h"

namespace vimbrel {

// The lines of the results page (without line ends; the page file adds CR LF to each).
namespace ResultsPage {

// The body line and one picture line per entry, each picture line followed by an empty line.
[[nodiscard]] QStringList extractionLines(Extraction::Rule rule, const ResultList &list);
// The re-layout: matrix mode 0 own size centred, 1 to 4 that many a row at width pixels.
[[nodiscard]] QStringList relayoutLines(const ResultList &list, int matrixMode, int width,
                                        const QString &background);

// W0: the results view's pixel width at 15 twips a pixel, less 40, rounded half to even.
[[nodiscard]] int viewWidth0(int viewWidthTwips);
// W of matrix modes 1 to 4 (mode 0 gives W0 as well; it is not used there).
[[nodiscard]] int matrixWidth(int viewWidthTwips, int mode);

} // namespace ResultsPage

} // namespace vimbrel
