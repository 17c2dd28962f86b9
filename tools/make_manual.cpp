// Turns the user manual (Markdown) into the help PDF with Qt's own PDF writer.
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_manual MANUAL.md OUT.pdf\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_manual: cannot read %s\n", argv[1]);
        return 1;
    }
    QTextDocument document;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(11);
    document.setDefaultFont(font);
    document.setMarkdown(QString::fromUtf8(source.readAll()));

    const QString outName = QString::fromLocal8Bit(argv[2]);
    const QString partName = outName + QStringLiteral(".part");
    {
        QPdfWriter writer(partName);
        writer.setTitle(QStringLiteral("Quorvex User Manual"));
        writer.setCreator(QStringLiteral("Quorvex"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        writer.setResolution(300);
        document.print(&writer);
    }
    QFile::remove(outName);
    if (!QFile::rename(partName, outName)) {
        std::fprintf(stderr, "make_manual: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
