#include "TSortForm.h"

#include "platform/gui/FontFit.h"
#include "document/core/ListDocument.h"
#include "platform/core/FileSystem.h"
#include "platform/gui/ListText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace quorvex {

namespace {

// What the dialog shows before the Sort command fills it from the list.
const char *const DesignItems[] = {"Tape Number", "Movie Title", "Episode", "Category",
                                   "Main Actor",  "Duration",    "Year",    "Comment"};

} // namespace

TSortForm::TSortForm(MessageService &messages, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_messages(messages)
{
    setObjectName(QStringLiteral("SortForm"));
    // Grows past its pixel sizes where the desktop font needs it.
    FontFit::install(this);
    QWidget::setWindowTitle(QStringLiteral("Sort Options"));
    setModal(true);
    setFixedSize(273, 291);

    m_Label9 = new QLabel(QStringLiteral("Choose the sort order:"), this);
    m_Label9->setObjectName(QStringLiteral("Label9"));
    m_Label9->setGeometry(12, 8, 249, 18);

    for (int k = 1; k <= KeyCount; ++k) {
        const std::size_t i = static_cast<std::size_t>(k - 1);
        const int y = 32 + (k - 1) * 24;
        auto *label = new QLabel(k == 1 ? QStringLiteral("Sort by:") : QStringLiteral("then by:"), this);
        label->setObjectName(QStringLiteral("Label%1").arg(k));
        label->setGeometry(12, y + 3, 60, 18);
        auto *box = new QComboBox(this);
        box->setObjectName(QStringLiteral("Sort%1Box").arg(k));
        box->setEditable(false);
        box->setGeometry(76, y, 185, 22);
        for (const char *item : DesignItems)
            box->addItem(QString::fromLatin1(item));
        box->setCurrentIndex(static_cast<int>(i));
        label->setBuddy(box);
        connect(box, &QComboBox::currentIndexChanged, this, [this, k] {
            if (!m_settingBoxes)
                SortBoxChange(k);
        });
        if (k >= 2)
            box->installEventFilter(this);
        m_labels[i] = label;
        m_boxes[i] = box;
        m_opening[i] = m_previous[i] = static_cast<int>(i);
    }

    m_CaseChkBox = new QCheckBox(QStringLiteral("Case &sensitive."), this);
    m_CaseChkBox->setObjectName(QStringLiteral("CaseChkBox"));
    m_CaseChkBox->setGeometry(12, 228, 124, 20);
    m_SortBackChkBox = new QCheckBox(QStringLiteral("Sort &backwards"), this);
    m_SortBackChkBox->setObjectName(QStringLiteral("SortBackChkBox"));
    m_SortBackChkBox->setGeometry(140, 228, 124, 20);

    m_OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    m_OKBtn->setObjectName(QStringLiteral("OKBtn"));
    m_OKBtn->setGeometry(12, 256, 78, 26);
    m_OKBtn->setDefault(true);
    m_CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    m_CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    m_CancelBtn->setGeometry(97, 256, 78, 26);
    m_CancelBtn->setAutoDefault(false);
    m_DefaultBtn = new QPushButton(QStringLiteral("&Default"), this);
    m_DefaultBtn->setObjectName(QStringLiteral("DefaultBtn"));
    m_DefaultBtn->setGeometry(183, 256, 78, 26);
    m_DefaultBtn->setAutoDefault(false);

    QWidget *order[KeyCount + 5];
    for (std::size_t i = 0; i < KeyCount; ++i)
        order[i] = m_boxes[i];
    order[KeyCount] = m_CaseChkBox;
    order[KeyCount + 1] = m_SortBackChkBox;
    order[KeyCount + 2] = m_OKBtn;
    order[KeyCount + 3] = m_CancelBtn;
    order[KeyCount + 4] = m_DefaultBtn;
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);

    connect(m_OKBtn, &QPushButton::clicked, this, &TSortForm::OKBtnClick);
    connect(m_CancelBtn, &QPushButton::clicked, this, &TSortForm::CancelBtnClick);
    connect(m_DefaultBtn, &QPushButton::clicked, this, &TSortForm::DefaultBtnClick);
}

