#include "ImportProgressDialog.h"


#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>

namespace quorvex {

ImportProgressDialog::ImportProgressDialog(QWidget *parent)
    : m_dialog(new QProgressDialog(QStringLiteral("Importing..."), QStringLiteral("&Cancel"), 0, 100, parent))
{
    m_dialog->setObjectName(QStringLiteral("ImportProgressDialog"));
    m_dialog->setWindowTitle(QStringLiteral("Import"));
    m_dialog->setWindowModality(Qt::WindowModal);
    // Short imports finish before it would show.
    m_dialog->setMinimumDuration(400);
    m_dialog->setValue(0);
    m_sincePump.start();
}

ImportProgressDialog::~ImportProgressDialog() { delete m_dialog; }

void ImportProgressDialog::setProgress(int percent, const std::string &text)
{
    m_dialog->setLabelText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    m_dialog->setValue(std::min(percent, 99));
}

void ImportProgressDialog::pumpEvents()
{
    if (m_sincePump.elapsed() < 30)
        return;
    m_sincePump.restart();
    QCoreApplication::processEvents();
}

bool ImportProgressDialog::isCancelled() const { return m_dialog->wasCanceled(); }

} // namespace quorvex
