#include "TWizardForm.h"

#include "platform/gui/FontFit.h"
#include "platform/gui/ListText.h"
#include "document/core/Editor.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QValidator>

namespace quorvex {

// Typing may not grow a long field past its limit; a longer text that came
// from the list (set, not typed) is shown whole and may be shortened.
class LongFieldValidator final : public QValidator {
public:
    LongFieldValidator(int field, QLineEdit *edit) : QValidator(edit), m_field(field)
    {
        // The edit already holds the new text when it asks; the old length is kept here.
        connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) {
            m_length = static_cast<std::size_t>(text.size());
        });
    }
    // Texts the window sets itself are always taken: the edit must not count them invalid.
    void setProgrammatic(bool on) { m_programmatic = on; }
    State validate(QString &input, int &) const override
    {
        if (m_programmatic)
            return Acceptable;
        const auto after = static_cast<std::size_t>(input.size());
        return MediaWizard::acceptsTyping(m_field, m_length, after) ? Acceptable : Invalid;
    }

private:
    int m_field;
    std::size_t m_length = 0;
    bool m_programmatic = false;
};

namespace {

QPushButton *makeButton(QWidget *parent, const char *name, const char *caption, int x, int y, int w, int h = 27)
{
    auto *b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, w, h);
    return b;
}

} // namespace

