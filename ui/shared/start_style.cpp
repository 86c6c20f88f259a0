#include "start_style.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>

namespace sutograf {
namespace {

// An icon of the base style, asked for when first needed.
class LaterIcon : public QIconEngine {
public:
    LaterIcon(const QProxyStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }
    QIconEngine* clone() const override { return new LaterIcon(style_, which_); }

private:
    const QIcon& icon() {
        if (!made_ && style_) {
            icon_ = style_->baseStyle()->standardIcon(which_);
            made_ = true;
        }
        return icon_;
    }

    QPointer<const QProxyStyle> style_; // the application's style; gone as the application ends
    QStyle::StandardPixmap which_;
    QIcon icon_;
    bool made_ = false;
};

} // namespace

QIcon StartStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
    if (icon == SP_ToolBarHorizontalExtensionButton && option == nullptr) {
        return QIcon(new LaterIcon(this, icon));
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}

} // namespace sutograf
