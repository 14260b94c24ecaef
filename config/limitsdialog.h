#pragma once

#include <QDialog>

namespace Ui {
class LimitsDialog;
}

// Edits the [Limits] section of the settings file: a row per limit, the two
// stations' process checks and whether an alarm sounds. Keys the dialog does
// not understand stay in the file as the user wrote them.
class LimitsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LimitsDialog(QWidget *parent = nullptr);
    ~LimitsDialog() override;

    // Fills the dialog from the settings file.
    void loadFromSettings();
    void applyLanguage();

signals:
    // The settings file holds the new limits.
    void LimitsSaved_sig();

public slots:
    void on_pushButton_add_clicked();
    void on_pushButton_remove_clicked();
    void on_pushButton_save_clicked();

private:
    void fitColumns();

    void addRow(const QString &key, const QString &low, const QString &high, const QString &delay,
                const QString &hysteresis);

    Ui::LimitsDialog *ui = nullptr;
    int minimumWidthAtStart = 0;
};
