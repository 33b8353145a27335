#include "ZPrinters/ZErrors.h"

#include <vector>

namespace Zprinters {

const QString sNoSuchDevice = QStringLiteral("No such printer: '%s'.");
const QString sNoDevices = QStringLiteral(
    "No printers installed.\rPlease install a printer driver from your Windows control panel, or "
    "ask your system administrator.");
const QString sNoDefaultDevice = QStringLiteral("No default printer.");
const QString sInvalidDevice = QStringLiteral("Selected printer is not valid.");
const QString sNotPrinting = QStringLiteral("Printer is not currently printing.");
const QString sPrinting = QStringLiteral("Printer is already printing.");
const QString sInvalidOperation = QStringLiteral("Operation not supported by current printer.");
const QString sInvalidBin = QStringLiteral("Unknown or unsupported bin: '%s'.");
const QString sInvalidPaper = QStringLiteral("Unknown or unsupported paper format: '%s'.");
const QString sInvalidResolution = QStringLiteral("Unknown or unsupported resolution: '%s'.");
const QString sInvalidOrientation = QStringLiteral("Bad orientation: '%s'.");
const QString sInvalidCopies = QStringLiteral("Bad number of copies.");

const QString sDpi = QStringLiteral("%dx%d dpi");
const QString sDpiSq = QStringLiteral("%d dpi");
const QString sDevice = QStringLiteral("%s on %s");
const QString sPaper = QStringLiteral("%s, %dx%d mm");
const QString sPortrait = QStringLiteral("Portrait");
const QString sLandscape = QStringLiteral("Landscape");

namespace {

// One argument of a format: a text for %s, a number for %d.
struct Arg {
    bool isText;
    QString text;
    int number;
};

QString Format(const QString& pattern, const std::vector<Arg>& args) {
    QString out;
    size_t next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        QChar c = pattern[i];
        if (c != u'%' || i + 1 >= pattern.size()) {
            out += c;
            continue;
        }
        QChar k = pattern[i + 1];
        if (k == u'%') {
            out += u'%';
            ++i;
        } else if ((k == u's' || k == u'd') && next < args.size()) {
            const Arg& a = args[next++];
            out += a.isText ? a.text : QString::number(a.number);
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

QString FormatMsg(const QString& pattern, std::initializer_list<QString> texts) {
    std::vector<Arg> args;
    for (const auto& t : texts) args.push_back({true, t, 0});
    return Format(pattern, args);
}

QString FormatMsg(const QString& pattern, std::initializer_list<int> numbers) {
    std::vector<Arg> args;
    for (int n : numbers) args.push_back({false, QString(), n});
    return Format(pattern, args);
}

QString FormatMsg(const QString& pattern, const QString& text, int a, int b) {
    return Format(pattern, {{true, text, 0}, {false, QString(), a}, {false, QString(), b}});
}

}  // namespace Zprinters
