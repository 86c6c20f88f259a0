#pragma once

#include <QWidget>

#include <array>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace sutograf {

// Where the user says which watch was on duty on 01.01.2011. Modeless; the main window keeps one.
// Save stores the choice in BazovyKaraul and Opt.txt, has the grid rebuilt (saved()) and closes.
// The close box stores nothing.
class frmSettings : public QWidget {
    Q_OBJECT
public:
    explicit frmSettings(QString settingsDir, QWidget* parent = nullptr);

signals:
    // Emitted after the new offset is in BazovyKaraul, so that the grid can be rebuilt with it.
    void saved();

private:
    void Form_Load();
    void Command1_Click();
    void reportSaveFailure(const QString& path, const QString& reason);

    QString settingsDir_;
    QGroupBox* Karaul;
    std::array<QRadioButton*, 4> Option1{};
    QPushButton* Command1;
};

} // namespace sutograf
