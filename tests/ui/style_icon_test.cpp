// Icons fetched from the style when first painted look exactly as the style's own.

#include <QApplication>
#include <QStyle>
#include <QtTest>

#include "style_icon.h"
#include "test_environment.h"

using namespace tavrelia;

class StyleIconTest : public QObject {
    Q_OBJECT
private slots:
    void paintsAsTheStyleIcon_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("side");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("mode");
        const std::pair<const char*, QStyle::StandardPixmap> icons[] = {
            {"open", QStyle::SP_DialogOpenButton},
            {"trash", QStyle::SP_TrashIcon},
            {"play", QStyle::SP_MediaPlay},
        };
        for (const auto& [name, which] : icons) {
            for (int side : {16, 20, 40}) {
                QTest::addRow("%s %d", name, side) << int(which) << side << 1.0 << int(QIcon::Normal);
                QTest::addRow("%s %d disabled", name, side)
                    << int(which) << side << 1.0 << int(QIcon::Disabled);
            }
            QTest::addRow("%s 20 at ratio 2", name) << int(which) << 20 << 2.0 << int(QIcon::Normal);
        }
    }

    void paintsAsTheStyleIcon()
    {
        QFETCH(int, which);
        QFETCH(int, side);
        QFETCH(qreal, ratio);
        QFETCH(int, mode);
        const auto pixmap = static_cast<QStyle::StandardPixmap>(which);
        const QIcon lazy = styleIcon(pixmap);
        const QIcon direct = QApplication::style()->standardIcon(pixmap);
        QVERIFY(!lazy.isNull());
        const auto asked = static_cast<QIcon::Mode>(mode);
        // Twice: the second answer comes from what the first kept.
        for (int round = 0; round < 2; ++round) {
            const QPixmap got = lazy.pixmap(QSize(side, side), ratio, asked);
            const QPixmap expected = direct.pixmap(QSize(side, side), ratio, asked);
            QCOMPARE(got.size(), expected.size());
            QCOMPARE(got.devicePixelRatio(), expected.devicePixelRatio());
            QCOMPARE(got.toImage(), expected.toImage());
        }
    }
};

TAVRELIA_TEST_MAIN(StyleIconTest)
#include "style_icon_test.moc"
