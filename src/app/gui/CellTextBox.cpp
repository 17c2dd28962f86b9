#include "CellTextBox.h"

#include "platform/gui/TextPieces.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <vector>

namespace quorvex {

namespace {

// The user state of a block that continues the previous one: the block break
// before it is a cut, not a line break of the text.
constexpr int CutState = 1;

bool startsAtCut(const QTextBlock &block)
{
    return block.isValid() && block.userState() == CutState;
}

} // namespace

CellTextBox::CellTextBox(QWidget *parent) : QPlainTextEdit(parent) {}

void CellTextBox::loadText(const QString &text)
{
    // One string with a block break at every line break and every cut, so the
    // document is built in one go and laid out only where it shows.
    QString joined;
    joined.reserve(text.size() + text.size() / TextPieces::Length + 16);
    std::vector<bool> cutBefore{false};
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        // CR LF, LF and a lone CR each break the line, as the document itself
        // would break it; the marks below must meet the blocks one for one.
        qsizetype contentEnd = lineStart;
        while (contentEnd < text.size() && text.at(contentEnd) != QLatin1Char('\n') &&
               text.at(contentEnd) != QLatin1Char('\r'))
            ++contentEnd;
        const bool last = contentEnd == text.size();
        const qsizetype lineEnd =
            (!last && text.at(contentEnd) == QLatin1Char('\r') && contentEnd + 1 < text.size() &&
             text.at(contentEnd + 1) == QLatin1Char('\n'))
                ? contentEnd + 1
                : contentEnd;
        qsizetype at = lineStart;
        while (contentEnd - at > TextPieces::Length) {
            const qsizetype cut = TextPieces::cutAfter(text, at);
            joined += QStringView(text).mid(at, cut - at);
            joined += QLatin1Char('\n');
            cutBefore.push_back(true);
            at = cut;
        }
        joined += QStringView(text).mid(at, contentEnd - at);
        if (last)
            break;
        joined += QLatin1Char('\n');
        cutBefore.push_back(false);
        lineStart = lineEnd + 1;
    }
    setPlainText(joined);
    // Marking the blocks changes no text: neither the undo nor the layout sees it.
    std::size_t i = 0;
    for (QTextBlock block = document()->begin(); block.isValid() && i < cutBefore.size(); block = block.next(), ++i)
        block.setUserState(cutBefore[i] ? CutState : -1);
}

QString CellTextBox::textBetween(int from, int to, const QString &lineBreak) const
{
    QString out;
    if (to <= from)
        return out;
    out.reserve(to - from);
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int start = block.position();
        if (start > from && !startsAtCut(block))
            out += lineBreak;
        const QString text = block.text();
        const int a = qMax(from, start) - start;
        const int b = qMin(to, start + static_cast<int>(text.size())) - start;
        if (b > a) {
            const QStringView part = QStringView(text).mid(a, b - a);
            // A line separator inside a block is a line break too.
            if (part.contains(QChar::LineSeparator)) {
                for (const QChar c : part)
                    if (c == QChar::LineSeparator)
                        out += lineBreak;
                    else
                        out += c;
            } else {
                out += part;
            }
        }
    }
    return out;
}

QString CellTextBox::cellText() const
{
    return textBetween(0, document()->characterCount() - 1, QStringLiteral("\r\n"));
}

int CellTextBox::cellTextLength() const
{
    int cuts = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        cuts += startsAtCut(block);
    const QTextDocument *doc = document();
    // Characters of the blocks, then two for every block break that is a line break.
    return doc->characterCount() - doc->blockCount() + 2 * (doc->blockCount() - 1 - cuts);
}

int CellTextBox::selectedLength() const
{
    const QTextCursor cursor = textCursor();
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();
    int length = to - from;
    const QTextBlock last = document()->findBlock(to);
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block != last;) {
        block = block.next();
        if (startsAtCut(block) && block.position() <= to)
            --length;
    }
    return length;
}

int CellTextBox::textIndexOfPosition(int position) const
{
    int index = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const int length = block.length() - 1;
        if (position <= block.position() + length)
            return index + qMax(0, position - block.position());
        const QTextBlock next = block.next();
        index += length + (next.isValid() && !startsAtCut(next) ? 2 : 0);
    }
    return index;
}

int CellTextBox::positionOfTextIndex(int index) const
{
    int at = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const int length = block.length() - 1;
        const QTextBlock next = block.next();
        if (index <= at + length || !next.isValid())
            return block.position() + qBound(0, index - at, length);
        const int step = length + (startsAtCut(next) ? 0 : 2);
        // Inside a CR LF: the end of the line.
        if (index < at + step)
            return block.position() + length;
        at += step;
    }
    return 0;
}

void CellTextBox::keyPressEvent(QKeyEvent *event)
{
    QTextCursor cursor = textCursor();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && !cursor.hasSelection() && !isReadOnly()) {
        // Across a cut, Backspace and Delete take the character beyond it:
        // the cut itself is no character the user sees.
        if (event->key() == Qt::Key_Backspace && cursor.atBlockStart() && startsAtCut(cursor.block()) &&
            cursor.block().previous().length() > 1) {
            cursor.movePosition(QTextCursor::PreviousCharacter);
            cursor.deletePreviousChar();
            setTextCursor(cursor);
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Delete && cursor.atBlockEnd() && startsAtCut(cursor.block().next()) &&
            cursor.block().next().length() > 1) {
            cursor.movePosition(QTextCursor::NextCharacter);
            cursor.deleteChar();
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

QMimeData *CellTextBox::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    if (cursor.selectionStart() == cursor.selectionEnd() ||
        document()->findBlock(cursor.selectionStart()) == document()->findBlock(cursor.selectionEnd()))
        return QPlainTextEdit::createMimeDataFromSelection();
    auto *data = new QMimeData;
    data->setText(textBetween(cursor.selectionStart(), cursor.selectionEnd(), QStringLiteral("\n")));
    return data;
}

} // namespace quorvex
