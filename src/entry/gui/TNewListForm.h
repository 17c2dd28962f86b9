#pragma once

#include "entry/core/NewListCommand.h"

#include <QDialog>

#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QRadioButton;

namespace quorvex {

class Editor;
class ListFileCommands;

// The new-list dialog: the nine list kinds in their movie and music groups and
// the wizard and show-on-start options.
class TNewListForm final : public QDialog {
    Q_OBJECT
public:
    TNewListForm(Editor &editor, ListFileCommands &files, std::function<void()> openWizard,
                 QWidget *parent = nullptr);

    NewListCommand &command() { return m_command; }
    // Indexed like TemplateLists::kinds().
    QRadioButton *kindButton(int kind) const { return m_kinds[static_cast<std::size_t>(kind)]; }
    QGroupBox *movieGroup() const { return m_GroupBox1; }
    QGroupBox *musicGroup() const { return m_GroupBox2; }
    QCheckBox *wizardBox() const { return m_WizardChckBox; }
    QCheckBox *showOnStartBox() const { return m_ShowOnStartChkBox; }

    // File > New List, and once at start-up.
    void NewListBtnClick();
    void OKBtnClick();
    void GroupBox1Click();
    void GroupBox2Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSettings();
    void readSettings();
    void showKind(int kind);

    NewListCommand m_command;
    std::function<void()> m_openWizard;
    QGroupBox *m_GroupBox1 = nullptr;
    QGroupBox *m_GroupBox2 = nullptr;
    QButtonGroup *m_group = nullptr;
    std::array<QRadioButton *, NewListSettings::KindCount> m_kinds{};
    QCheckBox *m_WizardChckBox = nullptr;
    QCheckBox *m_ShowOnStartChkBox = nullptr;
};

} // namespace quorvex
