// The main window's tab control: hosts the seven pages, remembers for each
// page the control that last had the keyboard focus and gives it the focus
// back when the page is selected again.
#pragma once

#include <QPointer>
#include <QTabWidget>
#include <QVector>

namespace ks340 {

class TabPage;

class TabHost : public QTabWidget {
    Q_OBJECT
public:
    explicit TabHost(QWidget* parent = nullptr);

    int addPage(TabPage* page, const QString& caption);
    // The page on tab `index` (each tab holds its page in a scroll area).
    TabPage* page(int index) const;
    int pageCount() const { return int(pages_.size()); }

    // The control of page `index` that last had the focus (may be null).
    QWidget* rememberedFocus(int index) const;

signals:
    // The selected tab changed; after the page's focus was restored.
    void pageChanged(int index);

private:
    void onFocusChanged(QWidget* old, QWidget* now);
    void onCurrentChanged(int index);
    int pageOf(QWidget* widget) const;

    QVector<TabPage*> pages_;
    QVector<QPointer<QWidget>> focus_;
};

}  // namespace ks340
