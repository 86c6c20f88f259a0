#pragma once

#include <QWidget>

namespace sutograf {

class YearSheet;

// The twelve months of the year window, with their legend below; a day's tooltip names its date,
// its watch and, on a special day, what it is.
class YearMonthsView : public QWidget {
    Q_OBJECT
public:
    explicit YearMonthsView(QWidget* parent = nullptr);

    // Not owned; nullptr shows nothing. The sheet must live until the next call.
    void setSheet(const YearSheet* sheet);

    QSize sizeHint() const override { return {740, 580}; }

    // Where the months are drawn in a view of this size, above the legend.
    static QRectF monthsArea(const QRectF& view);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    const YearSheet* sheet_ = nullptr;
};

} // namespace sutograf