TWizardForm::TWizardForm(Editor &editor, GridCommands &grid, ListFileCommands &files, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_editor(editor), m_wizard(editor, grid, files)
{
    setObjectName(QStringLiteral("WizardForm"));
    // Grows past its pixel sizes where the desktop font needs it.
    FontFit::install(this);
    QWidget::setWindowTitle(QStringLiteral("Media Input Wizard"));
    setFixedSize(569, 394);

    static const char *const steps[] = {
        "Step 1. Enter all desired fields.",
        "Step 2. Add entered fields to the grid by clicking the 'Add To List' button.",
        "Step 3. A) Use the 'Back' and 'Forward' buttons to edit fields previously added to the list.",
        "B) Use the 'Apply Changes' button to save edited fields to the current index (row) in the list.",
        "Step 4. Save the list to a disk often to by clicking the 'Save List To File' button."};
    for (int i = 0; i < 5; ++i) {
        auto *l = new QLabel(QString::fromUtf8(steps[i]), this);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        l->setGeometry(i == 3 ? 6 : 10, 6 + 17 * i, i == 3 ? 562 : 554, 17);
    }

    static const char *const labelNames[] = {"NumLbl",   "TitleLbl",    "EpisodeLbl", "CatLbl",
                                             "ActorLbl", "DurationLbl", "YearLbl",    "CommentLbl"};
    static const char *const designCaptions[] = {"Tape &Number:", "Movie &Title:", "&Episode:", "&Category:",
                                                 "Main &Actor:",  "&Duration:",    "&Year:",    "Co&mment:"};
    for (int i = 0; i < MediaWizard::FieldCount; ++i) {
        const int y = 98 + 28 * i;
        auto *label = new QLabel(QString::fromUtf8(designCaptions[i]), this);
        label->setObjectName(QString::fromLatin1(labelNames[i]));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(2, y, 170, 24);
        auto *box = new QComboBox(this);
        box->setObjectName(QStringLiteral("Box%1").arg(i + 1));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxVisibleItems(10);
        box->setGeometry(176, y, 244, 24);
        // Earlier texts are offered in a list below the field; what is typed
        // stays exactly as typed unless one of them is picked. The exact case
        // also keeps Enter from swapping "drama" for a listed "Drama".
        auto *completer = new QCompleter(box->model(), box);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->setCaseSensitivity(Qt::CaseSensitive);
        completer->setMaxVisibleItems(10);
        box->setCompleter(completer);
        // Asked for after the completer made it: this filter then runs before the completer's own.
        completer->popup()->installEventFilter(this);
        m_popups[static_cast<std::size_t>(i)] = completer->popup();
        // The box takes the keys and hands them to its edit directly.
        box->installEventFilter(this);
        if (i >= MediaWizard::FieldCount - 2) {
            auto *validator = new LongFieldValidator(i, box->lineEdit());
            box->lineEdit()->setValidator(validator);
            m_validators[static_cast<std::size_t>(i)] = validator;
            // A picked item is a text of the list, not typing: take it whole.
            connect(box, &QComboBox::textActivated, this, [this, i](const QString &text) {
                setBoxText(i, QString());
                setBoxText(i, text);
            });
        }
        label->setBuddy(box);
        m_labels[static_cast<std::size_t>(i)] = label;
        m_boxes[static_cast<std::size_t>(i)] = box;
    }

    m_NextBtn = makeButton(this, "NextBtn", "&Add To List", 428, 98, 133);
    m_NextBtn->setDefault(true);
    m_SaveCurrentBtn = makeButton(this, "SaveCurrentBtn", "Apply &Changes", 428, 130, 133);
    m_SaveCurrentBtn->setToolTip(QStringLiteral("Saves the movie to the current index. Does not save the file."));
    m_BackBtn = makeButton(this, "BackBtn", "&Back", 428, 172, 64);
    m_ForwardBtn = makeButton(this, "ForwardBtn", "&Forward", 497, 172, 64);
    m_DeleteBtn = makeButton(this, "DeleteBtn", "De&lete Current Index", 428, 204, 133);
    m_SaveFileBtn = makeButton(this, "SaveFileBtn", "Sa&ve List To File", 176, 328, 140, 28);
    m_CloseBtn = makeButton(this, "CloseBtn", "Cl&ose Wizard and Work Manually", 330, 328, 231, 28);
    fitButtonColumn();
    m_BackBtn->setEnabled(false);
    m_ForwardBtn->setEnabled(false);
    m_DeleteBtn->setEnabled(false);
    // Only Add To List answers Enter, wherever the focus is.
    for (QPushButton *b : {m_SaveCurrentBtn, m_BackBtn, m_ForwardBtn, m_DeleteBtn, m_SaveFileBtn, m_CloseBtn})
        b->setAutoDefault(false);

    static const int widths[] = {200, 200, 169};
    int x = 0;
    for (int i = 0; i < 3; ++i) {
        auto *panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setGeometry(x, 394 - 22, widths[i], 22);
        x += widths[i];
        m_status[static_cast<std::size_t>(i)] = panel;
    }
    m_status[0]->setText(QStringLiteral("Ready."));

    connect(m_NextBtn, &QPushButton::clicked, this, &TWizardForm::NextBtnClick);
    connect(m_SaveCurrentBtn, &QPushButton::clicked, this, &TWizardForm::SaveCurrentBtnClick);
    connect(m_BackBtn, &QPushButton::clicked, this, &TWizardForm::BackBtnClick);
    connect(m_ForwardBtn, &QPushButton::clicked, this, &TWizardForm::ForwardBtnClick);
    connect(m_DeleteBtn, &QPushButton::clicked, this, &TWizardForm::DeleteBtnClick);
    connect(m_SaveFileBtn, &QPushButton::clicked, this, &TWizardForm::SaveFileBtnClick);
    connect(m_CloseBtn, &QPushButton::clicked, this, &TWizardForm::CloseBtnClick);
    m_wizard.onStatusChanged = [this] { showStatus(); };
}

int TWizardForm::captionWidth(const QPushButton *button)
{
    const QStyle *style = button->style();
    const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                       style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    return button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&'))) + 2 * margin;
}

void TWizardForm::fitButtonColumn()
{
    // The right-hand column is 133 wide; a caption that needs more (De&lete
    // Current Index in a wider font) widens the column to the left, with the
    // fields giving up the room, so every caption keeps its margins.
    const int right = m_NextBtn->geometry().right();
    int width = m_NextBtn->width();
    for (const QPushButton *b : {m_NextBtn, m_SaveCurrentBtn, m_DeleteBtn})
        width = qMax(width, captionWidth(b));
    width = qMax(width, 2 * qMax(captionWidth(m_BackBtn), captionWidth(m_ForwardBtn)) + 5);
    if (width == m_NextBtn->width())
        return;
    const int left = right + 1 - width;
    for (QPushButton *b : {m_NextBtn, m_SaveCurrentBtn, m_DeleteBtn})
        b->setGeometry(left, b->y(), width, b->height());
    const int half = (width - 5) / 2;
    m_BackBtn->setGeometry(left, m_BackBtn->y(), half, m_BackBtn->height());
    m_ForwardBtn->setGeometry(right + 1 - half, m_ForwardBtn->y(), half, m_ForwardBtn->height());
    for (QComboBox *b : m_boxes)
        b->resize(qMax(80, left - 8 - b->x()), b->height());
}

void TWizardForm::WizardBtnClick()
{
    readFields();
    m_wizard.prepare();
    showState();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
}

void TWizardForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_wizard.refreshOnPaint())
        QTimer::singleShot(0, this, &TWizardForm::openingWork);
}

void TWizardForm::openingWork()
{
    if (!m_wizard.refreshOnPaint() || !isVisible())
        return;
    readFields();
    m_wizard.openingWork();
    showState();
    focusFirstField();
}

TextEncoding TWizardForm::encoding() const
{
    return m_editor.document().textEncoding();
}

void TWizardForm::readFields()
{
    for (int i = 0; i < MediaWizard::FieldCount; ++i)
        m_wizard.field(i).text = ListText::fromUnicode(box(i)->currentText(), encoding());
}

void TWizardForm::showStatus()
{
    for (int i = 0; i < 3; ++i)
        m_status[static_cast<std::size_t>(i)]->setText(ListText::toUnicode(m_wizard.status(i), encoding()));
    // Painted now: the fill lets events run but the label must show before it does.
    m_status[0]->repaint();
}

