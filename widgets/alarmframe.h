#pragma once

#include <QWidget>

// A red frame laid over a panel while one of its quantities is out of
// bounds. It lets every click through and follows the panel's size; the
// panel itself, its style sheet and its layout stay as they are.
class AlarmFrame : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kPenWidth = 3;
    static const QColor kColour;

    // Shows or hides the frame over the panel, making it on first use.
    static void setShown(QWidget *panel, bool shown);
    // The panel's frame, or nullptr while it has had none.
    static AlarmFrame *of(const QWidget *panel);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    explicit AlarmFrame(QWidget *panel);
};
