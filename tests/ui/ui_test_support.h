#pragma once

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

#include <memory>

#include "core/date.h"
#include "settings/bazovy_karaul.h"
#include "ui/day_cell.h"
#include "ui/form1.h"

namespace sutograf::testing {

inline Date dmy(const char* text) {
    return dateFromText(text).value();
}

// Types text key by key, Cyrillic included (QTest::keyClicks takes ASCII only).
inline void typeText(QWidget* w, const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// A main window started on a date of the test's choosing, with its own Opt.txt.
class FormFixture {
public:
    explicit FormFixture(const char* today = "09.03.2011", const QByteArray& optTxt = "0\r\n")
        : today_(dmy(today)) {
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
        form = new Form1([this] { return today_; }, dir.path());
        return form;
    }

    void setToday(const char* text) { today_ = dmy(text); }

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
    Date today_;
};

} // namespace sutograf::testing
