#include "GuiSandbox.h"
#include "app/core/FontSettings.h"
#include "app/gui/FontConvert.h"
#include "document/gui/StringGrid.h"
#include "app/gui/TViewCellTextForm.h"
#include "platform/gui/TextPieces.h"
#include "app/gui/CellTextBox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QTest>
#include <QTextBlock>
#include <QtTest/qtestspontaneevent.h>

using namespace quorvex;

// The cell text window on a started main window, driven as a person drives it.
class CellTextWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::GuiSandbox> m_sandbox;
    std::unique_ptr<TMainForm> m_form;

    ListDocument &doc() { return m_form->editor().document(); }
    TViewCellTextForm *window() { return m_form->cellTextForm(); }
    QAction *action(const char *name) { return window()->findChild<QAction *>(QString::fromLatin1(name)); }

    // Puts `text` into cell (2, 1), makes it current and shows the window on it.
    void showOn(const std::string &text)
    {
        doc().SetCell(2, 1, text);
        m_form->documentChanged();
        m_form->grid()->setCurrentIndex(m_form->grid()->model()->index(0, 1));
        QCoreApplication::processEvents();
        window()->show();
        QCoreApplication::processEvents();
    }

    void typeAtEnd(const QString &text)
    {
        window()->richEdit()->moveCursor(QTextCursor::End);
        window()->richEdit()->insertPlainText(text);
    }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<test::GuiSandbox>();
        m_form = m_sandbox->start();
    }

    void cleanup()
    {
        if (window()->isVisible()) {
            m_sandbox->answers.push_back(MessageAnswer::No);
            window()->CloseBtnClick();
        }
        m_form->ExitBtnClick();
        m_form.reset();
        m_sandbox.reset();
    }

    void menus_carryTheirCaptionsKeysAndStartStates()
    {
        showOn("");
        QCOMPARE(window()->windowTitle(), QStringLiteral("View / Edit Cell Text"));
        QCOMPARE(window()->lengthPanelText(), QStringLiteral("Text length: 0"));
        const std::vector<std::pair<const char *, const char *>> items = {
            {"SaveBtn", "&Save Changes"}, {"FontBtn", "&Font..."},   {"SaveFontBtn", "Save Font Settings"},
            {"CloseBtn", "&Close Window"}, {"UndoBtn", "&Undo"},     {"RedoBtn", "&Redo"},
            {"CutBtn", "Cu&t"},            {"CopyBtn", "&Copy"},     {"PasteBtn", "&Paste"},
            {"DeleteBtn", "&Delete"},      {"SelectAllBtn", "Se&lect All"}, {"Cut1", "Cu&t"},
            {"Copy1", "&Copy"},            {"Paste1", "&Paste"},     {"Delete1", "&Delete"},
            {"SelectAll1", "Se&lect All"}, {"Close1", "Close &Window"}};
        for (const auto &[name, caption] : items) {
            QVERIFY2(action(name), name);
            QCOMPARE(action(name)->text(), QString::fromLatin1(caption));
        }
        QCOMPARE(action("SaveBtn")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QVERIFY(!action("SaveBtn")->isEnabled());
        QVERIFY(!action("SaveFontBtn")->isEnabled());
        QVERIFY(!action("UndoBtn")->isEnabled());
        QVERIFY(!action("RedoBtn")->isEnabled());
    }

    void typedTextWithEnterAndCtrlS_savesOneLine()
    {
        showOn("");
        window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window()));
        QPlainTextEdit *box = window()->richEdit();
        QTest::keyClicks(box, QStringLiteral("Plot"));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter, Qt::ShiftModifier);
        QTest::keyClicks(box, QStringLiteral(" summary"));
        QCOMPARE(box->toPlainText(), QStringLiteral("Plot summary"));
        QCOMPARE(window()->lengthPanelText(), QStringLiteral("Text length: 12"));
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(doc().GetCell(2, 1), std::string("Plot summary"));
        QVERIFY(!action("SaveBtn")->isEnabled());
        // Saving keeps the window open.
        QVERIFY(window()->isVisible());
    }

    void popupMenu_enablesCutCopyDeleteWithASelectionAndPasteWithClipboardText()
    {
        showOn("Heat");
        QGuiApplication::clipboard()->clear();
        auto *popup = window()->findChild<QMenu *>(QStringLiteral("PopupMenu1"));
        QVERIFY(popup);
        QMetaObject::invokeMethod(popup, "aboutToShow");
        QVERIFY(!action("Cut1")->isEnabled());
        QVERIFY(!action("Delete1")->isEnabled());
        QVERIFY(!action("Paste1")->isEnabled());
        window()->richEdit()->selectAll();
        QGuiApplication::clipboard()->setText(QStringLiteral("x"));
        QMetaObject::invokeMethod(popup, "aboutToShow");
        QVERIFY(action("Cut1")->isEnabled());
        QVERIFY(action("Copy1")->isEnabled());
        QVERIFY(action("Paste1")->isEnabled());
        QCOMPARE(window()->selectionPanelText(), QStringLiteral("Selected text length: 4"));
        action("Delete1")->trigger();
        QCOMPARE(window()->richEdit()->toPlainText(), QString());
        QVERIFY(action("SaveBtn")->isEnabled());
    }

    void pastedLineBreak_countsAndSavesAsTwoCharacters()
    {
        showOn("");
        QGuiApplication::clipboard()->setText(QStringLiteral("ab\r\ncd"));
        action("PasteBtn")->trigger();
        QCOMPARE(window()->lengthPanelText(), QStringLiteral("Text length: 6"));
        window()->SaveBtnClick();
        QCOMPARE(doc().GetCell(2, 1), std::string("ab  cd"));
        QCOMPARE(window()->lengthPanelText(), QStringLiteral("Text length: 6"));
        QVERIFY(!action("SaveBtn")->isEnabled());
    }

    void saveChanges_keepsTheCaretWhereItWas_data()
    {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("expected");
        QString longText;
        while (longText.size() < 20000)
            longText += QStringLiteral("A plot summary of many words ");
        QTest::newRow("empty cell") << QString() << 0 << QString() << QStringLiteral("first second third");
        QTest::newRow("long cell, caret in its middle")
            << longText << 10001 << QString()
            << QString(longText).insert(10001, QStringLiteral("first second third"));
        QTest::newRow("line break before the caret") << QStringLiteral("ab") << 2 << QStringLiteral("\r\n")
                                                     << QStringLiteral("ab  first second third");
    }

    void saveChanges_keepsTheCaretWhereItWas()
    {
        QFETCH(QString, initial);
        QFETCH(int, caret);
        QFETCH(QString, pasted);
        QFETCH(QString, expected);
        showOn(initial.toStdString());
        auto *box = static_cast<CellTextBox *>(window()->richEdit());
        QTextCursor at = box->textCursor();
        at.setPosition(box->positionOfTextIndex(caret));
        box->setTextCursor(at);
        if (!pasted.isEmpty()) {
            QGuiApplication::clipboard()->setText(pasted);
            action("PasteBtn")->trigger();
        }
        for (const QString &words : {QStringLiteral("first"), QStringLiteral(" second"), QStringLiteral(" third")}) {
            QTest::keyClicks(box, words);
            QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
        }
        QCOMPARE(QString::fromStdString(doc().GetCell(2, 1)), expected);
        QCOMPARE(window()->lengthPanelText(), QStringLiteral("Text length: %1").arg(expected.size()));
    }

    void longCell_keysAndCopiesAcrossItsPiecesActOnTheText()
    {
        std::string model;
        while (model.size() < 3 * TextPieces::Length)
            model += "The crew answers a distress call ";
        // A line break already in the cell (a list may carry one) stays one.
        model.insert(6000, "\r\n");
        showOn(model);
        auto *box = static_cast<CellTextBox *>(window()->richEdit());
        QTextDocument *d = box->document();
        QVERIFY(d->blockCount() >= 3);
        QCOMPARE(box->cellText(), QString::fromStdString(model));
        QCOMPARE(window()->lengthPanelText(), QStringLiteral("Text length: %1").arg(model.size()));
        const auto put = [box](int position) {
            QTextCursor c = box->textCursor();
            c.setPosition(position);
            box->setTextCursor(c);
        };
        const auto cutAt = [d] { return static_cast<int>(d->begin().text().size()); }; // text index of the first cut

        // Backspace just after a cut takes the character before it, Delete just before one the character after it.
        int cut = cutAt();
        put(d->begin().next().position());
        QTest::keyClick(box, Qt::Key_Backspace);
        model.erase(static_cast<std::size_t>(cut - 1), 1);
        cut = cutAt();
        put(cut);
        QTest::keyClick(box, Qt::Key_Delete);
        model.erase(static_cast<std::size_t>(cut), 1);
        QCOMPARE(box->cellText(), QString::fromStdString(model));

        // A copy across the cut is the text, without a line break.
        QTextCursor selection = box->textCursor();
        selection.setPosition(cut - 5);
        selection.setPosition(cut + 1 + 5, QTextCursor::KeepAnchor);
        box->setTextCursor(selection);
        QCOMPARE(window()->selectionPanelText(), QStringLiteral("Selected text length: 10"));
        action("CopyBtn")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(model.substr(cut - 5, 10)));

        // Typing after the cut, a save, more typing: both land where the caret was.
        put(d->begin().next().position());
        QTest::keyClick(box, Qt::Key_X);
        model.insert(static_cast<std::size_t>(cut), "x");
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
        const auto flatten = [](std::string &text) {
            for (char &c : text)
                if (c == '\r' || c == '\n')
                    c = ' ';
        };
        flatten(model);
        QCOMPARE(doc().GetCell(2, 1), model);
        QTest::keyClick(box, Qt::Key_Y);
        model.insert(static_cast<std::size_t>(cut + 1), "y");

        // A pasted line break inside a piece is a real one: two characters, two blanks when saved.
        put(d->begin().next().next().position() + 3);
        const int index = box->textIndexOfPosition(box->textCursor().position());
        QGuiApplication::clipboard()->setText(QStringLiteral("\n"));
        action("PasteBtn")->trigger();
        model.insert(static_cast<std::size_t>(index), "\r\n");
        QCOMPARE(box->cellText(), QString::fromStdString(model));
        QCOMPARE(window()->lengthPanelText(), QStringLiteral("Text length: %1").arg(model.size()));
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
        flatten(model);
        QCOMPARE(doc().GetCell(2, 1), model);
    }

    void editedText_keepsNoBreakSpacesAndAttachmentBytes()
    {
        // Cp1252 0xA0 is a no-break space; a plain-text read of the box would make it a blank.
        showOn("A\xA0" "B\x01\x02");
        typeAtEnd(QStringLiteral("C"));
        window()->SaveBtnClick();
        QCOMPARE(doc().GetCell(2, 1), std::string("A\xA0" "B\x01\x02" "C"));
    }

    void boxUndoAndRedo_toggleTheOneStep()
    {
        showOn("old");
        typeAtEnd(QStringLiteral(" new"));
        QVERIFY(action("UndoBtn")->isEnabled());
        QVERIFY(!action("RedoBtn")->isEnabled());
        action("UndoBtn")->trigger();
        QCOMPARE(window()->richEdit()->toPlainText(), QStringLiteral("old"));
        QVERIFY(!action("UndoBtn")->isEnabled());
        QVERIFY(action("RedoBtn")->isEnabled());
        action("RedoBtn")->trigger();
        QCOMPARE(window()->richEdit()->toPlainText(), QStringLiteral("old new"));
        QVERIFY(action("UndoBtn")->isEnabled());
        QVERIFY(!action("RedoBtn")->isEnabled());
    }

    void windowRestoredFromTheTaskBar_keepsItsUnsavedEdits()
    {
        showOn("old");
        typeAtEnd(QStringLiteral(" draft"));
        QShowEvent restored;
        QSpontaneKeyEvent::setSpontaneous(&restored);
        // notify() keeps the event spontaneous, as the window system sends it.
        QCoreApplication::instance()->notify(window(), &restored);
        QCOMPARE(window()->richEdit()->toPlainText(), QStringLiteral("old draft"));
        QVERIFY(action("SaveBtn")->isEnabled());
    }

    void frameClose_asksAndCancelKeepsTheWindowOpen_yesSavesAndCloses()
    {
        showOn("old");
        typeAtEnd(QStringLiteral("er"));
        m_sandbox->answers.push_back(MessageAnswer::Cancel);
        window()->close();
        QVERIFY(window()->isVisible());
        QVERIFY(m_sandbox->sawBox("Save changes?"));
        QCOMPARE(window()->richEdit()->toPlainText(), QStringLiteral("older"));
        m_sandbox->answers.push_back(MessageAnswer::Yes);
        window()->close();
        QVERIFY(!window()->isVisible());
        QCOMPARE(doc().GetCell(2, 1), std::string("older"));
        QVERIFY(m_form->editor().listModified);
    }

    void viewFontFile_givesTheBoxItsFontAndColour_damagedFileIsReported()
    {
        const std::string path = FontSettings::filePath(m_form->editor().paths().programFolder, FontFile::View);
        FontChoice font;
        font.color = 255;
        font.size = 14;
        font.name = "Liberation Mono";
        font.pitch = 2;
        font.bold = true;
        QVERIFY(FileSystem::writeFileAtomic(path, FontSettings::format(font)));
        showOn("text");
        const QFont shown = window()->richEdit()->font();
        QCOMPARE(shown.family(), QStringLiteral("Liberation Mono"));
        QCOMPARE(shown.pointSize(), 14);
        QVERIFY(shown.bold());
        QCOMPARE(window()->richEdit()->palette().color(QPalette::Text), QColor(255, 0, 0));
        m_sandbox->answers.push_back(MessageAnswer::No);
        window()->CloseBtnClick();

        QVERIFY(FileSystem::writeFileAtomic(path, "garbage"));
        m_sandbox->boxes.clear();
        showOn("text");
        QVERIFY(m_sandbox->sawBox("Error loading the font settings file."));
        // The font stays.
        QCOMPARE(window()->richEdit()->font().family(), QStringLiteral("Liberation Mono"));
    }

    void chosenFamily_setsThePitchAndKeepsTheColour()
    {
        FontChoice base;
        base.color = 65280;
        base.pitch = 2;
        FontChoice chosen = FontConvert::fromQFont(QFont(QStringLiteral("Liberation Sans"), 11), QColor(0, 255, 0), base);
        QCOMPARE(chosen.pitch, 0);
        QCOMPARE(chosen.size, 11);
        QCOMPARE(chosen.color, 65280);
        chosen = FontConvert::fromQFont(QFont(QStringLiteral("Liberation Mono"), 10), QColor(0, 255, 0), FontChoice());
        QCOMPARE(chosen.pitch, 2);
        // A desktop colour stays as it is stored and shows in the desktop's text colour.
        base.color = static_cast<std::int32_t>(0x80000008u);
        QCOMPARE(FontConvert::fromQFont(QFont(QStringLiteral("Liberation Sans"), 9), FontConvert::toQColor(base), base)
                     .color,
                 base.color);
        QCOMPARE(FontConvert::toQColor(base), QGuiApplication::palette().color(QPalette::Text));
    }
};

QTEST_MAIN(CellTextWindowTest)
#include "CellTextWindowTest.moc"
