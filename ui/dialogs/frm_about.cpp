#include "frm_about.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "colours.h"
#include "fonts.h"
#include "number_text.h"
#include "twips.h"

namespace sutograf {
namespace {

struct Line {
    int x1, y1, x2, y2; // twips; both run past the right edge and are cut off there
    QColor colour;
    int width;
};

// The etched separator above OK: a grey line with a white one just below it.
const Line kLine1[2] = {
    {105, 2460, 5654, 2460, QColor(255, 255, 255), 2},
    {90, 2445, 5654, 2445, QColor(128, 128, 128), 1},
};

// A label of the layout, empty until the load step writes it.
QLabel* label(QWidget* parent, const char* name, QRect twips) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(twipsRect(twips));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QString number(int n) { return QString::fromStdString(numberText(n)); }

} // namespace

frmAbout::frmAbout(const VersionRecord& record, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setFont(windowDefaultFont());
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    // The client area at a fixed place on the screen.
    setGeometry(tw(2340), tw(1935), tw(5130), tw(3120));
    setFixedSize(tw(5130), tw(3120));

    QLabel* picIcon = label(this, "picIcon", QRect(240, 240, 540, 540));
    picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picIcon->setLineWidth(2);
    picIcon->setPixmap(QPixmap(QStringLiteral(":/about.xpm")));
    picIcon->setAlignment(Qt::AlignCenter);

    lblTitle = label(this, "lblTitle", QRect(1050, 240, 3885, 480));
    setTextColour(lblTitle, 0x000000);
    lblVersion = label(this, "lblVersion", QRect(1050, 720, 3885, 225));
    lblAuthor = label(this, "lblAuthor", QRect(1050, 1080, 3885, 225));
    lblDescription = label(this, "lblDescription", QRect(1050, 1485, 3885, 810));
    lblDescription->setWordWrap(true);
    setTextColour(lblDescription, 0x000000);

    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsRect(3720, 2625, 1260, 345));
    cmdOK->setDefault(true); // Enter; Esc is the dialog's own reject
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    cmdOK->setFocus();

    Form_Load(record);
}

void frmAbout::Form_Load(const VersionRecord& record) {
    setWindowTitle(QStringLiteral("Описание программы ") + record.title);
    lblVersion->setText(QStringLiteral("Версия ") + number(record.major) + QLatin1Char('.') +
                        number(record.minor) + QLatin1Char('.') + number(record.revision));
    lblTitle->setText(record.title);
    lblAuthor->setText(QStringLiteral("Разработчик: ") + record.company);
    lblDescription->setText(record.comments);
}

void frmAbout::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    for (const Line& line : kLine1) {
        p.setPen(QPen(line.colour, line.width, Qt::SolidLine, Qt::FlatCap));
        // A wide pen is centred on the line; the layout puts the line's top edge at y.
        const qreal down = (line.width - 1) / 2.0;
        p.drawLine(QPointF(twf(line.x1), twf(line.y1) + down), QPointF(twf(line.x2), twf(line.y2) + down));
    }
}

} // namespace sutograf
