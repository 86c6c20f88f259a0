#include "offset_not_saved.h"

#include <QMessageBox>

#include "bazovy_karaul.h"
#include "opt_file.h"

namespace sutograf {

void sayOffsetNotSaved(QWidget* parent, const RotaOffset& offset, WriteFailure failure) {
    // Without a place to write, the file meant is the one beside the program.
    QString path = offset.place().writePath(kOptFileName);
    if (path.isEmpty()) {
        path = offset.place().readPath(kOptFileName);
    }
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Сутограф"),
                                QStringLiteral("Не удалось сохранить выбор караула в файл «%1»: %2.\n\n"
                                               "Выбранный караул действует до закрытия программы, "
                                               "но при следующем запуске будет прежним.")
                                    .arg(path, failureText(failure)),
                                QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("saveFailed"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace sutograf
