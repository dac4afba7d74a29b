#include "base/Crc8.h"
#include "link/SlipCodec.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// Collects every delivered frame body (length bytes) together with its context.
struct Sink
{
    QList<RxDataBuffer> frames;
    SlipReceiver receiver{[this](const RxDataBuffer &f) { frames.append(f); }};

    int feed(const QByteArray &bytes)
    {
        return receiver.feed(bytes, QStringLiteral("USB"), QHostAddress(), 0);
    }
    QByteArray body(int i) const
    {
        const RxDataBuffer &f = frames.at(i);
        return QByteArray(reinterpret_cast<const char *>(f.bytes()), f.length);
    }
};

} // namespace

class TestCodec : public QObject
{
    Q_OBJECT
private slots:
    void crcCheckValues()
    {
        QCOMPARE(td::crc8(QByteArray("123456789")), quint8(0xA1));
        QCOMPARE(td::crc8(QByteArray("abc")), quint8(0x42));
        QCOMPARE(td::crc8(QByteArray()), quint8(0x00));
        QCOMPARE(td::crc8(nullptr, 5), quint8(0x00));
        QCOMPARE(td::crc8Table(1), quint8(0x5E));
        QCOMPARE(td::crc8Table(128), quint8(0x8C));
        QCOMPARE(td::crc8Table(255), quint8(0x35));
        // Continuing from a previous value is the same as one pass.
        QCOMPARE(td::crc8(QByteArray("456789"), td::crc8(QByteArray("123"))), quint8(0xA1));
    }

    void encodeExample()
    {
        const QByteArray payload("{}", 3); // text and its NUL
        QCOMPARE(SlipCodec::encode(0x30, 0x01, payload).toHex(), hex("C030017B7D001AC0").toHex());
    }

    void encodeStuffsEveryPosition()
    {
        // Class, sub-code and payload bytes that need stuffing.
        const uchar p[] = {0xC0, 0xDB, 0x11};
        const QByteArray wire = SlipCodec::encode(0xC0, 0xDB, p, 3);
        QVERIFY(wire.startsWith(char(0xC0)));
        QVERIFY(wire.endsWith(char(0xC0)));
        QCOMPARE(wire.count(char(0xC0)), 2);
        QVERIFY(wire.startsWith(hex("C0DBDCDBDDDBDCDBDD11")));

        // Find payloads whose CRC is 0xC0 and 0xDB: the CRC itself must be stuffed.
        for (uchar want : {uchar(0xC0), uchar(0xDB)}) {
            int b = 0;
            for (; b < 256; ++b) {
                const uchar body[] = {0x31, 0x00, uchar(b)};
                if (td::crc8(body, 3) == want)
                    break;
            }
            QVERIFY(b < 256);
            const uchar one = uchar(b);
            const QByteArray w = SlipCodec::encode(0x31, 0x00, &one, 1);
            QCOMPARE(w.count(char(0xC0)), 2);
            QVERIFY(w.endsWith(want == 0xC0 ? hex("DBDCC0") : hex("DBDDC0")));
            Sink s;
            QCOMPARE(s.feed(w), 1);
            QCOMPARE(s.body(0), QByteArray::fromRawData("\x31\x00", 2) + char(one) + char(want));
        }
    }

    void encodeCutsAt766()
    {
        QByteArray big(1000, 'x');
        const QByteArray wire = SlipCodec::encode(0x30, 0x01, big);
        // Delimiters + class + sub-code + 766 + CRC; 'x' needs no stuffing.
        QCOMPARE(wire.size(), 2 + 2 + 766 + 1);
        const QByteArray body = wire.mid(1, wire.size() - 2);
        QCOMPARE(quint8(body.back()), td::crc8(body.left(body.size() - 1)));
        QCOMPARE(SlipCodec::encode(0x30, 0x01, nullptr, 50), SlipCodec::encode(0x30, 0x01, nullptr, 0));
        QCOMPARE(SlipCodec::encode(0x30, 0x01, reinterpret_cast<const uchar *>("ab"), -4),
                 SlipCodec::encode(0x30, 0x01, nullptr, 0));
    }

