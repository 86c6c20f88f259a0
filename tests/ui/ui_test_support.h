#pragma once

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <QVariant>

#include "bazovy_karaul.h"
#include "date.h"
#include "day_cell.h"
#include "form1.h"
#include "rota.h"

namespace sutograf::testing {

inline Date dmy(const char* text) { return dateFromText(text).value(); }

// A clock reading from "dd.mm.yyyy hh:mm:ss.zzz", or "dd.mm.yyyy" at noon.
inline LocalTime at(const QString& text) {
    const QTime time =
        text.size() > 10 ? QTime::fromString(text.mid(11), QStringLiteral("hh:mm:ss.zzz")) : QTime(12, 0);
    return {dmy(qPrintable(text.left(10))), time.msecsSinceStartOfDay()};
}

// Types text key by key, Cyrillic included (QTest::keyClicks takes ASCII only).
inline void typeText(QWidget* w, const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// A main window started at a time of the test's choosing, with its own Opt.txt.
class FormFixture {
public:
    explicit FormFixture(const char* now = "09.03.2011", const QByteArray& optTxt = "0\r\n") {
        setNow(QString::fromLatin1(now));
        if (!optTxt.isNull()) {
            QFile f(dir.filePath(QStringLiteral("Opt.txt")));
            if (f.open(QIODevice::WriteOnly)) {
                f.write(optTxt);
            }
        }
    }
    ~FormFixture() { delete form.data(); }

    Form1* start() {
        BazovyKaraul = 0.0f; // as at process start
        form = new Form1([this] { return read(); }, dir.path());
        return form;
    }

    // What the clock reads from now on: readings separated by ';' come one after another, the last stays.
    void setNow(const QString& text) {
        readings.clear();
        for (const QString& reading : text.split(u';')) {
            readings << at(reading);
        }
    }

    template <class T = QWidget> T* control(const char* name, int index = -1) const {
        for (T* c : form->findChildren<T*>(QString::fromUtf8(name))) {
            if (index < 0 || c->property("Index").toInt() == index) {
                return c;
            }
        }
        return nullptr;
    }
    DayCell* cell(int k) const { return control<DayCell>("Надпись0", k); }

    QTemporaryDir dir;
    QPointer<Form1> form;

private:
    LocalTime read() { return readings.size() > 1 ? readings.takeFirst() : readings.first(); }

    QList<LocalTime> readings;
};

// What a user can see of the grid: each cell's text, colour and tooltip, and where the frame is.
inline QStringList lookOf(const FormFixture& f) {
    QStringList look;
    for (int k = 0; k < 56; ++k) {
        look << QStringLiteral("%1 %2 %3")
                    .arg(f.cell(k)->caption())
                    .arg(f.cell(k)->foreColor())
                    .arg(f.cell(k)->toolTip());
    }
    const QWidget* ramka = f.control("Ramka");
    look << (ramka->isVisibleTo(f.form) ? QStringLiteral("frame at %1,%2").arg(ramka->x()).arg(ramka->y())
                                        : QStringLiteral("no frame"));
    return look;
}

// The grid the window shows must be the core's grid for that month, cell by cell.
inline void verifyShows(const FormFixture& f, float year, int month, float offset, Date today) {
    const auto grid = Setka_Raschet(year, static_cast<float>(month), offset, today);
    QVERIFY(grid.has_value());
    for (const YacheykaSetki& c : grid->cells) {
        DayCell* cell = f.cell(c.k);
        QCOMPARE(cell->caption(), QString::fromUtf8(c.dayText));
        QCOMPARE(cell->foreColor(), c.colour.value());
        QCOMPARE(cell->toolTip(), QString::fromUtf8(std::string_view(c.tooltip.value())));
    }
    QWidget* ramka = f.control("Ramka");
    QCOMPARE(ramka->isVisibleTo(f.form), grid->todayCell.has_value());
    if (grid->todayCell) {
        QCOMPARE(ramka->pos(), f.cell(*grid->todayCell)->pos());
    }
    QCOMPARE(ramka->property("Tag").toString(), QStringLiteral("0"));
}

} // namespace sutograf::testing