void TWizardForm::showState()
{
    hideOfferedLists();
    for (int i = 0; i < MediaWizard::FieldCount; ++i) {
        const MediaWizard::Field &f = m_wizard.field(i);
        QComboBox *b = box(i);
        m_labels[static_cast<std::size_t>(i)]->setText(ListText::toUnicode(m_wizard.label(i), encoding()));
        if (m_shownRevision[static_cast<std::size_t>(i)] != f.list.revision()) {
            QStringList items;
            items.reserve(static_cast<qsizetype>(f.list.size()));
            for (const std::string &item : f.list.items())
                items.append(ListText::toUnicode(item, encoding()));
            const QSignalBlocker block(b);
            b->clear();
            b->addItems(items);
            m_shownRevision[static_cast<std::size_t>(i)] = f.list.revision();
        }
        b->setCurrentIndex(-1);
        setBoxText(i, ListText::toUnicode(f.text, encoding()));
        b->setEnabled(f.enabled);
        QPalette p = b->palette();
        p.setColor(QPalette::Base, palette().color(f.enabled ? QPalette::Base : QPalette::Button));
        b->setPalette(p);
        b->lineEdit()->setPalette(p);
    }
    m_BackBtn->setEnabled(m_wizard.backEnabled());
    m_ForwardBtn->setEnabled(m_wizard.forwardEnabled());
    m_DeleteBtn->setEnabled(m_wizard.deleteEnabled());
    showStatus();
}

void TWizardForm::setBoxText(int i, const QString &text)
{
    LongFieldValidator *validator = m_validators[static_cast<std::size_t>(i)];
    if (validator)
        validator->setProgrammatic(true);
    box(i)->setEditText(text);
    if (validator)
        validator->setProgrammatic(false);
}

void TWizardForm::focusFirstField()
{
    if (box(0)->isEnabled())
        box(0)->setFocus();
}

void TWizardForm::NextBtnClick()
{
    if (m_wizard.filling())
        return;
    readFields();
    m_wizard.addToList();
    showState();
    focusFirstField();
}

void TWizardForm::SaveCurrentBtnClick()
{
    if (m_wizard.filling())
        return;
    readFields();
    m_wizard.applyChanges();
    showState();
}

void TWizardForm::BackBtnClick()
{
    if (m_wizard.filling())
        return;
    m_wizard.back();
    showState();
}

void TWizardForm::ForwardBtnClick()
{
    if (m_wizard.filling())
        return;
    m_wizard.forward();
    showState();
}

void TWizardForm::DeleteBtnClick()
{
    if (m_wizard.filling())
        return;
    m_wizard.deleteCurrent();
    showState();
}

void TWizardForm::SaveFileBtnClick()
{
    if (m_wizard.filling())
        return;
    readFields();
    m_wizard.saveList();
}

void TWizardForm::hideOfferedLists()
{
    // An open list would outlive its field's Enter, or the window, and take every key.
    for (QAbstractItemView *popup : m_popups)
        if (popup->isVisible())
            popup->hide();
}

void TWizardForm::CloseBtnClick()
{
    if (m_wizard.filling())
        return;
    hideOfferedLists();
    readFields();
    m_wizard.close();
    for (int i = 0; i < MediaWizard::FieldCount; ++i) {
        // The lists go, the typed texts stay for the next opening.
        const QString typed = box(i)->currentText();
        const QSignalBlocker block(box(i));
        box(i)->clear();
        setBoxText(i, typed);
        m_shownRevision[static_cast<std::size_t>(i)] = m_wizard.field(i).list.revision();
    }
    done(QDialog::Accepted);
}

void TWizardForm::reject()
{
    // The close box is the Close button.
    CloseBtnClick();
}

void TWizardForm::keyPressEvent(QKeyEvent *event)
{
    // Escape is the Close button, as the close box is.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        CloseBtnClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TWizardForm::eventFilter(QObject *watched, QEvent *event)
{
    // Enter while the offered list is open but nothing in it is chosen is the
    // field's Enter: the list closes and Add To List takes the typed text.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (QAbstractItemView *popup : m_popups)
                if (watched == popup && !popup->currentIndex().isValid()) {
                    popup->hide();
                    m_NextBtn->click();
                    return true;
                }
            // In a field Enter is Add To List, also after a pick, which the
            // box would otherwise keep to itself.
            if (qobject_cast<QComboBox *>(watched) && m_NextBtn->isEnabled()) {
                hideOfferedLists();
                m_NextBtn->click();
                return true;
            }
        }
    }
    // An Alt key that reached a field pressed no button (Back while it is
    // disabled, say): it is a missed mnemonic, not typing.
    if (event->type() == QEvent::KeyPress && qobject_cast<QComboBox *>(watched)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        if (mods == Qt::AltModifier && !key->text().isEmpty() && key->text().at(0).isPrint())
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quorvex
