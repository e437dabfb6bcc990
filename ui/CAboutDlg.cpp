// SPDX-License-Identifier: Apache-2.0
#include "ui/CAboutDlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "text/Texts.h"
#include "ui/Artwork.h"
#include "ui/ModalDialog.h"

namespace tavrin {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), version(texts::kVersion) {
    setObjectName("aboutDialog");
    setWindowTitle("About Tavrin");
    auto* caption = new QLabel("Tavrin Version", this);
    caption->setObjectName("versionCaption");
    versionLabel_ = new QLabel("Rev", this);
    versionLabel_->setObjectName("versionLabel");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(16);
    grid->addWidget(MakePictureLabel(ProductLogo(), "productLogo", this), 0, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(caption, 1, 0, Qt::AlignRight);
    grid->addWidget(versionLabel_, 1, 1, Qt::AlignLeft);
    grid->addWidget(ok, 2, 0, 1, 2, Qt::AlignCenter);
    MakeFixedSize(*this);
}

int CAboutDlg::DoModal() {
    versionLabel_->setText(version);
    return exec();
}

}  // namespace tavrin
