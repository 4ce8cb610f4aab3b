#include "model/StgStream.h"

#include "app/TwError.h"
#include "model/Windows1252.h"

#include <QtEndian>

namespace tw {

void StgWriter::writeInt32(int32_t value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    m_bytes.append(raw, 4);
}

void StgWriter::writeInt16(int16_t value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    m_bytes.append(raw, 2);
}

void StgWriter::writeBytes(const char* data, qsizetype size)
{
    m_bytes.append(data, size);
}

StgReader::StgReader(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
}

void StgReader::fail(const QString& description)
{
    if (m_failure.isEmpty())
        m_failure = description;
    throw TwError(InvalidFileFormat, QStringLiteral("Tarnwell"), description);
}

void StgReader::need(qsizetype size, const char* what)
{
    if (size > remaining())
        fail(QStringLiteral("the data ends at byte %1, in the middle of %2").arg(m_bytes.size()).arg(
            QLatin1String(what)));
}

int32_t StgReader::readInt32(const char* what)
{
    need(4, what);
    const auto value = qFromLittleEndian<int32_t>(m_bytes.constData() + m_pos);
    m_pos += 4;
    return value;
}

int16_t StgReader::readInt16(const char* what)
{
    need(2, what);
    const auto value = qFromLittleEndian<int16_t>(m_bytes.constData() + m_pos);
    m_pos += 2;
    return value;
}

QByteArray StgReader::readBytes(qsizetype size, const char* what)
{
    need(size, what);
    QByteArray bytes = m_bytes.mid(m_pos, size);
    m_pos += size;
    return bytes;
}

int32_t StgReader::readCount(const char* what, qsizetype minRecordBytes)
{
    const qsizetype at = m_pos;
    const int32_t count = readInt32(what);
    if (count < 0)
        fail(QStringLiteral("%1 at byte %2 is negative (%3)").arg(QLatin1String(what)).arg(at).arg(count));
    if (static_cast<qsizetype>(count) * minRecordBytes > remaining())
        fail(QStringLiteral("%1 at byte %2 (%3) is more than the %4 bytes left can hold")
                 .arg(QLatin1String(what))
                 .arg(at)
                 .arg(count)
                 .arg(remaining()));
    return count;
}

void PutString(StgWriter& out, const QString& s)
{
    const QByteArray bytes = encodeWindows1252(s);
    out.writeInt32(static_cast<int32_t>(bytes.size()));
    out.writeBytes(bytes.constData(), bytes.size());
}

QString GetString(StgReader& in)
{
    const qsizetype at = in.position();
    const int32_t length = in.readInt32("a text length");
    if (length < 0 || length > in.remaining())
        in.fail(QStringLiteral("the text length at byte %1 (%2) does not fit the %3 bytes left")
                    .arg(at)
                    .arg(length)
                    .arg(in.remaining()));
    return decodeWindows1252(in.readBytes(length, "a text"));
}

} // namespace tw
