#include "TPrintPageNumsForm.h"

#include "TPageSetupForm.h"

#include "platform/gui/FontFit.h"
#include "platform/core/MessageService.h"
#include "platform/gui/Cp1252.h"
#include "print/core/PageSelection.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace quorvex {

TPrintPageNumsForm::TPrintPageNumsForm(PageSelection &selection, MessageService &messages,
                                       std::function<int()> totalPages, QWidget *parent)
    : QDialog(parent), m_selection(selection), m_messages(messages), m_totalPages(std::move(totalPages))
{
    setObjectName(QStringLiteral("PrintPageNumsForm"));
    // Grows past its pixel sizes where the desktop font needs it.
    FontFit::install(this);
    setWindowTitle(QStringLiteral("Print Page Numbers"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);

    RangeRdioBtn = new QRadioButton(QStringLiteral("Enter a page range to print:"), this);
    RangeRdioBtn->setObjectName(QStringLiteral("RangeRdioBtn"));
    PageNumRdioBtn =
        new QRadioButton(QStringLiteral("Enter page numbers to print, seperated by a comma (ex: 1,4,7,...):"), this);
    PageNumRdioBtn->setObjectName(QStringLiteral("PageNumRdioBtn"));
    StartEdit = new QSpinBox(this);
    StartEdit->setObjectName(QStringLiteral("StartEdit"));
    StartEdit->setRange(1, PageSelection::MaxPage);
    EndEdit = new QSpinBox(this);
    EndEdit->setObjectName(QStringLiteral("EndEdit"));
    EndEdit->setRange(1, PageSelection::MaxPage);
    OddsChkBox = new QCheckBox(QStringLiteral("Print od&d page numbers first, then pause, then print evens."), this);
    OddsChkBox->setObjectName(QStringLiteral("OddsChkBox"));
    PageNumsEdit = new QLineEdit(this);
    PageNumsEdit->setObjectName(QStringLiteral("PageNumsEdit"));
    PageNumsEdit->setMaxLength(static_cast<int>(PageSelection::MaxListText));
    OkBtn = new QPushButton(QStringLiteral("&OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(RangeRdioBtn, 0, 0, 1, 4);
    auto *pageLabel = new QLabel(QStringLiteral("&Page"), this);
    pageLabel->setBuddy(StartEdit);
    auto *toLabel = new QLabel(QStringLiteral("&to"), this);
    toLabel->setBuddy(EndEdit);
    layout->addWidget(pageLabel, 1, 0);
    layout->addWidget(StartEdit, 1, 1);
    layout->addWidget(toLabel, 1, 2);
    layout->addWidget(EndEdit, 1, 3);
    layout->addWidget(OddsChkBox, 2, 0, 1, 4);
    layout->addWidget(PageNumRdioBtn, 3, 0, 1, 4);
    layout->addWidget(PageNumsEdit, 4, 0, 1, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons, 5, 0, 1, 4);

    for (QSpinBox *box : {StartEdit, EndEdit})
        box->installEventFilter(this);
    connect(RangeRdioBtn, &QRadioButton::toggled, this, &TPrintPageNumsForm::modeChanged);
    connect(OkBtn, &QPushButton::clicked, this, &TPrintPageNumsForm::OkBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    showSelection();
}

void TPrintPageNumsForm::showSelection()
{
    (m_selection.rangeMode ? RangeRdioBtn : PageNumRdioBtn)->setChecked(true);
    StartEdit->setValue(m_selection.startPage);
    EndEdit->setValue(m_selection.endPage);
    OddsChkBox->setChecked(m_selection.oddsFirst);
    PageNumsEdit->setText(Cp1252::toUnicode(m_selection.pageNums));
    modeChanged();
}

void TPrintPageNumsForm::modeChanged()
{
    const bool range = RangeRdioBtn->isChecked();
    StartEdit->setEnabled(range);
    EndEdit->setEnabled(range);
    OddsChkBox->setEnabled(range);
    PageNumsEdit->setEnabled(!range);
}

int TPrintPageNumsForm::run()
{
    showSelection();
    const int result = exec();
    m_selection.accepted = result == QDialog::Accepted;
    return result;
}

void TPrintPageNumsForm::OkBtnClick()
{
    m_selection.rangeMode = RangeRdioBtn->isChecked();
    m_selection.startPage = StartEdit->value();
    m_selection.endPage = EndEdit->value();
    m_selection.oddsFirst = OddsChkBox->isChecked();
    m_selection.pageNums = Cp1252::fromUnicode(PageNumsEdit->text());
    const PageSelection::Check check = m_selection.validate(m_totalPages ? m_totalPages() : 1);
    if (m_selection.rangeMode) {
        StartEdit->setValue(m_selection.startPage);
        EndEdit->setValue(m_selection.endPage);
    }
    if (!check.ok()) {
        for (const std::string &message : check.messages)
            m_messages.error(message);
        PageNumsEdit->setFocus();
        return;
    }
    accept();
}

bool TPrintPageNumsForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && TPageSetupForm::dropsTypedCharacter(*static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

} // namespace quorvex
