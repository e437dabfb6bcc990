// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QDialog>
#include <QString>

class QLabel;

namespace tavrin {

// The About box: logo, "Tavrin Version" and the version text. The same in both languages.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QString version;

    int DoModal();

private:
    QLabel* versionLabel_;
};

}  // namespace tavrin
