#pragma once

#include "platform/core/TextEncoding.h"

#include <QDialog>

#include <optional>
#include <string>

class QLineEdit;

namespace quorvex {

// The small dialog that asks for a column's header text.
class THeaderTextForm final : public QDialog {
    Q_OBJECT
public:
    explicit THeaderTextForm(QWidget *parent = nullptr);
    // Shows the dialog modally with `current`; the entered text, or nothing on Cancel.
    std::optional<std::string> ask(const std::string &current, TextEncoding encoding = TextEncoding::Windows1252);
    QLineEdit *textEdit() const { return m_TextEdit; }

private:
    QLineEdit *m_TextEdit = nullptr;
};

} // namespace quorvex
