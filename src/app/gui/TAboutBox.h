#pragma once

#include <QDialog>

namespace quorvex {

class TAboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
};

} // namespace quorvex
