#pragma once

#include <QObject>

namespace quorvex {

class Editor;
class MessageService;
class TSortForm;
class TStatusForm;

// The Sort command of the Options menu and the grid's pop-up: the options
// dialog, the sort itself with the progress window, and the preview refresh.
class SortController final : public QObject {
    Q_OBJECT
public:
    // The windows are made here, owned by `parent`, and live as long as it does.
    SortController(Editor &editor, MessageService &messages, QWidget *parent);

    TSortForm *sortForm() const { return m_sortForm; }
    TStatusForm *statusForm() const { return m_statusForm; }

public slots:
    void SortBtnClick();

private:
    Editor &m_editor;
    TSortForm *m_sortForm = nullptr;
    TStatusForm *m_statusForm = nullptr;
};

} // namespace quorvex
