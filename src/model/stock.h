#pragma once
// The underlying of the loaded chain: its quote and the two sides of its
// option chain, which it creates empty and owns.

#include "model/Currency.h"
#include "model/OptionsCollection.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace tw {

class stock {
public:
    stock();

    // The call and put sides. Replacing a side with a null reference raises
    // the component failure.
    const std::shared_ptr<OptionsCollection>& Calls() const { return m_calls; }
    void setCalls(std::shared_ptr<OptionsCollection> value);
    const std::shared_ptr<OptionsCollection>& Puts() const { return m_puts; }
    void setPuts(std::shared_ptr<OptionsCollection> value);

    // Ticker text as quoted (callers take the ticker as the text up to the
    // first blank).
    const QString& Code() const { return m_code; }
    void setCode(const QString& value) { m_code = value; }
    // Last price.
    Currency Price() const { return m_price; }
    void setPrice(Currency value) { m_price = value; }
    // Net change as quoted text.
    const QString& Net() const { return m_net; }
    void setNet(const QString& value) { m_net = value; }
    // Quote date (date serial): the start of every time to expiry.
    double StockDate() const { return m_stockDate; }
    void setStockDate(double value) { m_stockDate = value; }
    Currency Bid() const { return m_bid; }
    void setBid(Currency value) { m_bid = value; }
    Currency Ask() const { return m_ask; }
    void setAsk(Currency value) { m_ask = value; }
    // Quoted size text.
    const QString& Size() const { return m_size; }
    void setSize(const QString& value) { m_size = value; }
    int32_t Volume() const { return m_volume; }
    void setVolume(int32_t value) { m_volume = value; }

private:
    std::shared_ptr<OptionsCollection> m_calls;
    std::shared_ptr<OptionsCollection> m_puts;
    QString m_code;
    Currency m_price;
    QString m_net;
    double m_stockDate = 0.0;
    Currency m_bid;
    Currency m_ask;
    QString m_size;
    int32_t m_volume = 0;
};

} // namespace tw
