// SPDX-License-Identifier: Apache-2.0
// One instance per user: the lock, the request to come to the front, stale locks, and the
// tool itself started twice.
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>
#include <fstream>

#include "ui/SingleInstance.h"
#include "ui/TavrinMessageBox.h"
#include "ui/TavrinStyle.h"

using namespace tavrin;

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondInstanceRaisesTheFirst();
    void lockOfADeadProcessDoesNotBlock();
    void oldLockOfALiveInstanceStillHolds();
    void toolStartedTwiceLeavesOneRunning();
    void messageCaptionIsTheProgramName();
    void toolTipsWaitASecond();
};

void SingleInstanceTest::secondInstanceRaisesTheFirst() {
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    QVERIFY(first.TryBecomeFirst());
    QObject::connect(&first, &SingleInstance::raiseRequested, &RaiseTavrinWindow);
    QWidget window;
    window.setWindowTitle("Tavrin");
    window.show();
    window.showMinimized();
    QWidget other;
    other.setWindowTitle("Tavrin helper");
    other.show();
    QTRY_VERIFY(window.isMinimized());

    SingleInstance second(folder.path());
    QVERIFY(!second.TryBecomeFirst());
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);
    QVERIFY(second.AskFirstToRaise());
    QTRY_COMPARE(raised.count(), 1);
    QVERIFY(!window.isMinimized());
    QVERIFY(window.isVisible());
}

void SingleInstanceTest::lockOfADeadProcessDoesNotBlock() {
    QTemporaryDir folder;
    SingleInstance probe(folder.path());
    // A lock file left by a crashed instance: its process is gone.
    QProcess gone;
    gone.start("true");
    QVERIFY(gone.waitForStarted());
    const qint64 pid = gone.processId();
    QVERIFY(gone.waitForFinished());
    {
        std::ofstream lock(probe.LockPath().toStdString());
        lock << pid << "\ntavrin\n" << QSysInfo::machineHostName().toStdString() << "\n";
    }
    // And its socket.
    std::ofstream(probe.ServerName().toStdString()) << "";

    SingleInstance next(folder.path());
    QVERIFY(next.TryBecomeFirst());
    SingleInstance third(folder.path());
    QVERIFY(!third.TryBecomeFirst());
    QVERIFY(third.AskFirstToRaise());
}

void SingleInstanceTest::oldLockOfALiveInstanceStillHolds() {
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    QVERIFY(first.TryBecomeFirst());
    // A long-running first instance: its lock file is old but its process lives.
    QFile lock(first.LockPath());
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
    lock.close();
    SingleInstance second(folder.path());
    QVERIFY(!second.TryBecomeFirst());
}

void SingleInstanceTest::toolStartedTwiceLeavesOneRunning() {
    QTemporaryDir runtime;
    QTemporaryDir start;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    // No real card reader is looked at.
    environment.insert("TAVRIN_SYSFS_ROOT", start.path() + "/sys");
    environment.insert("TAVRIN_DEV_ROOT", start.path() + "/dev");
    auto launch = [&](QProcess& process) {
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(start.path());
        process.start(TAVRIN_GUI_PATH, {});
    };
    QProcess first;
    launch(first);
    QVERIFY(first.waitForStarted());
    SingleInstance probe(runtime.path());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(probe.ServerName()), 10000);

    QProcess second;
    launch(second);
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(second.readAllStandardOutput().isEmpty());
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    QVERIFY(first.waitForFinished());
    // The lock of the killed instance is stale: a new start runs.
    QProcess third;
    launch(third);
    QVERIFY(third.waitForStarted());
    QVERIFY(!third.waitForFinished(1500));
    third.kill();
    third.waitForFinished();
}

void SingleInstanceTest::messageCaptionIsTheProgramName() {
    QCOMPARE(ApplicationCaption(), QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    QVERIFY(!ApplicationCaption().isEmpty());
}

void SingleInstanceTest::toolTipsWaitASecond() {
    TavrinStyle style;
    QCOMPARE(style.styleHint(QStyle::SH_ToolTip_WakeUpDelay), 1000);
}

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
