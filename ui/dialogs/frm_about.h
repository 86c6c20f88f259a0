#pragma once

#include <QDialog>

#include "version_record.h"

class QLabel;

namespace sutograf {

// The program's title, version, developer and description beside a fixed picture. Modeless; the
// main window keeps one. OK, Enter, Esc and the close box all unload it.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(const VersionRecord& record = builtVersionRecord(), QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Form_Load(const VersionRecord& record);

    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblAuthor;
    QLabel* lblDescription;
};

} // namespace sutograf
