#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

// A copy of a program (and the leak checker's suppressions) where the user
// nobody can run it: a clone in a private folder, such as root's home, keeps
// nobody out of the build.
class ReachableCopy
{
public:
    explicit ReachableCopy(const QString &program) : name(QFileInfo(program).fileName())
    {
        if (!dir.isValid() || !QFile::setPermissions(dir.path(), kOpen) ||
            !copy(program, dir.filePath(name)))
            return;
        QString lsan = qEnvironmentVariable("LSAN_OPTIONS");
        const QRegularExpression suppressions("suppressions=([^:]*)");
        const QRegularExpressionMatch match = suppressions.match(lsan);
        if (match.hasMatch()) {
            if (!copy(match.captured(1), dir.filePath("lsan.supp")))
                return;
            lsan.replace(match.capturedStart(1), match.capturedLength(1),
                         dir.filePath("lsan.supp"));
        }
        environment.insert("LSAN_OPTIONS", lsan);
        ready = runsAsNobody(dir.filePath(name));
    }

    bool isReady() const { return ready; }
    QString program() const { return dir.filePath(name); }
    QProcessEnvironment env() const { return environment; }

private:
    static constexpr QFile::Permissions kOpen =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

    static bool copy(const QString &from, const QString &to)
    {
        return QFile::copy(from, to) && QFile::setPermissions(to, kOpen);
    }

    // Whether the folders above the copy let nobody reach it.
    static bool runsAsNobody(const QString &program)
    {
        const QByteArray path = QFile::encodeName(program);
        const pid_t child = fork();
        if (child == 0) {
            const bool reached = setgroups(0, nullptr) == 0 && setgid(65534) == 0 &&
                                 setuid(65534) == 0 && access(path.constData(), X_OK) == 0;
            _exit(reached ? 0 : 1);
        }
        int status = 0;
        return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
               WEXITSTATUS(status) == 0;
    }

    QString name;
    QTemporaryDir dir{QDir::tempPath() + "/korvanta-reachable-XXXXXX"};
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    bool ready = false;
};
