#include "QtClipboardService.h"

#include "Cp1252.h"
#include "ListText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace quorvex {

bool QtClipboardService::hasText() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

std::string QtClipboardService::text() const
{
    return Cp1252::fromUnicode(QGuiApplication::clipboard()->text());
}

void QtClipboardService::setText(const std::string &text)
{
    QGuiApplication::clipboard()->setText(Cp1252::toUnicode(text));
}

std::string QtClipboardService::listText(TextEncoding encoding) const
{
    return ListText::fromUnicode(QGuiApplication::clipboard()->text(), encoding);
}

void QtClipboardService::setListText(const std::string &text, TextEncoding encoding)
{
    QGuiApplication::clipboard()->setText(ListText::toUnicode(text, encoding));
}

} // namespace quorvex
