#pragma once

#include <QWidget>

#include <array>

#include "safe_file.h"

class QRadioButton;

namespace sutograf {

class RotaOffset;

// Where the user says which watch was on duty on 01.01.2011. Modeless; the main window keeps one.
// Save stores the choice in BazovyKaraul and Opt.txt, which has every window count with it, and
// closes; when Opt.txt cannot be written it says why and stays open. The close box stores nothing.
class frmSettings : public QWidget {
    Q_OBJECT
public:
    // The offset must outlive the dialog.
    explicit frmSettings(RotaOffset& offset, QWidget* parent = nullptr);

private:
    void Form_Load();
    void Command1_Click();
    void reportSaveFailure(WriteFailure failure);

    RotaOffset& offset_;
    std::array<QRadioButton*, 4> Option1{};
};

} // namespace sutograf
