// Language switching of the main window and every window it owns.
#include "digitalmultable_widget.h"
#include "languagetext.h"
#include "mainwindow.h"
#include "pseudoterminal.h"
#include "rangesetting_dialog.h"
#include "serialsettingdlg.h"
#include "settinginfo.h"
#include "testenvironment.h"
#include "vision_dialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTextCodec>
#include <QToolButton>
#include <QtTest>

namespace {

const char *const languageActions[] = {"action_ch", "action_tch", "action_en", "action_ru",
                                       "action_ge", "action_fr",  "action_ja", "action_it"};

using TestEnvironment::writeSettings;

QString languagePath(int code)
{
    return QCoreApplication::applicationDirPath() + languageFileName(code);
}

// The texts of one language file, read the way a translator's file is meant to be read.
struct LanguageFile
{
    explicit LanguageFile(int code) : file(languagePath(code), QSettings::IniFormat)
    {
        file.setIniCodec(QTextCodec::codecForName("UTF-8"));
    }
    QString operator()(const QString &key) const { return file.value(key).toString(); }
    QSettings file;
};

// What a widget of the given width shows of a text.
QString fitted(const QWidget *widget, const QString &text, int width = -1)
{
    return widget->fontMetrics().elidedText(text, Qt::ElideRight,
                                            width < 0 ? widget->width() : width);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces one language file for the lifetime of the guard.
class LanguageFileGuard
{
public:
    explicit LanguageFileGuard(int code) : path(languagePath(code)), saved(path + ".saved")
    {
        QFile::remove(saved);
        moved = QFile::rename(path, saved);
    }
    ~LanguageFileGuard()
    {
        QFile::remove(path);
        QFile::rename(saved, path);
    }
    // A copy of the original file with some texts changed.
    void writeWith(const QMap<QString, QString> &texts) const
    {
        QFile::remove(path);
        QFile::copy(saved, path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QSettings file(path, QSettings::IniFormat);
        file.setIniCodec(QTextCodec::codecForName("UTF-8"));
        for (auto it = texts.begin(); it != texts.end(); ++it)
            file.setValue(it.key(), it.value());
    }
    const QString path;
    const QString saved;
    bool moved = false;
};

struct Windows
{
    MainWindow window;
    QAction *languageAction = nullptr;
    QAction *displayTypeAction = nullptr;
    QAction *rangeSettingAction = nullptr;
    QAction *valueAction = nullptr;
    QAction *graphicAction = nullptr;

    Windows()
    {
        const QList<QAction *> viewActions =
            window.findChild<QToolButton *>("toolButton_view")->menu()->actions();
        displayTypeAction = viewActions.value(4);
        rangeSettingAction = viewActions.value(5);
        valueAction = displayTypeAction->menu()->actions().value(0);
        graphicAction = displayTypeAction->menu()->actions().value(1);
        languageAction = window.findChild<QToolButton *>("toolButton_help")->menu()->actions()[0];
        window.show();
    }

    template <typename T = QWidget> T *main(const char *name)
    {
        return window.findChild<T *>(name);
    }
    QAction *action(const char *name) { return main<QAction>(name); }

    void choose(int code) { action(languageActions[code])->trigger(); }

    // Every language-driven text of every window, as the language file gives it.
    void verifyTexts(const LanguageFile &text)
    {
        const auto serial = [&](const char *entry) {
            return text(QStringLiteral("ids_Serialport_Language/") + entry);
        };
        const auto menu = [&](const char *entry) {
            return text(QStringLiteral("ids_MenuBar_Language/") + entry);
        };
        const auto label = [&](QWidget *owner, const char *name) {
            return owner->findChild<QLabel *>(name);
        };
        auto *label_Auto = main<QLabel>("label_Auto");
        auto *label_multimeter = main<QLabel>("label_multimeter");
        QCOMPARE(label_Auto->text(), fitted(label_Auto, serial("ids_auto")));
        QCOMPARE(label_multimeter->text(), fitted(label_multimeter, serial("ids_multimeter"),
                                                  main("groupBox_multimeter")->width()));
        const struct
        {
            const char *label, *action, *key;
        } devices[] = {{nullptr, "action_multimeter", "ids_multimeter"},
                       {"label_regularpower", "action_regularPower", "ids_power"},
                       {"label_electriciron", "action_electricIron", "ids_electricIron"},
                       {"label_airgun", "action_airgun", "ids_airgun"}};
        for (const auto &device : devices) {
            if (device.label)
                QCOMPARE(main<QLabel>(device.label)->text(),
                         fitted(main(device.label), serial(device.key)));
            QCOMPARE(action(device.action)->text(), serial(device.key));
        }
        QCOMPARE(action("action_SerialSetting")->text(), menu("ids_serialsetting"));
        QCOMPARE(action("action_close")->text(), menu("ids_exit"));
        const char *const languageKeys[] = {"ids_language_cn", "ids_language_tw", "ids_language_en",
                                            "ids_language_ru", "ids_language_de", "ids_language_fr",
                                            "ids_language_jp", "ids_language_it"};
        for (int code = 0; code < 8; ++code)
            QCOMPARE(action(languageActions[code])->text(), menu(languageKeys[code]));
        QCOMPARE(languageAction->text(), menu("ids_language"));
        QCOMPARE(action("action_version")->text(), menu("ids_version"));
        QCOMPARE(main<QLabel>("statusLabel")->text(), serial("ids_NotconnectRemind"));
        QCOMPARE(main("pushButton_serial")->toolTip(), menu("ids_serialsetting"));
        QCOMPARE(main("toolButton_view")->toolTip(), menu("ids_view"));
        QCOMPARE(main("toolButton_help")->toolTip(), menu("ids_help"));
        QCOMPARE(displayTypeAction->text(), serial("ids_displaytype"));
        QCOMPARE(rangeSettingAction->text(), serial("ids_rangesetting"));
        QCOMPARE(graphicAction->text(), serial("ids_graphic"));
        QCOMPARE(valueAction->text(), serial("ids_numvalue"));

        SerialSettingDlg *serialDlg = window.serialSettingDlg();
        const struct
        {
            const char *name, *key;
        } serialWidgets[] = {
            {"label_serialname", "ids_portName"},  {"label_BaudRate", "ids_baudRate"},
            {"label_databit", "ids_dataBit"},      {"label_parity", "ids_parity"},
            {"label_stopbit", "ids_stopBit"},      {"pushButton_open", "ids_openSerial"},
            {"pushButton_close", "ids_stopSerial"}};
        for (const auto &entry : serialWidgets) {
            auto *widget = serialDlg->findChild<QWidget *>(entry.name);
            QCOMPARE(widget->property("text").toString(), fitted(widget, serial(entry.key)));
        }
        QCOMPARE(serialDlg->windowTitle(), menu("ids_serialsetting"));

        Vision_Dialog *versionDlg = window.versionDialog();
        QCOMPARE(label(versionDlg, "label_version")->text(),
                 fitted(label(versionDlg, "label_version"), menu("ids_versionNum")));
        QCOMPARE(versionDlg->windowTitle(), menu("ids_version"));

        RangeSetting_Dialog *rangeDlg = window.rangeDialog();
        for (const auto &entry : {std::make_pair("groupBox_power", "ids_power"),
                                  std::make_pair("groupBox_electriciron", "ids_electricIron"),
                                  std::make_pair("groupBox_airgun", "ids_airgun")}) {
            auto *box = rangeDlg->findChild<QGroupBox *>(entry.first);
            QCOMPARE(box->title(), fitted(box, serial(entry.second)));
        }
        for (const auto &entry :
             {std::make_pair("label_v", "ids_voltage"), std::make_pair("label_a", "ids_current"),
              std::make_pair("label_vunit", "ids_unit"), std::make_pair("label_aunit", "ids_unit"),
              std::make_pair("label_electrictemp", "ids_temperature"),
              std::make_pair("label_electrictempunit", "ids_unit"),
              std::make_pair("label_airguntemp", "ids_temperature"),
              std::make_pair("label_airguntempunit", "ids_unit"),
              std::make_pair("label_speed", "ids_speed")}) {
            QLabel *widget = label(rangeDlg, entry.first);
            QCOMPARE(widget->text(), fitted(widget, serial(entry.second)));
        }
        auto *save = rangeDlg->findChild<QPushButton *>("pushButton_save");
        QCOMPARE(save->text(), fitted(save, text("Common_Language/ids_save")));

        auto *table = window.mulTablePanel()->findChild<QTableWidget *>("tableWidget");
        QCOMPARE(table->horizontalHeaderItem(0)->text(), serial("ids_type"));
        QCOMPARE(table->horizontalHeaderItem(1)->text(), serial("ids_value"));
    }

    void verifyOnlyChecked(int code)
    {
        for (int other = 0; other < 8; ++other)
            QVERIFY2(action(languageActions[other])->isChecked() == (other == code),
                     languageActions[other]);
    }
};

int storedLanguage()
{
    return QSettings(settingsFilePath(), QSettings::IniFormat)
        .value("ids_LanguageType/LanguageType")
        .toInt();
}

} // namespace

class LanguagesTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { curSetting = savedSetting = SettingInfo(); }

    void switchUpdatesEveryWindow()
    {
        writeSettings();
        Windows w;
        QVERIFY(w.window.serialSettingDlg()->isVisible());
        QVERIFY(!w.window.rangeDialog()->isVisible());
        w.verifyTexts(LanguageFile(0));
        w.verifyOnlyChecked(0);

        int previous = 0;
        for (int code : {2, 3, 4, 5, 6, 7, 1, 0}) {
            const LanguageFile text(code);
            // A switch that changed nothing on screen would go unnoticed otherwise.
            QVERIFY(text("ids_MenuBar_Language/ids_serialsetting") !=
                    LanguageFile(previous)("ids_MenuBar_Language/ids_serialsetting"));
            if (code == 5)
                w.window.versionDialog()->show();
            w.choose(code);
            w.verifyTexts(text);
            w.verifyOnlyChecked(code);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QString("after choosing language %1").arg(code)));
            QCOMPARE(storedLanguage(), code);
            previous = code;
        }
    }

    void connectedStatusFollowsTheLanguage()
    {
        PseudoTerminal line;
        QVERIFY(line.isOpen());
        writeSettings({{"SerialInfo/strSerialName", line.slavePath()}});
        Windows w;
        QVERIFY(!w.window.serialSettingDlg()->isVisible());
        auto *status = w.main<QLabel>("statusLabel");
        QCOMPARE(status->text(), LanguageFile(0)("ids_Serialport_Language/ids_connectRemind"));
        w.choose(3);
        QCOMPARE(status->text(), LanguageFile(3)("ids_Serialport_Language/ids_connectRemind"));
        QVERIFY(!status->text().isEmpty());
    }

    void choosingTheActiveLanguageAgainReappliesWithoutSaving()
    {
        writeSettings({{"ids_LanguageType/LanguageType", 2}});
        Windows w;
        w.verifyOnlyChecked(2);
        // A comment the settings writer would drop tells whether the file was rewritten.
        {
            QFile file(settingsFilePath());
            QVERIFY(file.open(QIODevice::Append));
            file.write("; left by hand\n");
        }
        const QByteArray before = fileBytes(settingsFilePath());
        w.main<QLabel>("label_Auto")->setText("stale");
        w.window.serialSettingDlg()->setWindowTitle("stale");
        languageText.clear();

        w.choose(2);
        QCOMPARE(fileBytes(settingsFilePath()), before);
        w.verifyTexts(LanguageFile(2));
        w.verifyOnlyChecked(2);
    }

    void labelsAreCutToTheirWidthActionsAreNot()
    {
        writeSettings();
        Windows w;
        auto *label_multimeter = w.main<QLabel>("label_multimeter");
        auto *label_Auto = w.main<QLabel>("label_Auto");
        auto *label_airgun = w.main<QLabel>("label_airgun");
        const int boxWidth = w.main("groupBox_multimeter")->width();
        QVERIFY(label_multimeter->width() + 10 < boxWidth);

        // A title wider than its label but narrower than its group box.
        QString title;
        while (label_multimeter->fontMetrics().horizontalAdvance(title) <
               (label_multimeter->width() + boxWidth) / 2)
            title += QChar('a' + title.size() % 26);
        const QString longText = QString("Long text ").repeated(12);

        LanguageFileGuard guard(7);
        QVERIFY(guard.moved);
        guard.writeWith({{"ids_Serialport_Language/ids_multimeter", title},
                         {"ids_Serialport_Language/ids_auto", longText},
                         {"ids_Serialport_Language/ids_airgun", longText},
                         {"ids_MenuBar_Language/ids_serialsetting", longText}});
        w.choose(7);
        QCOMPARE(label_multimeter->text(), title);
        QCOMPARE(w.action("action_multimeter")->text(), title);
        for (QLabel *label : {label_Auto, label_airgun}) {
            const QString shown = label->text();
            QVERIFY2(shown.endsWith(QChar(0x2026)), qPrintable(shown));
            QVERIFY(longText.startsWith(shown.chopped(1)));
            QVERIFY(shown.size() > 1);
            QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->width());
        }
        QCOMPARE(w.action("action_airgun")->text(), longText);
        QCOMPARE(w.action("action_SerialSetting")->text(), longText);
        QCOMPARE(w.main("pushButton_serial")->toolTip(), longText);
        QCOMPARE(w.window.serialSettingDlg()->windowTitle(), longText);

        // A title wider than the group box is cut at the group box's width.
        guard.writeWith({{"ids_Serialport_Language/ids_multimeter", longText}});
        w.choose(7);
        const QString shown = label_multimeter->text();
        QVERIFY2(shown.endsWith(QChar(0x2026)), qPrintable(shown));
        QVERIFY(longText.startsWith(shown.chopped(1)));
        const int shownWidth = label_multimeter->fontMetrics().horizontalAdvance(shown);
        QVERIFY2(shownWidth > label_multimeter->width() && shownWidth <= boxWidth,
                 qPrintable(QString::number(shownWidth)));
    }

    void missingLanguageFileGivesEmptyTexts()
    {
        writeSettings();
        Windows w;
        {
            LanguageFileGuard guard(6);
            QVERIFY(guard.moved);
            w.choose(6);
            w.verifyOnlyChecked(6);
            QCOMPARE(storedLanguage(), 6);
            const LanguageFile missing(6);
            QVERIFY(missing.file.allKeys().isEmpty());
            w.verifyTexts(missing);
            QVERIFY(w.main<QLabel>("label_multimeter")->text().isEmpty());
            QVERIFY(w.action("action_multimeter")->text().isEmpty());
        }
        w.choose(2);
        w.verifyTexts(LanguageFile(2));
        w.verifyOnlyChecked(2);
    }

    void unknownLanguageCodeGivesEmptyTextsAndNoCheckMark()
    {
        writeSettings({{"ids_LanguageType/LanguageType", 9}});
        Windows w;
        w.verifyOnlyChecked(-1);
        for (QWidget *widget : {w.main("label_multimeter"), w.main("label_Auto"),
                                w.main("label_airgun"), w.main("statusLabel")})
            QVERIFY(widget->property("text").toString().isEmpty());
        QVERIFY(w.action("action_en")->text().isEmpty());
        QVERIFY(w.window.serialSettingDlg()->windowTitle().isEmpty());

        w.choose(5);
        w.verifyTexts(LanguageFile(5));
        w.verifyOnlyChecked(5);
        QCOMPARE(storedLanguage(), 5);
    }
};

KORVANTA_TEST_MAIN(QApplication, LanguagesTest)
#include "tst_languages.moc"
