#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The texts of the current language, one per language-file key. A text is named
// by its full key, group and entry joined by a slash, for example
// "ids_Serialport_Language/ids_NotconnectRemind".
class LanguageText
{
public:
    // Every key, in the order the groups and entries are listed in a language file.
    static const QStringList &keys();
    static bool isKey(const QString &key) { return keys().contains(key); }

    // The text of a key; empty for a key that is missing from the file or unknown.
    QString operator[](const QString &key) const { return texts.value(key); }
    void setText(const QString &key, const QString &text);
    void clear() { texts.clear(); }

private:
    QHash<QString, QString> texts;
};

extern LanguageText languageText;

// "/settings/cn.ini" … "/settings/it.ini" for codes 0 to 7, empty for any other code.
QString languageFileName(int languageType);
// Reads every key of the language file at path into `into`; missing keys, or a
// missing file, give empty texts. Unquoted texts are taken exactly as written.
void readLanguageFile(const QString &path, LanguageText &into);
// Reads every key of the language stored in savedSetting into languageText.
void loadLanguage();
