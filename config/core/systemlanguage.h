#pragma once

#include <QString>

// The language of the user's desktop, for the first start: the settings file
// then begins in it instead of the default language.
namespace SystemLanguage {

// The language code (0 to 7) of a POSIX locale name such as "de_DE.UTF-8" or
// "zh_TW"; -1 when the locale speaks none of the eight languages ("C", "POSIX").
int codeOfLocale(const QString &localeName);
// The locale messages are shown in: LC_ALL, else LC_MESSAGES, else LANG.
QString messagesLocale();
// The code of messagesLocale(), or fallback when it is none of the eight.
int code(int fallback);

} // namespace SystemLanguage
