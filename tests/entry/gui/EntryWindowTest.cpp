#include "GuiSandbox.h"

#include "document/core/AttachmentRef.h"
#include "entry/gui/TNewListForm.h"
#include "entry/gui/TWizardForm.h"
#include "platform/core/FileSystem.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace quorvex;

namespace {

QAction *action(QWidget *form, const char *name)
{
    return form->findChild<QAction *>(QString::fromLatin1(name));
}

// Runs `act` on the modal window named `objectName` as soon as it shows; the
// window is closed afterwards whatever `act` did, so a failure cannot hang the run.
void whenModal(const char *objectName, std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    const QString name = QString::fromLatin1(objectName);
    QObject::connect(timer, &QTimer::timeout, [timer, name, act] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || w->objectName() != name || !w->isVisible())
            return;
        // The wizard's opening work lets events run: driving it from inside
        // that work would wait on work that waits for the driving to end.
        if (auto *wizard = qobject_cast<TWizardForm *>(w); wizard && wizard->wizard().refreshOnPaint())
            return;
        timer->stop();
        timer->deleteLater();
        act(w);
        if (w->isVisible())
            if (auto *button = w->findChild<QPushButton *>(QStringLiteral("CloseBtn")))
                button->click();
        if (w->isVisible())
            static_cast<QDialog *>(w)->done(QDialog::Rejected);
    });
    timer->start();
}

QPushButton *button(QWidget *w, const char *name)
{
    return w->findChild<QPushButton *>(QString::fromLatin1(name));
}

void typeInto(QWidget *w, const QString &text)
{
    QTest::keyClicks(w, text);
}

// A radio button takes clicks on its circle and caption only, not across its whole width.
void clickRadio(QRadioButton *radio)
{
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
}

// A button's Alt key presses it as the mouse would, releasing it a moment later.
void altKey(QWidget *window, Qt::Key key)
{
    QTest::keyClick(window, key, Qt::AltModifier);
    QTest::qWait(250);
}

void waitOpened(TWizardForm *wizard)
{
    QTRY_VERIFY_WITH_TIMEOUT(!wizard->wizard().refreshOnPaint(), 5000);
    // The first field's focus counts once the window is the active one, which a busy machine delays.
    QVERIFY(QTest::qWaitForWindowActive(wizard));
}

} // namespace

// The new-list dialog and the media wizard driven through their windows and keys.
class EntryWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;

