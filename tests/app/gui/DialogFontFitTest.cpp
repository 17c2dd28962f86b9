// Every dialog shows its texts whole in the desktop's font: at the usual size
// the pixel layouts stay as they are, at a larger size they grow.
#include "GuiSandbox.h"
#include "app/gui/StatusBarWidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

using namespace quorvex;

namespace {

QString plain(QString text)
{
    for (int i = 0; i < text.size(); ++i)
        if (text.at(i) == QLatin1Char('&'))
            text.remove(i, 1);
    return text;
}

// The part of a control its text takes (left-aligned texts may have room to
// spare), and whether that text is cut; other controls take their whole rectangle.
struct Text {
    QString text;
    QRect rect;
    bool cut = false;
};

Text textOf(const QWidget *w)
{
    const QFontMetrics fm = w->fontMetrics();
    Text t;
    t.rect = w->geometry();
    int needed = w->width();
    if (const auto *label = qobject_cast<const QLabel *>(w)) {
        t.text = plain(label->text());
        if (t.text.isEmpty() || label->textFormat() == Qt::RichText || t.text.contains(QLatin1Char('<')))
            return {};
        if (label->wordWrap()) {
            t.cut = label->heightForWidth(label->width()) > label->height();
        } else {
            const QSize text = fm.size(0, t.text);
            needed = text.width() + w->width() - label->contentsRect().width();
            t.cut = needed > w->width() || text.height() > label->height();
            if (!(label->alignment() & (Qt::AlignRight | Qt::AlignHCenter)))
                t.rect.setWidth(std::min(needed, w->width()));
        }
    } else if (qobject_cast<const QCheckBox *>(w) || qobject_cast<const QRadioButton *>(w)) {
        t.text = plain(static_cast<const QAbstractButton *>(w)->text());
        needed = w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
                 w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w) + fm.horizontalAdvance(t.text);
        t.cut = !t.text.isEmpty() && (needed > w->width() || fm.height() > w->height());
        t.rect.setWidth(std::min(needed, w->width()));
    } else if (const auto *button = qobject_cast<const QPushButton *>(w)) {
        t.text = plain(button->text());
        const int inner = fm.horizontalAdvance(t.text) + (button->icon().isNull() ? 0 : button->iconSize().width());
        t.cut = !t.text.isEmpty() && (inner + 4 > w->width() || fm.height() + 4 > w->height());
    } else if (const auto *group = qobject_cast<const QGroupBox *>(w)) {
        t.text = plain(group->title());
        t.cut = !t.text.isEmpty() && fm.horizontalAdvance(t.text) + 16 > w->width();
    }
    return t;
}

// What a person would see cut or covered, one line per fault.
QStringList faultsIn(QWidget *dialog)
{
    QStringList faults;
    for (QWidget *w : dialog->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(dialog) || w->window() != dialog)
            continue;
        const Text t = textOf(w);
        if (t.text.isEmpty())
            continue;
        const auto say = [&](const QString &what) {
            faults << QStringLiteral("%1 \"%2\" %3 x %4 %5").arg(w->objectName(), t.text).arg(w->width()).arg(w->height()).arg(what);
        };
        if (t.cut)
            say(QStringLiteral("cut"));
        // Inside whatever holds it, and over none of its neighbours.
        QWidget *parent = w->parentWidget();
        if (!parent->rect().contains(t.rect))
            say(QStringLiteral("outside its parent"));
        for (QWidget *other : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (other != w && other->isVisibleTo(dialog) && !other->isWindow() &&
                (textOf(other).text.isEmpty() ? other->geometry() : textOf(other).rect).intersects(t.rect))
                say(QStringLiteral("over ") + other->objectName());
    }
    return faults;
}

} // namespace

class DialogFontFitTest : public QObject {
    Q_OBJECT

private slots:
    void dialogs_showEveryTextWholeInTheDesktopFont()
    {
        const QFont usual = QApplication::font();
        QFont large = usual;
        large.setPointSize(12);
        struct Dialog {
            const char *name;
            const char *action; // or shown as it is
            QSize designed;     // empty: sized by its layout
        };
        const Dialog dialogs[] = {
            {"SortForm", "SortBtn", {273, 291}},
            {"NewListForm", "NewListBtn", {377, 282}},
            {"FindForm", "FindBtn", {410, 112}},
            {"FindForm", "ReplaceBtn", {410, 137}},
            {"HeaderTextForm", "EditHdrBtn", {348, 112}},
            {"PageSetupForm", "PageSetupBtn", {365, 273}},
            {"PrintPageNumsForm", "PrintPageNumsBtn", {}},
            {"WizardForm", "WizardBtn", {569, 394}},
            {"SettingsForm", "SettingsBtn", {}},
            {"AboutBox", "About1", {}},
            {"TImportTextForm", nullptr, {}},
            {"OpenDirForm", nullptr, {360, 392}},
        };
        for (const QFont &font : {usual, large}) {
            QApplication::setFont(font);
            test::GuiSandbox sandbox;
            auto form = sandbox.start();
            QVERIFY(form->started());
            form->editor().document().SetColCount(9);
            form->documentChanged();
            const bool usualFont = &font == &usual;
            for (const Dialog &d : dialogs) {
                const QString name = QString::fromLatin1(d.name);
                const QString at = name + QStringLiteral(" at %1 pt").arg(font.pointSizeF());
                QStringList faults;
                QSize size;
                bool seen = false;
                const auto look = [&] {
                    for (QWidget *w : QApplication::topLevelWidgets())
                        if (w->objectName() == name && w->isVisible() && !seen) {
                            seen = true;
                            QCoreApplication::processEvents();
                            faults = faultsIn(w);
                            size = w->size();
                            if (auto *dialog = qobject_cast<QDialog *>(w))
                                dialog->reject();
                            w->hide();
                        }
                };
                QTimer poll;
                connect(&poll, &QTimer::timeout, this, look);
                poll.start(20);
                if (d.action) {
                    form->findChild<QAction *>(QString::fromLatin1(d.action))->trigger();
                } else {
                    QWidget *w = nullptr;
                    for (QWidget *c : form->findChildren<QWidget *>(name))
                        w = c;
                    QVERIFY2(w, qPrintable(at));
                    w->show();
                }
                QElapsedTimer waited;
                waited.start();
                while (!seen && waited.elapsed() < 3000)
                    QTest::qWait(20);
                poll.stop();
                QVERIFY2(seen, qPrintable(at));
                QVERIFY2(faults.isEmpty(), qPrintable(at + QLatin1Char('\n') + faults.join(QLatin1Char('\n'))));
                if (usualFont && !d.designed.isEmpty())
                    QCOMPARE(size, d.designed);
            }

            // The status bar holds its text's height, and is 19 high where that is enough.
            auto *status = form->findChild<StatusBarWidget *>();
            QVERIFY(status);
            QVERIFY(status->height() >= status->fontMetrics().height() + 3);
            if (usualFont)
                QCOMPARE(status->height(), 19);
            form->ExitBtnClick();
        }
        QApplication::setFont(usual);
    }
};

QTEST_MAIN(DialogFontFitTest)
#include "DialogFontFitTest.moc"
