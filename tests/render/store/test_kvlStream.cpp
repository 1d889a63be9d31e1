// The page store's stream: memory up to its limit, then a temporary file that goes with it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "render/kvlPageListUnit.h"

namespace kavel {
namespace {

constexpr qint64 kPageTargetLimit = 250000;

QByteArray Pattern(qint64 size, char seed = 0) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7 + i / 251);
    return bytes;
}

QByteArray Contents(TkvlStream& stream) {
    const qint64 pos = stream.Pos();
    QByteArray bytes(stream.Size(), Qt::Uninitialized);
    stream.Seek(0);
    EXPECT_EQ(stream.Read(bytes.data(), bytes.size()), bytes.size());
    stream.Seek(pos);
    return bytes;
}

void WriteBytes(TkvlStream& stream, const QByteArray& bytes) {
    ASSERT_EQ(stream.Write(bytes.constData(), bytes.size()), bytes.size());
}

TEST(TkvlStream, DataBeyondTheLimitMovesToAKvlFileInTheTemporaryFolder) {
    QString fileName;
    {
        TkvlStream stream(kPageTargetLimit);
        const QByteArray data = Pattern(kPageTargetLimit + 1);
        // Several writes, as pages arrive, ending exactly at the limit.
        for (qint64 at = 0; at < kPageTargetLimit; at += 50000)
            WriteBytes(stream, data.mid(at, 50000));
        EXPECT_TRUE(stream.InMemory());
        WriteBytes(stream, data.right(1));
        EXPECT_FALSE(stream.InMemory());
        const QFileInfo info(stream.FileName());
        fileName = info.filePath();
        // The name tells which process made it, so that a later run can remove it should this
        // one be killed.
        EXPECT_TRUE(
            info.fileName().startsWith(QString("kvl%1-").arg(QCoreApplication::applicationPid())))
            << fileName.toStdString();
        EXPECT_EQ(info.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        EXPECT_EQ(stream.Pos(), kPageTargetLimit + 1);
        EXPECT_EQ(Contents(stream), data);
    }
    EXPECT_FALSE(QFileInfo::exists(fileName));  // the file goes with the stream
}

TEST(TkvlStream, GrowingOverwriteKeepsThePositionWhenMoving) {
    TkvlStream stream(15);
    WriteBytes(stream, "0123456789");
    stream.Seek(5);
    WriteBytes(stream, "abcdefghijklmnopqrst");
    ASSERT_FALSE(stream.InMemory());
    EXPECT_EQ(stream.Pos(), 25);
    EXPECT_EQ(Contents(stream), QByteArray("01234abcdefghijklmnopqrst"));
}

// The same behaviour before and after the move to the file.
class TkvlStreamBothPlaces : public ::testing::TestWithParam<qint64> {};

TEST_P(TkvlStreamBothPlaces, ReadWriteSeekAndTruncate) {
    TkvlStream stream(GetParam());
    WriteBytes(stream, "hello world");
    EXPECT_EQ(stream.InMemory(), GetParam() >= 11);
    // Overwriting in the middle keeps the size.
    EXPECT_EQ(stream.Seek(6), 6);
    WriteBytes(stream, "WORLD");
    EXPECT_EQ(Contents(stream), QByteArray("hello WORLD"));
    char buffer[16] = {};
    EXPECT_EQ(stream.Seek(-5, TkvlStream::SeekOrigin::End), 6);
    EXPECT_EQ(stream.Seek(-2, TkvlStream::SeekOrigin::Current), 4);
    EXPECT_EQ(stream.Read(buffer, 3), 3);
    EXPECT_EQ(QByteArray(buffer, 3), QByteArray("o W"));
    // Reading at the end gives nothing; positions stay within the stream.
    stream.Seek(0, TkvlStream::SeekOrigin::End);
    EXPECT_EQ(stream.Read(buffer, 4), 0);
    EXPECT_EQ(stream.Seek(100), 11);
    EXPECT_EQ(stream.Seek(-100), 0);
    EXPECT_EQ(stream.Seek(std::numeric_limits<qint64>::max(), TkvlStream::SeekOrigin::End), 11);
    EXPECT_EQ(stream.Seek(std::numeric_limits<qint64>::min(), TkvlStream::SeekOrigin::Current), 0);
    // Cutting moves a position beyond the new end back to it.
    stream.Seek(9);
    stream.Truncate(5);
    EXPECT_EQ(stream.Pos(), 5);
    stream.Truncate(50);  // never grows
    WriteBytes(stream, "!");
    EXPECT_EQ(Contents(stream), QByteArray("hello!"));
}

INSTANTIATE_TEST_SUITE_P(MemoryAndFile, TkvlStreamBothPlaces, ::testing::Values(1000, 4));

}  // namespace
}  // namespace kavel
