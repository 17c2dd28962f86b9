#include "TPageSetupForm.h"

#include "platform/gui/FontFit.h"
#include "OrientationPicture.h"
#include "document/core/Editor.h"
#include "platform/gui/ListText.h"
#include "print/core/PrintCommands.h"
#include "print/core/PrintLayout.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

namespace quorvex {

namespace {

// The widest a column header stands beside its character-width box.
constexpr int MaxWidthLabel = 260;

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
    // Grows past its pixel sizes where the desktop font needs it.
    FontFit::install(this);
    setWindowTitle(QStringLiteral("Page Setup"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);

    GroupBox2 = new QGroupBox(QStringLiteral("Number of entries per page"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setToolTip(QStringLiteral("This depends on the grid's font size."));
    MaxEntriesEdit = spin(GroupBox2, "MaxEntriesEdit", PageSetup::MinEntries, PageSetup::MaxEntries);
    MaxEntriesLbl = new QLabel(GroupBox2);
    MaxEntriesLbl->setObjectName(QStringLiteral("MaxEntriesLbl"));
    MaxEntriesLbl->setStyleSheet(QStringLiteral("color: blue;"));
    m_maxLabel = new QLabel(QStringLiteral("Max. entries per page:"), GroupBox2);
    m_maxLabel->setBuddy(MaxEntriesEdit);

    GroupBox3 = new QGroupBox(QStringLiteral("Indents (pixels)"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    LeftIndentEdit = spin(GroupBox3, "LeftIndentEdit", 0, 8888);
    TopIndentEdit = spin(GroupBox3, "TopIndentEdit", 0, 8888);
    auto *leftLabel = new QLabel(QStringLiteral("&Left indent:"), GroupBox3);
    leftLabel->setBuddy(LeftIndentEdit);
    auto *topLabel = new QLabel(QStringLiteral("&Top indent:"), GroupBox3);
    topLabel->setBuddy(TopIndentEdit);
    // Up to the boxes; a larger font widens them and moves the boxes along.
    leftLabel->setGeometry(15, 26, 69, 17);
    LeftIndentEdit->setGeometry(85, 22, 65, 22);
    topLabel->setGeometry(15, 54, 69, 17);
    TopIndentEdit->setGeometry(85, 50, 65, 22);

    GroupBox4 = new QGroupBox(QStringLiteral("Layout"), this);
    GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
    PortraitRdioBtn = new QRadioButton(QStringLiteral("Portra&it"), GroupBox4);
    PortraitRdioBtn->setObjectName(QStringLiteral("PortraitRdioBtn"));
    LandRdioBtn = new QRadioButton(QStringLiteral("&Landscape"), GroupBox4);
    LandRdioBtn->setObjectName(QStringLiteral("LandRdioBtn"));
    Image1 = new OrientationPicture(false, PortraitRdioBtn, GroupBox4);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image2 = new OrientationPicture(true, LandRdioBtn, GroupBox4);
    Image2->setObjectName(QStringLiteral("Image2"));
    PortraitRdioBtn->setGeometry(15, 26, 95, 20);
    LandRdioBtn->setGeometry(15, 59, 95, 20);
    Image1->move(118, 19);
    Image2->move(114, 57);

    GroupBox1 = new QGroupBox(QStringLiteral("Maximum character widths for the first 8 columns"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setToolTip(QStringLiteral(
        "Maximum character widths only apply to the printout. The first eight columns will be printed."));
    static const char *const names[8] = {"NumMaxEdit",   "TitleMaxEdit",    "EpisodeMaxEdit", "CatMaxEdit",
                                         "ActorMaxEdit", "DurationMaxEdit", "YearMaxEdit",    "CommentMaxEdit"};
    for (int i = 0; i < 8; ++i) {
        QSpinBox *edit = spin(GroupBox1, names[i], 0, 999);
        QLabel *label = new QLabel(GroupBox1);
        widthEdits[static_cast<std::size_t>(i)] = edit;
        widthLabels[static_cast<std::size_t>(i)] = label;
        label->setBuddy(edit);
        connect(edit, &QSpinBox::valueChanged, this, [this, i](int v) {
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
    arrange(false);

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
        // A long header is cut short with an ellipsis; its tip shows it whole.
        const QString header = ListText::toUnicode(doc.cellView(i + 1, 0), doc.textEncoding()) + QStringLiteral(":");
        QLabel *label = widthLabels[static_cast<std::size_t>(i)];
        label->setText(label->fontMetrics().elidedText(header, Qt::ElideMiddle, MaxWidthLabel));
        label->setToolTip(label->text() == header ? QString() : header);
        // The number column's edit is always there; the others follow the list's columns.
        const bool present = i == 0 || i + 1 <= doc.ColCount() - 1;
        widthEdits[static_cast<std::size_t>(i)]->setEnabled(present);
    }
    // The dialog is hidden here, and so is every child by isVisible(): the
    // flag, not the group, says which arrangement it opens with.
    arrange(m_widthsShown);
    showValues();
    if (!PortraitRdioBtn->isChecked() && !LandRdioBtn->isChecked())
        PortraitRdioBtn->setChecked(true);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
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

void TPageSetupForm::arrange(bool wide)
{
    // Fixed places: the character widths, once shown, push the other groups
    // into a narrower column on their right. That group grows with its title
    // and the column headers in the system font.
    const QFontMetrics metrics = GroupBox1->fontMetrics();
    int labelWidth = 150;
    for (const QLabel *label : widthLabels)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(label->text()) + 4);
    const int groupWidth =
        std::max({257, metrics.horizontalAdvance(GroupBox1->title()) + 24, 12 + labelWidth + 8 + 70 + 12});
    for (std::size_t i = 0; i < 8; ++i) {
        const int y = 24 + static_cast<int>(i) * 38;
        widthLabels[i]->setGeometry(12, y + 4, labelWidth, 16);
        widthEdits[i]->setGeometry(12 + labelWidth + 8, y, 70, 22);
    }
    GroupBox1->setGeometry(8, 8, groupWidth, 334);
    const int x = wide ? 8 + groupWidth + 7 : 8;
    const int w = wide ? 169 : 257;
    GroupBox2->setGeometry(x, 8, w, 73);
    GroupBox3->setGeometry(x, 88, w, 81);
    GroupBox4->setGeometry(x, 176, w, 89);
    m_maxLabel->adjustSize();
    MaxEntriesLbl->resize(MaxEntriesLbl->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 2,
                          MaxEntriesLbl->sizeHint().height());
    if (wide) {
        m_maxLabel->move(15, 22);
        MaxEntriesLbl->move(m_maxLabel->x() + m_maxLabel->width() + 3, 22);
        MaxEntriesEdit->setGeometry(30, 42, 65, 22);
        // A wide system font leaves no room after the label: beside the box then.
        if (MaxEntriesLbl->geometry().right() >= w - 4)
            MaxEntriesLbl->move(MaxEntriesEdit->geometry().right() + 8, 46);
    } else {
        m_maxLabel->move(15, 34);
        MaxEntriesEdit->setGeometry(m_maxLabel->x() + m_maxLabel->width() + 6, 30, 55, 22);
        MaxEntriesLbl->move(MaxEntriesEdit->geometry().right() + 8, 34);
    }
    const int bx = x + w + 7;
    int by = 13;
    for (QPushButton *button : {OKBtn, CancelBtn, DefaultBtn, TestPrintBtn}) {
        button->setGeometry(bx, by, 85, 25);
        by += 32;
    }
    setFixedSize(bx + 85 + 8, wide ? 350 : 273);
}

void TPageSetupForm::revealWidths()
{
    if (m_widthsShown)
        return;
    m_widthsShown = true;
    GroupBox1->show();
    arrange(true);
}

void TPageSetupForm::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F12)
        revealWidths();
    QDialog::keyReleaseEvent(event);
}

bool TPageSetupForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && dropsTypedCharacter(*static_cast<QKeyEvent *>(event)))
        return true;
    if (event->type() == QEvent::KeyRelease && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F12)
        revealWidths();
    return QDialog::eventFilter(watched, event);
}

bool TPageSetupForm::dropsTypedCharacter(const QKeyEvent &event)
{
    // Digits, control characters and DEL pass; Enter is never typed into the
    // box (a spin box takes none) and goes on to press the default button.
    const QString text = event.text();
    if (text.size() != 1)
        return false;
    const char16_t c = text.front().unicode();
    return c >= 32 && c != 127 && (c < u'0' || c > u'9');
}

} // namespace quorvex
