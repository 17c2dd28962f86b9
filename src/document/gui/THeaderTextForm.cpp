#include "THeaderTextForm.h"

#include "platform/gui/FontFit.h"
#include "platform/gui/ListText.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace quorvex {

THeaderTextForm::THeaderTextForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("HeaderTextForm"));
    // Grows past its pixel sizes where the desktop font needs it.
    FontFit::install(this);
    QWidget::setWindowTitle(QStringLiteral("Enter the Header Text"));
    setFixedSize(348, 112);
    auto *label = new QLabel(QStringLiteral("Enter the header text for the new column:"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(12, 10, 324, 18);
    m_TextEdit = new QLineEdit(this);
    m_TextEdit->setObjectName(QStringLiteral("TextEdit"));
    m_TextEdit->setGeometry(12, 32, 324, 24);
    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    ok->setGeometry(172, 72, 78, 28);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setGeometry(258, 72, 78, 28);
    label->setBuddy(m_TextEdit);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<std::string> THeaderTextForm::ask(const std::string &current, TextEncoding encoding)
{
    m_TextEdit->setText(ListText::toUnicode(current, encoding));
    m_TextEdit->selectAll();
    m_TextEdit->setFocus();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    const bool accepted = exec() == QDialog::Accepted;
    const std::string text = ListText::fromUnicode(m_TextEdit->text(), encoding);
    m_TextEdit->clear();
    if (!accepted)
        return std::nullopt;
    return text;
}

} // namespace quorvex
