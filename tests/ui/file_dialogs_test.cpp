// SPDX-License-Identifier: Apache-2.0
// The file dialogs: what their filters say and which files they offer.
#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/FileDialogs.h"

using namespace tavrin;

namespace {

QStringList OfferedNames(QFileDialog& dialog) {
    auto* view = dialog.findChild<QAbstractItemView*>("listView");
    QStringList names;
    if (view == nullptr) return names;
    QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        names << model->index(row, 0, view->rootIndex()).data().toString();
    }
    names.sort();
    return names;
}

void Touch(const QTemporaryDir& folder, const QString& name) {
    QFile file(folder.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

}  // namespace

class FileDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void configDialogMatchesTheThreeExtensionsInAnyCase();
    void settingsDialogsUseTvsAndAskBeforeOverwriting();
};

void FileDialogsTest::configDialogMatchesTheThreeExtensionsInAnyCase() {
    QTemporaryDir folder;
    for (const char* name : {"a.BIT", "b.bin", "c.Rbf", "d.txt", "e.bit.bak", "f.tvs"}) Touch(folder, name);
    auto dialog = MakeFileDialog(nullptr, FileDialogKind::ConfigFile);
    dialog->setDirectory(folder.path());
    dialog->show();
    QCOMPARE(dialog->findChild<QComboBox*>("fileTypeCombo")->currentText(), QString("Config Files (*.bin,*.bit,*.rbf)"));
    QVERIFY(dialog->defaultSuffix().isEmpty());
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
    QTRY_COMPARE(OfferedNames(*dialog), QStringList({"a.BIT", "b.bin", "c.Rbf"}));
}

void FileDialogsTest::settingsDialogsUseTvsAndAskBeforeOverwriting() {
    QTemporaryDir folder;
    for (const char* name : {"one.tvs", "two.TVS", "three.bin"}) Touch(folder, name);
    auto open = MakeFileDialog(nullptr, FileDialogKind::OpenSettings);
    open->setDirectory(folder.path());
    open->show();
    QCOMPARE(open->findChild<QComboBox*>("fileTypeCombo")->currentText(), QString("TVS Files (*.tvs)"));
    QTRY_COMPARE(OfferedNames(*open), QStringList({"one.tvs", "two.TVS"}));

    auto save = MakeFileDialog(nullptr, FileDialogKind::SaveSettings);
    QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(save->defaultSuffix(), QString("tvs"));
    QVERIFY(!save->testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(save->nameFilters(), QStringList({FileDialogFilter(FileDialogKind::SaveSettings)}));
    save->show();
    QCOMPARE(save->findChild<QLineEdit*>("fileNameEdit")->text(), QString("*.tvs"));
    // Saving under the pattern itself is not offered.
    QMetaObject::invokeMethod(save.get(), "accept");
    QVERIFY(save->isVisible());
}

QTEST_MAIN(FileDialogsTest)
#include "file_dialogs_test.moc"
