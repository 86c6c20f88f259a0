#pragma once

#include <QHeaderView>

#include <vector>

#include "month_days.h"

namespace sutograf {

// The timesheet's column headings: the month's days drawn as the year window draws them (month_days.h),
// the totals' headings as usual. The days' tooltips come from the header's own list.
class DayHeader : public QHeaderView {
public:
    explicit DayHeader(QWidget* parent = nullptr);

    void setDays(std::vector<MonthDay> days, std::vector<QString> tooltips, int watch);

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* p, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;
    bool viewportEvent(QEvent* e) override;

private:
    std::vector<MonthDay> days_;
    std::vector<QString> tooltips_;
    int watch_ = 0;
};

} // namespace sutograf
