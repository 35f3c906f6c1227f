// Time of making the whole Simplified Chinese range font (24,162 glyphs) at a 24 x 24
// cell, beside a bare loop that only fills, draws and scans the same glyphs with QPainter
// (no file, no progress, no message processing), and the peak resident memory of the
// process while the first font is made.

#include "fonts/AsianLayout.h"
#include "fonts/CodePageConverter.h"
#include "fonts/GlyphSurface.h"
#include "fonts/MakeFont.h"
#include "link/ProgressWindow.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCell = 24;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long PeakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The glyph texts of the range, in file order, with the width of the cell each is drawn in.
struct BareGlyph {
    QString text;
    int width;
};

std::vector<BareGlyph> RangeGlyphs() {
    const AsianLayout& layout = *LayoutOf(AsianSimplifiedChinese);
    CodePageConverter converter(layout.windowsCodePage);
    std::vector<BareGlyph> glyphs;
    for (const uint8_t code : layout.SingleByteCodes())
        glyphs.push_back({converter.Character(code), kCell / 2});
    for (const uint8_t lead : layout.LeadByteCodes())
        for (const uint8_t trail : layout.TrailByteCodes()) {
            const uint8_t pair[2] = {lead, trail};
            glyphs.push_back({converter.Character(pair, 2), kCell});
        }
    return glyphs;
}

double BareLoop(const QFont& font, const std::vector<BareGlyph>& glyphs, unsigned& ink) {
    QImage image(GlyphSurface::kSize, GlyphSurface::kSize, QImage::Format_RGB32);
    image.setDotsPerMeterX(GlyphSurface::kDotsPerMeter);
    image.setDotsPerMeterY(GlyphSurface::kDotsPerMeter);
    image.fill(Qt::white);
    const auto start = Clock::now();
    QPainter painter(&image);
    painter.setFont(font);
    const int ascent = QFontMetrics(font, &image).ascent();
    ink = 0;
    for (const BareGlyph& glyph : glyphs) {
        painter.fillRect(0, 0, glyph.width, kCell, Qt::white);
        painter.drawText(0, ascent, glyph.text);
        for (int y = 0; y < kCell; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < glyph.width; ++x)
                ink += line[x] != 0xFFFFFFFFu;
        }
    }
    return Seconds(start);
}

double Make(GlyphSurface& surface, const QString& path, ProgressWindow& progress) {
    FontParameters parameters;
    parameters.encode = EncodeTwoByte;
    parameters.pitch = PitchFixed;
    parameters.asianEncoding = AsianSimplifiedChinese;
    parameters.cellWidth = kCell;
    parameters.cellHeight = kCell;
    parameters.outputPath = path;
    parameters.surface = &surface;
    FontMakerHooks hooks;
    hooks.progress = &progress;
    hooks.processEvents = [] { QCoreApplication::processEvents(); };
    const auto start = Clock::now();
    if (!MakeFont(parameters, hooks) || parameters.glyphCount != 24162) {
        std::fprintf(stderr, "MakeFont failed\n");
        return -1;
    }
    // The progress window's closing pause is the product's, not the maker's work.
    return Seconds(start) - std::chrono::duration<double>(progress.hidePause).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("GB24.BMF"));

    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(20);
    const long before = PeakResidentKb();
    auto surface = std::make_unique<GlyphSurface>();
    surface->SetFont(font);
    ProgressWindow progress;
    const double cold = Make(*surface, path, progress);
    const long peak = PeakResidentKb();
    if (cold < 0)
        return 1;

    const std::vector<BareGlyph> glyphs = RangeGlyphs();
    std::vector<double> made;
    std::vector<double> bare;
    unsigned ink = 0;
    for (int round = 0; round < 5; ++round) {
        bare.push_back(BareLoop(font, glyphs, ink));
        made.push_back(Make(*surface, path, progress));
    }
    std::printf("Font: %s, %d px, cell %d x %d, %zu glyphs (%u ink pixels)\n",
                qPrintable(QFontInfo(font).family()), font.pixelSize(), kCell, kCell, glyphs.size(),
                ink);
    std::printf("MakeFont, first run (cold caches):  %.3f s\n", cold);
    std::printf("MakeFont, median of 5:              %.3f s\n", Median(made));
    std::printf("bare QPainter loop, median of 5:    %.3f s\n", Median(bare));
    std::printf("ratio MakeFont / bare loop:         %.2f (goal: at most 1.30)\n",
                Median(made) / Median(bare));
    std::printf("peak resident memory: %.1f MB before, %.1f MB while making (goal: under 80 MB)\n",
                before / 1024.0, peak / 1024.0);
    return 0;
}
