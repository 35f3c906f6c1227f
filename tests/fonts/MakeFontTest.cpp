#include "fonts/MakeFont.h"
#include "../link/RecordingProgress.h"
#include "fonts/AsianLayout.h"
#include "fonts/BitmapFontFile.h"
#include "fonts/CodePageConverter.h"
#include "fonts/GlyphRenderer.h"
#include "fonts/GlyphSurface.h"
#include "FontTestFont.h"
#include "link/ProgressWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <memory>

namespace {

class MakeFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PinnedTestFontAvailable())
            GTEST_SKIP() << "fonts-dejavu-core is not installed";
        ASSERT_TRUE(directory.isValid());
        surface = std::make_unique<GlyphSurface>();
        surface->SetFont(PinnedTestFont(16));
    }

    FontParameters Range(int first, int last, uint8_t pitch, int width, int height) {
        FontParameters p;
        p.encode = EncodeSingleByte;
        p.pitch = pitch;
        p.firstCode = first;
        p.lastCode = last;
        p.cellWidth = width;
        p.cellHeight = height;
        p.outputPath = Path("FONT.BMF");
        p.surface = surface.get();
        return p;
    }

    FontParameters Table(const QByteArray& codes, uint8_t encode, uint8_t pitch, int width,
                         int height) {
        FontParameters p = Range(0, 0, pitch, width, height);
        p.encode = encode;
        p.byTable = 1;
        table = codes;
        p.table = reinterpret_cast<const uint8_t*>(table.constData());
        p.tableEntries =
            static_cast<uint32_t>(encode == EncodeTwoByte ? codes.size() / 2 : codes.size());
        return p;
    }

    FontParameters AsianRange(uint8_t encoding, int cell) {
        FontParameters p = Range(0, 0, PitchFixed, cell, cell);
        p.encode = EncodeTwoByte;
        p.asianEncoding = encoding;
        return p;
    }

    QString Path(const QString& name) const { return directory.filePath(name); }

    QByteArray Made(FontParameters& p) {
        EXPECT_TRUE(MakeFont(p));
        return ReadWholeFile(p.outputPath);
    }

    QByteArray Glyph(const QString& text, bool fixed, int width, int height,
                     int* glyphWidth = nullptr, bool* grey = nullptr) const {
        return ExpectedGlyphBits(surface->Font(), text, fixed, width, height, glyphWidth, grey);
    }

    QTemporaryDir directory;
    std::unique_ptr<GlyphSurface> surface;
    QByteArray table;
};

uint32_t Offset(const QByteArray& file, int entry) {
    const auto* at = reinterpret_cast<const uint8_t*>(file.constData()) + 32 + 6 * entry + 2;
    return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

TEST(PackInkRowsTest, AnythingButPureWhiteIsInkAndRowsArePadded) {
    QImage image(17, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(255, 255, 254));
    image.setPixel(7, 0, qRgb(254, 255, 255));
    image.setPixel(8, 0, qRgb(0, 0, 0));
    image.setPixel(16, 0, qRgb(128, 128, 128));
    image.setPixel(9, 1, qRgb(255, 254, 255));
    uint8_t out[8];
    std::memset(out, 0xAA, sizeof out);
    ASSERT_EQ(PackInkRows(image, 17, 2, out), 6u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(out), 6).toHex(), "818080004000");
    EXPECT_EQ(out[6], 0xAA) << "nothing written past the rows";
    ASSERT_EQ(PackInkRows(image, 10, 1, out), 2u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(out), 2).toHex(), "8180");
}

TEST_F(MakeFontTest, FixedPitchRangeIsHeaderAndPlainRecords) {
    FontParameters p = Range(32, 127, PitchFixed, 16, 24);
    const QByteArray file = Made(p);

    QByteArray expected = Hex("42000000001800100020007F00"
                              "00"
                              "00"
                              "6000") +
                          QByteArray(15, '\0');
    bool anyGrey = false;
    for (int code = 32; code <= 127; ++code) {
        bool grey = false;
        expected += Glyph(QString(QChar(code)), true, 16, 24, nullptr, &grey);
        anyGrey = anyGrey || grey;
    }
    ASSERT_EQ(file.size(), 4640);
    EXPECT_EQ(file.left(32).toHex(), expected.left(32).toHex());
    EXPECT_EQ(file, expected);
    EXPECT_EQ(p.glyphCount, 96);
    // The golden holds anti-aliased grey pixels, so they were counted as ink.
    EXPECT_TRUE(anyGrey);
    // 'I' has ink, the blank has none.
    EXPECT_NE(file.mid(32 + 48 * ('I' - 32), 48), QByteArray(48, '\0'));
    EXPECT_EQ(file.mid(32, 48), QByteArray(48, '\0'));
}

