// The language loader on arbitrary file contents. Invariants: no crash, and an
// unquoted text on a line of its own after whatever the file holds comes back
// exactly as written.
#include "fuzzcheck.h"
#include "languagetext.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.path() + QStringLiteral("/en.ini");
    const QByteArray contents(reinterpret_cast<const char *>(data), int(size));

    // The file as given, and with one known text appended after it.
    const QString text = QString::fromUtf8(contents.left(40)).simplified().remove(QLatin1Char('"'));
    const QByteArray appended =
        contents + "\n[Remind_Language]\nids_remind=" + text.toUtf8() + "\n";
    const QByteArray variants[] = {contents, appended};
    for (const QByteArray &variant : variants) {
        {
            QFile file(path);
            FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(variant);
        }
        LanguageText texts;
        readLanguageFile(path, texts);
        if (&variant == &variants[1] && !text.trimmed().isEmpty() && !text.contains(QChar(0xFFFD)))
            FUZZ_CHECK(texts["Remind_Language/ids_remind"] == text.trimmed());
    }
    return 0;
}
