// SPDX-License-Identifier: Apache-2.0
#include "ui/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

#include "text/Texts.h"

namespace tavrin {

QString FileDialogFilter(FileDialogKind kind) {
    // The description keeps its comma-separated patterns; the real patterns follow in a second
    // pair of parentheses, which the dialog hides.
    if (kind == FileDialogKind::ConfigFile) return QString("%1 (*.bin *.bit *.rbf)").arg(texts::kConfigFilesFilter);
    return QString("%1 (*.tvs)").arg(texts::kTvsFilesFilter);
}

namespace {

// The save dialog starts with the pattern "*.tvs" as its name; a pattern is never a name to
// save under, so the dialog stays open until a real name is typed.
class SaveSettingsDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

protected:
    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            const QString name = QFileInfo(files.constFirst()).fileName();
            if (name.contains('*') || name.contains('?')) return;
        }
        QFileDialog::accept();
    }
};

}  // namespace

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, FileDialogKind kind) {
    std::unique_ptr<QFileDialog> dialog = kind == FileDialogKind::SaveSettings
                                              ? std::make_unique<SaveSettingsDialog>(parent)
                                              : std::make_unique<QFileDialog>(parent);
    dialog->setObjectName(kind == FileDialogKind::SaveSettings ? "saveSettingsDialog" : "openFileDialog");
    // Qt's own dialog on every desktop, so that the description and the case-blind matching
    // below hold everywhere.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setNameFilter(FileDialogFilter(kind));
    dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
    if (kind == FileDialogKind::SaveSettings) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDefaultSuffix("tvs");
        dialog->selectFile("*.tvs");
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    return dialog;
}

}  // namespace tavrin