TEST_F(MakeFontTest, VariablePitchRangeIsIndexedWithWidthFields) {
    FontParameters p = Range(32, 127, PitchVariable, 16, 24);
    const QByteArray file = Made(p);

    QByteArray expected = Hex("42010001001800100020007F00"
                              "00"
                              "00"
                              "6000") +
                          QByteArray(15, '\0');
    QByteArray index;
    QByteArray records;
    uint32_t offset = 32 + 6 * 96;
    for (int code = 32; code <= 127; ++code) {
        int width = 0;
        const QByteArray bits = Glyph(QString(QChar(code)), false, 16, 24, &width);
        index += static_cast<char>(code);
        index += '\0';
        for (int i = 0; i < 4; ++i)
            index += static_cast<char>(offset >> (8 * i));
        records += static_cast<char>(width & 0xFF);
        records += static_cast<char>(width / 256);
        records += bits;
        offset += 2 + bits.size();
    }
    expected += index + records;
    EXPECT_EQ(Offset(file, 0), 608u);
    EXPECT_EQ(file.left(32).toHex(), expected.left(32).toHex());
    EXPECT_EQ(file, expected);
}

TEST_F(MakeFontTest, NarrowCellPadsRowsCentresNarrowGlyphsAndClipsWideOnes) {
    const QFontMetrics metrics(surface->Font(), &surface->Image());
    ASSERT_GT(metrics.horizontalAdvance(QStringLiteral("W")), 10);
    ASSERT_LT(metrics.horizontalAdvance(QStringLiteral("i")), 10);
    FontParameters p = Table("Wi", EncodeSingleByte, PitchFixed, 10, 24);
    const QByteArray file = Made(p);

    const QByteArray wide = Glyph(QStringLiteral("W"), true, 10, 24);
    const QByteArray narrow = Glyph(QStringLiteral("i"), true, 10, 24);
    ASSERT_EQ(file.size(), 32 + 12 + 2 * 48);
    EXPECT_EQ(file.mid(44, 48), wide);
    EXPECT_EQ(file.mid(92, 48), narrow);
    for (int row = 0; row < 48; ++row)
        EXPECT_EQ(file.at(44 + 2 * row + 1) & 0x3F, 0) << "row " << row;
    EXPECT_NE(wide, QByteArray(48, '\0'));
    // A table font is indexed and carries no range and no encoding letter.
    EXPECT_EQ(file.mid(0, 17).toHex(), Hex("42000001001800"
                                           "0a00"
                                           "00000000"
                                           "00"
                                           "00"
                                           "0200")
                                           .toHex());
}

TEST_F(MakeFontTest, DuplicateTableCodesGiveTwoGlyphs) {
    FontParameters p = Table("AAB", EncodeSingleByte, PitchVariable, 16, 24);
    const QByteArray file = Made(p);
    ASSERT_EQ(p.glyphCount, 3);
    EXPECT_EQ(file.at(32), 'A');
    EXPECT_EQ(file.at(38), 'A');
    EXPECT_EQ(file.at(44), 'B');
    const uint32_t first = Offset(file, 0);
    const uint32_t second = Offset(file, 1);
    EXPECT_EQ(first, 50u);
    EXPECT_GT(second, first);
    EXPECT_EQ(file.mid(first, second - first), file.mid(second, Offset(file, 2) - second));
}

TEST_F(MakeFontTest, RefusedParametersLeaveNoFileAndKeepAnOldOne) {
    const QString old = Path("OLD.BMF");
    {
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("previous font");
    }
    struct Case {
        const char* what;
        FontParameters p;
    };
    FontParameters reversed = Range(200, 100, PitchFixed, 16, 24);
    FontParameters negative = Range(-1, 10, PitchFixed, 16, 24);
    FontParameters beyond = Range(32, 256, PitchFixed, 16, 24);
    FontParameters wideCell = Range(32, 33, PitchFixed, 2049, 8);
    FontParameters bigBitmap = Range(32, 33, PitchFixed, 2048, 257);
    FontParameters variableAsian = AsianRange(AsianKorean, 16);
    variableAsian.pitch = PitchVariable;
    FontParameters unknownEncode = Range(32, 33, PitchFixed, 16, 24);
    unknownEncode.encode = 2;
    FontParameters unknownAsian = AsianRange(4, 16);
    for (Case c : {Case{"last below first", reversed}, Case{"first below 0", negative},
                   Case{"last above 255", beyond}, Case{"cell wider than the surface", wideCell},
                   Case{"bitmap above 65,536 bytes", bigBitmap},
                   Case{"variable-pitch Asian range", variableAsian},
                   Case{"encode 2", unknownEncode}, Case{"encoding 4", unknownAsian}}) {
        c.p.outputPath = old;
        EXPECT_FALSE(MakeFont(c.p)) << c.what;
        EXPECT_EQ(ReadWholeFile(old), QByteArray("previous font")) << c.what;
    }
    EXPECT_EQ(QDir(directory.path()).entryList(QDir::Files), QStringList{"OLD.BMF"});

    // A glyph whose own advance is wider than the surface is refused before drawing.
    surface->SetFont(PinnedTestFont(3000));
    FontParameters huge = Range('W', 'W', PitchVariable, 10, 10);
    EXPECT_FALSE(MakeFont(huge));
    huge.pitch = PitchFixed;
    EXPECT_TRUE(MakeFont(huge)) << "a fixed cell clips the same glyph";
}

