#pragma once

#include <QDate>

#include <optional>

#include "date.h"

namespace sutograf {

// The core's dates and Qt's, for the date boxes. Precondition of qDateOf: inModel(d).
inline QDate qDateOf(Date d) {
    const CivilDate c = civilOf(d);
    return {c.year, c.month, c.day};
}

// nullopt for an invalid date or one outside the model.
inline std::optional<Date> dateOfQDate(const QDate& d) {
    return d.isValid() ? dateOf(d.year(), d.month(), d.day()) : std::nullopt;
}

} // namespace sutograf
