// Turns the user manual (Markdown) into the help PDF with Qt's own PDF writer.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <cstdio>
#include <vector>

namespace {

// The text width of an A4 page with 20 mm margins, in the document's units
// (1/96 inch), which print() scales to the writer's resolution.
constexpr double PageTextWidth = (210.0 - 40.0) / 25.4 * 96.0;

// Loads every picture the Markdown names from `baseFolder` into the document
// and shrinks the wide ones to the page width. False when one is missing: a
// manual with a hole where a window should be is not written.
bool placeImages(QTextDocument &document, const QString &baseFolder)
{
    struct Placed {
        int position;
        int length;
        QTextImageFormat format;
    };
    // Collected first: changing a format while walking the fragments merges them under the walk.
    std::vector<Placed> placed;
    bool complete = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QString name = format.name();
            const QImage image(QDir(baseFolder).filePath(name));
            if (image.isNull()) {
                std::fprintf(stderr, "make_manual: missing picture %s\n", qPrintable(name));
                complete = false;
                continue;
            }
            document.addResource(QTextDocument::ImageResource, QUrl(name), image);
            const double scale = image.width() > PageTextWidth ? PageTextWidth / image.width() : 1.0;
            format.setWidth(image.width() * scale);
            format.setHeight(image.height() * scale);
            placed.push_back({fragment.position(), fragment.length(), format});
        }
    }
    for (const Placed &p : placed) {
        QTextCursor cursor(&document);
        cursor.setPosition(p.position);
        cursor.setPosition(p.position + p.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(p.format);
    }
    return complete;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: make_manual MANUAL.md OUT.pdf [PICTURE_FOLDER]\n");
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
    // Pictures are named relative to the folder given, else to the Markdown's own.
    const QString pictures = argc == 4 ? QString::fromLocal8Bit(argv[3])
                                       : QFileInfo(QString::fromLocal8Bit(argv[1])).absolutePath();
    if (!placeImages(document, pictures))
        return 1;
    // Every chapter starts on a page of its own, so a heading never stands apart from its picture.
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() != 2 || block == document.begin())
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }

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
