// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/about_box.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "platform/dialogs.h"
#include "platform/picture.h"
#include "platform/version.h"
#include "store/vocdata.h"

namespace merkhaus {

TAboutBox::TAboutBox(HelpViewer& help) : QDialog(nullptr) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("Info"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(320, 236);

  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setFrameShadow(QFrame::Sunken);
  frame->setGeometry(8, 8, 304, 180);

  ProgramIcon = new Picture(QStringLiteral(":/images/about.svg"), frame);
  ProgramIcon->setGeometry(12, 12, 96, 96);

  ProductName = new QLabel(QStringLiteral("Merkhaus 3"), frame);
  QFont big = ProductName->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  ProductName->setFont(big);
  ProductName->setGeometry(120, 16, 176, 32);

  Version = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(kVersion), frame);
  Version->setGeometry(120, 56, 176, 20);

  Copyright = new QLabel(QStringLiteral("TVocData is:"), frame);
  Copyright->setGeometry(12, 124, 140, 20);

  Comments = new QLabel(QString::number(sizeof(TVocData)) + QStringLiteral(" bytes"), frame);
  Comments->setGeometry(120, 124, 176, 20);

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setGeometry(124, 198, 72, 28);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  AttachHelp(this, help, HelpContext::About);
}

}  // namespace merkhaus
