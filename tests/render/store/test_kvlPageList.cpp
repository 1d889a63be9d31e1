// The page records in the store's stream: layout, reading in any order, spilling to a file,
// and damaged streams.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QtEndian>
#include <vector>

#include "platform/Variant.h"
#include "render/kvlPageListUnit.h"
#include "render/store/TemporaryFolderOverride.h"

namespace kavel {
namespace {

const QColor kPageColors[] = {Qt::red,     Qt::green, Qt::blue,    Qt::yellow,
                              Qt::magenta, Qt::cyan,  Qt::darkRed, Qt::darkGreen};

// A page that fills most of its 100 x 100 area with the colour of its number.
QPicture MakePage(int number) {
    QPicture picture;
    QPainter painter(&picture);
    painter.fillRect(QRect(0, 0, 100, 100), Qt::white);
    painter.fillRect(QRect(10, 10, 80, 80), kPageColors[(number - 1) % 8]);
    painter.drawText(QPoint(20, 95), QString("page %1").arg(number));
    painter.end();
    return picture;
}

// The colour at the middle of the page, replayed onto an image.
QColor MiddleColor(QPicture picture) {  // play() is not const
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    picture.play(&painter);
    painter.end();
    return image.pixelColor(50, 50);
}

qint32 Int32At(TkvlStream& stream, qint64 at) {
    char bytes[4];
    stream.Seek(at);
    EXPECT_EQ(stream.Read(bytes, 4), 4);
    return qFromLittleEndian<qint32>(bytes);
}

void PutInt32(TkvlStream& stream, qint64 at, qint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    stream.Seek(at);
    stream.Write(bytes, 4);
}

// A list over a fresh stream holding pages 1..count.
std::unique_ptr<TkvlPageList> MakeStore(int count, qint64 limit = 250000) {
    auto list = std::make_unique<TkvlPageList>();
    list->SetStream(std::make_unique<TkvlStream>(limit));
    for (int i = 1; i <= count; ++i) list->AddPage(MakePage(i));
    return list;
}

// The start offsets of the records, followed through the next offsets.
std::vector<qint64> RecordStarts(TkvlPageList& list) {
    TkvlStream& stream = *list.Stream();
    const qint64 pos = stream.Pos();
    std::vector<qint64> starts{108};
    for (int i = 1; i < list.Count(); ++i) starts.push_back(Int32At(stream, starts.back() + 4));
    stream.Seek(pos);
    return starts;
}

void ExpectPage(TkvlPageList& list, int number) {
    const std::unique_ptr<QPicture> page = list.GetPage(number);
    ASSERT_TRUE(page) << "page " << number;
    EXPECT_EQ(MiddleColor(*page), kPageColors[(number - 1) % 8]) << "page " << number;
}

TEST(TkvlPageList, OnePageLayout) {
    const auto list = MakeStore(1);
    TkvlStream& stream = *list->Stream();
    const qint64 size = stream.Size();
    EXPECT_EQ(list->Count(), 1);

    EXPECT_EQ(Int32At(stream, 0), 1);
    QByteArray filler(100, Qt::Uninitialized);
    stream.Seek(4);
    stream.Read(filler.data(), 100);
    EXPECT_EQ(filler, QByteArray(100, 0x48));
    EXPECT_EQ(Int32At(stream, 104), 0);

    EXPECT_EQ(Int32At(stream, 108), 1);         // page number
    EXPECT_EQ(Int32At(stream, 112), size);      // next record
    EXPECT_EQ(Int32At(stream, size - 4), 108);  // start of this record
    // The page is the picture's data behind its length.
    const QPicture page = MakePage(1);
    EXPECT_EQ(Int32At(stream, 116), static_cast<qint32>(page.size()));
    EXPECT_EQ(size, 108 + 4 + 4 + 4 + page.size() + 4);
}

TEST(TkvlPageList, FinishWritesTheFinalCount) {
    const auto list = MakeStore(3);
    TkvlStream& stream = *list->Stream();
    EXPECT_EQ(Int32At(stream, 0), 1);  // written with the first page
    stream.Seek(0, TkvlStream::SeekOrigin::End);
    list->Finish();
    EXPECT_EQ(Int32At(stream, 0), 3);
    EXPECT_EQ(list->Count(), 3);
    ExpectPage(*list, 2);
}

TEST(TkvlPageList, ReadsPagesInAnyOrder) {
    // From the end of the stream (as composition leaves it) and from the first record (as
    // Finish leaves it): backward, from the start, forward, and back again.
    for (const bool finished : {false, true}) {
        SCOPED_TRACE(finished ? "after Finish" : "while recording");
        const auto list = MakeStore(5);
        if (finished) list->Finish();
        for (const int number : {3, 2, 1, 5, 4, 4, 1, 5, 2}) ExpectPage(*list, number);
        for (int number = 1; number <= 5; ++number) ExpectPage(*list, number);
    }
}

TEST(TkvlPageList, ReadingLeavesThePositionAtTheNextRecord) {
    const auto list = MakeStore(4);
    const std::vector<qint64> starts = RecordStarts(*list);
    ExpectPage(*list, 2);
    EXPECT_EQ(list->Stream()->Pos(), starts[2]);
    ExpectPage(*list, 4);
    EXPECT_EQ(list->Stream()->Pos(), list->Stream()->Size());
}

TEST(TkvlPageList, NumbersOutsideTheStoreGiveNothingAndKeepThePosition) {
    const auto list = MakeStore(3);
    ExpectPage(*list, 2);
    const qint64 pos = list->Stream()->Pos();
    for (const int number : {4, 100, 0, -1}) {
        EXPECT_EQ(list->GetPage(number), nullptr) << number;
        EXPECT_EQ(list->Stream()->Pos(), pos) << number;
    }
}

TEST(TkvlPageList, PagesMovedToTheTemporaryFileReadBackAndTheFileGoesWithTheList) {
    auto list = MakeStore(6, 1000);
    TkvlStream& stream = *list->Stream();
    ASSERT_FALSE(stream.InMemory());
    const QString fileName = stream.FileName();
    EXPECT_TRUE(QFileInfo(fileName).fileName().startsWith("kvl"));
    EXPECT_TRUE(QFileInfo::exists(fileName));
    list->Finish();
    for (const int number : {6, 1, 4, 3, 5, 2}) ExpectPage(*list, number);
    list.reset();
    EXPECT_FALSE(QFileInfo::exists(fileName));
}

TEST(TkvlPageList, FreeStreamRemovesTheFileAndEmptiesTheList) {
    const auto list = MakeStore(6, 1000);
    const QString fileName = list->Stream()->FileName();
    ASSERT_TRUE(QFileInfo::exists(fileName));
    list->FreeStream();
    EXPECT_FALSE(QFileInfo::exists(fileName));
    EXPECT_EQ(list->Stream(), nullptr);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->GetPage(1), nullptr);
    EXPECT_THROW(list->AddPage(MakePage(1)), KavelError);
}

TEST(TkvlPageList, NewStreamStartsAnEmptyStore) {
    const auto list = MakeStore(2);
    list->SetStream(std::make_unique<TkvlStream>(250000));
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->GetPage(1), nullptr);
    list->AddPage(MakePage(7));
    EXPECT_EQ(Int32At(*list->Stream(), 108), 1);
    const auto page = list->GetPage(1);
    ASSERT_TRUE(page);
    EXPECT_EQ(MiddleColor(*page), kPageColors[6]);
}

