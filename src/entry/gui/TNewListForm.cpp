#include "TNewListForm.h"

#include "platform/gui/FontFit.h"
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace quorvex {

TNewListForm::TNewListForm(Editor &editor, ListFileCommands &files, std::function<void()> openWizard,
                           QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_command(editor, files),
      m_openWizard(std::move(openWizard))
{
    setObjectName(QStringLiteral("NewListForm"));
    // Grows past its pixel sizes where the desktop font needs it.
    FontFit::install(this);
    QWidget::setWindowTitle(QStringLiteral("Create a New Media List"));
    setFixedSize(377, 282);

    auto *label = new QLabel(QStringLiteral("Choose template to create (Column's can be customized later):"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    label->setGeometry(10, 4, 360, 34);

    m_GroupBox1 = new QGroupBox(QStringLiteral("Movie list"), this);
    m_GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    m_GroupBox1->setGeometry(10, 40, 174, 148);
    m_GroupBox2 = new QGroupBox(QStringLiteral("Music list"), this);
    m_GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    m_GroupBox2->setGeometry(193, 40, 174, 148);

    // Kinds in TemplateLists order; the music group shows Record before Cassette.
    struct Button {
        const char *name;
        const char *caption;
        int kind;
        bool movie;
        int slot;
    };
    static const Button buttons[] = {
        {"VHSRdioBtn", "V&HS", 0, true, 0},           {"DVDRdioBtn", "&DVD", 1, true, 1},
        {"VCDRdioBtn", "&Video CD", 2, true, 2},      {"SVCDRdioBtn", "&Super Video CD", 3, true, 3},
        {"BDRdioBtn", "&BD (Blue Ray)", 4, true, 4},  {"CDRdioBtn", "CD", 5, false, 0},
        {"CassetteRdioBtn", "Cassette Tape", 6, false, 2}, {"RecordRdioBtn", "Record", 7, false, 1},
        {"EightTrckRdioBtn", "8 Track", 8, false, 3}};
    // One exclusive group over both frames: selecting any kind clears all others.
    m_group = new QButtonGroup(this);
    for (const Button &b : buttons) {
        auto *radio = new QRadioButton(QString::fromUtf8(b.caption), b.movie ? m_GroupBox1 : m_GroupBox2);
        radio->setObjectName(QString::fromLatin1(b.name));
        radio->setGeometry(12, 20 + 25 * b.slot, 156, 22);
        m_group->addButton(radio, b.kind);
        m_kinds[static_cast<std::size_t>(b.kind)] = radio;
    }
    m_GroupBox1->installEventFilter(this);
    m_GroupBox2->installEventFilter(this);

    m_WizardChckBox = new QCheckBox(QStringLiteral("Use Media Input &Wizard"), this);
    m_WizardChckBox->setObjectName(QStringLiteral("WizardChckBox"));
    m_WizardChckBox->setGeometry(12, 198, 240, 22);
    m_ShowOnStartChkBox = new QCheckBox(QStringLiteral("Show on Start"), this);
    m_ShowOnStartChkBox->setObjectName(QStringLiteral("ShowOnStartChkBox"));
    m_ShowOnStartChkBox->setToolTip(QStringLiteral("Show the new list window when the application is executed."));
    m_ShowOnStartChkBox->setGeometry(12, 222, 240, 22);

    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    ok->setGeometry(200, 248, 80, 28);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("BitBtn1"));
    cancel->setAutoDefault(false);
    cancel->setGeometry(287, 248, 80, 28);
    connect(ok, &QPushButton::clicked, this, &TNewListForm::OKBtnClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    showSettings();
}

void TNewListForm::showKind(int kind)
{
    // An exclusive group cannot clear its checked button; "none" needs it off for a moment.
    m_group->setExclusive(false);
    for (int k = 0; k < NewListSettings::KindCount; ++k)
        m_kinds[static_cast<std::size_t>(k)]->setChecked(k == kind);
    m_group->setExclusive(true);
}

void TNewListForm::showSettings()
{
    const NewListSettings &s = m_command.settings();
    showKind(s.kind);
    m_WizardChckBox->setChecked(s.wizard);
    m_ShowOnStartChkBox->setChecked(s.showOnStart);
}

void TNewListForm::readSettings()
{
    NewListSettings &s = m_command.settings();
    s.select(m_group->checkedId());
    s.wizard = m_WizardChckBox->isChecked();
    s.showOnStart = m_ShowOnStartChkBox->isChecked();
}

void TNewListForm::NewListBtnClick()
{
    // The controls keep their state between uses; new.mtr then restores them.
    readSettings();
    if (!m_command.prepare())
        return;
    showSettings();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
}

void TNewListForm::OKBtnClick()
{
    readSettings();
    m_command.createList();
    if (m_command.settings().wizard && m_openWizard) {
        QCoreApplication::processEvents();
        m_openWizard();
    }
    accept();
}

void TNewListForm::GroupBox1Click()
{
    readSettings();
    m_command.settings().frameClicked(true);
    showKind(m_command.settings().kind);
}

void TNewListForm::GroupBox2Click()
{
    readSettings();
    m_command.settings().frameClicked(false);
    showKind(m_command.settings().kind);
}

bool TNewListForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_GroupBox1)
            GroupBox1Click();
        else if (watched == m_GroupBox2)
            GroupBox2Click();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quorvex
