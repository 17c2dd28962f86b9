#include "StatusBarModel.h"

#include "document/core/ListDocument.h"

#include <algorithm>

namespace quorvex {

StatusBarModel::StatusBarModel()
    : m_texts{{"Ready.", "Selected row: 1", "Total pages: 1", "Selected page: 1"}}, m_widths{{300, 125, 105, 120}}
{
}

std::string StatusBarModel::itemCountLabel(const std::string &listType)
{
    if (listType == "vhsmovie" || listType == "dvdmovie" || listType == "vcdmovie" || listType == "svcdmovie" ||
        listType == "bdmovie")
        return "Total movies: ";
    if (listType == "cdmusic")
        return "Total CD's: ";
    if (listType == "cassettemusic")
        return "Total cassettes: ";
    if (listType == "recordmusic")
        return "Total records: ";
    return "Total 8 tracks: ";
}

void StatusBarModel::refresh(const ListDocument &document, const std::string &listType, int entriesPerPage,
                             int clientWidth)
{
    m_progress = 0;
    m_texts[0] = itemCountLabel(listType) + std::to_string(document.RowCount() - 1);
    m_texts[1] = "Selected row: " + std::to_string(document.Row());
    m_texts[2] = "Total pages: " + std::to_string(document.CountPages(entriesPerPage));
    m_texts[3] = "Selected page: " + std::to_string(document.SelectedPage(entriesPerPage));
    resize(clientWidth);
}

void StatusBarModel::resize(int clientWidth)
{
    const int rest = m_widths[1] + m_widths[2] + m_widths[3];
    m_widths[0] = std::clamp(clientWidth - rest, MinFirstWidth, MaxFirstWidth);
}

void StatusBarModel::setProgress(int percent, const std::string &text)
{
    m_progress = std::clamp(percent, 0, 100);
    m_texts[0] = text;
}

PanelRect StatusBarModel::progressBarRect(const PanelRect &panel, int percent)
{
    if (percent <= 0)
        return PanelRect{panel.left, panel.top, panel.left, panel.top};
    const int span = static_cast<int>(percent * 0.01 * panel.width());
    return PanelRect{panel.left, -1, panel.left + span, panel.bottom};
}

int StatusBarModel::textStartX(const PanelRect &panel, int panelIndex, int percent)
{
    return panel.left + ((panelIndex == 0 && percent > 0) ? 3 : 2);
}

} // namespace quorvex
