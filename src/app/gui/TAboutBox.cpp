#include "TAboutBox.h"

#include "platform/gui/FontFit.h"
#include "LogoArt.h"
#include "platform/core/AppConstants.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace quorvex {

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    // Grows past its pixel sizes where the desktop font needs it.
    FontFit::install(this);
    QWidget::setWindowTitle(QStringLiteral("About Quorvex"));
    auto *picture = new QLabel(this);
    picture->setPixmap(LogoArt::logo(QSize(96, 96)));
    auto *product = new QLabel(QStringLiteral("<b>Quorvex</b>"), this);
    auto *version = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(programVersion), this);
    version->setObjectName(QStringLiteral("Version"));
    auto *what = new QLabel(QStringLiteral("An editor for the lists of a media collection:\n"
                                           "tapes, DVDs, Video CDs, Blu-ray discs, CDs,\n"
                                           "cassettes, records and 8-tracks."),
                            this);
    auto *texts = new QVBoxLayout;
    texts->addWidget(product);
    texts->addWidget(version);
    texts->addWidget(what);
    texts->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(texts);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

} // namespace quorvex
