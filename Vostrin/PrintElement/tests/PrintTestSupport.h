// Shared helpers of the renderer tests: printable trees from XML text, a scripted printing
// system whose pages come back as images, and pixel searches on those images.
#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRect>
#include <QTemporaryDir>
#include <algorithm>
#include <climits>
#include <fstream>
#include <memory>
#include <string>

#include "TXml.h"
#include "ZPrinters/ZPrintDevices.h"
#include "ZPrinters/ZScriptedPrintSystem.h"
#include "ZPrinters/ZStdPapers.h"
#include "ZPrinters/tests/ScriptedPrintingTestSupport.h"
#include "text/Gbk.h"

namespace printtest {

// A tree parsed from XML text (bytes as given; write Chinese text with Gbk()).
inline std::unique_ptr<TXml> LoadTree(const std::string& xml) {
    static QTemporaryDir dir;
    static int n = 0;
    const std::string path = dir.filePath(QString("tree-%1.xml").arg(++n)).toStdString();
    std::ofstream(path, std::ios::binary) << xml;
    auto tree = std::make_unique<TXml>();
    if (!tree->LoadXmlFile(path)) return nullptr;
    return tree;
}

// UTF-8 text of the test source as the GBK bytes the layout files carry.
inline std::string Gbk(const char* utf8) {
    return tw::text::ToGbk(QString::fromUtf8(utf8));
}

// A page of the printable format with the given settings and elements.
inline std::string Page(const std::string& settings, const std::string& elements) {
    return "<page><pagesetting>" + settings + "</pagesetting><reporttable>" + elements +
           "</reporttable></page>";
}

// The bounding box of the pixels inside area for which hit(pixel) holds (empty when none do).
template <class Hit>
inline QRect BoundsWhere(const QImage& image, const QRect& area, Hit hit) {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!hit(line[x])) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Pixels of exactly this colour: their bounding box (empty when there are none).
inline QRect BoundsOf(const QImage& image, const QColor& color) {
    const QRgb want = color.rgb();
    return BoundsWhere(image, image.rect(), [want](QRgb p) { return (p | 0xFF000000u) == want; });
}

// Pixels darker than mid-grey: their bounding box (glyphs drawn in black).
inline QRect InkBounds(const QImage& image, const QRect& within = QRect()) {
    const QRect area = within.isNull() ? image.rect() : within.intersected(image.rect());
    return BoundsWhere(image, area, [](QRgb p) { return qGray(p) < 128; });
}

// A scripted printing system with one default printer "Scripted" at the given resolution,
// offering A4, A3 and a small 100 x 60 mm paper "Card" (code 300), and two bins.
class ScriptedRenderer : public ScriptedPrinting {
  protected:
    static constexpr int kCardCode = 300;

    void SetUp() override {
        ScriptedPrinting::SetUp();
        UsePrinter(254);
    }

    // Replaces the printer by one at dpi with the card paper selected.
    Zprinters::TZScriptedPrinter& UsePrinter(int dpi) {
        sys->printers.clear();
        auto p = Zprinters::TZScriptedPrintSystem::MakePrinter("Scripted", {"A4", "A3"});
        p.papers.push_back({"Card", kCardCode, 1000, 600});
        p.bins = {{"  Upper tray  ", 1}, {"Manual feed", 4}};
        p.defaults.dmPaperSize = kCardCode;
        p.defaults.dmPaperWidth = 1000;
        p.defaults.dmPaperLength = 600;
        p.defaults.dmPrintQuality = static_cast<int16_t>(dpi);
        p.defaults.dmYResolution = static_cast<int16_t>(dpi);
        p.defaults.dmFields |= Zprinters::DM_DUPLEX;
        sys->printers.push_back(p);
        sys->defaultPrinter = "Scripted";
        Zprinters::FreePrintDevices();
        return sys->printers.back();
    }

    // The pages of the last document; empty when none was printed.
    const std::vector<Zprinters::TZScriptedPage>& Pages() const {
        static const std::vector<Zprinters::TZScriptedPage> none;
        const Zprinters::TZScriptedDoc* doc = sys->LastDoc();
        return doc != nullptr ? doc->pages : none;
    }
};

}  // namespace printtest
