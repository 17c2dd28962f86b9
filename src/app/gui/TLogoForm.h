#pragma once

#include <QDialog>

#include <functional>

class QLabel;

namespace quorvex {

// The splash window: a framed logo with the program's title over it. A click
// on the picture or the title, or any key, asks the start-up loop to stop.
class TLogoForm final : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxPasses = 600;
    explicit TLogoForm(QWidget *parent = nullptr);
    std::function<void()> onStop;
    QSize sizeHint() const override { return QSize(542, 373); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_Image1 = nullptr;
    QLabel *m_ShadowLbl = nullptr;
    QLabel *m_Label2 = nullptr;
};

} // namespace quorvex
