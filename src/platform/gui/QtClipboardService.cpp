#include "QtClipboardService.h"

#include "Cp1252.h"

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

} // namespace quorvex
