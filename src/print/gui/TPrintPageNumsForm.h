#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace quorvex {

class MessageService;
struct PageSelection;

// File > Print Page Numbers: a page range (optionally odd pages first) or a
// comma list of pages, checked against the list's page count before OK.
class TPrintPageNumsForm final : public QDialog {
    Q_OBJECT
public:
    TPrintPageNumsForm(PageSelection &selection, MessageService &messages, std::function<int()> totalPages,
                       QWidget *parent = nullptr);

    // Shows the dialog with the selection as it was last left; the selection's
    // `accepted` tells how it ended.
    int run();

    QRadioButton *RangeRdioBtn = nullptr;
    QRadioButton *PageNumRdioBtn = nullptr;
    QSpinBox *StartEdit = nullptr;
    QSpinBox *EndEdit = nullptr;
    QCheckBox *OddsChkBox = nullptr;
    QLineEdit *PageNumsEdit = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSelection();
    void modeChanged();
    void OkBtnClick();

    PageSelection &m_selection;
    MessageService &m_messages;
    std::function<int()> m_totalPages;
};

} // namespace quorvex
