#include "TUpdateForm.h"

#include "platform/core/AppConstants.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace quorvex {

TUpdateForm::TUpdateForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("UpdateForm"));
    QWidget::setWindowTitle(QStringLiteral("Check for Updates"));
    auto *label = new QLabel(QStringLiteral("You are running Quorvex version ") +
                                 QString::fromLatin1(programVersion) +
                                 QStringLiteral(".\n\nChecking for a newer version needs the maker's update "
                                                "server,\nwhich this copy does not contact. Please look for new "
                                                "versions\non the Quorvex home page (Help menu)."),
                             this);
    label->setObjectName(QStringLiteral("UpdateText"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(buttons);
}

} // namespace quorvex
