#include "UnicodeListActions.h"

#include "document/core/Editor.h"
#include "document/core/TextConversion.h"
#include "platform/core/MessageService.h"

#include <QAction>

namespace quorvex {

UnicodeListActions::UnicodeListActions(Editor &editor, QObject *parent) : QObject(parent), m_editor(editor)
{
    m_ConvertToUnicodeBtn = new QAction(QStringLiteral("Convert to &Unicode List"), this);
    m_ConvertToUnicodeBtn->setObjectName(QStringLiteral("ConvertToUnicodeBtn"));
    m_UnicodeNewListsBtn = new QAction(QStringLiteral("New Lists Hold Unicode &Text"), this);
    m_UnicodeNewListsBtn->setObjectName(QStringLiteral("UnicodeNewListsBtn"));
    m_UnicodeNewListsBtn->setCheckable(true);
    connect(m_ConvertToUnicodeBtn, &QAction::triggered, this, [this] { ConvertToUnicodeBtnClick(); });
    // Only a user's click writes the file, not the check set after reading it.
    connect(m_UnicodeNewListsBtn, &QAction::triggered, this, [this](bool checked) { UnicodeNewListsBtnClick(checked); });
}

void UnicodeListActions::readSetting()
{
    m_setting.read(m_editor.paths().programFolder);
    m_UnicodeNewListsBtn->setChecked(m_setting.newListsUnicode);
    if (settingChanged)
        settingChanged(m_setting.newListsUnicode);
}

void UnicodeListActions::ConvertToUnicodeBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    if (!TextConversion::convertToUnicode(m_editor)) {
        m_editor.services().messages.information("The list holds Unicode text already.");
        return;
    }
    m_editor.statusBar().setText(0, "List converted to Unicode text.");
    m_editor.view().statusBarChanged();
}

void UnicodeListActions::UnicodeNewListsBtnClick(bool checked)
{
    m_setting.newListsUnicode = checked;
    if (!m_setting.write(m_editor.paths().programFolder))
        m_editor.services().messages.error("Unable to save the setting \"New lists hold Unicode text\" to disk.");
    if (settingChanged)
        settingChanged(checked);
}

} // namespace quorvex
