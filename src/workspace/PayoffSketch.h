#pragma once
// A small picture of a strategy's payoff at expiration, drawn from its leg
// templates alone: each leg is a code (1 short put, 2 long put, 3 short call,
// 4 long call, 5 short stock, 6 long stock) and a strike offset from the
// at-the-money strike. Premiums, quantities and expirations are not known
// here, so the picture shows the shape, not amounts.

#include <QList>
#include <QWidget>
#include <utility>

namespace tw {

// The payoff at expiration of the legs at `x` (in strike steps from the
// at-the-money strike), one unit per leg.
double sketchPayoff(const QList<std::pair<int, int>>& legs, double x);

class PayoffSketch : public QWidget {
    Q_OBJECT
public:
    explicit PayoffSketch(QWidget* parent = nullptr);

    void ClearLegs();
    void AddLeg(int code, int strikeOffset);
    const QList<std::pair<int, int>>& legs() const { return m_legs; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<std::pair<int, int>> m_legs;
};

} // namespace tw
