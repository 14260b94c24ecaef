#pragma once

#include <QString>

class QWidget;

// A text cut at the right end, with an ellipsis, to fit a width in pixels measured
// with the widget's current font; the width of the widget itself when not given.
QString fitText(const QWidget *widget, const QString &text, int width = -1);
