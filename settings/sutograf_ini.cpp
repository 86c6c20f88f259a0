#include "sutograf_ini.h"

#include <array>
#include <optional>
#include <utility>

namespace sutograf {
namespace {

// Far more than the file ever holds; a larger one is not ours.
constexpr qint64 kLargestIni = 64 * 1024;
constexpr qsizetype kLongestPath = 4096;

// "H:MM" or "H" to minutes, within [low, high].
std::optional<int> minutesOf(const QString& text, int low, int high) {
    const auto minutes = minutesFromText(text.toStdString());
    return minutes && *minutes >= low && *minutes <= high ? minutes : std::nullopt;
}

std::optional<int> wholeNumberOf(const QString& text, int low, int high) {
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n >= low && n <= high ? std::optional<int>(n) : std::nullopt;
}

constexpr std::array<std::pair<Reminder, const char*>, 3> kReminders = {{
    {Reminder::None, "none"},
    {Reminder::EveningBefore, "eveningBefore"},
    {Reminder::HourBefore, "hourBefore"},
}};

std::optional<Reminder> reminderOf(const QString& text) {
    for (const auto& [reminder, name] : kReminders) {
        if (text == QLatin1String(name)) {
            return reminder;
        }
    }
    return std::nullopt;
}

QString reminderText(Reminder reminder) {
    for (const auto& [r, name] : kReminders) {
        if (r == reminder) {
            return QLatin1String(name);
        }
    }
    return QStringLiteral("none");
}

std::optional<bool> flagOf(const QString& text) {
    if (text == QLatin1String("true") || text == QLatin1String("1")) {
        return true;
    }
    if (text == QLatin1String("false") || text == QLatin1String("0")) {
        return false;
    }
    return std::nullopt;
}

// The names the file uses for an enum's values, in the enum's order.
const QStringList kPeriodNames = {QStringLiteral("month"), QStringLiteral("quarter"),
                                  QStringLiteral("halfYear"), QStringLiteral("year")};
const QStringList kReductionNames = {QStringLiteral("workingDays"), QStringLiteral("scheduledDuties")};

template <class Enum> std::optional<Enum> enumOf(const QString& text, const QStringList& names) {
    const qsizetype i = names.indexOf(text);
    return i < 0 ? std::nullopt : std::optional<Enum>(static_cast<Enum>(i));
}

template <class Enum> QString nameOf(Enum value, const QStringList& names) {
    return names.value(static_cast<qsizetype>(value));
}

// A person's id as the roster store gives them: 1 and up.
std::optional<PersonId> personIdOf(const QString& text) {
    bool ok = false;
    const qlonglong id = text.toLongLong(&ok);
    return ok && id > 0 ? std::optional<PersonId>(id) : std::nullopt;
}

// "left,top,width,height"; a window smaller than 100 x 100 was never ours.
std::optional<QRect> rectOf(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    std::array<int, 4> n{};
    for (std::size_t i = 0; i < n.size(); ++i) {
        const auto value = parts.size() == 4 ? wholeNumberOf(parts[static_cast<qsizetype>(i)].trimmed(),
                                                             i < 2 ? -100000 : 100, 100000)
                                             : std::nullopt;
        if (!value) {
            return std::nullopt;
        }
        n[i] = *value;
    }
    return QRect(n[0], n[1], n[2], n[3]);
}

// A value must stay on its line.
std::optional<QString> lineOf(const QString& text, qsizetype longest) {
    return text.size() <= longest ? std::optional<QString>(text) : std::nullopt;
}

// The window whose section this is, if any.
WindowPlace* placeOf(UserChoices& c, const QString& section) {
    return section == QLatin1String("yearWindow")        ? &c.yearWindow
           : section == QLatin1String("rosterWindow")    ? &c.rosterWindow
           : section == QLatin1String("timesheetWindow") ? &c.timesheetWindow
                                                         : nullptr;
}

// A key of a window's place: answers whether it is one, and `good` whether its value was taken.
bool takePlace(const QString& name, const QString& value, WindowPlace& place, bool& good) {
    const auto take = [&good](const auto& parsed, auto& field) {
        if (parsed) {
            field = *parsed;
        }
        good = parsed.has_value();
        return true;
    };
    if (name == QLatin1String("geometry")) {
        return take(rectOf(value), place.geometry);
    }
    if (name == QLatin1String("maximized")) {
        return take(flagOf(value), place.maximized);
    }
    for (const auto& [key, folder] : {std::pair{"pdfFolder", &place.pdfFolder},
                                      {"icsFolder", &place.icsFolder},
                                      {"csvFolder", &place.csvFolder}}) {
        if (name == QLatin1String(key)) {
            return take(lineOf(value, kLongestPath), *folder);
        }
    }
    return false;
}

// A window's place as the lines of its section (after the section's own keys).
QString placeText(const WindowPlace& w) {
    QString text;
    if (!w.geometry.isNull()) {
        text += QStringLiteral("geometry=%1,%2,%3,%4\nmaximized=%5\n")
                    .arg(w.geometry.x())
                    .arg(w.geometry.y())
                    .arg(w.geometry.width())
                    .arg(w.geometry.height())
                    .arg(w.maximized ? QStringLiteral("true") : QStringLiteral("false"));
    }
    // A folder name with a line break in it cannot be kept in a line: it is not remembered.
    for (const auto& [key, folder] :
         {std::pair{"pdfFolder", &w.pdfFolder}, {"icsFolder", &w.icsFolder}, {"csvFolder", &w.csvFolder}}) {
        if (!folder->isEmpty() && !folder->contains(QLatin1Char('\n')) &&
            !folder->contains(QLatin1Char('\r'))) {
            text += QLatin1String(key) + QLatin1Char('=') + *folder + QLatin1Char('\n');
        }
    }
    return text;
}

} // namespace

IniReading parseIni(const QByteArray& text) {
    IniReading reading;
    UserChoices& c = reading.choices;
    QByteArray body = text;
    if (body.startsWith("\xEF\xBB\xBF")) {
        body.remove(0, 3);
    }
    const auto take = [](const auto& parsed, auto& field) {
        if (parsed) {
            field = *parsed;
        }
        return parsed.has_value();
    };
    QString section;
    int lineNumber = 0;
    for (const QByteArray& raw : body.split('\n')) {
        ++lineNumber;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString key = section + QLatin1Char('/') + (eq > 0 ? line.left(eq).trimmed() : QString());
        const QString value = line.mid(eq + 1).trimmed();
        bool good = false;
        if (key == QLatin1String("duty/start")) {
            good = take(minutesOf(value, 0, 24 * 60 - 1), c.duty.startMinute);
        } else if (key == QLatin1String("duty/hours")) {
            good = take(minutesOf(value, 60, 24 * 60), c.duty.countedMinutes);
        } else if (key == QLatin1String("duty/wholeOnStartDay")) {
            good = take(flagOf(value), c.duty.wholeDutyOnStartDay);
        } else if (key == QLatin1String("yearWindow/watch")) {
            good = take(wholeNumberOf(value, 1, 4), c.yearWatch);
        } else if (key == QLatin1String("yearWindow/person")) {
            good = take(personIdOf(value), c.yearPerson);
        } else if (key == QLatin1String("calendarExport/reminder")) {
            good = take(reminderOf(value), c.reminder);
        } else if (WindowPlace* place = placeOf(c, section);
                   place != nullptr && eq > 0 &&
                   takePlace(key.mid(section.size() + 1), value, *place, good)) {
        } else if (key == QLatin1String("accounting/period")) {
            good = take(enumOf<AccountingPeriod>(value, kPeriodNames), c.accounting.period);
        } else if (key == QLatin1String("accounting/reduction")) {
            good = take(enumOf<NormReduction>(value, kReductionNames), c.accounting.reduction);
        } else if (key == QLatin1String("accounting/holidayPaidDoubleNotOvertime")) {
            good = take(flagOf(value), c.accounting.holidayPaidDoubleNotOvertime);
        } else if (key == QLatin1String("unit/name")) {
            good = take(lineOf(value, kLongestUnitName), c.unitName);
        } else {
            good = eq > 0; // a key of a later version is no damage; a line without "=" is
        }
        if (!good) {
            reading.problems << QStringLiteral("строка %1 «%2» не понята").arg(lineNumber).arg(line.left(60));
        }
    }
    return reading;
}

QByteArray iniText(const UserChoices& c) {
    const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    QString text =
        QStringLiteral("; Сутограф: учёт смен, учёт рабочего времени и окно «Год и часы»\n"
                       "[duty]\nstart=%1\nhours=%2\nwholeOnStartDay=%3\n\n"
                       "[yearWindow]\nwatch=%4\n")
            .arg(QString::fromStdString(clockText(c.duty.startMinute)),
                 QString::fromStdString(hoursText(c.duty.countedMinutes)), flag(c.duty.wholeDutyOnStartDay))
            .arg(c.yearWatch);
    if (c.yearPerson > 0) {
        text += QStringLiteral("person=%1\n").arg(c.yearPerson);
    }
    text += placeText(c.yearWindow);
    for (const auto& [section, place] :
         {std::pair{"rosterWindow", &c.rosterWindow}, {"timesheetWindow", &c.timesheetWindow}}) {
        if (const QString lines = placeText(*place); !lines.isEmpty()) {
            text += QStringLiteral("\n[%1]\n").arg(QLatin1String(section)) + lines;
        }
    }
    text += QStringLiteral("\n[calendarExport]\nreminder=%1\n").arg(reminderText(c.reminder));
    text +=
        QStringLiteral("\n[accounting]\nperiod=%1\nreduction=%2\nholidayPaidDoubleNotOvertime=%3\n")
            .arg(nameOf(c.accounting.period, kPeriodNames), nameOf(c.accounting.reduction, kReductionNames),
                 flag(c.accounting.holidayPaidDoubleNotOvertime));
    if (!c.unitName.isEmpty()) {
        text += QStringLiteral("\n[unit]\nname=%1\n").arg(c.unitName.simplified());
    }
    return text.toUtf8();
}

SutografIni::SutografIni(SettingsPlace place) : place_(std::move(place)) {
    const ReadResult read = readFile(place_.readPath(kIniFileName), kLargestIni + 1);
    if (read.failure == ReadFailure::Missing) {
        return; // none yet: the defaults, written at the first change
    }
    if (!read.ok()) {
        readFailure_ = read.failure;
        return;
    }
    if (read.bytes.size() > kLargestIni) {
        problems_ << QStringLiteral("файл больше 64 КБ, это не файл настроек");
        return;
    }
    IniReading reading = parseIni(read.bytes);
    choices_ = held_ = reading.choices;
    problems_ = std::move(reading.problems);
}

QString SutografIni::readPath() const { return place_.readPath(kIniFileName); }

QString SutografIni::writePath() const { return place_.writePath(kIniFileName); }

WriteResult SutografIni::store(const UserChoices& choices) {
    choices_ = choices;
    if (choices_ == held_) {
        return {};
    }
    const QString target = place_.writePath(kIniFileName);
    if (target.isEmpty()) {
        return {WriteFailure::NoPlace};
    }
    const WriteResult written = writeFileSafely(target, iniText(choices_));
    if (written.ok()) {
        held_ = choices_;
        readFailure_ = ReadFailure::None; // the damaged file is gone
        problems_.clear();
    }
    return written;
}

WriteResult SutografIni::update(const SettingsPlace& place, const std::function<void(UserChoices&)>& change) {
    SutografIni fresh(place);
    UserChoices choices = fresh.choices();
    change(choices);
    return fresh.store(choices);
}

} // namespace sutograf
