// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

namespace kelmora::art {

constexpr QSize kHelpPageSize{621, 509};

// The picture of a name used in {braces}, or a null image when there is none of that name.
using PictureLookup = std::function<QImage(const QString &name)>;

// Draws a help page on white from its text: plain UTF-8 with one element per line.
//   # Title        the page title, across the top
//   ## Heading     a section heading
//   - item         a bullet item
//   ---            what follows goes into the right-hand column
//   >> Caption     the caption beside the curved arrow at the bottom right
//   other lines    paragraph text; lines run together until a blank line
// Inside text, *words* are bold and {name} places a picture.
// The page is kHelpPageSize times ratio pixels, laid out alike at every ratio; pictures come
// at the same ratio. Throws ArtError when the text does not fit the page or names an unknown
// picture.
QImage drawHelpPage(const QString &text, const PictureLookup &pictures, qreal ratio = 1);

} // namespace kelmora::art
