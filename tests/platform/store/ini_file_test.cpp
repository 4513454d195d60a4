#include "platform/base/errors.h"
#include "platform/store/ini_file.h"
#include "platform/store/ini_reader.h"
#include "tests/support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// Comments, odd spacing, a commented-out key, duplicate and key-less sections, blank lines,
// an LF line among CRLF ones and no line end at the end of the file.
const QByteArray kOriginal = "; company settings\r\n"
                             "[General]\r\n"
                             "  Name = Firma  SRL  \r\n"
                             "\r\n"
                             " [ Productie ]  \r\n"
                             "IndGest =_\r\n"
                             ";IndCod=x\r\n"
                             "\tIndSemi\t=\t;\r\n"
                             "; end of production\r\n"
                             "\r\n"
                             "\r\n"
                             "[Empty]\n"
                             "[general]\r\n"
                             "Name=second";

QByteArray readAll(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class IniFileTest : public ::testing::Test {
protected:
    QString file() const { return m_dir.path() + QStringLiteral("/KRVDEF.INI"); }
    testsupport::TempDir m_dir;
};

struct WriteCase {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
    QByteArray before; // the part of kOriginal up to the change
    QByteArray change; // replaced by
    QByteArray after;  // the rest of kOriginal
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class IniWriteTest : public IniFileTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(IniWriteTest, ChangesOnlyTheKeysLine) {
    const WriteCase& c = GetParam();
    ASSERT_TRUE(kOriginal.startsWith(c.before) && kOriginal.endsWith(c.after));
    writeAll(file(), kOriginal);
    store::writeIniString(file(), QString::fromLatin1(c.section), QString::fromLatin1(c.key),
                          QString::fromLatin1(c.value));
    EXPECT_EQ(readAll(file()), c.before + c.change + c.after);
    EXPECT_EQ(
        store::readIniString(file(), QString::fromLatin1(c.section), QString::fromLatin1(c.key)),
        QString::fromLatin1(c.value));
}

const QByteArray kHead = kOriginal.left(kOriginal.indexOf("\tIndSemi"));
const QByteArray kTail = kOriginal.mid(kOriginal.indexOf("; end of"));

INSTANTIATE_TEST_SUITE_P(
    Cases, IniWriteTest,
    ::testing::Values(WriteCase{"NewKeyAfterLastKeyLine", "PRODUCTIE", "IndCod", ".",
                                kHead + "\tIndSemi\t=\t;\r\n", "IndCod=.\r\n", kTail},
                      WriteCase{"ExistingKeyKeepsItsSpacing", "productie", "indsemi", "#", kHead,
                                "\tIndSemi\t=\t#\r\n", kTail},
                      WriteCase{"FirstOfDuplicateSections", "GENERAL", "name", "Alta",
                                "; company settings\r\n"
                                "[General]\r\n",
                                "  Name = Alta\r\n",
                                kOriginal.mid(kOriginal.indexOf("\r\n\r\n [ Prod") + 2)},
                      WriteCase{"KeylessSectionGetsKeyAfterHeader", "Empty", "K", "v",
                                kOriginal.left(kOriginal.indexOf("[general]")), "K=v\r\n",
                                kOriginal.mid(kOriginal.indexOf("[general]"))},
                      WriteCase{"NewSectionAtEndWithFirstLinesEnding", "Nou", "K", "v", kOriginal,
                                "\r\n\r\n[Nou]\r\nK=v\r\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniFileTest, ReadsIgnoreCaseTrimBlanksAndFallBackToTheDefault) {
    writeAll(file(), kOriginal);
    const QString def = QStringLiteral("default");
    const struct {
        const char *section, *key, *expected;
    } cases[] = {
        {"productie", "INDGEST", "_"},     {"General", "name", "Firma  SRL"},
        {"Productie", "IndSemi", ";"},     {"Productie", "IndCod", "default"},
        {"Missing", "IndGest", "default"}, {"Empty", "Name", "default"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(store::readIniString(file(), QString::fromLatin1(c.section),
                                       QString::fromLatin1(c.key), def),
                  QString::fromLatin1(c.expected))
            << c.section << "/" << c.key;
    EXPECT_EQ(store::readIniKeys(file(), QStringLiteral("PRODUCTIE")),
              (QStringList{QStringLiteral("IndGest"), QStringLiteral("IndSemi")}));
    EXPECT_EQ(store::readIniString(m_dir.path() + QStringLiteral("/none.ini"),
                                   QStringLiteral("Productie"), QStringLiteral("IndGest"), def),
              def);
}

TEST_F(IniFileTest, MissingFileIsCreatedWithSectionAndKey) {
    store::writeIniString(file(), QStringLiteral("Productie"), QStringLiteral("IndGest"),
                          QStringLiteral("_"));
    store::writeIniString(file(), QStringLiteral("Productie"), QStringLiteral("IndCod"),
                          QStringLiteral("."));
    EXPECT_EQ(readAll(file()), QByteArray("[Productie]\r\nIndGest=_\r\nIndCod=.\r\n"));
    // The lock and the temporary file are gone.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("KRVDEF.INI")});
}

TEST_F(IniFileTest, Cp1250RoundTripStoresCommaBelowAsCedilla) {
    writeAll(file(), "[S]\nK=old\n");
    store::writeIniString(file(), QStringLiteral("S"), QStringLiteral("K"),
                          QStringLiteral("ă â î ş ţ ș ț Ă Â Î Ș Ț"));
    EXPECT_EQ(readAll(file()), QByteArray("[S]\nK=\xE3 \xE2 \xEE \xBA \xFE \xBA \xFE "
                                          "\xC3 \xC2 \xCE \xAA \xDE\n"));
    EXPECT_EQ(store::readIniString(file(), QStringLiteral("s"), QStringLiteral("k")),
              QStringLiteral("ă â î ş ţ ş ţ Ă Â Î Ş Ţ"));
}

// Names are found again as they were written: blanks around them and the comma-below letters
// are taken as the file keeps them, so a second write changes the same line.
TEST_F(IniFileTest, NamesWithBlanksOrCommaBelowAreFoundAgain) {
    const struct {
        const char* section;
        const char* key;
    } cases[] = {{"  Secţia ", " Cheie\t"}, {"Secția", "Țară"}, {"SECŢIA", "ţară"}};
    for (const auto& c : cases) {
        const QString section = QString::fromUtf8(c.section);
        const QString key = QString::fromUtf8(c.key);
        writeAll(file(), "[Firma]\r\n");
        store::writeIniString(file(), section, key, QStringLiteral("unu"));
        store::writeIniString(file(), section, key, QStringLiteral("doi"));
        EXPECT_EQ(store::readIniString(file(), section, key), QStringLiteral("doi")) << c.section;
        EXPECT_EQ(readAll(file()).count('='), 1)
            << c.section << ": " << readAll(file()).constData();
    }
}

TEST_F(IniFileTest, UnstorableTextIsRefusedAndTheFileLeftAsItWas) {
    writeAll(file(), kOriginal);
    const struct {
        const char* section;
        const char* key;
        QString value;
    } cases[] = {
        {"Productie", "IndGest", QStringLiteral("ж")},
        {"Productie", "IndGest", QStringLiteral("a\r\nInjected=1")},
        {"Productie", "Ind=Gest", QStringLiteral("a")},
        {"Prod]uctie", "IndGest", QStringLiteral("a")},
        {"Productie", "", QStringLiteral("a")},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(store::writeIniString(file(), QString::fromLatin1(c.section),
                                           QString::fromLatin1(c.key), c.value),
                     base::ConversionError)
            << c.key;
        EXPECT_EQ(readAll(file()), kOriginal);
    }
    try {
        store::writeIniString(file(), QStringLiteral("Productie"), QStringLiteral("IndCod"),
                              QStringLiteral("ж"));
        ADD_FAILURE() << "a character outside the code page was written";
    } catch (const base::ConversionError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("ж")));
        EXPECT_TRUE(e.message().contains(QStringLiteral("IndCod")));
    }
}

TEST_F(IniFileTest, ReaderSeesChangesMadeAfterItWasOpened) {
    const store::IniReader reader(file());
    EXPECT_EQ(reader.readString(QStringLiteral("Initial"), QStringLiteral("NetControlDir")),
              QString());
    writeAll(file(), "[Initial]\r\nNetControlDir=/srv/net\r\n");
    EXPECT_EQ(reader.readString(QStringLiteral("initial"), QStringLiteral("netcontroldir")),
              QStringLiteral("/srv/net"));
    store::writeIniString(file(), QStringLiteral("Initial"), QStringLiteral("NetControlDir"),
                          QStringLiteral("/srv/network"));
    EXPECT_EQ(reader.readString(QStringLiteral("Initial"), QStringLiteral("NetControlDir")),
              QStringLiteral("/srv/network"));
    EXPECT_EQ(reader.keys(QStringLiteral("Initial")), QStringList{QStringLiteral("NetControlDir")});
}

} // namespace

// A file may end in a lone carriage return (cut short, or written by an editor that ends lines
// with CR). Adding a key after that last line must not turn its CR into part of a CRLF line end
// nor leave it inside the value: the last key keeps its value and the new key reads back.
TEST_F(IniFileTest, FileEndingInALoneCarriageReturnKeepsItsLastValue) {
    const struct {
        QByteArray original;
        const char* section;
        QByteArray expected;
    } cases[] = {
        {"[Firma]\nx=G\r", "Firma", "[Firma]\nx=G\r\nK=v\n"},
        {"[Firma]\r\nx=G\r", "Firma", "[Firma]\r\nx=G\r\nK=v\r\n"},
        {"[Firma]\nx=G\r", "Nou", "[Firma]\nx=G\r\n\n[Nou]\nK=v\n"},
        {"[Firma]\r", "Firma", "[Firma]\r\nK=v\r\n"},
    };
    for (const auto& c : cases) {
        writeAll(file(), c.original);
        EXPECT_EQ(store::readIniString(file(), QStringLiteral("Firma"), QStringLiteral("x")),
                  c.original.contains("x=") ? QStringLiteral("G") : QString());
        store::writeIniString(file(), QString::fromLatin1(c.section), QStringLiteral("K"),
                              QStringLiteral("v"));
        EXPECT_EQ(readAll(file()), c.expected) << c.original.toPercentEncoding().constData();
        EXPECT_EQ(store::readIniString(file(), QString::fromLatin1(c.section), QStringLiteral("K")),
                  QStringLiteral("v"));
        if (c.original.contains("x="))
            EXPECT_EQ(store::readIniString(file(), QStringLiteral("Firma"), QStringLiteral("x")),
                      QStringLiteral("G"));
    }
}
