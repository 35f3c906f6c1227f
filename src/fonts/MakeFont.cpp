#include "fonts/MakeFont.h"

#include "files/WholeFileWriter.h"
#include "fonts/AsianLayout.h"
#include "fonts/BitmapFontFile.h"
#include "fonts/CodePageConverter.h"
#include "fonts/GlyphRenderer.h"
#include "fonts/GlyphSurface.h"
#include "link/ProgressWindow.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace {

const char* const kMakingFontCaption = "Making font...";
constexpr int kProgressLeft = 100;
constexpr int kProgressTop = 100;

// One glyph to draw: its code bytes, its text in the font, the cell it is drawn in, and
// the bar position to show after it (-1: leave the bar).
struct GlyphJob {
    uint8_t first;
    uint8_t second;
    QString text;
    int32_t cellWidth;
    int progress;
};

struct FontPlan {
    bool indexed = false;
    bool variable = false;
    std::vector<GlyphJob> glyphs;
};

int GlyphProgress(size_t glyph, size_t count) {
    return static_cast<int>(glyph * 100 / count);
}

bool PlanSingleByte(const FontParameters& p, FontPlan& plan) {
    const bool byTable = p.byTable != 0;
    if (!(byTable || (p.firstCode >= 0 && p.lastCode < 256)) || p.lastCode < p.firstCode)
        return false;
    std::vector<uint8_t> codes;
    if (byTable) {
        if (p.tableEntries > kMaxGlyphCount || (p.tableEntries > 0 && !p.table))
            return false;
        codes.assign(p.table, p.table + p.tableEntries);
    } else {
        for (int32_t code = p.firstCode; code <= p.lastCode; ++code)
            codes.push_back(static_cast<uint8_t>(code));
    }
    plan.variable = p.pitch == PitchVariable;
    plan.indexed = plan.variable || byTable;
    CodePageConverter ansi(1252);
    plan.glyphs.reserve(codes.size());
    for (size_t i = 0; i < codes.size(); ++i)
        plan.glyphs.push_back(
            {codes[i], 0, ansi.Character(codes[i]), p.cellWidth, GlyphProgress(i, codes.size())});
    return ansi.IsValid();
}

bool PlanAsianRange(const FontParameters& p, FontPlan& plan) {
    const AsianLayout* layout = LayoutOf(p.asianEncoding);
    if (p.pitch == PitchVariable || !layout)
        return false;
    CodePageConverter converter(layout->windowsCodePage);
    const std::vector<uint8_t> singles = layout->SingleByteCodes();
    const std::vector<uint8_t> leads = layout->LeadByteCodes();
    const std::vector<uint8_t> trails = layout->TrailByteCodes();
    plan.glyphs.reserve(static_cast<size_t>(layout->GlyphCount()));
    for (const uint8_t code : singles)
        plan.glyphs.push_back({code, 0, converter.Character(code), p.cellWidth / 2, -1});
    for (const uint8_t lead : leads) {
        for (const uint8_t trail : trails) {
            const uint8_t pair[2] = {lead, trail};
            plan.glyphs.push_back({lead, trail, converter.Character(pair, 2), p.cellWidth, -1});
        }
        plan.glyphs.back().progress = (lead - leads.front()) * 100 / layout->progressDivisor;
    }
    return converter.IsValid();
}

bool PlanAsianTable(const FontParameters& p, FontPlan& plan) {
    const AsianLayout* layout = LayoutOf(p.asianEncoding);
    if (!layout || p.tableEntries > kMaxGlyphCount || (p.tableEntries > 0 && !p.table))
        return false;
    CodePageConverter converter(layout->windowsCodePage);
    plan.variable = p.pitch == PitchVariable;
    plan.indexed = true;
    plan.glyphs.reserve(p.tableEntries);
    for (uint32_t i = 0; i < p.tableEntries; ++i) {
        const uint8_t* pair = p.table + 2 * i;
        plan.glyphs.push_back({pair[0], pair[1], converter.Character(pair, 2), p.cellWidth,
                               GlyphProgress(i, p.tableEntries)});
    }
    return converter.IsValid();
}

bool CellFits(int64_t width, int64_t height) {
    return width >= 0 && height >= 0 && width <= GlyphSurface::kSize &&
           height <= GlyphSurface::kSize &&
           PackedBitmapSize(static_cast<int32_t>(width), static_cast<int32_t>(height)) <=
               kGlyphBitmapCapacity;
}

