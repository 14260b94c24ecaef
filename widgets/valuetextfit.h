#pragma once

#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPaintDevice;

// Fitting a gauge's value text into its box by the ink its digits put down.
namespace ValueTextFit {

// Where the text puts ink, relative to its baseline origin: across its
// advance, and at least as high as a full digit cell so that texts without a
// top bar ("111") sit at the same height as the others.
QRectF extent(const QFont &font, QPaintDevice *device, const QString &text);

// Shrinks the font until the text fits the room (at the gauge's size a reading
// of three digits and a unit fits as it is); returns the text's extent.
QRectF fitFont(QFont &font, QPaintDevice *device, const QString &text, QSizeF room);

} // namespace ValueTextFit
