#pragma once

// What both window test programs need: named children, files, other programs' output, keys typed as a
// keyboard types them, and the words of a PDF page where pdftotext finds them.

#include <QtTest>
#include <QtWidgets>

#include <cmath>
#include <functional>
#include <type_traits>

namespace window_fixtures {

template <class T = QWidget> T* child(const QObject* parent, const char* name) {
    return parent->findChild<T*>(QString::fromUtf8(name));
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Standard output of a program that ended well, else nothing.
inline QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(20000) && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput())
                                                         : QString();
}

// Key by key, Cyrillic too (QTest::keyClicks takes Latin letters only).
inline void typeText(QWidget* w, const QString& typed) {
    for (const QChar c : typed) {
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// The pixels of the image's area that are `counted`.
inline int pixelsIn(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& counted) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += counted(image.pixel(x, y));
        }
    }
    return n;
}

// The modal dialog that the next step opens is handed to `answer` as soon as it shows.
template <class Dialog = QDialog>
void whenDialogShows(std::type_identity_t<std::function<void(Dialog*)>> answer) {
    QTimer::singleShot(0, [answer] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            answer(dialog);
        }
    });
}

// The watch on duty on a date by the rota's own rule: the offset's watch on 01.01.2011 and the next
// one every day; 0 for an offset that names no watch.
inline int expectedWatch(QDate date, float offset) {
    if (offset != std::floor(offset) || offset < 0 || offset > 3) {
        return 0;
    }
    const qint64 days = QDate(2011, 1, 1).daysTo(date);
    return static_cast<int>(((days % 4 + 4) % 4 + static_cast<int>(offset)) % 4) + 1;
}

// A word of a PDF as pdftotext finds it: its box in points from its page's top left, pages from 0.
struct Word {
    QString text;
    QRectF box;
    int page;
};

inline QList<Word> wordsOf(const QString& pdf) {
    static const QRegularExpression page(QStringLiteral("<page ")),
        word(QStringLiteral(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<Word> words;
    const QStringList pages =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")})
            .split(page)
            .mid(1);
    for (int n = 0; n < pages.size(); ++n) {
        for (auto m = word.globalMatch(pages[n]); m.hasNext();) {
            const QRegularExpressionMatch w = m.next();
            words.append({w.captured(5),
                          QRectF(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()),
                                 QPointF(w.captured(3).toDouble(), w.captured(4).toDouble())),
                          n});
        }
    }
    return words;
}

// On A4 landscape: words whose boxes overlap by more than a point each way (text run into text), and
// words closer than 5 mm to the paper's edge.
inline QStringList crowded(const QList<Word>& words) {
    const QRectF printable = QRectF(0, 0, 842, 595).adjusted(14, 14, -14, -14);
    QStringList found;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (!printable.contains(words[i].box)) {
            found << words[i].text + QStringLiteral(" off the page");
        }
        for (qsizetype j = i + 1; j < words.size() && words[j].page == words[i].page; ++j) {
            const QRectF both = words[i].box & words[j].box;
            if (both.width() > 1 && both.height() > 1) {
                found << words[i].text + QStringLiteral(" over ") + words[j].text;
            }
        }
    }
    return found;
}

} // namespace window_fixtures