    void receiveExample()
    {
        Sink s;
        QCOMPARE(s.feed(hex("C030017B7D001AC0")), 1);
        const RxDataBuffer &f = s.frames.at(0);
        QCOMPARE(f.length, 6);
        QCOMPARE(s.body(0), hex("30017B7D001A"));
        QVERIFY(std::all_of(f.data.begin() + 6, f.data.end(), [](uchar c) { return c == 0; }));
        QCOMPARE(f.interfaceName, QStringLiteral("USB"));
        QVERIFY(f.hostAddress.isNull());
        QCOMPARE(f.port, quint16(0));
        QCOMPARE(s.receiver.rxCounter(), 0u);
        QCOMPARE(s.receiver.frameOpenCount(), 0u);
    }

    void emptyFramesKeepTheFrameOpen()
    {
        Sink s;
        QCOMPARE(s.feed(hex("C0C0C0")), 0);
        QVERIFY(s.receiver.frameOpenCount() >= 1);
        QCOMPARE(s.feed(hex("30017B7D001AC0")), 1);
        QCOMPARE(s.body(0), hex("30017B7D001A"));
    }

    void streamStartingMidFrame()
    {
        Sink s;
        // Tail of a frame, then a frame that shares that closing delimiter as its opening
        // one (lost), then a frame with its own delimiters (delivered).
        QByteArray stream = hex("7B7D001AC0") + hex("30017B7D001AC0") + hex("C030017B7D001AC0");
        QCOMPARE(s.feed(stream), 1);
        QCOMPARE(s.frames.size(), 1);
        QCOMPARE(s.body(0), hex("30017B7D001A"));

        // Joined inside an escape sequence: the pending escape must not leak into the next
        // frame.
        Sink t;
        QCOMPARE(t.feed(hex("11DB") + hex("C0") + hex("C030017B7D001AC0")), 1);
        QCOMPARE(t.body(0), hex("30017B7D001A"));
    }

    void oneZeroByteBodyIsDelivered()
    {
        Sink s;
        QCOMPARE(s.feed(hex("C000C0")), 1);
        QCOMPARE(s.frames.at(0).length, 1);
        QCOMPARE(s.body(0), hex("00"));
        // Any other single byte fails its CRC (the CRC of nothing is 0).
        QCOMPARE(s.feed(hex("C005C0")), 0);
        QCOMPARE(s.receiver.crcErrors(), quint64(1));
    }

    void escapeFollowedByOtherByte()
    {
        Sink s;
        // DB 41 stores 0x41; build a body 30 01 41 with its CRC.
        const QByteArray body = hex("300141");
        const uchar crc = td::crc8(body);
        QByteArray wire = hex("C03001DB41");
        wire.append(char(crc));
        wire.append(char(0xC0));
        QVERIFY(crc != 0xC0 && crc != 0xDB);
        QCOMPARE(s.feed(wire), 1);
        QCOMPARE(s.body(0), body + char(crc));
    }

    void lengthLimit()
    {
        // 768 decoded bytes are accepted.
        QByteArray body(767, '\x55');
        body[0] = 0x31;
        body[1] = 0x00;
        body.append(char(td::crc8(body)));
        QCOMPARE(body.size(), 768);
        QByteArray wire(1, char(0xC0));
        for (char c : body) {
            if (uchar(c) == 0xC0)
                wire.append(hex("DBDC"));
            else if (uchar(c) == 0xDB)
                wire.append(hex("DBDD"));
            else
                wire.append(c);
        }
        wire.append(char(0xC0));
        Sink s;
        QCOMPARE(s.feed(wire), 1);
        QCOMPARE(s.body(0), body);

        // A 766-byte payload makes a 769-byte body: rejected, and the receiver recovers for
        // the frame after it.
        const QByteArray tooLong = SlipCodec::encode(0x31, 0x00, QByteArray(766, '\x55'));
        Sink t;
        QCOMPARE(t.feed(tooLong), 0);
        QCOMPARE(t.receiver.overflows(), quint64(1));
        QCOMPARE(t.receiver.rxCounter(), 0u);
        QCOMPARE(t.feed(hex("C030017B7D001AC0")), 1);

        // Garbage far beyond the limit with no delimiter at all never overruns the buffer.
        Sink u;
        QCOMPARE(u.feed(QByteArray(5000, '\x42')), 0);
        QVERIFY(u.receiver.rxCounter() <= 768u);
        QCOMPARE(u.feed(hex("C0C030017B7D001AC0")), 1);
    }

