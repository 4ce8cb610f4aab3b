#include "ChartTestSupport.h"

#include "app/CAppSettings.h"
#include "app/Tools.h"
#include "platform/Toolbar.h"

#include <QCoreApplication>
#include <QToolButton>
#include <QtTest>

namespace tw::test {

void FakeHost::RemoveChart(const QString& Tag)
{
    calls << QStringLiteral("RemoveChart ") + Tag;
}

void FakeHost::CustomChartCaptionChanged(const QString& ChartTag, const QString& NewCaption)
{
    captions[ChartTag] = NewCaption;
}

void FakeHost::AddNewCustomChart(int32_t AsNumber)
{
    calls << QStringLiteral("AddNewCustomChart %1").arg(AsNumber);
}

void FakeHost::Select3DChart()
{
    calls << QStringLiteral("Select3DChart");
}

void FakeHost::ShowWindowListMenu(int32_t, int32_t, QWidget* Owner)
{
    calls << QStringLiteral("ShowWindowListMenu");
    listOwner = Owner;
}

LegsArray fourLegs()
{
    return std::vector<LegRow>{chartLeg(LegKind::Call, LegPosition::Long, 50, 30, 2, 2.5, "ZYX DX-E"),
                               chartLeg(LegKind::Put, LegPosition::Short, 45, 20, 1, 1.2, "ZYX PI-E"),
                               chartLeg(LegKind::Stock, LegPosition::Long, 0, 0, 100, 50, "ZYX"),
                               chartLeg(LegKind::Stock, LegPosition::Short, 0, 0, 50, 50, "ZYX")};
}

ChartWindow openChart(FakeHost& host, int number, const LegsArray& legs, int model)
{
    auto* c = new frmChart(&host);
    c->setAttribute(Qt::WA_DeleteOnClose, false);
    c->setTag(QStringLiteral("C5"));
    c->RestoreParams(number);
    c->setStockPrice(50);
    c->setStockDate(kChartDate);
    c->setStockTicker(QStringLiteral("ZYX"));
    c->setBinominalSteps(50);
    c->setUseOptionsModel(model);
    c->setOptions(legs);
    c->show();
    QCoreApplication::processEvents(); // the place is applied again once the frame is known
    return {c, [](frmChart* w) {
                w->unload();
                delete w;
            }};
}

int button(platform::Toolbar* bar, const char* key)
{
    return bar->ButtonIndex(QLatin1String(key));
}

void clickButton(platform::Toolbar* bar, const char* key)
{
    QToolButton* b = bar->ButtonWidget(button(bar, key));
    QVERIFY2(b != nullptr, key);
    QTest::mouseClick(b, Qt::LeftButton);
}

void storeChart(int number, const char* key, const QVariant& value)
{
    appSettings().SaveSetting(QStringLiteral("Settings\\CC%1").arg(number), QLatin1String(key), value);
}

QString storedChart(int number, const char* key)
{
    return appSettings()
        .GetSetting(QStringLiteral("Settings\\CC%1").arg(number), QLatin1String(key), QStringLiteral("-"))
        .toString();
}

} // namespace tw::test