TEST(TkvlPageList, EmptyPictureRoundTrips) {
    auto list = MakeStore(1);
    list->AddPage(QPicture());
    list->AddPage(MakePage(3));
    const auto empty = list->GetPage(2);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isNull());
    ExpectPage(*list, 3);
    ExpectPage(*list, 1);
}

TEST(TkvlPageList, FailedAddLosesNoPage) {
    // A limit that the second page passes, while no temporary file can be made.
    const qint64 limit = MakeStore(1)->Stream()->Size();
    const auto list = MakeStore(1, limit);
    {
        test::TemporaryFolderOverride folder(test::kUnwritableFolder);
        EXPECT_THROW(list->AddPage(MakePage(2)), KavelError);
    }
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(list->Stream()->Size(), limit);
    ExpectPage(*list, 1);
    list->AddPage(MakePage(2));
    list->AddPage(MakePage(3));
    EXPECT_FALSE(list->Stream()->InMemory());
    for (const int number : {3, 1, 2}) ExpectPage(*list, number);
}

// ---- damaged streams ----

// Keeps the picture loader's complaints about damaged pages out of the test output.
class QuietWarnings {
  public:
    QuietWarnings() : previous_(qInstallMessageHandler(Drop)) {}
    ~QuietWarnings() { qInstallMessageHandler(previous_); }

  private:
    static void Drop(QtMsgType, const QMessageLogContext&, const QString&) {}
    QtMessageHandler previous_;
};

struct Damage {
    const char* name;
    // Damages a three-page store; `starts` are the record offsets.
    void (*apply)(TkvlStream& stream, const std::vector<qint64>& starts);
    bool finished;    // Finish called before reading (position at the first record)
    int damagedPage;  // GetPage of it raises
    int intactPage;   // GetPage of it still works afterwards (0: none)
};

