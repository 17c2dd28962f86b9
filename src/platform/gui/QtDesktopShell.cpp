#include "QtDesktopShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace quorvex {

bool QtDesktopShell::openPath(const std::string &path)
{
    const QString p = QString::fromStdString(path);
    const QFileInfo info(p);
    // Programs and launchers are never handed to the desktop.
    if (!info.exists() || (info.isFile() && info.isExecutable()) ||
        p.endsWith(QStringLiteral(".desktop"), Qt::CaseInsensitive))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

bool QtDesktopShell::openUrl(const std::string &url)
{
    const QUrl u(QString::fromStdString(url));
    if (!u.isValid() || (u.scheme() != QStringLiteral("http") && u.scheme() != QStringLiteral("https")))
        return false;
    return QDesktopServices::openUrl(u);
}

} // namespace quorvex
