#pragma once

#include <QDialog>

namespace quorvex {

// The update window. Checking needs the maker's server; this build has no
// network code, so it says which version runs and where to look.
class TUpdateForm final : public QDialog {
    Q_OBJECT
public:
    explicit TUpdateForm(QWidget *parent = nullptr);
};

} // namespace quorvex
