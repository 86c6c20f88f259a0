#pragma once

#include <QWidget>

#include <array>

#include "safe_file.h"
#include "settings_place.h"

class QRadioButton;

namespace sutograf {

// Where the user says which watch was on duty on 01.01.2011. Modeless; the main window keeps one.
// Save stores the choice in BazovyKaraul and Opt.txt, has the grid rebuilt (offsetChosen()) and
// closes; when Opt.txt cannot be written it says why and stays open. The close box stores nothing.
class frmSettings : public QWidget {
    Q_OBJECT
public:
    explicit frmSettings(SettingsPlace place, QWidget* parent = nullptr);

signals:
    // Emitted once Save has put the chosen offset in BazovyKaraul, whether or not Opt.txt could be
    // written, so that the grid can be rebuilt with it.
    void offsetChosen();

private:
    void Form_Load();
    void Command1_Click();
    void reportSaveFailure(WriteFailure failure);

    SettingsPlace place_;
    std::array<QRadioButton*, 4> Option1{};
};

} // namespace sutograf
