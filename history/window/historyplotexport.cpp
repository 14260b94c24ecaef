#include "historyplotexport.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <qwt_plot.h>
#include <qwt_plot_renderer.h>

namespace {

QSize stackedSize(const QList<QWidget *> &plots)
{
    QSize size;
    for (const QWidget *plot : plots)
        size = QSize(qMax(size.width(), plot->width()), size.height() + plot->height());
    return size;
}

void paintStacked(const QList<QWidget *> &plots, QPainter &painter)
{
    QwtPlotRenderer renderer;
    int top = 0;
    for (QWidget *widget : plots) {
        const QRectF rect(0, top, widget->width(), widget->height());
        if (auto *plot = qobject_cast<QwtPlot *>(widget)) {
            painter.fillRect(rect, plot->canvasBackground());
            renderer.render(plot, &painter, rect);
        }
        top += widget->height();
    }
}

} // namespace

bool HistoryPlotExport::writePng(const QList<QWidget *> &plots, const QString &path)
{
    const QSize size = stackedSize(plots);
    if (size.isEmpty())
        return false;
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(30, 30, 30));
    {
        QPainter painter(&image);
        paintStacked(plots, painter);
    }
    return image.save(path, "PNG");
}

bool HistoryPlotExport::writeSvg(const QList<QWidget *> &plots, const QString &path)
{
    const QSize size = stackedSize(plots);
    if (size.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QSvgGenerator generator;
    generator.setOutputDevice(&file);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(), size));
    {
        QPainter painter(&generator);
        if (!painter.isActive())
            return false;
        paintStacked(plots, painter);
    }
    file.close();
    return file.error() == QFile::NoError;
}
