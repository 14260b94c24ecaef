#pragma once

#include <QDialog>

class QLineEdit;

namespace Ui {
class NetworkDialog;
}

// Edits the [Network] section of the settings file: whether the window
// publishes its readings, to which broker, under which bench name, with
// which credentials file and CA file, and with Home Assistant's discovery.
class NetworkDialog : public QDialog
{
    Q_OBJECT

public:
    explicit NetworkDialog(QWidget *parent = nullptr);
    ~NetworkDialog() override;

    // Fills the dialog from the settings file.
    void loadFromSettings();
    void applyLanguage();

signals:
    // The settings file holds the new settings.
    void NetworkSaved_sig();

public slots:
    void on_pushButton_save_clicked();
    void on_toolButton_authFile_clicked();
    void on_toolButton_caFile_clicked();

private:
    void browse(QLineEdit *edit);

    Ui::NetworkDialog *ui = nullptr;
};
