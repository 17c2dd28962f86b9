#pragma once

#include <array>
#include <functional>
#include <string>

namespace quorvex {

class ListDocument;

// A status panel's rectangle by its edges (the raster picture's PixelRect goes by size).
struct PanelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    bool operator==(const PanelRect &o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Texts, widths and progress of the main window's four status panels.
class StatusBarModel {
public:
    static constexpr int PanelCount = 4;
    static constexpr int Height = 19;
    static constexpr int MinFirstWidth = 220;
    static constexpr int MaxFirstWidth = 400;

    StatusBarModel();

    static std::string itemCountLabel(const std::string &listType);

    // Recomputes every text and the first panel's width.
    void refresh(const ListDocument &document, const std::string &listType, int entriesPerPage, int clientWidth);
    // Only the width rule, for a resized window.
    void resize(int clientWidth);
    // The pixel width of a text in the status bar's font. With it, the item,
    // row and page panels grow past their design widths to fit their numbers.
    void setTextWidthMeasure(std::function<int(const std::string &)> measure) { m_measure = std::move(measure); }
    static constexpr int TextMargin = 6;

    void setProgress(int percent, const std::string &text);
    int progress() const { return m_progress; }

    const std::string &text(int panel) const { return m_texts[static_cast<std::size_t>(panel)]; }
    void setText(int panel, const std::string &text) { m_texts[static_cast<std::size_t>(panel)] = text; }
    int width(int panel) const { return m_widths[static_cast<std::size_t>(panel)]; }

    // Drawing geometry of one panel: the progress bar behind panel 0 and the text origin.
    static PanelRect progressBarRect(const PanelRect &panel, int percent);
    static int textStartX(const PanelRect &panel, int panelIndex, int percent);
    static constexpr int TextY = 3;

private:
    std::array<std::string, PanelCount> m_texts;
    std::array<int, PanelCount> m_widths;
    int m_progress = 0;
    std::function<int(const std::string &)> m_measure;
};

} // namespace quorvex
