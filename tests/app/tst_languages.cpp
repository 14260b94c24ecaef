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
    explicit LanguageFile(int code) : LanguageFile(languagePath(code)) {}
    explicit LanguageFile(const QString &path) : file(path, QSettings::IniFormat)
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

    // Compares a text property of a window's child, or of the window itself, with a
    // text: whole, cut to the widget's own width (Cut) or to a given width.
    enum
    {
        Whole = -2,
        Cut = -1
    };
    void expect(QObject *owner, const char *name, const char *property, const QString &text,
                int width = Whole)
    {
        QObject *object = name ? owner->findChild<QObject *>(name) : owner;
        QVERIFY2(object, name);
        const QString shown = object->property(property).toString();
        const QString expected =
            width == Whole ? text : fitted(qobject_cast<QWidget *>(object), text, width);
        QVERIFY2(shown == expected, qPrintable(QString("%1 %2 is \"%3\", expected \"%4\"")
                                                   .arg(name ? name : "window", property)
                                                   .arg(shown, expected)));
    }

    // Every language-driven text of every window, as the language file gives it.
    void verifyTexts(const LanguageFile &file)
    {
        const auto serial = [&](const char *entry) {
            return file(QStringLiteral("ids_Serialport_Language/") + entry);
        };
        const auto menu = [&](const char *entry) {
            return file(QStringLiteral("ids_MenuBar_Language/") + entry);
        };
        QObject *m = &window;
        expect(m, "label_Auto", "text", serial("ids_auto"), Cut);
        expect(m, "label_multimeter", "text", serial("ids_multimeter"),
               main("groupBox_multimeter")->width());
        expect(m, "label_regularpower", "text", serial("ids_power"), Cut);
        expect(m, "label_electriciron", "text", serial("ids_electricIron"), Cut);
        expect(m, "label_airgun", "text", serial("ids_airgun"), Cut);
        expect(m, "action_multimeter", "text", serial("ids_multimeter"));
        expect(m, "action_regularPower", "text", serial("ids_power"));
        expect(m, "action_electricIron", "text", serial("ids_electricIron"));
        expect(m, "action_airgun", "text", serial("ids_airgun"));
        expect(m, "action_SerialSetting", "text", menu("ids_serialsetting"));
        expect(m, "action_close", "text", menu("ids_exit"));
        const char *const languageKeys[] = {"ids_language_cn", "ids_language_tw", "ids_language_en",
                                            "ids_language_ru", "ids_language_de", "ids_language_fr",
                                            "ids_language_jp", "ids_language_it"};
        for (int code = 0; code < 8; ++code)
            expect(m, languageActions[code], "text", menu(languageKeys[code]));
        expect(languageAction, nullptr, "text", menu("ids_language"));
        expect(m, "action_version", "text", menu("ids_version"));
        expect(m, "statusLabel", "text", serial("ids_NotconnectRemind"));
        expect(m, "pushButton_serial", "toolTip", menu("ids_serialsetting"));
        expect(m, "toolButton_view", "toolTip", menu("ids_view"));
        expect(m, "toolButton_help", "toolTip", menu("ids_help"));
        expect(displayTypeAction, nullptr, "text", serial("ids_displaytype"));
        expect(rangeSettingAction, nullptr, "text", serial("ids_rangesetting"));
        expect(graphicAction, nullptr, "text", serial("ids_graphic"));
        expect(valueAction, nullptr, "text", serial("ids_numvalue"));

        QObject *s = window.serialSettingDlg();
        expect(s, "label_serialname", "text", serial("ids_portName"), Cut);
        expect(s, "label_BaudRate", "text", serial("ids_baudRate"), Cut);
        expect(s, "label_databit", "text", serial("ids_dataBit"), Cut);
        expect(s, "label_parity", "text", serial("ids_parity"), Cut);
        expect(s, "label_stopbit", "text", serial("ids_stopBit"), Cut);
        expect(s, "pushButton_open", "text", serial("ids_openSerial"), Cut);
        expect(s, "pushButton_close", "text", serial("ids_stopSerial"), Cut);
        expect(s, nullptr, "windowTitle", menu("ids_serialsetting"));

        QObject *v = window.versionDialog();
        expect(v, "label_version", "text", menu("ids_versionNum"), Cut);
        expect(v, nullptr, "windowTitle", menu("ids_version"));

        QObject *r = window.rangeDialog();
        expect(r, "groupBox_power", "title", serial("ids_power"), Cut);
        expect(r, "groupBox_electriciron", "title", serial("ids_electricIron"), Cut);
        expect(r, "groupBox_airgun", "title", serial("ids_airgun"), Cut);
        expect(r, "label_v", "text", serial("ids_voltage"), Cut);
        expect(r, "label_a", "text", serial("ids_current"), Cut);
        for (const char *unit :
             {"label_vunit", "label_aunit", "label_electrictempunit", "label_airguntempunit"})
            expect(r, unit, "text", serial("ids_unit"), Cut);
        expect(r, "label_electrictemp", "text", serial("ids_temperature"), Cut);
        expect(r, "label_airguntemp", "text", serial("ids_temperature"), Cut);
        expect(r, "label_speed", "text", serial("ids_speed"), Cut);
        expect(r, "pushButton_save", "text", file("Common_Language/ids_save"), Cut);

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
                         {"ids_Serialport_Language/ids_speed", longText},
                         {"ids_MenuBar_Language/ids_serialsetting", longText},
                         {"ids_MenuBar_Language/ids_versionNum", longText},
                         {"ids_MenuBar_Language/ids_version", longText}});
        w.choose(7);
        w.verifyTexts(LanguageFile(7));
        QCOMPARE(label_multimeter->text(), title);
        const QString cut = w.main<QLabel>("label_airgun")->text();
        QVERIFY2(cut.size() > 1 && cut.endsWith(QChar(0x2026)), qPrintable(cut));

        // A title wider than the group box is cut at the group box's width.
        guard.writeWith({{"ids_Serialport_Language/ids_multimeter", longText}});
        w.choose(7);
        w.verifyTexts(LanguageFile(7));
        const int shownWidth =
            label_multimeter->fontMetrics().horizontalAdvance(label_multimeter->text());
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
        // No file belongs to the code: every text is empty.
        w.verifyTexts(LanguageFile(QDir::temp().filePath("no-such-language.ini")));

        w.choose(5);
        w.verifyTexts(LanguageFile(5));
        w.verifyOnlyChecked(5);
        QCOMPARE(storedLanguage(), 5);
    }
};

KORVANTA_TEST_MAIN(QApplication, LanguagesTest)
#include "tst_languages.moc"
