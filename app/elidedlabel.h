#pragma once

#include <QLabel>

// A one-line label for a text that may be longer than its room: it shows the
// text cut at the right end to its current width and the whole text as its
// tooltip, and asks its layout for no width of its own, so a long text never
// widens the window.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    QString fullText() const { return strFullText; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elide();

    QString strFullText;
};
