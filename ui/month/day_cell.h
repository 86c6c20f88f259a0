#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

class QPainter;

namespace sutograf {

// One day of the grid: the day number centred at the top of an opaque cyan cell with a thin black
// border, in a colour given as a layout colour value. Painted by hand: 56 of these are rewritten on
// every rebuild, and a QLabel per cell would restyle through the palette each time.
class DayCell : public QWidget {
    Q_OBJECT
public:
    explicit DayCell(QWidget* parent = nullptr);

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);

    std::uint32_t foreColor() const { return foreColor_; }
    void setForeColor(std::uint32_t value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawLook(QPainter& p, const QColor& colour) const;

    QString caption_;
    std::uint32_t foreColor_;
};

} // namespace sutograf
