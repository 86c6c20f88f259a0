#pragma once

#include <QWidget>

namespace sutograf {

// The red rounded frame laid over today's cell. Its inside is empty, and the mouse passes through it
// so that the framed cell keeps its tooltip.
class TodayFrame : public QWidget {
    Q_OBJECT
public:
    explicit TodayFrame(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace sutograf
