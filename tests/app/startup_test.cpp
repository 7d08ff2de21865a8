// Start-up of the built vertoko executable: one instance per user.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include "platform/single_instance.h"

namespace vertoko {
namespace {

QProcessEnvironment Environment(const QString& runtimeDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    return env;
}

// Whether the process pid holds a flock on the file, from /proc/locks.
bool HoldsFlock(qint64 pid, const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return false;
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly)) return false;
    const QString inode = QString::number(static_cast<qulonglong>(info.st_ino));
    const QStringList lines = QString::fromLatin1(locks.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        // "1: FLOCK ADVISORY WRITE <pid> <major>:<minor>:<inode> 0 EOF"
        if (fields.size() < 6 || fields[1] != QStringLiteral("FLOCK")) continue;
        if (fields[4] == QString::number(pid) && fields[5].endsWith(QLatin1Char(':') + inode)) {
            return true;
        }
    }
    return false;
}

TEST(Startup, SecondInstanceExitsWithOneWhileTheLockIsHeld) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const std::string path = runtime.path().toStdString() + "/vertoko-UniqueName.lock";
    SingleInstanceLock held(path);
    ASSERT_TRUE(held.Acquire());

    QProcess second;
    second.setProcessEnvironment(Environment(runtime.path()));
    second.start(QStringLiteral(VERTOKO_APP_EXE), {});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
}

TEST(Startup, SecondInstanceExitsWithOneWhileTheFirstRuns) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QString lockPath = runtime.filePath(QStringLiteral("vertoko-UniqueName.lock"));

    QProcess first;
    first.setProcessEnvironment(Environment(runtime.path()));
    first.start(QStringLiteral(VERTOKO_APP_EXE), {});
    ASSERT_TRUE(first.waitForStarted(20000));
    QElapsedTimer clock;
    clock.start();
    while (!HoldsFlock(first.processId(), lockPath) && clock.elapsed() < 20000) {
        ASSERT_EQ(first.state(), QProcess::Running) << "the first instance ended early";
        QThread::msleep(20);
    }
    ASSERT_TRUE(HoldsFlock(first.processId(), lockPath));

    QProcess second;
    second.setProcessEnvironment(Environment(runtime.path()));
    second.start(QStringLiteral(VERTOKO_APP_EXE), {});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_EQ(first.state(), QProcess::Running);

    // Killed without a chance to clean up, the first still frees the lock.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(20000));
    SingleInstanceLock next(lockPath.toStdString());
    EXPECT_TRUE(next.Acquire());
}

}  // namespace
}  // namespace vertoko
