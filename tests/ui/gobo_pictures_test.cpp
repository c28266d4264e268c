// The type pictures against their contact sheet (tests/ui/data), which a person has
// looked at: an accidental change to the drawings shows here.

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QSet>
#include <QtTest>

#include "channel_desk_panel.h"
#include "gobo_pictures.h"
#include "test_environment.h"
#include "window_fixture.h"

using namespace tavrelia;

namespace {
constexpr int kColumns = 12;
constexpr int kScale = 4;
constexpr int kCell = 16 * kScale + 8;
constexpr int kCellHeight = kCell + 14;
const QSet<int> kBlanks{1, 2, 7};

QPoint cellOrigin(int index)
{
    return {(index % kColumns) * kCell + 4, (index / kColumns) * kCellHeight + 4};
}

// Every picture at four times its size with its index under it.
QImage contactSheet(const QList<QImage>& pictures)
{
    const int rows = (pictures.size() + kColumns - 1) / kColumns;
    QImage sheet(kColumns * kCell, rows * kCellHeight, QImage::Format_RGB32);
    sheet.fill(QColor(40, 40, 40));
    QPainter painter(&sheet);
    painter.setPen(Qt::white);
    for (int i = 0; i < pictures.size(); ++i) {
        const QPoint at = cellOrigin(i);
        painter.drawImage(at, pictures[i].scaled(16 * kScale, 16 * kScale));
        painter.drawText(QRect(at.x(), at.y() + 16 * kScale, 16 * kScale, 14), Qt::AlignCenter,
                         QString::number(i));
    }
    return sheet;
}

QList<QImage> allPictures()
{
    QList<QImage> pictures;
    for (int i = 0; i < kGoboPictures; ++i)
        pictures.append(goboPicture(i));
    return pictures;
}

// The picture as the sheet shows it, back at its own size.
QImage fromSheet(const QImage& sheet, int index)
{
    const QPoint at = cellOrigin(index);
    QImage picture(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            picture.setPixel(x, y, sheet.pixel(at.x() + x * kScale, at.y() + y * kScale));
    return picture;
}
}  // namespace

class GoboPicturesTest : public QObject {
    Q_OBJECT
private slots:
    void drawingsMatchTheContactSheet()
    {
        const QList<QImage> pictures = allPictures();
        QCOMPARE(pictures.size(), 142);
        const QImage sheet(QStringLiteral(TAVRELIA_TEST_DATA "/gobo_contact_sheet.png"));
        const QString fresh = QDir::current().filePath(QStringLiteral("gobo_contact_sheet.png"));
        QStringList changed;
        for (int i = 0; i < pictures.size(); ++i) {
            if (sheet.isNull() || fromSheet(sheet, i) != pictures[i].convertToFormat(QImage::Format_RGB32))
                changed << QString::number(i);
        }
        if (!changed.isEmpty())
            contactSheet(pictures).save(fresh);
        QVERIFY2(changed.isEmpty(),
                 qPrintable(QStringLiteral("pictures %1 differ from the contact sheet; the new sheet "
                                           "is %2: look at it, then copy it to tests/ui/data")
                                .arg(changed.join(QLatin1Char(' ')), fresh)));
    }

    void everyDrawnPictureIsDistinct()
    {
        QSet<QByteArray> seen;
        const QList<QImage> pictures = allPictures();
        for (int i = 0; i < pictures.size(); ++i) {
            const QImage& p = pictures[i];
            QCOMPARE(p.size(), QSize(16, 16));
            const QByteArray pixels(reinterpret_cast<const char*>(p.constBits()), p.sizeInBytes());
            bool anyLit = false;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    anyLit = anyLit || (p.pixel(x, y) & 0xFFFFFF) != 0;
            QVERIFY2(anyLit != kBlanks.contains(i), qPrintable(QString::number(i)));
            if (!kBlanks.contains(i)) {
                QVERIFY2(!seen.contains(pixels), qPrintable(QStringLiteral("%1 repeats another").arg(i)));
                seen.insert(pixels);
            }
        }
    }

    void stripShowsTheLastPictureAndNothingPastTheList()
    {
        test::Window w;
        auto* image = w.find<QLabel>("Image1");
        ChannelDeskPanel* desk = w.form.channelDesk();
        desk->SetGobo(1, 141);
        QCOMPARE(image->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                 goboPicture(141).convertToFormat(QImage::Format_RGB32));
        for (int past : {142, 255}) {
            desk->SetGobo(1, 7);
            desk->SetGobo(1, past);
            QVERIFY(image->pixmap().isNull());
        }
        desk->SetGobo(28, 3);   // no such strip
        QVERIFY(image->pixmap().isNull());
    }
};

TAVRELIA_TEST_MAIN(GoboPicturesTest)
#include "gobo_pictures_test.moc"
