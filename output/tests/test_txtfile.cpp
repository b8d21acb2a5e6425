// Text files: creation and closing with their messages, UTF-8 with CR LF, the
// output buffer, and write errors raised at the write.
#include "txtfile.h"

#include "errors.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kv;

namespace {

class TxtFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
};

TEST_F(TxtFile, WritesUtf8WithCrLfAndNoByteOrderMark) {
    TTxtFile F;
    QString msg = QStringLiteral("stale");
    ASSERT_TRUE(TxtCreate(F, Path("a.txt"), msg));
    EXPECT_TRUE(msg.isEmpty());
    EXPECT_TRUE(F.IsOpen());
    F.Write(QStringLiteral("Größe"));
    F.WriteChar(QLatin1Char(','));
    F.WriteChar(QChar(0x20AC)); // euro sign
    F.WriteLn();
    // A surrogate pair split over two writes is still one character.
    const QString smiley = QString::fromUtf8("\xF0\x9F\x98\x80");
    F.WriteChar(smiley[0]);
    F.WriteChar(smiley[1]);
    F.Write(QStringView(smiley).left(1));
    F.Write(QStringView(smiley).mid(1));
    F.WriteLn();
    ASSERT_TRUE(TxtClose(F, msg));
    EXPECT_TRUE(msg.isEmpty());
    EXPECT_FALSE(F.IsOpen());
    EXPECT_EQ(Read(Path("a.txt")), QByteArray("Gr\xC3\xB6\xC3\x9F"
                                              "e,\xE2\x82\xAC\r\n"
                                              "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\r\n"));
}

TEST_F(TxtFile, TruncatesAnExistingFileAndPassesLargeWrites) {
    const QString path = Path("b.txt");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(1000, 'z'));
    }
    TTxtFile F;
    QString msg;
    ASSERT_TRUE(TxtCreate(F, path, msg));
    const QString big(3 * TTxtFile::BufferSize + 17, QLatin1Char('q'));
    F.Write(QStringLiteral("ab"));
    F.Write(big);
    for (int i = 0; i < TTxtFile::BufferSize; ++i) {
        F.WriteChar(QLatin1Char('w'));
    }
    ASSERT_TRUE(TxtClose(F, msg));
    EXPECT_EQ(Read(path), "ab" + big.toLatin1() + QByteArray(TTxtFile::BufferSize, 'w'));
}

TEST_F(TxtFile, CreateFailureNamesTheFileAndCloseThenSucceeds) {
    TTxtFile F;
    QString msg;
    const QString missing = Path("no/such/folder/c.csv");
    EXPECT_FALSE(TxtCreate(F, missing, msg));
    EXPECT_EQ(msg, QStringLiteral("Cannot create file ") + missing + QStringLiteral("[TxtCreate]"));
    EXPECT_FALSE(F.IsOpen());
    EXPECT_TRUE(TxtClose(F, msg));
    EXPECT_TRUE(msg.isEmpty());
    EXPECT_FALSE(TxtCreate(F, QString(), msg));
    EXPECT_EQ(msg.toStdString(), "Cannot create file [TxtCreate]");
}

TEST_F(TxtFile, WriteToAFileNotOpenRaises) {
    TTxtFile F;
    EXPECT_THROW(F.Write(QStringLiteral("x")), EInOutError);
    EXPECT_THROW(F.WriteChar(QLatin1Char('x')), EInOutError);
    EXPECT_THROW(F.WriteLn(), EInOutError);
}

TEST_F(TxtFile, CreateAgainClosesThePreviousFile) {
    TTxtFile F;
    QString msg;
    ASSERT_TRUE(TxtCreate(F, Path("first.txt"), msg));
    F.Write(QStringLiteral("one"));
    ASSERT_TRUE(TxtCreate(F, Path("second.txt"), msg));
    F.Write(QStringLiteral("two"));
    ASSERT_TRUE(TxtClose(F, msg));
    EXPECT_EQ(Read(Path("first.txt")), QByteArray("one"));
    EXPECT_EQ(Read(Path("second.txt")), QByteArray("two"));
}

TEST_F(TxtFile, FileLeftOpenIsWrittenWhenTheObjectGoesAway) {
    {
        TTxtFile F;
        QString msg;
        ASSERT_TRUE(TxtCreate(F, Path("d.txt"), msg));
        F.Write(QStringLiteral("kept"));
    }
    EXPECT_EQ(Read(Path("d.txt")), QByteArray("kept"));
}

TEST_F(TxtFile, FullDeviceFailsTheCloseOrRaisesAtTheWrite) {
    if (!QFile::exists(QStringLiteral("/dev/full"))) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    TTxtFile F;
    QString msg;
    ASSERT_TRUE(TxtCreate(F, QStringLiteral("/dev/full"), msg));
    F.Write(QStringLiteral("short"));
    EXPECT_FALSE(TxtClose(F, msg));
    EXPECT_EQ(msg.toStdString(), "Cannot close file[TxtClose]");
    EXPECT_FALSE(F.IsOpen());

    ASSERT_TRUE(TxtCreate(F, QStringLiteral("/dev/full"), msg));
    try {
        F.Write(QString(TTxtFile::BufferSize + 1, QLatin1Char('x')));
        FAIL() << "the write should raise";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.className(), "EInOutError");
        EXPECT_NE(e.message().find("/dev/full"), std::string::npos) << e.message();
    }
    EXPECT_FALSE(TxtClose(F, msg));
}

TEST(StringTextOutput, CollectsTextWithCrLf) {
    TStringTextOutput out;
    out.Write(QStringLiteral("ab"));
    out.WriteChar(QChar(12));
    out.WriteLn();
    EXPECT_EQ(out.Text(), QStringLiteral("ab\x0C\r\n"));
    out.Clear();
    EXPECT_TRUE(out.Text().isEmpty());
}

} // namespace
