#include "dvddb/frmdvddb.h"

#include "core/forms.h"
#include "dvddb/defaultpicture.h"
#include "platform/units.h"
#include "surfaces/frmmain.h"

#include <QImageReader>
#include <QLabel>
#include <QLineEdit>

namespace
{

struct Field {
    const char *caption;
    QRect place;
};

// Caption and place (in twips) of i1 to i8.
const std::array<Field, 8> kFields = {{
    {"DVD title:", twipsRect(4080, 2880, 3615, 285)},
    {"Director:", twipsRect(4080, 3360, 3615, 285)},
    {"Company:", twipsRect(4080, 3840, 3615, 285)},
    {"Year produced:", twipsRect(4080, 4320, 1215, 285)},
    {"Actors:", twipsRect(1440, 4920, 6255, 285)},
    {"Comments:", twipsRect(1440, 5400, 6255, 525)},
    {"Subtitles:", twipsRect(1440, 6120, 6255, 285)},
    {"Audio streams:", twipsRect(1440, 6600, 6255, 285)},
}};

QLineEdit *makeField(QWidget *parent, const Field &field)
{
    auto *label = new QLabel(QString::fromLatin1(field.caption), parent);
    const bool besidePicture = field.place.left() > twips(3000);
    label->setGeometry(besidePicture ? QRect(field.place.left(), field.place.top() - 16, 120, 16)
                                     : QRect(twips(120), field.place.top(), twips(1300), 19));
    auto *box = new QLineEdit(parent);
    box->setGeometry(field.place);
    box->setReadOnly(true);
    return box;
}

} // namespace

frmDVDdb::frmDVDdb() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmDVDdb"));
    setWindowTitle(QStringLiteral(".: DVD database"));
    resize(twips(7935), twips(7200));
    std::array<QLineEdit **, 8> boxes = {&i1, &i2, &i3, &i4, &i5, &i6, &i7, &i8};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        *boxes[i] = makeField(this, kFields[i]);

    DVDlogo = new QLabel(this);
    DVDlogo->setPixmap(defaultDiscPicture());
    DVDlogo->hide();
    Image1 = new QLabel(this);
    Image1->setGeometry(twipsRect(360, 2760, 2235, 1995));
    Image1->setScaledContents(true);
    Image1->setPixmap(DVDlogo->pixmap());
    PicCheck = new QLabel(QStringLiteral("0"), this);
    PicCheck->hide();
}

void frmDVDdb::ShowRecord(const QStringList &lines)
{
    const auto boxes = fields();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setText(lines.value(qsizetype(i)));
    PicCheck->setText(lines.value(8));
    showPicture(lines.value(8));
}

void frmDVDdb::showPicture(const QString &name)
{
    if (name == QLatin1String("0")) {
        Image1->setPixmap(DVDlogo->pixmap());
        return;
    }
    if (name.isEmpty())
        return;
    // Pictures are stored as bitmaps under the name of the file they came
    // from, so the content decides the format, never the extension.
    QImageReader reader(form<frmMain>()->DVDdbDir + name);
    reader.setDecideFormatFromContent(true);
    const QImage picture = reader.read();
    if (!picture.isNull())
        Image1->setPixmap(QPixmap::fromImage(picture));
}
