#pragma once
// One quoted option of the chain: what the quote table gives for one call or
// one put of one strike and expiration. Plain data: every field starts empty
// or 0 and is read and written through the property of its name.

#include "model/Currency.h"

#include <QString>
#include <cstdint>

namespace tw {

class OptionItem {
public:
    // Option symbol as quoted.
    const QString& Code() const { return m_code; }
    void setCode(const QString& value) { m_code = value; }
    Currency StrikePrice() const { return m_strikePrice; }
    void setStrikePrice(Currency value) { m_strikePrice = value; }
    // Expiration day as a date serial.
    double ExpirationDate() const { return m_expirationDate; }
    void setExpirationDate(double value) { m_expirationDate = value; }
    // Net change, kept as the quoted text.
    const QString& Net() const { return m_net; }
    void setNet(const QString& value) { m_net = value; }
    Currency Bid() const { return m_bid; }
    void setBid(Currency value) { m_bid = value; }
    Currency Ask() const { return m_ask; }
    void setAsk(Currency value) { m_ask = value; }
    int32_t Volume() const { return m_volume; }
    void setVolume(int32_t value) { m_volume = value; }
    int32_t OpenInt() const { return m_openInt; }
    void setOpenInt(int32_t value) { m_openInt = value; }
    // Name of the exchange that quoted it (the exchange filter compares it exactly).
    const QString& StockExchange() const { return m_stockExchange; }
    void setStockExchange(const QString& value) { m_stockExchange = value; }
    Currency LastSale() const { return m_lastSale; }
    void setLastSale(Currency value) { m_lastSale = value; }
    // A stored price that the chain's builder leaves at 0.
    Currency Price() const { return m_price; }
    void setPrice(Currency value) { m_price = value; }

private:
    QString m_code;
    Currency m_strikePrice;
    double m_expirationDate = 0.0;
    QString m_net;
    Currency m_bid;
    Currency m_ask;
    int32_t m_volume = 0;
    int32_t m_openInt = 0;
    QString m_stockExchange;
    Currency m_lastSale;
    Currency m_price;
};

} // namespace tw
