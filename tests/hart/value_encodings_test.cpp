// Four-byte numbers: received bytes to table text, typed text to request bytes, and the whole-
// number form of a float text.

#include <QTest>

#include "hart/conversions.h"
#include "hart/value_encodings.h"

using hart::FloatBytes;

class ValueEncodingsTest : public QObject {
    Q_OBJECT

private slots:
    void bytesToText_data();
    void bytesToText();
    void textToBytes_data();
    void textToBytes();
    void textToBytesRefuses_data();
    void textToBytesRefuses();
    void refusedTextKeepsNothing();
    void wholeNumber_data();
    void wholeNumber();
};

void ValueEncodingsTest::bytesToText_data() {
    QTest::addColumn<FloatBytes>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("pressure") << FloatBytes{66, 202, 166, 102} << "101,3250000";
    QTest::newRow("four") << FloatBytes{64, 128, 0, 0} << "4,0000000";
    QTest::newRow("zero") << FloatBytes{0, 0, 0, 0} << "0,0000000";
    QTest::newRow("negative zero") << FloatBytes{128, 0, 0, 0} << "0,0000000";
    QTest::newRow("fraction") << FloatBytes{65, 69, 112, 164} << "12,3400000";
    QTest::newRow("negative") << FloatBytes{192, 32, 0, 0} << "-2,5000000";
    // Seven decimals keep fewer digits than seven significant ones here.
    QTest::newRow("small") << FloatBytes{57, 1, 116, 45} << "0,0001235";
    // Seven significant digits keep fewer than seven decimals here: 1234.5677490...
    QTest::newRow("seven significant") << FloatBytes{68, 154, 82, 43} << "1234,5680000";
    QTest::newRow("temperature") << FloatBytes{65, 187, 167, 82} << "23,4567000";
    QTest::newRow("seven integer digits") << FloatBytes{75, 24, 150, 127} << "9999999,0000000";
    QTest::newRow("eight integer digits") << FloatBytes{75, 24, 150, 128} << "1,000000E+07";
    QTest::newRow("large") << FloatBytes{76, 235, 121, 162} << "1,234568E+08";
    QTest::newRow("negative large") << FloatBytes{204, 235, 121, 162} << "-1,234568E+08";
    // 1e-7 and 2e-8.
    QTest::newRow("rounds away below the last decimal")
        << FloatBytes{51, 214, 191, 149} << "0,0000001";
    QTest::newRow("too small to show") << FloatBytes{50, 171, 204, 119} << "0,0000000";
    QTest::newRow("not a number") << FloatBytes{127, 192, 0, 0} << "NAN";
    QTest::newRow("infinite") << FloatBytes{127, 128, 0, 0} << "INF";
    QTest::newRow("negative infinite") << FloatBytes{255, 128, 0, 0} << "-INF";
}

void ValueEncodingsTest::bytesToText() {
    QFETCH(FloatBytes, bytes);
    QFETCH(QString, text);
    QCOMPARE(hart::BytesToFloatText(bytes[0], bytes[1], bytes[2], bytes[3]), text);
}

void ValueEncodingsTest::textToBytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<FloatBytes>("bytes");
    QTest::newRow("point") << "1.5" << FloatBytes{63, 192, 0, 0};
    QTest::newRow("comma") << "1,5" << FloatBytes{63, 192, 0, 0};
    QTest::newRow("zero") << "0" << FloatBytes{0, 0, 0, 0};
    QTest::newRow("negative") << "-2,5" << FloatBytes{192, 32, 0, 0};
    QTest::newRow("damping 10") << "10" << FloatBytes{65, 32, 0, 0};
    QTest::newRow("damping 50") << "50" << FloatBytes{66, 72, 0, 0};
    QTest::newRow("current") << "12.5" << FloatBytes{65, 72, 0, 0};
    QTest::newRow("plus sign") << "+4" << FloatBytes{64, 128, 0, 0};
    QTest::newRow("exponent") << "1e3" << FloatBytes{68, 122, 0, 0};
    QTest::newRow("no integer digits") << ",5" << FloatBytes{63, 0, 0, 0};
    QTest::newRow("blanks around") << " 4 " << FloatBytes{64, 128, 0, 0};
    QTest::newRow("rounds to nearest single") << "0.1" << FloatBytes{61, 204, 204, 205};
    QTest::newRow("below single range") << "1e-50" << FloatBytes{0, 0, 0, 0};
    QTest::newRow("below double range") << "-1e-400" << FloatBytes{128, 0, 0, 0};
}

void ValueEncodingsTest::textToBytes() {
    QFETCH(QString, text);
    QFETCH(FloatBytes, bytes);
    QCOMPARE(hart::TextToFloatBytes(text), bytes);
}

void ValueEncodingsTest::textToBytesRefuses_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    // clang-format off
    QTest::newRow("empty") << "" << "'' is not a valid floating point value";
    QTest::newRow("letters") << "abc" << "'abc' is not a valid floating point value";
    // Only the first point becomes a comma, and the message shows the text after that.
    QTest::newRow("two points") << "1.2.3" << "'1,2.3' is not a valid floating point value";
    QTest::newRow("two commas") << "1,2,3" << "'1,2,3' is not a valid floating point value";
    QTest::newRow("sign only") << "-" << "'-' is not a valid floating point value";
    QTest::newRow("bare exponent") << "1e" << "'1e' is not a valid floating point value";
    QTest::newRow("beyond single range") << "1e39" << "'1e39' is not a valid floating point value";
    QTest::newRow("beyond double range") << "1e400" << "'1e400' is not a valid floating point value";
    QTest::newRow("infinity word") << "inf" << "'inf' is not a valid floating point value";
    // clang-format on
}

void ValueEncodingsTest::textToBytesRefuses() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    try {
        hart::TextToFloatBytes(text);
        QFAIL("the text was converted");
    } catch (const EConvertError& error) {
        QCOMPARE(QString::fromUtf8(error.what()), message);
    }
}

void ValueEncodingsTest::refusedTextKeepsNothing() {
    // A refused text yields no bytes at all; the caller's earlier bytes stay as they were.
    FloatBytes kept = hart::TextToFloatBytes(QStringLiteral("4"));
    QVERIFY_THROWS_EXCEPTION(EConvertError, kept = hart::TextToFloatBytes(QStringLiteral("x")));
    QCOMPARE(kept, (FloatBytes{64, 128, 0, 0}));
}

void ValueEncodingsTest::wholeNumber_data() {
    QTest::addColumn<QString>("floatText");
    QTest::addColumn<QString>("whole");
    // clang-format off
    QTest::newRow("Um") << "1234,0000000" << "1234";
    QTest::newRow("Udif") << "567,0000000" << "567";
    QTest::newRow("half rounds up") << "1234,5000000" << "1235";
    QTest::newRow("below one half") << "0,4000000" << "0";
    QTest::newRow("negative") << "-25,0000000" << "-25";
    QTest::newRow("negative rounding to zero") << "-0,4000000" << "0";
    QTest::newRow("exponent text") << "1,234568E+08" << "1,234568E+08";
    QTest::newRow("not a number") << "NAN" << "NAN";
    QTest::newRow("infinite") << "-INF" << "-INF";
    // clang-format on
}

void ValueEncodingsTest::wholeNumber() {
    QFETCH(QString, floatText);
    QFETCH(QString, whole);
    QCOMPARE(hart::WholeNumberText(floatText), whole);
}

QTEST_GUILESS_MAIN(ValueEncodingsTest)
#include "value_encodings_test.moc"
