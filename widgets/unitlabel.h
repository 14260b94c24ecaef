#pragma once

#include <QFont>
#include <QLabel>
#include <QRect>

// A unit beside a seven-segment readout. A unit that fits is drawn as any
// label draws it, centred in the label; one that would be cut at an edge, or
// would come within leftClearance pixels of the digits on its left, is
// centred in the room right of that instead, and drawn smaller where even
// that room is too narrow. The label's size and font stay as the form has them.
class UnitLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(int leftClearance READ leftClearance WRITE setLeftClearance)

public:
    explicit UnitLabel(QWidget *parent = nullptr);

    int leftClearance() const { return nLeftClearance; }
    void setLeftClearance(int pixels);

    // Where a text goes and in which font.
    struct Placement
    {
        QFont font;
        QRect rect; // the text is centred in it
    };
    Placement placement(const QString &text) const;
    // The room a unit's ink must stay in: the contents less the clearance.
    QRect inkRoom() const;

    // The smallest size a unit is shrunk to.
    static constexpr qreal kMinPointSize = 6;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int nLeftClearance = 0;
};
