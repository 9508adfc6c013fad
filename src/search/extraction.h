#pragma once

#include <QList>
#include <QString>

#include "platform/settings.h"
#include "search/resultlist.h"
#include "view/browserview.h"

namespace vimbrel {

// Taking the pictures out of a loaded page.
namespace Extraction {

enum class Rule {
    SearchResult, // a result page of the image-search service: the addresses its links carry
    Page,         // any other page: its pictures
};

// SearchResult when the address box's text begins with the service's search result prefix.
[[nodiscard]] Rule ruleFor(const QString &addressBoxText, const QString &host);

struct Options
{
    // A picture inside a link to a picture address stands for the picture the link leads to
    // (a thumbnail for its original).
    bool linkedOriginals = false;
};

// [Search] LinkedOriginals: off unless set to 1, true, yes or on.
[[nodiscard]] Options optionsFrom(const Settings &settings);

// Clears the list and fills it from the document's elements by the rule, in document order,
// up to the list's capacity. Empty addresses and addresses that could run script (javascript:,
// vbscript: and any scheme other than http, https, file and data) are not taken.
void extract(Rule rule, const QList<BrowserView::Element> &elements, const QString &host,
             ResultList &into, const Options &options = {});

// The address a picture element stands for under the options: its own, or with linked
// originals the target of the link around it when that names a picture.
[[nodiscard]] QString pictureAddress(const BrowserView::Element &picture, const Options &options);

// Whether an address's path ends in a picture extension (bmp, jpg, jpeg, gif, png, tif, tiff,
// webp, avif), in any letter case; the query and fragment do not count.
[[nodiscard]] bool namesPicture(const QString &address);

// Whether an address may stand on the results page at all: its scheme, read as a browser
// reads it, is http, https, file or data, or it has none (it is then relative to the page).
[[nodiscard]] bool acceptableScheme(const QString &address);

} // namespace Extraction

} // namespace vimbrel
