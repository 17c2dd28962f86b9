#include "GridKeyRules.h"

#include "ListDocument.h"
#include "document/core/AttachmentRef.h"

namespace quorvex {

namespace {

bool currentIsAttachment(const ListDocument &doc)
{
    return AttachmentRef::IsAttachmentCell(doc, doc.Col(), doc.Row());
}

bool isNavigationKey(GridKey key)
{
    switch (key) {
    case GridKey::Enter:
    case GridKey::Tab:
    case GridKey::Up:
    case GridKey::Down:
    case GridKey::Left:
    case GridKey::Right:
        return true;
    default:
        return false;
    }
}

} // namespace

bool GridKeyRules::canEditInPlace(const ListDocument &doc, int col, int row)
{
    return !AttachmentRef::IsAttachmentCell(doc, col, row);
}

std::string GridKeyRules::chooseBoxText(const ListDocument &doc)
{
    if (currentIsAttachment(doc))
        return std::string();
    return doc.GetCell(doc.Col(), doc.Row());
}

GridAction GridKeyRules::shortcutAction(const KeyInput &key, bool editorOpen)
{
    if (editorOpen || !key.ctrl)
        return GridAction::None;
    switch (key.key) {
    case GridKey::V: return GridAction::Paste;
    case GridKey::C: return GridAction::Copy;
    case GridKey::X: return GridAction::Cut;
    case GridKey::A: return GridAction::SelectAll;
    case GridKey::Z: return GridAction::Undo;
    default: return GridAction::None;
    }
}

bool GridKeyRules::isTabOnLastCell(const ListDocument &doc, const KeyInput &key)
{
    return key.key == GridKey::Tab && !key.shift && doc.Col() == doc.ColCount() - 1 &&
           doc.Row() == doc.RowCount() - 1;
}

GridEventDecision GridKeyRules::keyDown(const ListDocument &doc, const KeyInput &key, bool editorOpen)
{
    GridEventDecision d;
    if (!editorOpen) {
        d.action = shortcutAction(key, editorOpen);
        d.refreshStatusBar = true;
    }
    if (currentIsAttachment(doc)) {
        d.inPlaceEditing = false;
        if (key.key == GridKey::Enter)
            d.swallow = true;
    } else {
        d.inPlaceEditing = true;
    }
    if (isTabOnLastCell(doc, key)) {
        d.swallow = true;
        if (d.action == GridAction::None)
            d.action = GridAction::NewRowFromTab;
    }
    return d;
}

GridEventDecision GridKeyRules::keyPress(char ch, bool editorOpen, bool snapshotCurrent)
{
    GridEventDecision d;
    if (ch == '\t' || ch == '\r' || ch == '\n')
        return d;
    d.takeCellEditSnapshot = editorOpen && !snapshotCurrent;
    return d;
}

GridEventDecision GridKeyRules::keyUp(const ListDocument &doc, const KeyInput &key, bool editorOpen)
{
    GridEventDecision d;
    const bool attachment = currentIsAttachment(doc);
    d.chooseBoxText = attachment ? std::string() : doc.GetCell(doc.Col(), doc.Row());
    if (!attachment && editorOpen && !isNavigationKey(key.key))
        d.markModified = true;
    // Only a plain Del: Shift+Del and Ctrl+Del are the row and column deletions,
    // whose key release must not clear the cells that moved into the selection.
    if (!editorOpen && key.key == GridKey::Delete && !key.ctrl && !key.shift && !key.alt)
        d.action = GridAction::Delete;
    d.previewRefresh = true;
    return d;
}

GridEventDecision GridKeyRules::mouseMove(const ListDocument &doc)
{
    GridEventDecision d;
    d.refreshStatusBar = true;
    d.inPlaceEditing = false;
    d.chooseBoxText = chooseBoxText(doc);
    return d;
}

GridEventDecision GridKeyRules::mouseDown(const ListDocument &doc)
{
    GridEventDecision d;
    if (!currentIsAttachment(doc)) {
        d.inPlaceEditing = true;
        d.refreshStatusBar = true;
    }
    return d;
}

GridEventDecision GridKeyRules::mouseUp(const ListDocument &doc)
{
    GridEventDecision d;
    if (!currentIsAttachment(doc))
        d.inPlaceEditing = true;
    d.previewRefresh = true;
    return d;
}

GridEventDecision GridKeyRules::doubleClick(const ListDocument &doc)
{
    GridEventDecision d;
    if (currentIsAttachment(doc)) {
        d.action = GridAction::OpenAttachment;
    } else {
        d.inPlaceEditing = true;
        d.action = GridAction::OpenEditor;
    }
    return d;
}

GridEventDecision GridKeyRules::click()
{
    GridEventDecision d;
    d.refreshStatusBar = true;
    return d;
}

GridEventDecision GridKeyRules::wheel(const ListDocument &doc, bool down)
{
    GridEventDecision d;
    if (down && doc.Row() + 1 < doc.RowCount())
        d.previewCell = std::make_pair(doc.Col(), doc.Row() + 1);
    else if (!down && doc.Row() >= 2)
        d.previewCell = std::make_pair(doc.Col(), doc.Row() - 1);
    return d;
}

} // namespace quorvex