void TSortForm::select(int k, int index)
{
    QComboBox *box = sortBox(k);
    m_settingBoxes = true;
    box->setCurrentIndex(index < box->count() ? index : -1);
    m_settingBoxes = false;
}

void TSortForm::prepare(const ListDocument &document, const std::string &programFolder)
{
    m_settingsPath = programFolder + SortSettings::FileName;
    m_dataColumns = std::max(0, document.ColCount() - 1);
    QStringList headers;
    headers.reserve(m_dataColumns);
    for (int c = 1; c < document.ColCount(); ++c)
        headers.append(ListText::toUnicode(document.GetCell(c, 0), document.textEncoding()));
    m_settingBoxes = true;
    for (QComboBox *box : m_boxes) {
        box->clear();
        box->addItems(headers);
    }
    m_settingBoxes = false;
    for (int k = 1; k <= KeyCount; ++k)
        select(k, k - 1);

    SortFlags current = flags();
    if (SortSettings::read(m_settingsPath, current, m_messages) == SortSettings::ReadOutcome::Unreadable)
        DefaultBtnClick();
    else
        setFlags(current);

    for (std::size_t i = 0; i < KeyCount; ++i)
        m_opening[i] = m_previous[i] = m_boxes[i]->currentIndex();
}

bool TSortForm::ask()
{
    m_boxes[0]->setFocus();
    return exec() == QDialog::Accepted;
}

SortOptions TSortForm::options() const
{
    SortOptions options;
    for (std::size_t i = 0; i < KeyCount; ++i)
        options.keyColumns[i] = m_boxes[i]->currentIndex() + 1;
    options.caseSensitive = m_CaseChkBox->isChecked();
    options.backwards = m_SortBackChkBox->isChecked();
    return options;
}

void TSortForm::SortBoxChange(int k)
{
    const std::size_t i = static_cast<std::size_t>(k - 1);
    const int now = m_boxes[i]->currentIndex();
    if (now == m_previous[i])
        return;
    for (std::size_t j = 0; j < KeyCount; ++j) {
        if (j == i || m_boxes[j]->currentIndex() != now)
            continue;
        select(static_cast<int>(j) + 1, m_previous[i]);
        m_previous[j] = m_boxes[j]->currentIndex();
        break;
    }
    m_previous[i] = now;
}

void TSortForm::applyEnablingRule()
{
    for (int k = 1; k <= KeyCount; ++k) {
        QComboBox *box = sortBox(k);
        const bool enabled = k == 1 || m_dataColumns >= k;
        box->setEnabled(enabled);
        if (k == 1)
            continue;
        const QPalette app = QGuiApplication::palette();
        const QColor background = enabled ? app.color(QPalette::Active, QPalette::Base)
                                          : app.color(QPalette::Active, QPalette::Button);
        QPalette palette = box->palette();
        for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
            palette.setColor(role, background);
        box->setPalette(palette);
    }
}

void TSortForm::DefaultBtnClick()
{
    for (int k = 1; k <= KeyCount; ++k) {
        select(k, k - 1);
        m_previous[static_cast<std::size_t>(k - 1)] = sortBox(k)->currentIndex();
    }
    setFlags(SortFlags{});
}

void TSortForm::CancelBtnClick()
{
    for (int k = 1; k <= KeyCount; ++k) {
        select(k, openingSelection(k));
        m_previous[static_cast<std::size_t>(k - 1)] = sortBox(k)->currentIndex();
    }
    reject();
}

void TSortForm::OKBtnClick()
{
    // A failed save was shown and never stops the sort.
    if (!m_settingsPath.empty())
        SortSettings::write(m_settingsPath, flags(), m_messages);
    accept();
}

SortFlags TSortForm::flags() const
{
    return SortFlags{m_CaseChkBox->isChecked(), m_SortBackChkBox->isChecked()};
}

void TSortForm::setFlags(const SortFlags &flags)
{
    m_CaseChkBox->setChecked(flags.caseSensitive);
    m_SortBackChkBox->setChecked(flags.backwards);
}

void TSortForm::showEvent(QShowEvent *event)
{
    applyEnablingRule();
    QDialog::showEvent(event);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool TSortForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        for (int k = 2; k <= KeyCount; ++k)
            if (watched == sortBox(k))
                SortBoxChange(k);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quorvex
