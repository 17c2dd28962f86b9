#include "FontFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>

#include <algorithm>
#include <vector>

namespace quorvex {

namespace {

// The geometry the window's own code gave a control, and the one fitting gave it.
const char *const DesignKey = "quorvexFitDesign";
const char *const FittedKey = "quorvexFitted";

QString withoutMnemonic(QString text)
{
    for (int i = 0; i < text.size(); ++i)
        if (text.at(i) == QLatin1Char('&'))
            text.remove(i, 1); // "&&" keeps one
    return text;
}

QSize labelShortfall(const QLabel *label, QSize size)
{
    if (label->text().isEmpty())
        return {};
    if (!label->wordWrap()) {
        const QSize hint = label->sizeHint();
        return {std::max(0, hint.width() - size.width()), std::max(0, hint.height() - size.height())};
    }
    if (label->heightForWidth(size.width()) <= size.height())
        return {};
    // Wider first, so that a caption keeps its lines; higher when that is not enough.
    const int widest = size.width() + size.width() / 2;
    for (int w = size.width() + 4; w <= widest; w += 4)
        if (label->heightForWidth(w) <= size.height())
            return {w + 8 - size.width(), 0}; // room for rounding in the drawn lines
    return {0, label->heightForWidth(size.width()) - size.height()};
}

QSize buttonShortfall(const QAbstractButton *button, QSize size)
{
    if (button->text().isEmpty())
        return {};
    if (qobject_cast<const QCheckBox *>(button) || qobject_cast<const QRadioButton *>(button)) {
        // The hint adds room around the box that the text does not need.
        const QFontMetrics fm = button->fontMetrics();
        const int wanted = std::max(fm.height(), button->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, button));
        return {std::max(0, button->sizeHint().width() - size.width()), std::max(0, wanted - size.height())};
    }
    // A push button's hint has a least width the text does not need either.
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QFontMetrics fm = button->fontMetrics();
    constexpr int Wide = 1000;
    const int margin =
        button->style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(Wide, fm.height()), button).width() - Wide;
    int text = fm.horizontalAdvance(withoutMnemonic(button->text()));
    if (!button->icon().isNull())
        text += button->iconSize().width() + 4;
    const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    return {std::max(0, text + margin - size.width()), std::max(0, fm.height() + 2 * frame + 2 - size.height())};
}

QSize shortfallAt(const QWidget *control, QSize size)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return labelShortfall(label, size);
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return buttonShortfall(button, size);
    if (const auto *group = qobject_cast<const QGroupBox *>(control)) {
        const int title = group->fontMetrics().horizontalAdvance(withoutMnemonic(group->title())) + 16;
        return {group->title().isEmpty() ? 0 : std::max(0, title - size.width()), 0};
    }
    return {};
}

QRect designOf(const QWidget *w)
{
    // Position and size apart: a window's code that moves a control keeps its
    // size as fitted, and the other way round.
    const QVariant fitted = w->property(FittedKey);
    const QVariant design = w->property(DesignKey);
    QRect d = w->geometry();
    if (fitted.isValid() && design.isValid()) {
        if (fitted.toRect().topLeft() == d.topLeft())
            d.moveTopLeft(design.toRect().topLeft());
        if (fitted.toRect().size() == d.size())
            d.setSize(design.toRect().size());
    }
    return d;
}

bool isFixed(const QWidget *w)
{
    return w->minimumSize() == w->maximumSize();
}

void place(QWidget *w, const QRect &design, const QRect &fitted)
{
    w->setProperty(DesignKey, design);
    if (w->geometry() != fitted) {
        if (isFixed(w))
            w->setFixedSize(fitted.size());
        else
            w->setMinimumSize(std::min(w->minimumWidth(), fitted.width()), std::min(w->minimumHeight(), fitted.height()));
        w->setGeometry(fitted);
    }
    w->setProperty(FittedKey, w->geometry());
}

QSize fitChildren(QWidget *container, QSize size);

// Under a layout, the layout places the controls; only those held at a fixed
// size are raised to their text.
void raiseFixedControls(QWidget *container)
{
    for (QWidget *w : container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow())
            continue;
        if (isFixed(w)) {
            const QSize lack = shortfallAt(w, w->size());
            if (lack.width() > 0 || lack.height() > 0)
                w->setFixedSize(w->size() + lack);
        }
        if (w->layout())
            raiseFixedControls(w);
        else if (!qobject_cast<QAbstractButton *>(w) && !qobject_cast<QLabel *>(w))
            fitChildren(w, w->size());
    }
}

