#pragma once

#include "sort/core/SortOptions.h"
#include "sort/core/SortSettings.h"

#include <QDialog>

#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace quorvex {

class ListDocument;
class MessageService;

// The sort options dialog: eight key boxes in priority order, whose columns
// always differ (picking a column another box shows swaps the two), and the
// case and backwards check boxes, which sort.mtr keeps between runs.
class TSortForm final : public QDialog {
    Q_OBJECT
public:
    static constexpr int KeyCount = 8;

    TSortForm(MessageService &messages, QWidget *parent = nullptr);

    // Fills every box with the header texts of the data columns, selects the
    // default order, applies sort.mtr from `programFolder` and remembers the
    // selections for Cancel and the exchange rule.
    void prepare(const ListDocument &document, const std::string &programFolder);
    // Shows the dialog modally; true when it closed with OK.
    bool ask();
    // Grid columns of the boxes (0 for a box without a selection) and the flags.
    SortOptions options() const;

    QComboBox *sortBox(int k) const { return m_boxes[static_cast<std::size_t>(k - 1)]; }
    QCheckBox *caseChkBox() const { return m_CaseChkBox; }
    QCheckBox *sortBackChkBox() const { return m_SortBackChkBox; }
    QPushButton *okBtn() const { return m_OKBtn; }
    QPushButton *cancelBtn() const { return m_CancelBtn; }
    QPushButton *defaultBtn() const { return m_DefaultBtn; }
    // The remembered selections of box k (1 to 8).
    int openingSelection(int k) const { return m_opening[static_cast<std::size_t>(k - 1)]; }
    int previousSelection(int k) const { return m_previous[static_cast<std::size_t>(k - 1)]; }

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void DefaultBtnClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The exchange rule, on a change of box k's selection and when boxes 2 to 8 lose the focus.
    void SortBoxChange(int k);
    void applyEnablingRule();
    void select(int k, int index);
    SortFlags flags() const;
    void setFlags(const SortFlags &flags);

    MessageService &m_messages;
    std::string m_settingsPath;
    int m_dataColumns = 0;
    std::array<QComboBox *, KeyCount> m_boxes{};
    std::array<QLabel *, KeyCount> m_labels{};
    std::array<int, KeyCount> m_opening{};
    std::array<int, KeyCount> m_previous{};
    QLabel *m_Label9 = nullptr;
    QCheckBox *m_CaseChkBox = nullptr;
    QCheckBox *m_SortBackChkBox = nullptr;
    QPushButton *m_OKBtn = nullptr;
    QPushButton *m_CancelBtn = nullptr;
    QPushButton *m_DefaultBtn = nullptr;
    // Selections set by the program are no user's change.
    bool m_settingBoxes = false;
};

} // namespace quorvex
