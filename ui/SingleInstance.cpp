// SPDX-License-Identifier: Apache-2.0
#include "ui/SingleInstance.h"

#include <QApplication>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QWidget>
#include <pwd.h>
#include <unistd.h>

namespace tavrin {

namespace {

constexpr char kRaiseRequest[] = "raise\n";

QString UserName() {
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_name != nullptr) {
        return QString::fromLocal8Bit(entry->pw_name);
    }
    return QString::number(getuid());
}

QString RuntimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

}  // namespace

SingleInstance::SingleInstance(const QString& folder) {
    QDir dir(folder.isEmpty() ? RuntimeFolder() : folder);
    const QString name = QString("Tavrin Instance-%1").arg(UserName());
    lockPath_ = dir.filePath(name + ".lock");
    serverName_ = dir.filePath(name);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::TryBecomeFirst() {
    lock_ = std::make_unique<QLockFile>(lockPath_);
    // Age alone never makes the lock of a running instance stale; only a dead owner does.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        return false;
    }
    Listen();
    return true;
}

void SingleInstance::Listen() {
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket left behind belongs to a crashed instance.
    QLocalServer::removeServer(serverName_);
    if (!server_->listen(serverName_)) return;
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("raise")) emit raiseRequested();
                socket->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::AskFirstToRaise(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kRaiseRequest);
    bool written = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return written;
}

void RaiseTavrinWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowTitle() != "Tavrin" || !widget->isVisible()) continue;
        widget->setWindowState((widget->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        widget->show();
        widget->raise();
        widget->activateWindow();
        return;
    }
}

}  // namespace tavrin