bool holdsPlacedControls(const QWidget *w)
{
    if (w->layout() || !w->findChild<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        return false;
    return qobject_cast<const QGroupBox *>(w) || w->metaObject() == &QWidget::staticMetaObject ||
           w->metaObject() == &QFrame::staticMetaObject;
}

// The size a child needs: its text's, or what its own controls need.
QSize neededSize(QWidget *w, QSize design)
{
    QSize need = design + shortfallAt(w, design);
    if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
        QSize extra;
        for (int i = 0; i < tabs->count(); ++i) {
            QWidget *page = tabs->widget(i);
            if (page->layout()) {
                raiseFixedControls(page);
                extra = extra.expandedTo(page->layout()->minimumSize() - page->size());
            } else {
                extra = extra.expandedTo(fitChildren(page, page->size()) - page->size());
            }
        }
        return need + extra.expandedTo(QSize(0, 0));
    }
    if (auto *stack = qobject_cast<QStackedWidget *>(w)) {
        QSize fitted = need;
        for (int i = 0; i < stack->count(); ++i)
            if (!stack->widget(i)->layout())
                fitted = fitted.expandedTo(fitChildren(stack->widget(i), design));
        return fitted;
    }
    if (w->layout()) {
        raiseFixedControls(w);
        return need.expandedTo(w->layout()->minimumSize());
    }
    if (holdsPlacedControls(w))
        need = need.expandedTo(fitChildren(w, design));
    return need;
}

struct Placed {
    QWidget *widget;
    QRect design;
    int left, top, right, bottom; // right and bottom exclusive
};

// Opens `extra` pixels at x (or y) = edge: what starts at or past the edge moves,
// what spans it grows. Nothing that did not overlap before overlaps afterwards.
void open(std::vector<Placed> &placed, int edge, int extra, bool across, QSize &size)
{
    for (Placed &p : placed) {
        int &from = across ? p.left : p.top;
        int &to = across ? p.right : p.bottom;
        if (from >= edge)
            from += extra;
        if (to >= edge)
            to += extra;
    }
    int &whole = across ? size.rwidth() : size.rheight();
    if (whole >= edge)
        whole += extra;
}

// Fits the controls placed in `container` by position, starting from `size`;
// returns the size the container needs.
QSize fitChildren(QWidget *container, QSize size)
{
    std::vector<Placed> placed;
    for (QWidget *w : container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow() || w->isHidden())
            continue;
        const QRect d = designOf(w);
        placed.push_back({w, d, d.left(), d.top(), d.left() + d.width(), d.top() + d.height()});
    }
    std::vector<QSize> needs;
    needs.reserve(placed.size());
    for (const Placed &p : placed)
        needs.push_back(neededSize(p.widget, p.design.size()));
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const int dx = needs[i].width() - (placed[i].right - placed[i].left);
        if (dx > 0)
            open(placed, placed[i].right, dx, true, size);
        const int dy = needs[i].height() - (placed[i].bottom - placed[i].top);
        if (dy > 0)
            open(placed, placed[i].bottom, dy, false, size);
    }
    // A text the window's code placed past the holder's right edge widens the holder.
    for (const Placed &p : placed) {
        int text = p.right - p.left;
        if (qobject_cast<QLabel *>(p.widget) || qobject_cast<QCheckBox *>(p.widget) ||
            qobject_cast<QRadioButton *>(p.widget))
            text = std::min(text, p.widget->sizeHint().width());
        if (p.left + text > size.width())
            size.setWidth(p.left + text);
    }
    for (const Placed &p : placed)
        place(p.widget, p.design, QRect(p.left, p.top, p.right - p.left, p.bottom - p.top));
    return size;
}

class FitOnShow final : public QObject {
public:
    explicit FitOnShow(QWidget *window) : QObject(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show || m_delivering || !watched->isWidgetType())
            return false;
        // The window's own show handling arranges it first; fitting starts from there.
        m_delivering = true;
        QPointer<QObject> guard(watched);
        QCoreApplication::sendEvent(watched, event);
        m_delivering = false;
        if (guard)
            FontFit::fit(static_cast<QWidget *>(watched));
        return true;
    }

private:
    bool m_delivering = false;
};

} // namespace

QSize FontFit::shortfall(const QWidget *control)
{
    return shortfallAt(control, control->size());
}

void FontFit::fit(QWidget *window)
{
    const QSize before = window->size();
    const QVariant fittedSize = window->property(FittedKey);
    const QVariant designSize = window->property(DesignKey);
    const QSize design =
        fittedSize.isValid() && designSize.isValid() && fittedSize.toSize() == before ? designSize.toSize() : before;
    QSize size;
    if (window->layout()) {
        raiseFixedControls(window);
        size = design.expandedTo(window->layout()->minimumSize());
    } else {
        size = fitChildren(window, design);
    }
    window->setProperty(DesignKey, design);
    if (size != before) {
        if (isFixed(window))
            window->setFixedSize(size);
        else
            window->resize(size);
        // The centre stays where the window's code put it.
        if (window->isWindow())
            window->move(window->pos() - QPoint((size.width() - before.width()) / 2, (size.height() - before.height()) / 2));
    }
    window->setProperty(FittedKey, window->size());
}

void FontFit::install(QWidget *window)
{
    window->installEventFilter(new FitOnShow(window));
}

} // namespace quorvex
