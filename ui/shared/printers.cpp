#include "printers.h"

#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>

namespace sutograf {

QStringList installedPrinters() { return QPrinterInfo::availablePrinterNames(); }

bool offerPdfWithoutPrinter(QWidget* parent) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Сутограф"),
                    QStringLiteral("Принтеры не найдены: в системе не установлено ни одного принтера."),
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("noPrinters"));
    box.setInformativeText(
        QStringLiteral("Подключите принтер и установите его в настройках системы (в Linux — «Принтеры» или "
                       "веб-страница CUPS http://localhost:631, в Windows — «Принтеры и сканеры»), затем "
                       "выберите печать снова. Или сохраните лист в PDF и напечатайте его с другого "
                       "компьютера или флешки."));
    QPushButton* pdf = box.addButton(QStringLiteral("Сохранить PDF…"), QMessageBox::AcceptRole);
    pdf->setObjectName(QStringLiteral("savePdf"));
    box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    box.setDefaultButton(pdf);
    box.exec();
    return box.clickedButton() == pdf;
}

} // namespace sutograf