private slots:
    void init() { m_sandbox = std::make_unique<test::GuiSandbox>(); }
    void cleanup() { m_sandbox.reset(); }

    void wizard_fiveColumnsGreyFieldsSixToEightAndEnterAddsTheRow()
    {
        auto form = m_sandbox->start();
        ListDocument &doc = form->editor().document();
        doc = ListDocument(6, 2);
        for (int c = 1; c <= 5; ++c)
            doc.SetCell(c, 0, "Col&" + std::to_string(c));
        doc.SetCell(3, 1, AttachmentRef::make(AttachPicture, "cover.jpg"));
        doc.SetCurrentCell(1, 1);
        form->documentChanged();
        QCOMPARE(action(form.get(), "WizardBtn")->text(), QStringLiteral("&Media Wizard..."));
        QCOMPARE(action(form.get(), "WizardBtn")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_W));
        QCOMPARE(action(form.get(), "Wizard1")->text(), QStringLiteral("Media &Wizard..."));
        QVERIFY(action(form.get(), "WizardBtn")->isEnabled());

        bool ran = false;
        whenModal("WizardForm", [&](QWidget *w) {
            auto *wizard = static_cast<TWizardForm *>(w);
            waitOpened(wizard);
            ran = true;
            QCOMPARE(w->windowTitle(), QStringLiteral("Media Input Wizard"));
            QCOMPARE(w->size(), QSize(569, 394));
            QCOMPARE(wizard->fieldLabel(0)->text(), QStringLiteral("Col&1:"));
            for (int i = 0; i < 8; ++i)
                QCOMPARE(wizard->box(i)->isEnabled(), i < 5);
            QVERIFY(!button(w, "DeleteBtn")->isEnabled());
            QVERIFY(!button(w, "BackBtn")->isEnabled());
            QVERIFY(wizard->box(0)->hasFocus());
            typeInto(QApplication::focusWidget(), QStringLiteral("X1"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(wizard->statusPanel(0)->text(), QStringLiteral("Current index: 2"));
            QCOMPARE(wizard->statusPanel(1)->text(), QStringLiteral("Total items: 2"));
            QCOMPARE(wizard->box(0)->currentText(), QString());
            QVERIFY(wizard->box(0)->hasFocus());
            // Back onto the row with the picture: its field is disabled, Apply keeps it.
            altKey(w, Qt::Key_B);
            QVERIFY(!wizard->box(2)->isEnabled());
            QCOMPARE(wizard->statusPanel(0)->text(), QStringLiteral("Current index: 1"));
            wizard->box(1)->setEditText(QStringLiteral("Second"));
            altKey(w, Qt::Key_C);
            altKey(w, Qt::Key_O);
        });
        action(form.get(), "WizardBtn")->trigger();
        QVERIFY(ran);
        QCOMPARE(doc.RowCount(), 3);
        QCOMPARE(doc.GetCell(1, 2), std::string("X1"));
        QCOMPARE(doc.GetCell(2, 1), std::string("Second"));
        QVERIFY(AttachmentRef::IsAttachmentCell(doc, 3, 1));
        QVERIFY(action(form.get(), "UndoBtn")->text().startsWith(QStringLiteral("&Undo Wizard")));
        QVERIFY(action(form.get(), "UndoBtn")->isEnabled());
        form->ExitBtnClick();
    }

    void wizard_longFieldsLimitTypingButKeepLongerListTexts()
    {
        auto form = m_sandbox->start();
        ListDocument &doc = form->editor().document();
        const std::string longText(700, 'L');
        doc.SetCell(8, 1, longText);
        doc.SetCurrentCell(1, 1);
        form->documentChanged();
        bool ran = false;
        whenModal("WizardForm", [&](QWidget *w) {
            auto *wizard = static_cast<TWizardForm *>(w);
            waitOpened(wizard);
            ran = true;
            QLineEdit *comment = wizard->box(7)->lineEdit();
            comment->setFocus();
            typeInto(comment, QString(510, QLatin1Char('a')));
            QCOMPARE(comment->text().size(), 500);
            QTest::keyClick(comment, Qt::Key_Return);     // added as row 2
            altKey(w, Qt::Key_B); // back onto the long text
            QCOMPARE(wizard->box(7)->currentText().size(), 700);
            comment->setFocus();
            comment->end(false);
            QTest::keyClick(comment, Qt::Key_Z);
            QCOMPARE(comment->text().size(), 700);
            QTest::keyClick(comment, Qt::Key_Backspace);
            QCOMPARE(comment->text().size(), 699);
            altKey(w, Qt::Key_C);
        });
        action(form.get(), "WizardBtn")->trigger();
        QVERIFY(ran);
        QCOMPARE(doc.GetCell(8, 2), std::string(500, 'a'));
        QCOMPARE(doc.GetCell(8, 1), std::string(699, 'L'));
        form->ExitBtnClick();
    }

    void wizard_storesTheTypedTextUnlessAnEarlierOneIsPicked_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("stored");
        const int enter = Qt::Key_Return;
        QTest::newRow("other case, Enter") << QStringLiteral("drama") << QList<int>{enter} << QStringLiteral("drama");
        QTest::newRow("other case, Tab") << QStringLiteral("comedy") << QList<int>{Qt::Key_Tab, enter}
                                         << QStringLiteral("comedy");
        QTest::newRow("start of a longer text") << QStringLiteral("Movie") << QList<int>{enter}
                                                << QStringLiteral("Movie");
        QTest::newRow("start of a longer text, Tab") << QStringLiteral("Mov") << QList<int>{Qt::Key_Tab, enter}
                                                     << QStringLiteral("Mov");
        QTest::newRow("picked from the offered list")
            << QStringLiteral("Mov") << QList<int>{Qt::Key_Down, enter, enter} << QStringLiteral("Movie number 1");
        QTest::newRow("picked, then Tab") << QStringLiteral("Mov") << QList<int>{Qt::Key_Down, Qt::Key_Tab, enter}
                                          << QStringLiteral("Movie number 1");
    }

    void wizard_storesTheTypedTextUnlessAnEarlierOneIsPicked()
    {
        QFETCH(QString, typed);
        QFETCH(QList<int>, keys);
        QFETCH(QString, stored);
        auto form = m_sandbox->start();
        ListDocument &doc = form->editor().document();
        doc.SetRowCount(4);
        const char *earlier[] = {"Drama", "Comedy", "Movie number 1"};
        for (int r = 1; r <= 3; ++r)
            doc.SetCell(1, r, earlier[r - 1]);
        doc.SetCurrentCell(1, 1);
        form->documentChanged();
        bool ran = false;
        whenModal("WizardForm", [&](QWidget *w) {
            auto *wizard = static_cast<TWizardForm *>(w);
            waitOpened(wizard);
            ran = true;
            QCOMPARE(wizard->box(0)->count(), 3);
            QVERIFY(wizard->box(0)->hasFocus());
            typeInto(QApplication::focusWidget(), typed);
            QCOMPARE(wizard->box(0)->currentText(), typed);
            for (int key : keys) {
                // Where a person's key goes: the offered list while it is open, else the focus.
                QWidget *popup = QApplication::activePopupWidget();
                QTest::keyClick(popup ? popup : QApplication::focusWidget(), Qt::Key(key));
                QTest::qWait(20);
            }
            QCOMPARE(wizard->statusPanel(0)->text(), QStringLiteral("Current index: 4"));
        });
        action(form.get(), "WizardBtn")->trigger();
        QVERIFY(ran);
        QCOMPARE(doc.RowCount(), 5);
        QCOMPARE(QString::fromStdString(doc.GetCell(1, 4)), stored);
        // No offered list outlives the window to take the main window's keys.
        QVERIFY(!QApplication::activePopupWidget());
        form->ExitBtnClick();
    }

    void wizard_missedMnemonicTypesNothingAndEscapeCloses()
    {
        auto form = m_sandbox->start();
        bool ran = false;
        whenModal("WizardForm", [&](QWidget *w) {
            auto *wizard = static_cast<TWizardForm *>(w);
            waitOpened(wizard);
            ran = true;
            QVERIFY(!button(w, "BackBtn")->isEnabled());
            // Every caption keeps the margins its style gives it, and nothing overlaps.
            for (QPushButton *b : w->findChildren<QPushButton *>()) {
                const int caption = b->fontMetrics().horizontalAdvance(QString(b->text()).remove(QLatin1Char('&')));
                const int margins = 2 * (b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) +
                                         b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b));
                QVERIFY2(b->width() >= caption + margins, qPrintable(b->text()));
                QVERIFY2(w->rect().contains(b->geometry()), qPrintable(b->text()));
                for (int i = 0; i < 8; ++i)
                    QVERIFY2(!b->geometry().intersects(wizard->box(i)->geometry()), qPrintable(b->text()));
            }
            QVERIFY(wizard->box(0)->hasFocus());
            for (Qt::Key key : {Qt::Key_B, Qt::Key_F, Qt::Key_L})
                QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
            QCOMPARE(wizard->box(0)->currentText(), QString());
            typeInto(QApplication::focusWidget(), QStringLiteral("T-1"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QVERIFY(!w->isVisible());
        });
        action(form.get(), "WizardBtn")->trigger();
        QVERIFY(ran);
        // Closed as the Close button closes: the typed text waits for the next opening.
        QCOMPARE(form->wizardForm()->result(), int(QDialog::Accepted));
        QCOMPARE(form->wizardForm()->box(0)->currentText(), QStringLiteral("T-1"));
        QVERIFY(form->wizardForm()->wizard().refreshOnPaint());
        form->ExitBtnClick();
    }

    void newListDialog_showsAtFirstStartAndCancelKeepsTheList()
    {
        FileSystem::removeFile(m_sandbox->program() + "new.mtr");
        bool ran = false;
        whenModal("NewListForm", [&](QWidget *w) {
            auto *dialog = static_cast<TNewListForm *>(w);
            ran = true;
            QCOMPARE(w->windowTitle(), QStringLiteral("Create a New Media List"));
            QCOMPARE(w->size(), QSize(377, 282));
            QVERIFY(dialog->kindButton(1)->isChecked());
            QVERIFY(dialog->wizardBox()->isChecked());
            QVERIFY(dialog->showOnStartBox()->isChecked());
            // A music kind clears the movie kind; the movie frame then leaves none.
            clickRadio(dialog->kindButton(7));
            QVERIFY(dialog->kindButton(7)->isChecked());
            QVERIFY(!dialog->kindButton(1)->isChecked());
            QTest::mouseClick(dialog->movieGroup(), Qt::LeftButton, {}, QPoint(171, 100));
            for (int k = 0; k < 9; ++k)
                QVERIFY(!dialog->kindButton(k)->isChecked());
            clickRadio(dialog->kindButton(0));
            QVERIFY(dialog->kindButton(0)->isChecked());
            button(w, "BitBtn1")->click();
        });
        auto form = m_sandbox->start();
        QVERIFY(ran);
        QVERIFY(form->started());
        QCOMPARE(form->editor().document().GetCell(1, 0), std::string("DVD #"));
        QVERIFY(!FileSystem::exists(m_sandbox->program() + "new.mtr"));
        form->ExitBtnClick();
    }

    void newListDialog_cdWithWizardNeverSavesOverThePreviousFile()
    {
        auto form = m_sandbox->start();
        const std::string old = m_sandbox->home() + "old.lst";
        m_sandbox->chosenFiles.push_back({old, 1});
        action(form.get(), "SaveListAsBtn")->trigger();
        const std::string oldBytes = FileSystem::readFile(old).value_or("");
        QVERIFY(!oldBytes.empty());
        QVERIFY(action(form.get(), "NewListBtn")->isEnabled());

        const std::string fresh = m_sandbox->home() + "cds.lst";
        bool dialogRan = false, wizardRan = false;
        whenModal("NewListForm", [&](QWidget *w) {
            auto *dialog = static_cast<TNewListForm *>(w);
            dialogRan = true;
            clickRadio(dialog->kindButton(5));
            dialog->showOnStartBox()->setChecked(true);
            whenModal("WizardForm", [&](QWidget *ww) {
                auto *wizard = static_cast<TWizardForm *>(ww);
                waitOpened(wizard);
                wizardRan = true;
                QCOMPARE(form->windowTitle(), QStringLiteral("Quorvex - New List"));
                QCOMPARE(wizard->fieldLabel(1)->text(), QStringLiteral("CD Title:"));
                typeInto(QApplication::focusWidget(), QStringLiteral("CD-1"));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                typeInto(QApplication::focusWidget(), QStringLiteral("Blue"));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                m_sandbox->chosenFiles.push_back({fresh, 1});
                altKey(ww, Qt::Key_V);
                altKey(ww, Qt::Key_O);
            });
            button(w, "OKBtn")->click();
        });
        action(form.get(), "NewListBtn")->trigger();
        QVERIFY(dialogRan);
        QVERIFY(wizardRan);
        QCOMPARE(FileSystem::readFile(old).value_or(""), oldBytes);
        QVERIFY(FileSystem::isRegularFile(fresh));
        QCOMPARE(form->windowTitle(), QString::fromStdString("Quorvex - " + fresh));
        QCOMPARE(FileSystem::readFile(m_sandbox->program() + "new.mtr").value_or(""),
                 std::string("1 0 0 0 0 0\r\n1 0 0 0\r\n1"));
        form->listFiles().openListFile(fresh);
        const ListDocument &doc = form->editor().document();
        QCOMPARE(form->editor().listType, std::string("cdmusic"));
        QCOMPARE(doc.GetCell(1, 2), std::string("CD-1"));
        QCOMPARE(doc.GetCell(2, 2), std::string("Blue"));
        form->ExitBtnClick();
    }
};

QTEST_MAIN(EntryWindowTest)
#include "EntryWindowTest.moc"
