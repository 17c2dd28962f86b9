#pragma once

#include "document/core/FontChoice.h"

#include <QColor>
#include <QDialog>

#include <optional>

class QFontDialog;
class QPushButton;

namespace quorvex {

// The font dialog of the grid and of the cell text window: Qt's font choice
// (name, size, styles) with the text colour beside it in one window.
class TFontColorDialog : public QDialog {
    Q_OBJECT

public:
    TFontColorDialog(const FontChoice &current, QWidget *parent = nullptr);

    // The chosen font, or nothing when cancelled.
    static std::optional<FontChoice> choose(const FontChoice &current, QWidget *parent);

    FontChoice chosen() const;
    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    QFontDialog *fontBox() const { return m_fontBox; }
    QPushButton *colorButton() const { return m_colorButton; }

private:
    void ColorBtnClick();

    FontChoice m_base;
    QColor m_color;
    bool m_colorChanged = false;
    QFontDialog *m_fontBox;
    QPushButton *m_colorButton;
};

} // namespace quorvex
