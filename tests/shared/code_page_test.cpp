// Both code-page tables against glibc's iconv, byte by byte, both ways.
#include "shared/CodePage.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <optional>

using namespace ztk;

namespace {

// The character iconv gives for one byte of `codePage`, or nothing when it refuses it.
std::optional<char16_t> iconvDecode(const char *codePage, unsigned char byte)
{
    iconv_t cd = iconv_open("UTF-16LE", codePage);
    EXPECT_NE(cd, iconv_t(-1));
    char in[1] = {char(byte)};
    char out[8] = {};
    char *inp = in, *outp = out;
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (r == size_t(-1) || sizeof out - outLeft != 2)
        return std::nullopt;
    return char16_t(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
}

// One iconv conversion kept open for many single characters.
class IconvEncoder {
public:
    explicit IconvEncoder(const char *codePage) : m_cd(iconv_open(codePage, "UTF-16LE")) { EXPECT_NE(m_cd, iconv_t(-1)); }
    ~IconvEncoder() { iconv_close(m_cd); }
    // The byte for one BMP character, or nothing when the code page lacks it.
    std::optional<unsigned char> encode(char16_t c)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char in[2] = {char(c & 0xFF), char(c >> 8)};
        char out[8] = {};
        char *inp = in, *outp = out;
        size_t inLeft = 2, outLeft = sizeof out;
        if (iconv(m_cd, &inp, &inLeft, &outp, &outLeft) == size_t(-1) || sizeof out - outLeft != 1)
            return std::nullopt;
        return static_cast<unsigned char>(out[0]);
    }
private:
    iconv_t m_cd;
};

struct Table {
    const char *iconvName;
    char16_t (*toUnicode)(unsigned char);
    QString (*fromBytes)(const QByteArray &);
    QByteArray (*toBytes)(const QString &);
};

class CodePageTable : public ::testing::TestWithParam<Table> {};

TEST_P(CodePageTable, EveryByteDecodesAsIconvDoes)
{
    const Table t = GetParam();
    for (int b = 0; b < 256; ++b) {
        const auto expected = iconvDecode(t.iconvName, static_cast<unsigned char>(b));
        if (!expected) {
            // Only 1251's 0x98 is undefined; it is kept as U+0098 so it survives a round trip.
            EXPECT_STREQ(t.iconvName, "CP1251");
            EXPECT_EQ(b, 0x98);
            EXPECT_EQ(t.toUnicode(static_cast<unsigned char>(b)), char16_t(0x98));
            continue;
        }
        EXPECT_EQ(t.toUnicode(static_cast<unsigned char>(b)), *expected) << "byte " << b;
        EXPECT_EQ(t.fromBytes(QByteArray(1, char(b))), QString(QChar(*expected))) << "byte " << b;
    }
}

TEST_P(CodePageTable, EveryByteRoundTrips)
{
    const Table t = GetParam();
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(t.toBytes(t.fromBytes(all)), all);
}

TEST_P(CodePageTable, EncodingAgreesWithIconvOverTheBmp)
{
    // Every BMP character iconv can encode gives iconv's byte; every other one gives '?'.
    const Table t = GetParam();
    IconvEncoder iconvCp(t.iconvName);
    const bool is1251 = QByteArray(t.iconvName) == "CP1251";
    int encodable = 0;
    for (int c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const QString one{QChar(char16_t(c))};
        if (one.normalized(QString::NormalizationForm_C) != one)
            continue; // composed differently first; see MissingCharactersBecomeQuestionMarks
        const QByteArray got = t.toBytes(one);
        ASSERT_EQ(got.size(), 1) << "U+" << std::hex << c;
        if (is1251 && c == 0x98) {
            EXPECT_EQ(got, QByteArray("\x98"));
            continue;
        }
        const auto expected = iconvCp.encode(char16_t(c));
        if (expected) {
            ++encodable;
            EXPECT_EQ(static_cast<unsigned char>(got[0]), *expected) << "U+" << std::hex << c;
        } else {
            EXPECT_EQ(got, QByteArray("?")) << "U+" << std::hex << c;
        }
    }
    EXPECT_EQ(encodable, is1251 ? 254 : 255); // every byte but 0 (and 1251's 0x98)
}

INSTANTIATE_TEST_SUITE_P(Both, CodePageTable,
                         ::testing::Values(Table{"CP1251", codepage::cp1251ToUnicode, codepage::fromCp1251, codepage::toCp1251},
                                           Table{"CP866", codepage::cp866ToUnicode, codepage::fromCp866, codepage::toCp866}),
                         [](const auto &info) { return std::string(info.param.iconvName); });

TEST(CodePage, MissingCharactersBecomeQuestionMarks)
{
    struct Row { QString text; QByteArray cp1251; QByteArray cp866; } rows[] = {
        {QStringLiteral("Конь"), QByteArray("\xCA\xEE\xED\xFC"), QByteArray("\x8A\xAE\xAD\xEC")},
        {QStringLiteral("€1"), QByteArray("\x88" "1"), QByteArray("?1")},          // euro: 1251 only
        {QStringLiteral("╬"), QByteArray("?"), QByteArray("\xCE")},                // box drawing: 866 only
        {QStringLiteral("a\U0001F600b"), QByteArray("a?b"), QByteArray("a?b")},    // one '?' per character
        {QStringLiteral("中"), QByteArray("?"), QByteArray("?")},
        {QString::fromUtf16(u"\u0438\u0306"), QByteArray("\xE9"), QByteArray("\xA9")}, // и + breve -> й
    };
    for (const Row &r : rows) {
        EXPECT_EQ(codepage::toCp1251(r.text), r.cp1251) << r.text.toStdString();
        EXPECT_EQ(codepage::toCp866(r.text), r.cp866) << r.text.toStdString();
    }
}

} // namespace
