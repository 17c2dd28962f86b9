#include "TFontColorDialog.h"

#include "FontConvert.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvex {

TFontColorDialog::TFontColorDialog(const FontChoice &current, QWidget *parent)
    : QDialog(parent), m_base(current), m_color(FontConvert::toQColor(current))
{
    setObjectName(QStringLiteral("FontColorDialog"));
    setWindowTitle(QStringLiteral("Font"));
    auto *layout = new QVBoxLayout(this);

    // Qt's font dialog, embedded as a plain widget without its own buttons.
    m_fontBox = new QFontDialog(this);
    m_fontBox->setObjectName(QStringLiteral("FontBox"));
    m_fontBox->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fontBox->setWindowFlags(Qt::Widget);
    m_fontBox->setCurrentFont(FontConvert::toQFont(current));
    layout->addWidget(m_fontBox);

    auto *colorRow = new QHBoxLayout;
    auto *colorLabel = new QLabel(QStringLiteral("C&olor:"), this);
    m_colorButton = new QPushButton(this);
    m_colorButton->setObjectName(QStringLiteral("ColorBtn"));
    m_colorButton->setMinimumWidth(120);
    colorLabel->setBuddy(m_colorButton);
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(m_colorButton);
    colorRow->addStretch(1);
    layout->addLayout(colorRow);
    connect(m_colorButton, &QPushButton::clicked, this, &TFontColorDialog::ColorBtnClick);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setColor(m_color);
    m_colorChanged = false;
}

void TFontColorDialog::setColor(const QColor &color)
{
    if (!color.isValid())
        return;
    m_color = color;
    m_colorChanged = true;
    QPixmap swatch(28, 14);
    swatch.fill(color);
    m_colorButton->setIcon(QIcon(swatch));
    m_colorButton->setText(color.name());
}

void TFontColorDialog::ColorBtnClick()
{
    const QColor picked = QColorDialog::getColor(m_color, this, QStringLiteral("Color"));
    if (picked.isValid())
        setColor(picked);
}

FontChoice TFontColorDialog::chosen() const
{
    FontChoice choice = FontConvert::fromQFont(m_fontBox->currentFont(), m_color, m_base);
    // A colour the user picked replaces a desktop colour name too.
    if (m_colorChanged)
        choice.color = m_color.red() + 256 * m_color.green() + 65536 * m_color.blue();
    return choice;
}

std::optional<FontChoice> TFontColorDialog::choose(const FontChoice &current, QWidget *parent)
{
    TFontColorDialog dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}

} // namespace quorvex