// Every glyph must fit the surface and the bitmap buffer, and every record must be
// reachable through a 32-bit offset; checked before anything is drawn.
bool PlanFits(const FontParameters& p, FontPlan& plan, GlyphRenderer& renderer) {
    if (plan.glyphs.size() > static_cast<size_t>(kMaxGlyphCount))
        return false;
    uint64_t end = kBitmapFontHeaderSize;
    if (plan.indexed)
        end += uint64_t{kBitmapIndexEntrySize} * plan.glyphs.size();
    for (const GlyphJob& glyph : plan.glyphs) {
        int64_t width = glyph.cellWidth;
        if (plan.variable)
            width = glyph.text.isEmpty() ? 0 : renderer.Advance(glyph.text);
        if (!CellFits(width, p.cellHeight))
            return false;
        end +=
            PackedBitmapSize(static_cast<int32_t>(width), p.cellHeight) + (plan.variable ? 2 : 0);
    }
    return end <= std::numeric_limits<uint32_t>::max();
}

bool WriteFont(FontParameters& p, const FontPlan& plan, GlyphRenderer& renderer,
               const FontMakerHooks& hooks) {
    const auto count = static_cast<int32_t>(plan.glyphs.size());
    p.glyphCount = count;
    WholeFileWriter out(p.outputPath);
    if (!out.Ok())
        return false;
    const BitmapFontHeader header = MakeBitmapFontHeader(p, plan.indexed, count);
    out.Write(&header, sizeof header);
    std::vector<BitmapIndexEntry> index;
    if (plan.indexed) {
        index.resize(plan.glyphs.size(), MakeIndexEntry(0, 0, 0));
        out.Write(index.data(), static_cast<qint64>(index.size() * sizeof(BitmapIndexEntry)));
    }
    std::vector<uint8_t> bitmap(kGlyphBitmapCapacity);
    uint32_t offset = kBitmapFontHeaderSize + (plan.indexed ? kBitmapIndexEntrySize * count : 0);
    for (size_t i = 0; i < plan.glyphs.size() && out.Ok(); ++i) {
        const GlyphJob& glyph = plan.glyphs[i];
        const RenderedGlyph rendered =
            renderer.Render(p.pitch, glyph.cellWidth, p.cellHeight, glyph.text, bitmap.data());
        if (plan.indexed)
            index[i] = MakeIndexEntry(glyph.first, glyph.second, offset);
        if (plan.variable) {
            uint8_t width[2];
            PutField16(width, rendered.width);
            out.Write(width, sizeof width);
            offset += sizeof width;
        }
        out.Write(bitmap.data(), rendered.size);
        offset += rendered.size;
        if (glyph.progress >= 0) {
            if (hooks.progress)
                hooks.progress->SetBarPosition(glyph.progress);
            if (hooks.processEvents)
                hooks.processEvents();
        }
    }
    if (plan.indexed) {
        out.Seek(kBitmapFontHeaderSize);
        out.Write(index.data(), static_cast<qint64>(index.size() * sizeof(BitmapIndexEntry)));
    }
    return out.Commit();
}

bool RunMaker(FontParameters& p, const FontMakerHooks& hooks) {
    if (!p.surface || !CellFits(p.cellWidth, p.cellHeight))
        return false;
    FontPlan plan;
    bool planned = false;
    if (p.encode == EncodeSingleByte)
        planned = PlanSingleByte(p, plan);
    else if (p.encode == EncodeTwoByte && !p.byTable)
        planned = PlanAsianRange(p, plan);
    else if (p.encode == EncodeTwoByte)
        planned = PlanAsianTable(p, plan);
    if (!planned)
        return false;
    GlyphRenderer renderer(*p.surface);
    if (!PlanFits(p, plan, renderer))
        return false;
    return WriteFont(p, plan, renderer, hooks);
}

} // namespace

bool MakeFont(FontParameters& parameters, const FontMakerHooks& hooks) {
    if (parameters.surface)
        parameters.surface->Clear();
    if (hooks.progress)
        hooks.progress->ShowWithCaption(kProgressLeft, kProgressTop,
                                        QString::fromLatin1(kMakingFontCaption));
    const bool made = RunMaker(parameters, hooks);
    if (hooks.progress)
        hooks.progress->HideProgress();
    return made;
}
