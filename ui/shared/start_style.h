#pragma once

#include <QProxyStyle>

namespace sutograf {

// The desktop's own style, as Qt would choose it, with one difference: the icon of a menu bar's
// overflow button is read only when the button is first drawn. Qt reads it while the menu bar is made,
// through a reader that loads every image plugin to ask whether it knows the file: a few
// milliseconds and half a megabyte at every start, for a button the main window never shows.
// Set before the first window is made: QApplication::setStyle(new StartStyle).
class StartStyle : public QProxyStyle {
public:
    StartStyle() = default;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace sutograf
