#pragma once

#include "entry/core/MediaWizard.h"
#include "platform/core/TextEncoding.h"

#include <QDialog>

#include <array>

class QAbstractItemView;
class QComboBox;
class QLabel;
class QPushButton;

namespace quorvex {

class Editor;
class GridCommands;
class LongFieldValidator;
class ListFileCommands;

// The media input wizard window: eight drop-down fields over the main grid's
// columns 1 to 8 and the buttons that add, apply, browse, delete and save.
class TWizardForm final : public QDialog {
    Q_OBJECT
public:
    TWizardForm(Editor &editor, GridCommands &grid, ListFileCommands &files, QWidget *parent = nullptr);

    MediaWizard &wizard() { return m_wizard; }
    QComboBox *box(int i) const { return m_boxes[static_cast<std::size_t>(i)]; }
    QLabel *fieldLabel(int i) const { return m_labels[static_cast<std::size_t>(i)]; }
    QLabel *statusPanel(int i) const { return m_status[static_cast<std::size_t>(i)]; }

    // Wizard > Media Wizard: prepares the window and shows it modally.
    void WizardBtnClick();

    void NextBtnClick();
    void SaveCurrentBtnClick();
    void BackBtnClick();
    void ForwardBtnClick();
    void DeleteBtnClick();
    void SaveFileBtnClick();
    void CloseBtnClick();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openingWork();
    void readFields();
    void showState();
    void showStatus();
    void focusFirstField();
    void setBoxText(int i, const QString &text);
    void fitButtonColumn();
    void hideOfferedLists();
    TextEncoding encoding() const;
    // A caption's text with the margins the style puts around it.
    static int captionWidth(const QPushButton *button);

    // The list whose encoding the fields' texts cross in.
    Editor &m_editor;
    MediaWizard m_wizard;
    std::array<QComboBox *, MediaWizard::FieldCount> m_boxes{};
    std::array<QLabel *, MediaWizard::FieldCount> m_labels{};
    // The lists of earlier texts the fields offer while typing.
    std::array<QAbstractItemView *, MediaWizard::FieldCount> m_popups{};
    std::array<unsigned, MediaWizard::FieldCount> m_shownRevision{};
    std::array<LongFieldValidator *, MediaWizard::FieldCount> m_validators{};
    std::array<QLabel *, 3> m_status{};
    QPushButton *m_NextBtn = nullptr;
    QPushButton *m_BackBtn = nullptr;
    QPushButton *m_ForwardBtn = nullptr;
    QPushButton *m_SaveCurrentBtn = nullptr;
    QPushButton *m_DeleteBtn = nullptr;
    QPushButton *m_SaveFileBtn = nullptr;
    QPushButton *m_CloseBtn = nullptr;
};

} // namespace quorvex