TEST_F(MakeFontTest, UnwritableLocationsFailCleanly) {
    FontParameters p = Range(32, 127, PitchFixed, 16, 24);
    p.outputPath = Path("missing/FONT.BMF");
    EXPECT_FALSE(MakeFont(p));
    p.outputPath = directory.path();
    EXPECT_FALSE(MakeFont(p));
    EXPECT_TRUE(QFileInfo(directory.path()).isDir());
}

TEST_F(MakeFontTest, WriteErrorFailsAndKeepsTheOldFile) {
    const QString path = Path("FULL.BMF");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("previous font");
    }
    // A file-size limit makes the disk "full" after 64 KiB for this process.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    if (saved.rlim_max != RLIM_INFINITY && saved.rlim_max < 65536)
        GTEST_SKIP() << "the file-size limit cannot be set here";
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 65536;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    FontParameters p = AsianRange(AsianKorean, 16);
    p.outputPath = path;
    const bool made = MakeFont(p);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(made);
    EXPECT_EQ(ReadWholeFile(path), QByteArray("previous font"));
    EXPECT_EQ(QDir(directory.path()).entryList(QDir::Files), QStringList{"FULL.BMF"});
}

TEST_F(MakeFontTest, ARefusedEndOfTheFileKeepsTheOldFile) {
    // A small font stays in the file's write buffer until the end: a disk that refuses its
    // last bytes fails the make and leaves the earlier file, not a cut-short one, in place.
    FontParameters p = Range(32, 127, PitchFixed, 16, 24);
    ASSERT_TRUE(MakeFont(p));
    const qint64 whole = QFileInfo(p.outputPath).size();
    ASSERT_GT(whole, 1);
    const QString path = Path("END.BMF");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("previous font");
    }
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    if (saved.rlim_max != RLIM_INFINITY && saved.rlim_max < rlim_t(whole))
        GTEST_SKIP() << "the file-size limit cannot be set here";
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = rlim_t(whole - 1);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    p.outputPath = path;
    const bool made = MakeFont(p);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(made);
    EXPECT_EQ(ReadWholeFile(path), QByteArray("previous font"));
    EXPECT_EQ(QDir(directory.path()).entryList(QDir::Files), (QStringList{"END.BMF", "FONT.BMF"}));
}

TEST_F(MakeFontTest, AsianRangesHaveTheirCountsLettersAndCharacters) {
    struct Case {
        uint8_t encoding;
        int count;
        char letter;
        QByteArray known;     // a defined character: its glyph must match its rendering
        QByteArray undefined; // a pair the code page leaves out: a blank record
    };
    const Case cases[] = {
        {AsianTraditionalChinese, 14854, 'T', Hex("a4a4"), Hex("fefe")},
        {AsianSimplifiedChinese, 24162, 'G', Hex("d6d0"), Hex("817f")},
        {AsianKorean, 9026, 'K', Hex("c7d1"), Hex("c9a0")},
        {AsianJapanese, 11500, 'J', Hex("93fa"), Hex("817f")},
    };
    constexpr int kCell = 16;
    for (const Case& c : cases) {
        FontParameters p = AsianRange(c.encoding, kCell);
        p.italicWidth = 0;
        const QByteArray file = Made(p);
        const AsianLayout& layout = *LayoutOf(c.encoding);
        const int singles = static_cast<int>(layout.SingleByteCodes().size());
        ASSERT_EQ(file.size(), 32 + singles * 16 + (c.count - singles) * 32) << c.letter;
        EXPECT_EQ(p.glyphCount, c.count);
        EXPECT_EQ(file.at(13), c.letter);
        EXPECT_EQ(static_cast<uint8_t>(file.at(15)) | (static_cast<uint8_t>(file.at(16)) << 8),
                  c.count);
        EXPECT_EQ(file.at(3), 0) << "no index";

        const std::vector<uint8_t> trails = layout.TrailByteCodes();
        const std::vector<uint8_t> leads = layout.LeadByteCodes();
        auto recordOf = [&](const QByteArray& pair) {
            const auto lead = std::find(leads.begin(), leads.end(), static_cast<uint8_t>(pair[0]));
            const auto trail =
                std::find(trails.begin(), trails.end(), static_cast<uint8_t>(pair[1]));
            const int glyph =
                singles + static_cast<int>(lead - leads.begin()) * static_cast<int>(trails.size()) +
                static_cast<int>(trail - trails.begin());
            return file.mid(32 + singles * 16 + (glyph - singles) * 32, 32);
        };
        CodePageConverter converter(layout.windowsCodePage);
        const QString known =
            converter.Character(reinterpret_cast<const uint8_t*>(c.known.constData()), 2);
        ASSERT_EQ(known.size(), 1) << c.letter;
        EXPECT_EQ(recordOf(c.known), Glyph(known, true, kCell, kCell)) << c.letter;
        EXPECT_NE(recordOf(c.known), QByteArray(32, '\0')) << c.letter;
        EXPECT_EQ(recordOf(c.undefined), QByteArray(32, '\0')) << c.letter;
        // The first single-byte glyph after the blank is "!" at half the cell.
        EXPECT_EQ(file.mid(32 + 16, 16), Glyph(QStringLiteral("!"), true, kCell / 2, kCell));
    }
}

