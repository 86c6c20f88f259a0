#include "frm_settings.h"

#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

#include "bazovy_karaul.h"
#include "colours.h"
#include "fonts.h"
#include "number_text.h"
#include "opt_file.h"
#include "rota.h"
#include "twips.h"

namespace sutograf {
namespace {

// Options in two columns of two: the first and second watch on the left, the third and fourth on
// the right. Positions are inside the frame.
constexpr std::array<QRect, 4> kOptionTwips = {{
    {240, 480, 1335, 255},
    {240, 840, 1335, 255},
    {1920, 480, 1335, 255},
    {1920, 840, 1335, 255},
}};

} // namespace

frmSettings::frmSettings(RotaOffset& offset, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      offset_(offset) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Настройки"));
    setFont(windowDefaultFont());
    setAttribute(Qt::WA_DeleteOnClose); // closing unloads; the next opening loads anew
    resize(tw(4065), tw(2475));         // sizable, but the controls keep their places

    // The frame is the control Karaul; it is not kept as a member, which would hide the type of a watch.
    auto* frame = new QGroupBox(QStringLiteral("Выберите караул дежуривший 01.01.2011"), this);
    frame->setObjectName(QStringLiteral("Karaul"));
    frame->setGeometry(twipsRect(240, 240, 3615, 1455));

    const QFont optionFont = layoutFont("MS Sans Serif", 8.25, true);
    for (int i = 0; i < 4; ++i) {
        const Karaul& watch = TablitsaKaraulov[i];
        auto* option = new QRadioButton(QStringLiteral("Караул №%1").arg(watch.number), frame);
        option->setObjectName(QStringLiteral("Option1"));
        option->setProperty("Index", i);
        option->setGeometry(twipsRect(kOptionTwips[i]));
        option->setFont(optionFont);
        setTextColour(option, watch.colour);
        Option1[i] = option;
    }

    auto* command1 = new QPushButton(QStringLiteral("Сохранить"), this);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setGeometry(twipsRect(1440, 1800, 975, 495));
    command1->setAutoDefault(false);
    command1->setDefault(false);

    setTabOrder(Option1[0], Option1[1]);
    setTabOrder(Option1[1], command1);
    setTabOrder(command1, Option1[2]);
    setTabOrder(Option1[2], Option1[3]);

    connect(command1, &QPushButton::clicked, this, &frmSettings::Command1_Click);

    Form_Load();
}

// A hand-edited offset outside 0 to 3 selects the nearest watch, so that Save can only store 0 to 3.
// The checked option takes the focus: Qt then leaves the other options out of the tab order, so the
// four are one stop that lands on the choice, the arrows move the choice within them, and Space
// cannot quietly check another watch.
void frmSettings::Form_Load() {
    const int n = std::clamp<int>(toInt16(offset_.BazovyKaraul()), 0, 3);
    Option1[n]->setChecked(true);
    Option1[n]->setFocus();
}

void frmSettings::Command1_Click() {
    int chosen = 0;
    for (int i = 0; i < 4; ++i) {
        if (Option1[i]->isChecked()) {
            chosen = i;
        }
    }
    const WriteResult written = offset_.choose(chosen);
    if (!written.ok()) {
        // The choice is in effect for this run; the user must know it will not survive a restart,
        // and the dialog stays open to try again.
        reportSaveFailure(written.failure);
        return;
    }
    close();
}

void frmSettings::reportSaveFailure(WriteFailure failure) {
    // Without a place to write, the file meant is the one beside the program.
    QString path = offset_.place().writePath(kOptFileName);
    if (path.isEmpty()) {
        path = offset_.place().readPath(kOptFileName);
    }
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Сутограф"),
                                QStringLiteral("Не удалось сохранить выбор караула в файл «%1»: %2.\n\n"
                                               "Выбранный караул действует до закрытия программы, "
                                               "но при следующем запуске будет прежним.")
                                    .arg(path, failureText(failure)),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("saveFailed"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace sutograf
