#include "MediaWizard.h"

#include "document/core/AttachmentRef.h"
#include "document/core/Editor.h"
#include "document/core/GridCommands.h"
#include "listfile/core/ListFileCommands.h"

#include <algorithm>
#include <exception>

namespace quorvex {

namespace {

// Marks the wizard busy while the lists fill, so that clicks let through by the
// event pumping find it busy and do nothing.
class FillingGuard {
public:
    explicit FillingGuard(int &depth) : m_depth(depth) { ++m_depth; }
    ~FillingGuard() { --m_depth; }
    FillingGuard(const FillingGuard &) = delete;
    FillingGuard &operator=(const FillingGuard &) = delete;

private:
    int &m_depth;
};

bool offered(std::string_view cell)
{
    return !cell.empty() && !AttachmentRef::isReference(cell);
}

} // namespace

MediaWizard::MediaWizard(Editor &editor, GridCommands &grid, ListFileCommands &files)
    : m_editor(editor), m_grid(grid), m_files(files)
{
}

int MediaWizard::currentIndex() const
{
    return m_editor.document().Row();
}

int MediaWizard::itemCount() const
{
    return m_editor.document().RowCount() - 1;
}

bool MediaWizard::acceptsTyping(int field, std::size_t before, std::size_t after)
{
    if (field < FieldCount - 2)
        return true;
    return after <= LongTextLimit || after <= before;
}

void MediaWizard::setStatus(int panel, std::string text)
{
    m_status[static_cast<std::size_t>(panel)] = std::move(text);
    if (onStatusChanged)
        onStatusChanged();
}

void MediaWizard::pump()
{
    m_editor.services().progress.pumpEvents();
}

void MediaWizard::markListsNotLoaded()
{
    for (Field &f : m_fields)
        f.listLoaded = false;
}

void MediaWizard::prepare()
{
    const ListDocument &doc = m_editor.document();
    m_editor.view().endCellEditing();
    for (int i = 0; i < FieldCount; ++i)
        m_labels[static_cast<std::size_t>(i)] = doc.GetCell(i + 1, 0) + ":";
    markListsNotLoaded();
    m_forwardEnabled = doc.Row() < doc.RowCount() - 1;
    m_backEnabled = doc.Row() >= 2;
    if (doc.RowCount() - 1 <= 1)
        m_deleteEnabled = false;
}

void MediaWizard::openingWork()
{
    FillingGuard guard(m_filling);
    m_openingUndoTaken = false;
    pump();
    const int dataColumns = m_editor.document().ColCount() - 1;
    // Field 1 keeps its state: only a row shown with an attachment there disabled it.
    for (int i = 1; i < FieldCount; ++i)
        field(i).enabled = dataColumns >= i + 1;
    fillAll(1);
    m_refreshOnPaint = false;
}

void MediaWizard::close()
{
    for (Field &f : m_fields) {
        f.list.clear();
        f.listLoaded = false;
    }
    m_refreshOnPaint = true;
}

void MediaWizard::fillAll(int startRow)
{
    for (int i = 0; i < FieldCount; ++i)
        FillDropDownList(i, i + 1, startRow);
}

void MediaWizard::FillDropDownList(int fieldIndex, int col, int startRow)
{
    Field &f = field(fieldIndex);
    if (!f.enabled)
        return;
    BusyCursor busy(m_editor.view());
    if (!f.listLoaded) {
        FillingGuard guard(m_filling);
        setStatus(0, "Loading dropdown list...");
        pump();
        try {
            const ListDocument &doc = m_editor.document();
            if (doc.RowCount() > 2) {
                const bool wasEmpty = f.list.empty();
                const int first = std::max(startRow, 0);
                for (int r = first; r < doc.RowCount() && r < ScanLimit; ++r) {
                    if (r % 20 == 0)
                        pump();
                    const std::string_view cell = doc.cellView(col, r);
                    if (offered(cell))
                        f.list.add(cell);
                }
                // An empty list takes the column's first text wherever it is. A text
                // before the scan limit was taken above, so only the rest is searched.
                if (wasEmpty && f.list.empty()) {
                    for (int r = std::max(first, ScanLimit); r < doc.RowCount(); ++r) {
                        const std::string_view cell = doc.cellView(col, r);
                        if (offered(cell)) {
                            f.list.add(cell);
                            break;
                        }
                    }
                }
            }
        } catch (const std::exception &e) {
            m_editor.services().messages.showException(e.what());
            m_editor.services().messages.error(FillError);
            setStatus(0, "Error.");
            return;
        }
    }
    f.listLoaded = true;
    setStatus(0, "Ready.");
}

void MediaWizard::LoadRowIntoFields(int row)
{
    const ListDocument &doc = m_editor.document();
    for (int i = 0; i < FieldCount; ++i) {
        Field &f = field(i);
        f.enabled = false;
        f.text.clear();
        const int col = i + 1;
        // A field over an attachment stays disabled, so it can never be written back.
        if (doc.ColCount() > col && !AttachmentRef::IsAttachmentCell(doc, col, row)) {
            f.text = doc.GetCell(col, row);
            f.enabled = true;
        }
    }
}

void MediaWizard::StoreFieldsIntoRow(int row)
{
    ListDocument &doc = m_editor.document();
    for (int i = 0; i < FieldCount; ++i) {
        const int col = i + 1;
        // A field can be enabled over an attachment when the row was never shown
        // (the current row at opening): the reference is kept all the same.
        if (field(i).enabled && !AttachmentRef::IsAttachmentCell(doc, col, row))
            doc.SetCell(col, row, field(i).text);
    }
}

void MediaWizard::applyOrAdd(bool adding)
{
    Editor &ed = m_editor;
    const ListDocument &doc = ed.document();
    if (!m_openingUndoTaken) {
        ed.StartUndoableChange(UndoCaption);
        ed.undoHistory().setEnabled(true, false);
        m_openingUndoTaken = true;
    }
    if (adding)
        m_grid.NewRow(true);
    StoreFieldsIntoRow(doc.Row());
    // Apply alone changes cells too: the list must ask to be saved.
    ed.MarkModified();
    setStatus(0, "Current entry saved to index: " + std::to_string(currentIndex()));
    setStatus(1, "Total items: " + std::to_string(itemCount()));
    for (Field &f : m_fields)
        f.text.clear();
    markListsNotLoaded();
    ed.currentCellRewritten();
    ed.RefreshStatusBar();
    ed.view().documentChanged();
    ed.view().menuStateChanged();
    BusyCursor starting(ed.view(), CursorShape::AppStarting);
    ed.view().showCellPreview(doc.Col(), doc.Row());
}

void MediaWizard::applyChanges()
{
    if (filling())
        return;
    applyOrAdd(false);
}

void MediaWizard::addToList()
{
    if (filling())
        return;
    applyOrAdd(true);
    const ListDocument &doc = m_editor.document();
    setStatus(0, "Current index: " + std::to_string(currentIndex()));
    setStatus(1, "Total items: " + std::to_string(itemCount()));
    if (itemCount() > 1) {
        m_backEnabled = true;
        m_deleteEnabled = true;
    }
    m_forwardEnabled = false;
    fillAll(std::max(1, doc.RowCount() - 3));
    // The fill ends with "Ready."; what the Add did is what stays shown.
    setStatus(0, "Current index: " + std::to_string(currentIndex()));
    LoadRowIntoFields(doc.Row());
    for (Field &f : m_fields)
        f.text.clear();
}

void MediaWizard::moveToRow(int row)
{
    Editor &ed = m_editor;
    m_grid.selectCell(ed.document().Col(), row);
    ed.RefreshStatusBar();
    ed.view().documentChanged();
    ed.view().showCellPreview(ed.document().Col(), ed.document().Row());
}

void MediaWizard::back()
{
    if (filling() || currentIndex() <= 1)
        return;
    const int row = currentIndex() - 1;
    moveToRow(row);
    LoadRowIntoFields(row);
    if (row == 1)
        m_backEnabled = false;
    m_forwardEnabled = true;
    setStatus(0, "Current index: " + std::to_string(row));
    setStatus(1, "Total items: " + std::to_string(itemCount()));
}

void MediaWizard::forward()
{
    if (filling() || currentIndex() >= itemCount())
        return;
    const int row = currentIndex() + 1;
    moveToRow(row);
    LoadRowIntoFields(row);
    if (row == itemCount())
        m_forwardEnabled = false;
    m_backEnabled = true;
    setStatus(0, "Current index: " + std::to_string(row));
}

void MediaWizard::deleteCurrent()
{
    if (filling())
        return;
    ListDocument &doc = m_editor.document();
    doc.SetCurrentCell(doc.Col(), doc.Row());
    m_grid.DeleteSelectedRows();
    m_forwardEnabled = doc.Row() < doc.RowCount() - 1;
    m_backEnabled = doc.Row() >= 2;
    if (itemCount() <= 1)
        m_deleteEnabled = false;
    LoadRowIntoFields(doc.Row());
    markListsNotLoaded();
    m_editor.view().menuStateChanged();
    setStatus(0, "Index deleted. Current index: " + std::to_string(currentIndex()));
    setStatus(1, "Total items: " + std::to_string(itemCount()));
}

void MediaWizard::saveList()
{
    if (filling())
        return;
    if (m_editor.saveListEnabled)
        m_files.SaveListBtnClick();
    else
        m_files.SaveListAsBtnClick();
}

} // namespace quorvex
