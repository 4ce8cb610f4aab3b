#include "app/AppIcons.h"
#include "support/QtTestMain.h"

#include <QImage>
#include <QtTest>

using namespace tw;

class AppIconsTest : public QObject {
    Q_OBJECT
private slots:
    void iconsOfEveryCommand()
    {
        // Every picture index the menus and the toolbar use.
        const QList<int> used = {5,  7,  8,  9,  10, 12, 13, 14, 16, 17, 18, 19, 20, 23, 24,
                                 25, 26, 27, 28, 29, 31, 32, 33, 34, 36, 37, 39, 40, 41, 42};
        QList<QImage> small;
        QList<QImage> large;
        for (const int index : used) {
            QVERIFY2(AppIcons::has(index), qPrintable(QString::number(index)));
            const QIcon icon = AppIcons::icon(index);
            QVERIFY2(!icon.isNull(), qPrintable(QString::number(index)));
            QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
            QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
            const QImage img16 = AppIcons::pixmap(index, 16).toImage();
            const QImage img32 = AppIcons::pixmap(index, 32).toImage();
            QCOMPARE(img16.size(), QSize(16, 16));
            // Something is drawn, and not the whole square.
            int opaque = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    opaque += qAlpha(img16.pixel(x, y)) > 0 ? 1 : 0;
            QVERIFY2(opaque > 20 && opaque < 256, qPrintable(QString::number(index)));
            small.append(img16);
            large.append(img32);
        }
        // Different commands, different pictures.
        for (qsizetype i = 0; i < used.size(); ++i)
            for (qsizetype j = i + 1; j < used.size(); ++j) {
                QVERIFY2(small[i] != small[j], qPrintable(QStringLiteral("%1 = %2").arg(used[i]).arg(used[j])));
                QVERIFY(large[i] != large[j]);
            }
        QCOMPARE(AppIcons::indexes(), used);
    }

    void noIconForNoIndex()
    {
        for (const int index : {-1, 0, 1, 6, 11, 30, 35, 43, 1000})
            QVERIFY2(AppIcons::icon(index).isNull(), qPrintable(QString::number(index)));
        QVERIFY(AppIcons::pixmap(-1, 16).isNull());
    }

    void programIcon()
    {
        const QIcon icon = AppIcons::programIcon();
        QVERIFY(!icon.isNull());
        for (const int size : {16, 32, 48, 256})
            QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        QVERIFY(AppIcons::programPixmap(32).toImage() != AppIcons::pixmap(AppIcons::About, 32).toImage());
    }
};

TW_QTEST_MAIN(AppIconsTest)

#include "AppIconsTest.moc"
