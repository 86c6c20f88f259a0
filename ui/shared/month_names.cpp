#include "month_names.h"

namespace sutograf {

QString monthName(int month) {
    static const char* const kNames[12] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                           "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
    return QString::fromUtf8(kNames[month - 1]);
}

} // namespace sutograf
