#pragma once

#include <QColor>
#include <QObject>
#include <QPixmap>
#include <QStyle>

class QWidget;

// Lets a widget with rounded corners that sits on a flat panel be repainted
// alone. Qt paints whatever lies under a widget that is not opaque first, from
// the window down, at every change of the widget; this one paints the panel's
// colour beneath itself instead and counts as opaque. Only for widgets whose
// corners show nothing but that colour.
class FlatBackdrop : public QObject
{
public:
    // The instrument panels' background, behind their value boxes.
    static const QColor kDarkPanel; // rgb(30, 30, 30)

    static void install(QWidget *widget, const QColor &panelColour);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FlatBackdrop(const QColor &panelColour, QObject *parent);
    void paintBackdrop(QPainter *painter, QWidget *widget, const QStyleOption &option) const;

    QColor panelColour;
    // The backdrop as last painted: the style sheet's rounded border costs
    // more to draw than the text over it, and it only changes with the
    // widget's size, style, palette or state.
    QPixmap cache;
    qint64 cachedPalette = 0;
    QStyle::State cachedState;
};
