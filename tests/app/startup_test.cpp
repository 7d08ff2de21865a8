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
#include <QtTest/QTest>
#include <string>

#include "app/instance_server.h"
#include "app/main_form.h"
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

TEST(Startup, SecondStartHandsItsFileToTheRunningInstance) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const std::string lockPath = runtime.path().toStdString() + "/vertoko-UniqueName.lock";
    SingleInstanceLock held(lockPath);
    ASSERT_TRUE(held.Acquire());
    // This process stands in for the running instance: its window and the
    // socket beside its lock.
    TMainForm form(runtime.filePath(QStringLiteral("vertoko.ini")).toStdString(), {});
    form.SetErrorReporter([](const QString&) {});
    InstanceServer server([&form](const QString& file) { form.OpenFromSecondStart(file); });
    ASSERT_TRUE(server.Listen(QString::fromStdString(InstanceSocketPath(lockPath))));

    // Started from the examples folder with a name relative to it, as a
    // file manager may start it.
    QProcess second;
    second.setProcessEnvironment(Environment(runtime.path()));
    second.setWorkingDirectory(QStringLiteral(VERTOKO_SOURCE_DIR "/examples"));
    second.start(QStringLiteral(VERTOKO_APP_EXE), {QStringLiteral("house.dxf")});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 1);

    // The running window opens it and comes to the front.
    EXPECT_TRUE(QTest::qWaitFor([&form] { return form.objectCount == 1; }, 5000));
    EXPECT_EQ(form.LastOpenedDrawing(), QStringLiteral(VERTOKO_SOURCE_DIR "/examples/house.dxf"));
    EXPECT_TRUE(form.isVisible());

    // Without a file a second start only brings the window back.
    form.hide();
    QProcess bare;
    bare.setProcessEnvironment(Environment(runtime.path()));
    bare.start(QStringLiteral(VERTOKO_APP_EXE), {});
    ASSERT_TRUE(bare.waitForFinished(20000));
    EXPECT_EQ(bare.exitCode(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&form] { return form.isVisible(); }, 5000));
    EXPECT_EQ(form.objectCount, 1);
    form.hide();
}

TEST(Startup, SocketSitsBesideTheLockAndNobodyListeningIsNoHang) {
    EXPECT_EQ(InstanceSocketPath("/run/user/7/vertoko-UniqueName.lock"),
              "/run/user/7/vertoko-UniqueName.sock");
    EXPECT_EQ(InstanceSocketPath("/tmp/other"), "/tmp/other.sock");
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(SendToRunningInstance(runtime.filePath("none.sock").toStdString(), "x", 200));
    EXPECT_LT(clock.elapsed(), 2000);
    // A path longer than a socket address can hold is refused, not cut.
    EXPECT_FALSE(SendToRunningInstance("/tmp/" + std::string(200, 'a'), "x", 0));
}

}  // namespace
}  // namespace vertoko
