#include "app/TabHost.h"

#include <QApplication>
#include <QScrollArea>
#include <QTabBar>

#include "controls/TabPage.h"
#include "controls/WheelGuard.h"

namespace ks340 {

namespace {

// Asks for the page's full size but gives way on a small screen.
class PageScroller : public QScrollArea {
public:
    QSize sizeHint() const override {
        return widget() ? widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) : QScrollArea::sizeHint();
    }
    QSize minimumSizeHint() const override { return QSize(160, 120); }
};

}  // namespace

TabHost::TabHost(QWidget* parent) : QTabWidget(parent) {
    setAccessibleName(QStringLiteral("Pages"));
    connect(qApp, &QApplication::focusChanged, this, &TabHost::onFocusChanged);
    connect(this, &QTabWidget::currentChanged, this, &TabHost::onCurrentChanged);
}

int TabHost::addPage(TabPage* page, const QString& caption) {
    pages_.append(page);
    focus_.append(QPointer<QWidget>());
    // Scrolling over the page scrolls it; it never changes a list.
    WheelGuard::install(page);
    // A page taller or wider than the window scrolls instead of forcing the
    // window beyond a small screen.
    auto* scroller = new PageScroller;
    scroller->setWidget(page);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setAccessibleName(caption.trimmed());
    const int index = addTab(scroller, caption);
    setTabToolTip(index, caption.trimmed());
    return index;
}

TabPage* TabHost::page(int index) const { return index >= 0 && index < pages_.size() ? pages_[index] : nullptr; }

QWidget* TabHost::rememberedFocus(int index) const {
    return index >= 0 && index < focus_.size() ? focus_[index].data() : nullptr;
}

int TabHost::pageOf(QWidget* widget) const {
    for (int i = 0; i < pages_.size(); ++i)
        if (widget && (widget == pages_[i] || pages_[i]->isAncestorOf(widget))) return i;
    return -1;
}

void TabHost::onFocusChanged(QWidget*, QWidget* now) {
    const int i = pageOf(now);
    if (i >= 0) focus_[i] = now;
}

void TabHost::onCurrentChanged(int index) {
    if (index < 0 || index >= pages_.size()) return;
    // Only move the focus when it was inside the tab control (on the tab
    // bar or on the page that was just hidden), never away from the header.
    QWidget* focused = QApplication::focusWidget();
    const bool focusHere = !focused || focused == this || isAncestorOf(focused) || !focused->isVisible();
    QWidget* target = focus_[index].data();
    if (focusHere && target && target->isEnabled() && target->isVisibleTo(pages_[index]) && !tabBar()->hasFocus())
        target->setFocus(Qt::TabFocusReason);
    pages_[index]->pageSelected();
    emit pageChanged(index);
}

}  // namespace ks340
