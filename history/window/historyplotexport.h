#pragma once

#include <QList>
#include <QString>

class QWidget;

// The history plots as shown, stacked as in the window, into a PNG or an
// SVG file.
class HistoryPlotExport
{
public:
    static bool writePng(const QList<QWidget *> &plots, const QString &path);
    static bool writeSvg(const QList<QWidget *> &plots, const QString &path);
};
