// SPDX-License-Identifier: Apache-2.0
#include "ui/QtTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace tavrin {

void UseQtTextsFor(int language) {
    static QPointer<QTranslator> installed;
    if (language == 0) {
        if (installed) {
            QCoreApplication::removeTranslator(installed);
            delete installed;
        }
        return;
    }
    if (installed) return;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator)) {
        installed = translator;
    } else {
        delete translator;
    }
}

}  // namespace tavrin
