#include "QtDesktopShell.h"

#include "platform/core/FileSystem.h"
#include "platform/core/RecentlyUsedList.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

#include <cstdlib>

namespace quorvex {

namespace {

QtDesktopShell::Responder &responder()
{
    static QtDesktopShell::Responder r;
    return r;
}

// Programs and launchers are never handed to the desktop.
bool isLauncher(const QString &path, const QFileInfo &info)
{
    return (info.isFile() && info.isExecutable()) || path.endsWith(QStringLiteral(".desktop"), Qt::CaseInsensitive);
}

// The desktop's launcher starts and returns before it finds out that no program
// takes the file, so a missing program would pass as success. Ask the desktop's
// own association table first; when it cannot be asked, let the launcher try.
bool desktopHasProgramFor(const QFileInfo &info)
{
    if (!info.isFile())
        return true;
    const QString type = QMimeDatabase().mimeTypeForFile(info).name();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(2000)) {
        query.kill();
        query.waitForFinished(500);
        return true;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return true;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

void QtDesktopShell::setResponder(Responder r)
{
    responder() = std::move(r);
}

bool QtDesktopShell::openPath(const std::string &path)
{
    const QString p = QString::fromStdString(path);
    const QFileInfo info(p);
    if (!info.exists() || isLauncher(p, info))
        return false;
    if (responder())
        return responder()(path, ShellVerb::Open) > 32;
    if (!desktopHasProgramFor(info))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

bool QtDesktopShell::openUrl(const std::string &url)
{
    const QUrl u(QString::fromStdString(url));
    if (!u.isValid() || (u.scheme() != QStringLiteral("http") && u.scheme() != QStringLiteral("https")))
        return false;
    if (responder())
        return responder()(url, ShellVerb::Open) > 32;
    return QDesktopServices::openUrl(u);
}

int QtDesktopShell::openDocument(const std::string &path, ShellVerb verb)
{
    const QString p = QString::fromStdString(path);
    const QFileInfo info(p);
    if (!info.exists())
        return ShellFileNotFound;
    if (isLauncher(p, info))
        return ShellAccessDenied;
    if (!info.isReadable())
        return ShellAccessDenied;
    if (responder())
        return responder()(path, verb);
    if (!desktopHasProgramFor(info))
        return ShellNoAssociation;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())) ? ShellSuccess
                                                                                    : ShellNoAssociation;
}

void QtDesktopShell::addRecentDocument(const std::string &path)
{
    const std::string xbel = RecentlyUsedList::location(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (xbel.empty() || path.empty())
        return;
    RecentlyUsedList::Use use;
    use.path = FileSystem::longForm(path);
    // Typed by the bytes, as the desktop types it: a dependent list starts
    // with its own tag, whatever its name.
    const std::string head = FileSystem::readFilePrefix(use.path, 30).value_or(std::string());
    use.mimeType = head == "QuorvexListFile_ListVers1.2Dep" ? "application/x-quorvex-dependent-list"
                                                            : "application/x-quorvex-list";
    use.appName = "Quorvex";
    use.appExec = "quorvex %f";
    const QDateTime now = QDateTime::currentDateTimeUtc();
    use.time = RecentlyUsedList::timestamp(now.toSecsSinceEpoch(), now.time().msec() * 1000);
    RecentlyUsedList::add(xbel, use);
}

} // namespace quorvex
