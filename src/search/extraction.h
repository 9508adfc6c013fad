#pragma once

#include <QList>
#include <QString>

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

// Clears the list and fills it from the document's elements by the rule, in document order,
// up to the list's capacity. Addresses that could run script (javascript:, vbscript: and any
// scheme other than http, https, file and data) are not taken.
void extract(Rule rule, const QList<BrowserView::Element> &elements, const QString &host,
             ResultList &into);

// Whether an address may stand on the results page at all: its scheme, read as a browser
// reads it, is http, https, file or data, or it has none (it is then relative to the page).
[[nodiscard]] bool acceptableScheme(const QString &address);

} // namespace Extraction

} // namespace vimbrel
