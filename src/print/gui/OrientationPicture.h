#pragma once

#include <QWidget>

class QRadioButton;

namespace quorvex {

// The small page picture beside an orientation button: a sheet with a folded
// corner and a few text lines, upright or on its side. Clicking it clicks the button.
class OrientationPicture final : public QWidget {
    Q_OBJECT
public:
    OrientationPicture(bool landscape, QRadioButton *button, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    // The picture as it is painted, for the window tests.
    QImage picture() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void draw(QPainter &painter) const;

    bool m_landscape;
    QRadioButton *m_button;
};

} // namespace quorvex
