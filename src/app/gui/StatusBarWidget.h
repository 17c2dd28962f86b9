#pragma once

#include <QWidget>

namespace quorvex {

class StatusBarModel;

// The main window's status bar: four panels drawn by the program.
class StatusBarWidget final : public QWidget {
    Q_OBJECT
public:
    explicit StatusBarWidget(const StatusBarModel &model, QWidget *parent = nullptr);
    QSize sizeHint() const override;
    QRect panelRect(int panel) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int fittingHeight() const;
    const StatusBarModel &m_model;
};

} // namespace quorvex
