#pragma once

#include <QString>
#include <QStringView>

namespace vimbrel {

// What the program's local pages (the thumbnail page, the results page, the detail page) have
// in common: the lines of their skeleton, the pieces of a picture line, and the escapers that
// keep a path, an address or a name inside its attribute. Pure text, no file and no widget.
namespace PageHtml {

// "<body bgcolor=COLOUR>", the colour written as it is given.
[[nodiscard]] QString colourBody(QStringView colour);
// Only the characters and digits of a colour, so the body line stays one attribute; #FFFFFF
// when nothing is left.
[[nodiscard]] QString colourAttribute(QStringView colour);
// The body line of the thumbnail, relayout and detail pages: no context menu, no margins.
[[nodiscard]] QString marginlessBody();
// The same for the results page straight from an extraction, which spells the handler its way.
[[nodiscard]] QString marginlessBodyReturnFalse();
[[nodiscard]] QString centredDiv();

// A picture linked to itself, opened in a new window: <a href="A" target="_blank"><img
// border="1" src="A, the src value's closing quote left to the caller, since what follows it
// differs from page to page: LinkOpen + A + LinkToPicture + A + the page's own end, one
// string a line however many thousand lines a page has.
inline constexpr QLatin1String LinkOpen("<a href=\"");
inline constexpr QLatin1String LinkToPicture("\" target=\"_blank\"><img border=\"1\" src=\"");
// A picture without a link: <img border="1" src="A, likewise open.
[[nodiscard]] QString pictureOpen(QStringView address);

// A web address as it goes inside a double-quoted href or src: ordinary addresses unchanged,
// anything that could end the attribute or the tag percent-encoded.
[[nodiscard]] QString attributeAddress(const QString &address);
// A local path as the address of a double-quoted href or src, read relative to the page's own
// file: URL; a name that is not UTF-8 (FileNames) spelt byte by byte.
[[nodiscard]] QString pathAddress(const QString &path);
// A text as the value of an attribute: as it is where nothing in it can end or change the
// attribute, else quoted and written with numeric character references.
[[nodiscard]] QString attributeText(QStringView text);

} // namespace PageHtml

} // namespace vimbrel
