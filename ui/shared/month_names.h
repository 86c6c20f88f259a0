#pragma once

#include <QString>

namespace sutograf {

// "Январь" for 1 ... "Декабрь" for 12, as the month list and the year's sheets name them.
QString monthName(int month);

} // namespace sutograf
