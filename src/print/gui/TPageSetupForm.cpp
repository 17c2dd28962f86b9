#include "TPageSetupForm.h"

#include "document/core/Editor.h"
#include "platform/gui/Cp1252.h"
#include "print/core/PrintCommands.h"
#include "print/core/PrintLayout.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quorvex {

namespace {

QSpinBox *spin(QWidget *parent, const char *name, int min, int max)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(min, max);
    box->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    return box;
}

} // namespace

TPageSetupForm::TPageSetupForm(Editor &editor, PrintCommands &commands, QWidget *parent)
    : QDialog(parent), m_editor(editor), m_commands(commands)
{
    setObjectName(QStringLiteral("PageSetupForm"));
    setWindowTitle(QStringLiteral("Page Setup"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);

    auto *group2 = new QGroupBox(QStringLiteral("Number of entries per page"), this);
    group2->setObjectName(QStringLiteral("GroupBox2"));
    group2->setToolTip(QStringLiteral("This depends on the grid's font size."));
    MaxEntriesEdit = spin(group2, "MaxEntriesEdit", PageSetup::MinEntries, PageSetup::MaxEntries);
    MaxEntriesLbl = new QLabel(group2);
    MaxEntriesLbl->setObjectName(QStringLiteral("MaxEntriesLbl"));
    MaxEntriesLbl->setStyleSheet(QStringLiteral("color: blue;"));
    auto *g2 = new QHBoxLayout(group2);
    auto *maxLabel = new QLabel(QStringLiteral("Max. entries per page:"), group2);
    maxLabel->setBuddy(MaxEntriesEdit);
    g2->addWidget(maxLabel);
    g2->addWidget(MaxEntriesEdit);
    g2->addWidget(MaxEntriesLbl);

    auto *group3 = new QGroupBox(QStringLiteral("Indents (pixels)"), this);
    group3->setObjectName(QStringLiteral("GroupBox3"));
    LeftIndentEdit = spin(group3, "LeftIndentEdit", 0, 8888);
    TopIndentEdit = spin(group3, "TopIndentEdit", 0, 8888);
    auto *g3 = new QGridLayout(group3);
    auto *leftLabel = new QLabel(QStringLiteral("&Left indent:"), group3);
    leftLabel->setBuddy(LeftIndentEdit);
    auto *topLabel = new QLabel(QStringLiteral("&Top indent:"), group3);
    topLabel->setBuddy(TopIndentEdit);
    g3->addWidget(leftLabel, 0, 0);
    g3->addWidget(LeftIndentEdit, 0, 1);
    g3->addWidget(topLabel, 1, 0);
    g3->addWidget(TopIndentEdit, 1, 1);

    auto *group4 = new QGroupBox(QStringLiteral("Layout"), this);
    group4->setObjectName(QStringLiteral("GroupBox4"));
    PortraitRdioBtn = new QRadioButton(QStringLiteral("Portra&it"), group4);
    PortraitRdioBtn->setObjectName(QStringLiteral("PortraitRdioBtn"));
    LandRdioBtn = new QRadioButton(QStringLiteral("&Landscape"), group4);
    LandRdioBtn->setObjectName(QStringLiteral("LandRdioBtn"));
    auto *g4 = new QVBoxLayout(group4);
    g4->addWidget(PortraitRdioBtn);
    g4->addWidget(LandRdioBtn);

    GroupBox1 = new QGroupBox(QStringLiteral("Maximum character widths for the first 8 columns"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setToolTip(QStringLiteral(
        "Maximum character widths only apply to the printout. The first eight columns will be printed."));
    static const char *const names[8] = {"NumMaxEdit",   "TitleMaxEdit",    "EpisodeMaxEdit", "CatMaxEdit",
                                         "ActorMaxEdit", "DurationMaxEdit", "YearMaxEdit",    "CommentMaxEdit"};
    auto *g1 = new QGridLayout(GroupBox1);
    for (int i = 0; i < 8; ++i) {
        widthEdits[static_cast<std::size_t>(i)] = spin(GroupBox1, names[i], 0, 999);
        widthLabels[static_cast<std::size_t>(i)] = new QLabel(GroupBox1);
        g1->addWidget(widthLabels[static_cast<std::size_t>(i)], i, 0);
        g1->addWidget(widthEdits[static_cast<std::size_t>(i)], i, 1);
        connect(widthEdits[static_cast<std::size_t>(i)], &QSpinBox::valueChanged, this, [this, i](int v) {
            if (!m_syncing)
                m_editor.pageSetup().maxWidths[static_cast<std::size_t>(i)] = v;
        });
    }
    GroupBox1->hide();

    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    DefaultBtn = new QPushButton(QStringLiteral("&Default"), this);
    DefaultBtn->setObjectName(QStringLiteral("DefaultBtn"));
    TestPrintBtn = new QPushButton(QStringLiteral("Test &Print"), this);
    TestPrintBtn->setObjectName(QStringLiteral("TestPrintBtn"));

    auto *right = new QVBoxLayout;
    right->addWidget(group2);
    right->addWidget(group3);
    right->addWidget(group4);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(DefaultBtn);
    buttons->addWidget(TestPrintBtn);
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(right);

    for (QSpinBox *box : {MaxEntriesEdit, LeftIndentEdit, TopIndentEdit})
        box->installEventFilter(this);
    connect(MaxEntriesEdit, &QSpinBox::valueChanged, this, [this](int v) {
        if (!m_syncing)
            m_editor.pageSetup().maxEntries = v;
    });
    connect(LeftIndentEdit, &QSpinBox::valueChanged, this, [this](int v) {
        if (m_syncing)
            return;
        m_editor.pageSetup().leftIndent = v;
        recompute();
    });
    connect(TopIndentEdit, &QSpinBox::valueChanged, this, [this](int v) {
        if (m_syncing)
            return;
        m_editor.pageSetup().topIndent = v;
        recompute();
    });
    connect(PortraitRdioBtn, &QRadioButton::clicked, this, [this] {
        m_editor.pageSetup().landscape = false;
        recompute();
    });
    connect(LandRdioBtn, &QRadioButton::clicked, this, [this] {
        m_editor.pageSetup().landscape = true;
        recompute();
    });
    connect(OKBtn, &QPushButton::clicked, this, &TPageSetupForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TPageSetupForm::CancelBtnClick);
    connect(DefaultBtn, &QPushButton::clicked, this, &TPageSetupForm::DefaultBtnClick);
    connect(TestPrintBtn, &QPushButton::clicked, this, [this] {
        if (onTestPrint)
            onTestPrint();
    });
    showValues();
}

void TPageSetupForm::showValues()
{
    const PageSetup &ps = m_editor.pageSetup();
    m_syncing = true;
    MaxEntriesEdit->setValue(ps.entriesPerPage());
    MaxEntriesLbl->setText(QString::number(m_commands.recommendedEntries));
    LeftIndentEdit->setValue(ps.leftIndent);
    TopIndentEdit->setValue(ps.topIndent);
    (ps.landscape ? LandRdioBtn : PortraitRdioBtn)->setChecked(true);
    for (std::size_t i = 0; i < 8; ++i)
        widthEdits[i]->setValue(ps.maxWidths[i]);
    m_syncing = false;
}

void TPageSetupForm::recompute()
{
    if (m_syncing)
        return;
    m_commands.computeMaxEntries();
    showValues();
}

int TPageSetupForm::run()
{
    m_opened = m_editor.pageSetup();
    const ListDocument &doc = m_editor.document();
    for (int i = 0; i < 8; ++i) {
        widthLabels[static_cast<std::size_t>(i)]->setText(Cp1252::toUnicode(doc.cellView(i + 1, 0)) +
                                                          QStringLiteral(":"));
        // The number column's edit is always there; the others follow the list's columns.
        const bool present = i == 0 || i + 1 <= doc.ColCount() - 1;
        widthEdits[static_cast<std::size_t>(i)]->setEnabled(present);
    }
    showValues();
    const int result = exec();
    m_editor.RenumberPages();
    return result;
}

void TPageSetupForm::OKBtnClick()
{
    m_editor.MarkModified();
    if (MaxEntriesEdit->value() > m_commands.recommendedEntries &&
        m_editor.services().messages.confirm(TooManyQuestion) != MessageAnswer::Yes) {
        MaxEntriesEdit->setFocus();
        return;
    }
    accept();
}

void TPageSetupForm::CancelBtnClick()
{
    PageSetup &ps = m_editor.pageSetup();
    for (std::size_t i = 0; i < 8; ++i)
        widthEdits[i]->setValue(m_opened.maxWidths[i]);
    MaxEntriesEdit->setValue(m_opened.maxEntries);
    // Putting back a different indent or orientation recomputes, as a change by hand would.
    LeftIndentEdit->setValue(m_opened.leftIndent);
    TopIndentEdit->setValue(m_opened.topIndent);
    if (ps.landscape != m_opened.landscape)
        (m_opened.landscape ? LandRdioBtn : PortraitRdioBtn)->click();
    QDialog::reject();
}

void TPageSetupForm::reject()
{
    CancelBtnClick();
}

void TPageSetupForm::DefaultBtnClick()
{
    static const int movie[8] = {5, 40, 20, 9, 16, 8, 4, 17};
    static const int other[8] = {5, 31, 27, 10, 17, 8, 4, 17};
    const std::string &type = m_editor.listType;
    const bool isMovie = type == "vhsmovie" || type == "dvdmovie" || type == "vcdmovie" || type == "svcdmovie" ||
                         type == "bdmovie";
    for (std::size_t i = 0; i < 8; ++i)
        widthEdits[i]->setValue(isMovie ? movie[i] : other[i]);
    if (!PortraitRdioBtn->isChecked())
        PortraitRdioBtn->click();
    LeftIndentEdit->setValue(90);
    TopIndentEdit->setValue(90);
    QCoreApplication::processEvents();
    MaxEntriesEdit->setValue(PrintLayout::clampEntries(m_commands.recommendedEntries));
}

void TPageSetupForm::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F12)
        GroupBox1->show();
    QDialog::keyReleaseEvent(event);
}

bool TPageSetupForm::eventFilter(QObject *watched, QEvent *event)
{
    // Enter is dropped in the number boxes instead of pressing OK.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    if (event->type() == QEvent::KeyRelease && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F12)
        GroupBox1->show();
    return QDialog::eventFilter(watched, event);
}

} // namespace quorvex
