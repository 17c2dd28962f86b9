#pragma once

#include <QPlainTextEdit>

class QMimeData;

namespace quorvex {

// The cell text window's text box. A long cell is one paragraph, and the text
// engine lays a paragraph out whole at every change: on a cell of megabytes
// each keystroke would cost seconds. So a long text is held in pieces of a few
// thousand characters, cut after a blank, each piece a block of the box's
// document. The cut between two pieces is no character of the text: the text,
// its length, the caret position, a copied selection and the keys Backspace
// and Delete all skip it. A line break the user pastes is a real block break.
class CellTextBox final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CellTextBox(QWidget *parent = nullptr);

    // Replaces the whole text; line breaks ("\r\n", "\r" or "\n") start new lines.
    // The box's own undo starts empty.
    void loadText(const QString &text);
    // The text with every line break as CR LF and the cuts left out.
    QString cellText() const;
    // The length of cellText(), without building it.
    int cellTextLength() const;
    // The selection's length in characters of the text (a line break counts one).
    int selectedLength() const;

    // Caret positions as indexes into cellText(), for keeping the caret where it
    // was across a reload.
    int textIndexOfPosition(int position) const;
    int positionOfTextIndex(int index) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    // The text between two document positions, cuts left out, breaks as CR LF
    // or as `lineBreak`.
    QString textBetween(int from, int to, const QString &lineBreak) const;
};

} // namespace quorvex
