// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace tavrin {

// One instance of the tool per user. The first start holds a lock file in the user's runtime
// folder and listens on a local socket; a later start finds the lock taken and asks the
// first, over that socket, to bring its window to the front.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The folder defaults to the user's runtime folder.
    explicit SingleInstance(const QString& folder = QString());
    ~SingleInstance() override;

    // Takes the lock in one step; a lock left by a process that is gone is taken over.
    // True when this is the only instance.
    bool TryBecomeFirst();

    // From a later instance: asks the first to come to the front. True when it answered.
    bool AskFirstToRaise(int timeoutMs = 3000);

    QString LockPath() const { return lockPath_; }
    QString ServerName() const { return serverName_; }

signals:
    // A later instance asked this one to come to the front.
    void raiseRequested();

private:
    void Listen();

    QString lockPath_;
    QString serverName_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};

// Shows, raises and activates the top-level window titled "Tavrin".
void RaiseTavrinWindow();

}  // namespace tavrin