    void contextIsTakenFromClosingByte()
    {
        SlipReceiver r;
        const QByteArray wire = hex("C030017B7D001AC0");
        for (int i = 0; i < wire.size() - 1; ++i)
            QVERIFY(!r.feed(uchar(wire[i]), QStringLiteral("early"), QHostAddress::LocalHost, 1));
        QVERIFY(r.feed(uchar(0xC0), QStringLiteral("AA:BB"), QHostAddress(QStringLiteral("10.0.0.7")), 4242));
        QCOMPARE(r.lastFrame().interfaceName, QStringLiteral("AA:BB"));
        QCOMPARE(r.lastFrame().hostAddress, QHostAddress(QStringLiteral("10.0.0.7")));
        QCOMPARE(r.lastFrame().port, quint16(4242));
        // A null address forces the port to 0.
        QCOMPARE(r.feed(wire, QString(), QHostAddress(), 999), 1);
        QCOMPARE(r.lastFrame().port, quint16(0));
    }

    // Random bodies, encoded and fed back in random chunkings, come out identical;
    // corrupted copies are dropped without disturbing their neighbours.
    void roundTripProperty()
    {
        QRandomGenerator rng(20240611);
        for (int round = 0; round < 300; ++round) {
            QList<QByteArray> bodies;
            QByteArray stream;
            QList<bool> intact;
            const int count = 1 + int(rng.bounded(8));
            for (int k = 0; k < count; ++k) {
                const int len = int(rng.bounded(767)); // payload 0..766
                QByteArray payload(len, Qt::Uninitialized);
                // Bias towards the special bytes.
                for (int i = 0; i < len; ++i) {
                    const quint32 r = rng.bounded(8);
                    payload[i] = r == 0 ? char(0xC0) : r == 1 ? char(0xDB) : char(rng.bounded(256));
                }
                const uchar cls = uchar(rng.bounded(256));
                const uchar sub = uchar(rng.bounded(256));
                QByteArray wire = SlipCodec::encode(cls, sub, payload);
                QByteArray body;
                body.append(char(cls));
                body.append(char(sub));
                body.append(payload);
                body.append(char(td::crc8(body)));
                if (body.size() > 768)
                    continue; // the 766 payload case is its own test

                bool ok = true;
                if (rng.bounded(5) == 0 && wire.size() > 3) {
                    // Flip one bit of a body byte that is neither a delimiter nor part of an
                    // escape sequence, and stays so after the flip: the CRC must catch it.
                    const int pos = 1 + int(rng.bounded(wire.size() - 2));
                    const uchar before = uchar(wire[pos]);
                    const uchar prev = uchar(wire[pos - 1]);
                    const uchar after = before ^ uchar(1u << rng.bounded(8));
                    if (before != 0xC0 && before != 0xDB && prev != 0xDB && after != 0xC0
                        && after != 0xDB) {
                        wire[pos] = char(after);
                        ok = false;
                    }
                }
                stream.append(wire);
                bodies.append(body);
                intact.append(ok);
            }

            Sink s;
            const int mode = int(rng.bounded(3));
            if (mode == 0) {
                for (char c : stream)
                    s.receiver.feed(uchar(c), QStringLiteral("USB"), QHostAddress(), 0);
            } else if (mode == 1) {
                s.feed(stream);
            } else {
                int pos = 0;
                while (pos < stream.size()) {
                    const int n = 1 + int(rng.bounded(64));
                    s.feed(stream.mid(pos, n));
                    pos += n;
                }
            }

            QList<QByteArray> expected;
            for (int k = 0; k < bodies.size(); ++k)
                if (intact.at(k))
                    expected.append(bodies.at(k));
            QCOMPARE(s.frames.size(), expected.size());
            for (int k = 0; k < expected.size(); ++k)
                QCOMPARE(s.body(k), expected.at(k));
        }
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
