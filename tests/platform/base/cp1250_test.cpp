#include "platform/base/cp1250.h"
#include "platform/base/errors.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(Cp1250, EveryAssignedByteRoundTripsAndTheFiveOthersDecodeAsReplacement) {
    QSet<QChar> seen;
    int assigned = 0;
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        const QString text = base::cp1250::decode(byte);
        ASSERT_EQ(text.size(), 1);
        if (text.at(0) == QChar(0xFFFD)) {
            EXPECT_TRUE(b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98) << b;
            continue;
        }
        ++assigned;
        seen.insert(text.at(0));
        EXPECT_EQ(base::cp1250::encode(text), byte) << b;
    }
    EXPECT_EQ(assigned, 251);
    EXPECT_EQ(seen.size(), 251);
}

TEST(Cp1250, RomanianLettersAndCommaBelowFormsAreStoredAsCedillaBytes) {
    const QByteArray bytes("\xE3\xE2\xEE\xBA\xFE\xC3\xC2\xCE\xAA\xDE");
    EXPECT_EQ(base::cp1250::encode(QStringLiteral("ăâîşţĂÂÎŞŢ")), bytes);
    EXPECT_EQ(base::cp1250::encode(QStringLiteral("ăâîșțĂÂÎȘȚ")), bytes);
    EXPECT_EQ(base::cp1250::decode(bytes), QStringLiteral("ăâîşţĂÂÎŞŢ"));
    EXPECT_EQ(base::cp1250::normalize(QStringLiteral("Ștefănești")), QStringLiteral("Ştefăneşti"));
    EXPECT_TRUE(base::cp1250::isRepresentable(QStringLiteral("Țară € „citat”")));
}

void expectRefusalNames(const QString& text, const QString& character, const char* code) {
    EXPECT_FALSE(base::cp1250::isRepresentable(text));
    try {
        base::cp1250::encode(text, QStringLiteral("Denumire"));
        ADD_FAILURE() << "no error for " << code;
    } catch (const base::ConversionError& e) {
        EXPECT_TRUE(e.message().contains(character)) << e.what();
        EXPECT_TRUE(e.message().contains(QLatin1String(code))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("Denumire"))) << e.what();
    }
}

TEST(Cp1250, RefusedCharacterIsNamedWithTheFieldInTheMessage) {
    expectRefusalNames(QStringLiteral("Fabrica Жук"), QStringLiteral("Ж"), "U+0416");
    expectRefusalNames(QStringLiteral("piñata"), QStringLiteral("ñ"), "U+00F1");
}

// Disabled until the message names a character outside the basic plane whole: it now shows
// a lone high surrogate ('?' in what()) and its code U+D83D.
TEST(Cp1250, RefusedCharacterOutsideTheBasicPlaneIsNamedWhole) {
    expectRefusalNames(QStringLiteral("zâmbet 😀"), QStringLiteral("😀"), "U+1F600");
}

} // namespace
