#include "FilterController.h"

#include "document/core/Editor.h"
#include "filter/gui/FilterBar.h"
#include "filter/gui/GroupPane.h"

#include <QLabel>
#include <QTimer>

namespace quorvex {

FilterController::FilterController(Editor &editor, QWidget *barParent, QWidget *paneParent, QWidget *statusParent)
    : QObject(barParent), m_editor(editor), m_session(editor)
{
    m_bar = new FilterBar(editor, barParent);
    m_bar->hide();
    m_pane = new GroupPane(editor, paneParent);
    m_pane->hide();
    m_status = new QLabel(statusParent);
    m_status->setObjectName(QStringLiteral("FilterStatusLbl"));
    m_status->hide();
    m_bar->onChanged = [this] { apply(); };
    m_bar->onCleared = [this] { clear(); };
    m_bar->onClosed = [this] { clear(); };
    m_pane->onPicked = [this] { apply(); };
}

void FilterController::openBar()
{
    m_bar->open();
}

void FilterController::setGroupsShown(bool shown)
{
    if (shown == m_pane->isVisible())
        return;
    if (shown) {
        // The grid's current column is what the user most likely wants grouped.
        m_pane->show();
        m_pane->setColumn(m_editor.document().Col());
        return;
    }
    m_pane->hide();
    if (!m_pane->picked().empty()) {
        m_pane->clearPicked();
        apply();
    }
}

void FilterController::apply()
{
    // A sort or a replace run that lets events run holds the rows: the filter follows once it is done.
    if (m_editor.longOperationRunning) {
        QTimer::singleShot(100, this, [this] { apply(); });
        return;
    }
    RowFilter filter;
    filter.conditions = m_bar->conditions();
    if (!m_pane->picked().empty()) {
        filter.groupColumn = m_pane->column();
        filter.groupTexts = m_pane->picked();
    }
    m_session.apply(filter);
    showStatus();
}

void FilterController::clear()
{
    m_pane->clearPicked();
    m_session.clear();
    showStatus();
}

void FilterController::documentChanged()
{
    m_pane->follow();
    showStatus();
}

void FilterController::listReplaced()
{
    m_session.forget();
    m_bar->setConditions({});
    m_bar->refreshColumns();
    m_pane->listReplaced();
    showStatus();
}

void FilterController::showStatus()
{
    const std::string text = m_session.statusText();
    m_status->setText(QString::fromLatin1(text.c_str()));
    m_status->setVisible(!text.empty());
}

} // namespace quorvex
