#include "SortController.h"

#include "TSortForm.h"
#include "TStatusForm.h"
#include "document/core/Editor.h"
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
    if (m_running)
        return;
    m_running = true;
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
    m_running = false;
}

} // namespace quorvex