TEST_F(MakeFontTest, JapaneseHalfWidthGlyphsFollowTheAscii) {
    FontParameters p = AsianRange(AsianJapanese, 16);
    const QByteArray file = Made(p);
    auto half = [&](int glyph) { return file.mid(32 + glyph * 16, 16); };
    // Glyph 96 is 0xA0, 97 the half-width full stop 0xA1, 113 the katakana A 0xB1.
    EXPECT_EQ(half(97), Glyph(QString(QChar(0xFF61)), true, 8, 16));
    EXPECT_EQ(half(113), Glyph(QString(QChar(0xFF71)), true, 8, 16));
    EXPECT_NE(half(113), QByteArray(16, '\0'));
    EXPECT_EQ(half(33), Glyph(QStringLiteral("A"), true, 8, 16));
}

TEST_F(MakeFontTest, AsianTableIsIndexedByBytePairs) {
    FontParameters p = Table(Hex("a4a4a4e5a4a4"), EncodeTwoByte, PitchVariable, 16, 16);
    p.asianEncoding = AsianTraditionalChinese;
    const QByteArray file = Made(p);
    ASSERT_EQ(p.glyphCount, 3);
    EXPECT_EQ(file.at(2), 1);
    EXPECT_EQ(file.at(3), 1);
    EXPECT_EQ(file.at(13), 0) << "table fonts carry no encoding letter";
    EXPECT_EQ(file.mid(32, 2), Hex("a4a4"));
    EXPECT_EQ(file.mid(38, 2), Hex("a4e5"));
    int width = 0;
    const QByteArray middle = Glyph(QString::fromUtf8("中"), false, 16, 16, &width);
    const uint32_t first = Offset(file, 0);
    EXPECT_EQ(first, 50u);
    EXPECT_EQ(static_cast<uint8_t>(file.at(first)), width);
    EXPECT_EQ(file.mid(first + 2, middle.size()), middle);
    EXPECT_EQ(Offset(file, 1), first + 2 + middle.size());
}

TEST_F(MakeFontTest, ProgressWindowShowsMakingFontAndItsPercentages) {
    RecordingViewFactory views;
    ProgressWindow progress(&views);
    progress.hidePause = std::chrono::milliseconds(0);
    progress.SetProgressPosition(400, 300);
    int processed = 0;
    const FontMakerHooks hooks{&progress, [&] { ++processed; }};

    FontParameters range = Range(32, 127, PitchFixed, 16, 24);
    ASSERT_TRUE(MakeFont(range, hooks));
    EXPECT_EQ(views.lastCaption, QStringLiteral("Making font..."));
    EXPECT_EQ(views.lastLeft, 100);
    EXPECT_EQ(views.lastTop, 100);
    EXPECT_EQ(processed, 96);
    ASSERT_EQ(views.positions.size(), 96u + 1);
    EXPECT_EQ(views.positions[0], 0);
    EXPECT_EQ(views.positions[48], 50);
    EXPECT_EQ(views.positions[95], 98);
    EXPECT_EQ(views.positions.back(), 100) << "closing sets the bar to its maximum";
    EXPECT_FALSE(progress.IsShown());

    views.positions.clear();
    processed = 0;
    FontParameters korean = AsianRange(AsianKorean, 8);
    ASSERT_TRUE(MakeFont(korean, hooks));
    EXPECT_EQ(processed, 94) << "once per lead byte";
    ASSERT_EQ(views.positions.size(), 94u + 1);
    EXPECT_EQ(views.positions[1], 1);
    EXPECT_EQ(views.positions[93], 100);

    FontParameters refused = Range(200, 100, PitchFixed, 16, 24);
    EXPECT_FALSE(MakeFont(refused, hooks));
    EXPECT_FALSE(progress.IsShown()) << "closed on failure too";
}

} // namespace
