#include "QtFileDialogService.h"

#include "Cp1252.h"
#include "platform/core/FileSystem.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>

#include <unistd.h>

namespace quorvex {

namespace {
QtFileDialogService::Responder &responder()
{
    static QtFileDialogService::Responder r;
    return r;
}
} // namespace

void QtFileDialogService::setResponder(Responder r)
{
    responder() = std::move(r);
}

QStringList QtFileDialogService::qtFilters(const std::string &filter)
{
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns == QLatin1String("*.*"))
            patterns = QStringLiteral("*");
        QString description = parts[i].trimmed();
        // Descriptions written for Windows name their patterns already ("(*.LSTD)");
        // Qt adds the real ones, so drop the written ones to show them once.
        if (description.endsWith(QLatin1Char(')'))) {
            const qsizetype open = description.lastIndexOf(QLatin1Char('('));
            if (open > 0 && description.indexOf(QLatin1Char('*'), open) > open)
                description = description.left(open).trimmed();
        }
        result << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result;
}

void QtFileDialogService::placeAt(QFileDialog &dialog, const std::string &initialPath) const
{
    if (!m_initialFolder.empty())
        dialog.setDirectory(Cp1252::fromPath(m_initialFolder));
    if (initialPath.empty())
        return;
    const QString start = Cp1252::fromPath(initialPath);
    if (QFileInfo(start).isDir())
        dialog.setDirectory(start);
    else
        dialog.selectFile(start);
}

bool QtFileDialogService::confirmsOverwrite() const
{
    return !responder();
}

std::optional<std::string> QtFileDialogService::runOpen(const std::string &filter, const std::string &initialPath,
                                                        bool preview)
{
    if (responder()) {
        int index = 1;
        return responder()(false, filter, index, initialPath);
    }
    QFileDialog dialog(m_parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(qtFilters(filter));
    placeAt(dialog, initialPath);
    QLabel *picture = nullptr;
    if (preview) {
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout())) {
            picture = new QLabel(&dialog);
            picture->setFixedSize(180, 180);
            picture->setAlignment(Qt::AlignCenter);
            picture->setFrameStyle(QFrame::StyledPanel);
            grid->addWidget(picture, 0, grid->columnCount(), grid->rowCount(), 1);
            QObject::connect(&dialog, &QFileDialog::currentChanged, picture, [picture](const QString &path) {
                // Only a regular file is previewed: reading a FIFO would freeze the dialog.
                const int fd = FileSystem::openForReading(path.toStdString());
                QFile file;
                if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
                    if (fd >= 0)
                        ::close(fd);
                    picture->setPixmap(QPixmap());
                    return;
                }
                QImageReader reader(&file);
                reader.setAutoTransform(true);
                const QSize size = reader.size();
                // Large pictures are decoded scaled down, never whole.
                if (size.isValid())
                    reader.setScaledSize(size.scaled(180, 180, Qt::KeepAspectRatio));
                const QImage image = reader.read();
                picture->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
            });
        }
    }
    const QString chosen = execForAcceptedFile(dialog);
    if (chosen.isEmpty())
        return std::nullopt;
    return Cp1252::toPath(chosen);
}

std::optional<std::string> QtFileDialogService::openFile(const std::string &filter, const std::string &initialPath)
{
    return runOpen(filter, initialPath, false);
}

std::optional<std::string> QtFileDialogService::openPicture(const std::string &filter, const std::string &initialPath)
{
    return runOpen(filter, initialPath, true);
}

std::optional<std::string> QtFileDialogService::saveFile(const std::string &filter, int &filterIndex,
                                                         const std::string &initialPath)
{
    if (responder())
        return responder()(true, filter, filterIndex, initialPath);
    QFileDialog dialog(m_parent);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filters = qtFilters(filter);
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters[filterIndex - 1]);
    placeAt(dialog, initialPath);
    const QString chosen = execForAcceptedFile(dialog);
    if (chosen.isEmpty())
        return std::nullopt;
    filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (filterIndex < 1)
        filterIndex = 1;
    return Cp1252::toPath(chosen);
}

QString QtFileDialogService::execForAcceptedFile(QFileDialog &dialog)
{
    QString chosen;
    QObject::connect(&dialog, &QFileDialog::fileSelected, &dialog, [&chosen](const QString &file) { chosen = file; });
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return chosen;
}

} // namespace quorvex
