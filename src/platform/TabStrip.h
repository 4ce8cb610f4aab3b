#pragma once
// A tab strip: a row of tabs, numbered from 1 in the order they were added,
// over a framed client area. The strip shows no pages of its own: its owner
// lays its panes over the client area and shows the one of the selected tab
// when TabClick arrives.

#include <QRect>
#include <QWidget>

class QTabBar;

namespace tw::platform {

class TabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);

    // Adds a tab at the end; returns its number.
    int AddTab(const QString& caption);
    int TabCount() const;
    QString TabCaption(int tab) const;
    // The selected tab's number (0 when there is none).
    int SelectedTab() const;
    // Selects a tab; selecting another tab raises TabClick. Numbers outside
    // the strip are ignored.
    void setSelectedTab(int tab);

    // The client area below the tabs, in pixels of the strip.
    QRect ClientRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void TabClick(int tab);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void updateShape();

    QTabBar* m_bar = nullptr;
};

} // namespace tw::platform
