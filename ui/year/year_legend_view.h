#pragma once

#include <QWidget>

namespace sutograf {

class YearSheet;

// What the marks of the year window's months mean, in one row across the window's foot. Never
// narrower than the legend at its own size: the window then keeps it whole.
class YearLegendView : public QWidget {
    Q_OBJECT
public:
    explicit YearLegendView(QWidget* parent = nullptr);

    // Not owned; nullptr shows nothing. The sheet must live until the next call.
    void setSheet(const YearSheet* sheet);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const YearSheet* sheet_ = nullptr;
    int legendWidth_ = 0; // as the sheet draws it at this height, when given all the room it wants
};

} // namespace sutograf