const Damage kDamages[] = {
    {"page number out of range",
     [](TkvlStream& s, const std::vector<qint64>& r) { PutInt32(s, r[2], 99); }, true, 3, 2},
    {"page number out of order",
     [](TkvlStream& s, const std::vector<qint64>& r) { PutInt32(s, r[1], 3); }, true, 3, 1},
    {"negative page number",
     [](TkvlStream& s, const std::vector<qint64>& r) { PutInt32(s, r[0], -5); }, true, 1, 0},
    {"next offset beyond the stream",
     [](TkvlStream& s, const std::vector<qint64>& r) { PutInt32(s, r[1] + 4, 0x7FFFFFF0); }, true,
     3, 1},
    {"next offset before the record",
     [](TkvlStream& s, const std::vector<qint64>& r) { PutInt32(s, r[0] + 4, 4); }, true, 2, 0},
    {"record that does not link back",
     [](TkvlStream& s, const std::vector<qint64>& r) { PutInt32(s, r[2] - 4, 12345); }, true, 2, 1},
    {"backward link to the wrong record",
     [](TkvlStream& s, const std::vector<qint64>& r) { PutInt32(s, r[2] - 4, r[0]); }, false, 2, 3},
    {"picture length beyond its record",
     [](TkvlStream& s, const std::vector<qint64>& r) { PutInt32(s, r[1] + 8, -16); }, true, 2, 3},
    {"picture length short of its record",
     [](TkvlStream& s, const std::vector<qint64>& r) {
         PutInt32(s, r[1] + 8, Int32At(s, r[1] + 8) - 1);
     },
     true, 2, 3},
    {"picture data changed",
     [](TkvlStream& s, const std::vector<qint64>& r) {
         const qint64 at = (r[1] + r[2]) / 2;
         char byte = 0;
         s.Seek(at);
         s.Read(&byte, 1);
         byte = static_cast<char>(~byte);
         s.Seek(at);
         s.Write(&byte, 1);
     },
     true, 2, 3},
    {"truncated last record",
     [](TkvlStream& s, const std::vector<qint64>&) { s.Truncate(s.Size() - 10); }, true, 3, 2},
    {"truncated in the first record",
     [](TkvlStream& s, const std::vector<qint64>&) { s.Truncate(120); }, true, 1, 0},
    {"truncated to the header", [](TkvlStream& s, const std::vector<qint64>&) { s.Truncate(108); },
     false, 2, 0},
    {"truncated to nothing", [](TkvlStream& s, const std::vector<qint64>&) { s.Truncate(0); },
     false, 3, 0},
};

TEST(TkvlPageList, DamagedStreamsRaiseAndKeepThePosition) {
    const QuietWarnings quiet;
    for (const Damage& damage : kDamages) {
        SCOPED_TRACE(damage.name);
        const auto list = MakeStore(3);
        TkvlStream& stream = *list->Stream();
        const std::vector<qint64> starts = RecordStarts(*list);
        damage.apply(stream, starts);
        if (damage.finished) {
            stream.Seek(108);
        } else {
            stream.Seek(0, TkvlStream::SeekOrigin::End);
        }
        const qint64 pos = stream.Pos();
        try {
            list->GetPage(damage.damagedPage);
            ADD_FAILURE() << "no error for page " << damage.damagedPage;
        } catch (const KavelError& error) {
            EXPECT_TRUE(error.Text().startsWith("page store: ")) << error.Text().toStdString();
        }
        EXPECT_EQ(stream.Pos(), pos);
        if (damage.intactPage != 0) ExpectPage(*list, damage.intactPage);
    }
}

TEST(TkvlPageList, TruncatedStreamStillReadsItsWholePagesFromTheEnd) {
    // The last four bytes are no record start any more; the walk starts from the first page.
    const auto list = MakeStore(3);
    list->Stream()->Truncate(list->Stream()->Size() - 3);
    ExpectPage(*list, 2);
    EXPECT_THROW(list->GetPage(3), KavelError);
    ExpectPage(*list, 1);
}

TEST(TkvlPageList, NoChangedByteGivesAWrongPage) {
    // Every byte of the records changed in turn: each page reads exactly as stored or
    // raises; nothing else.
    const QuietWarnings quiet;
    const auto list = MakeStore(2);
    TkvlStream& stream = *list->Stream();
    const QPicture pages[] = {MakePage(1), MakePage(2)};
    const qint64 size = stream.Size();
    int errors = 0;
    for (qint64 at = 108; at < size; ++at) {
        char original = 0;
        stream.Seek(at);
        stream.Read(&original, 1);
        const char changed = static_cast<char>(original ^ 0x5A);
        stream.Seek(at);
        stream.Write(&changed, 1);
        for (const bool fromEnd : {true, false}) {
            stream.Seek(fromEnd ? size : 108);
            for (const int number : {2, 1}) {
                try {
                    const auto page = list->GetPage(number);
                    ASSERT_TRUE(page);
                    EXPECT_EQ(QByteArray(page->data(), page->size()),
                              QByteArray(pages[number - 1].data(), pages[number - 1].size()))
                        << "byte " << at << " page " << number;
                } catch (const KavelError&) {
                    ++errors;
                }
            }
        }
        stream.Seek(at);
        stream.Write(&original, 1);
    }
    EXPECT_GT(errors, size - 108);  // every byte of a record matters to at least one read
    ExpectPage(*list, 1);
    ExpectPage(*list, 2);
}

}  // namespace
}  // namespace kavel
