#include "SortController.h"

#include "TSortForm.h"
#include "TStatusForm.h"
#include "document/core/Editor.h"
#include "document/core/LongOperationGuard.h"
#include "sort/core/SortCommand.h"

#include <QWidget>

namespace quorvex {

SortController::SortController(Editor &editor, MessageService &messages, QWidget *parent)
    : QObject(parent),
      m_editor(editor),
      m_sortForm(new TSortForm(messages, parent)),
      m_statusForm(new TStatusForm(parent))
{
}

void SortController::SortBtnClick()
{
    // Events run while a sort runs or waits in a pause; nothing else that holds
    // the list may be going on, and no second sort may start inside this one.
    if (m_editor.longOperationRunning)
        return;
    LongOperationGuard guard(m_editor);
    EditorView &view = m_editor.view();
    view.endCellEditing();
    m_sortForm->prepare(m_editor.document(), m_editor.paths().programFolder);
    if (m_sortForm->ask()) {
        SortCommand command(m_editor, *m_statusForm);
        command.run(m_sortForm->options());
    }
    {
        BusyCursor cursor(view, CursorShape::AppStarting);
        view.showCellPreview(m_editor.document().Col(), m_editor.document().Row());
    }
}

} // namespace quorvex
