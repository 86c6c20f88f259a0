#include "roster_source.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include "bazovy_karaul.h"

namespace sutograf {
namespace {

std::filesystem::path nativePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace

RosterSource& RosterSource::of(RotaOffset& offset) {
    auto* source = offset.findChild<RosterSource*>(QString(), Qt::FindDirectChildrenOnly);
    return source != nullptr ? *source : *new RosterSource(offset, &offset);
}

RosterSource::RosterSource(RotaOffset& offset, QObject* parent) : QObject(parent), offset_(offset) {
    connect(&offset_, &RotaOffset::changed, this, [this] {
        if (store_) {
            store_->setOffset(offset_.BazovyKaraul());
        }
        emit changed();
    });
}

RosterSource::~RosterSource() = default;

RosterStore& RosterSource::store() {
    if (!store_) {
        const SettingsPlace& place = offset_.place();
        const QString name = QString::fromLatin1(RosterStore::kFileName);
        const QString written = place.writePath(name);
        store_ = std::make_unique<RosterStore>(
            nativePath(place.readPath(name)),
            written.isEmpty() ? std::filesystem::path() : nativePath(QFileInfo(written).absolutePath()),
            offset_.BazovyKaraul());
    }
    return *store_;
}

float RosterSource::offset() const { return offset_.BazovyKaraul(); }

const SettingsPlace& RosterSource::place() const { return offset_.place(); }

QString RosterSource::problem() { return QString::fromStdString(store().problem()); }

Saved RosterSource::edit(const std::function<Saved(RosterStore&)>& change) {
    Saved saved = change(store());
    emit changed();
    return saved;
}

void RosterSource::refresh() {
    if (store().refresh()) {
        emit changed();
    }
}

void RosterSource::follow(QWidget* window) { window->installEventFilter(this); }

bool RosterSource::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        refresh();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace sutograf
