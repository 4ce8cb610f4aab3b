#pragma once
// Byte streams of the strategies file (".stg"): binary, little-endian, no
// header, no padding. Counts and leg fields are 32- and 16-bit integers;
// a text is a 32-bit length followed by that many Windows-1252 bytes.
//
// The reader checks every count and length against the bytes left, so a
// damaged or truncated file is rejected before anything is built from it.
// Its first fault is kept in failure() (with the byte offset) and raised as
// the run-time error InvalidFileFormat.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace tw {

// Number of the error raised for a damaged strategies file.
constexpr int32_t InvalidFileFormat = 321;

class StgWriter {
public:
    void writeInt32(int32_t value);
    void writeInt16(int16_t value);
    void writeBytes(const char* data, qsizetype size);
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

class StgReader {
public:
    explicit StgReader(QByteArray bytes);

    int32_t readInt32(const char* what);
    int16_t readInt16(const char* what);
    QByteArray readBytes(qsizetype size, const char* what);
    // A count of records that take at least `minRecordBytes` each: negative
    // counts and counts the bytes left cannot hold are faults.
    int32_t readCount(const char* what, qsizetype minRecordBytes);

    qsizetype position() const { return m_pos; }
    qsizetype remaining() const { return m_bytes.size() - m_pos; }
    // The first fault found, empty while there is none.
    const QString& failure() const { return m_failure; }

    [[noreturn]] void fail(const QString& description);

private:
    void need(qsizetype size, const char* what);

    QByteArray m_bytes;
    qsizetype m_pos = 0;
    QString m_failure;
};

// The text encoding of the file: PutString writes the length and the bytes;
// GetString reads them back (a length beyond the bytes left is a fault).
void PutString(StgWriter& out, const QString& s);
QString GetString(StgReader& in);

} // namespace tw
