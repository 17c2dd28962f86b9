#pragma once

#include "document/core/PageSetup.h"

#include <QDialog>

#include <array>
#include <functional>

class QGroupBox;
class QKeyEvent;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace quorvex {

class Editor;
class OrientationPicture;
class PrintCommands;

// File > Page Setup: entries per page, indents and orientation of the printed
// page, edited in place on the list's page setup; Cancel puts back what the
// dialog was opened with.
class TPageSetupForm final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char *TooManyQuestion =
        "The maximum number of entries is greater than the recommended number of entries. This may cause rows to "
        "be left out in the printing process. Continue anyway?";

    TPageSetupForm(Editor &editor, PrintCommands &commands, QWidget *parent = nullptr);

    // Opens the dialog modally; the pages are renumbered however it closes.
    int run();
    // The recommendation changed the list's page setup: show it.
    void showValues();

    std::function<void()> onTestPrint;

    QSpinBox *MaxEntriesEdit = nullptr;
    QLabel *MaxEntriesLbl = nullptr;
    QSpinBox *LeftIndentEdit = nullptr;
    QSpinBox *TopIndentEdit = nullptr;
    QRadioButton *PortraitRdioBtn = nullptr;
    QRadioButton *LandRdioBtn = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    QGroupBox *GroupBox4 = nullptr;
    OrientationPicture *Image1 = nullptr;
    OrientationPicture *Image2 = nullptr;
    std::array<QSpinBox *, 8> widthEdits{};
    std::array<QLabel *, 8> widthLabels{};
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    QPushButton *DefaultBtn = nullptr;
    QPushButton *TestPrintBtn = nullptr;

    // Escape and the close box act as Cancel.
    void reject() override;

    // The number boxes take digits only: true for a key whose character is dropped.
    static bool dropsTypedCharacter(const QKeyEvent &event);

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void OKBtnClick();
    void CancelBtnClick();
    void DefaultBtnClick();
    void recompute();
    // F12: shows the character widths, once and for the rest of the run.
    void revealWidths();
    void arrange(bool wide);

    Editor &m_editor;
    PrintCommands &m_commands;
    PageSetup m_opened;
    QLabel *m_maxLabel = nullptr;
    bool m_syncing = false;
    // F12 was pressed: the widths stay shown for the rest of the run.
    bool m_widthsShown = false;
};

} // namespace quorvex
