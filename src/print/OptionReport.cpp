// The two pages of the option report: every setting of the option and
// signalling pages in framed boxes, with the texts the pages show.
#include <QString>
#include <QStringList>
#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "model/SettingsRegistry.h"
#include "model/Signalling.h"
#include "model/SignallingLists.h"
#include "model/Tables.h"
#include "model/ToneLists.h"
#include "model/Windows1252.h"
#include "print/ReportPages.h"

namespace ks340 {

namespace {

namespace sl = signalling;

constexpr double kItemPoints = 8.0;
constexpr double kBoxGap = 0.12;
constexpr double kSectionGap = 0.1;

QString text(std::string_view bytes) { return QString::fromStdString(cp1252ToUtf8(bytes)); }
QString view(std::string_view ascii) { return QString::fromUtf8(ascii.data(), int(ascii.size())); }

struct Item {
    Item(QString l, QString v, QStringList m = {}) : label(std::move(l)), value(std::move(v)), more(std::move(m)) {}
    QString label;
    QString value;
    QStringList more;  // further values, under the second and later column heads
};

// A framed box of label/value lines, in one or two columns.
struct Box {
    Box() = default;
    Box(QString t, std::vector<Item> i = {}, int c = 1) : title(std::move(t)), items(std::move(i)), columns(c) {}
    QString title;
    std::vector<Item> items;
    int columns = 1;
    QStringList heads;       // optional column heads above the values
    std::vector<Item> lead;  // lines across the box before the items

    int lines() const {
        const int rows = (int(items.size()) + columns - 1) / columns;
        return int(lead.size()) + rows + (heads.isEmpty() ? 0 : 1);
    }
};

class OptionPageWriter {
public:
    explicit OptionPageWriter(PageLayout& layout) : layout_(layout), width_(layout.pageWidth()) {}

    double y = 0.0;

    void title(const QString& caption) {
        y = layout_.printText(0.0, y, caption, 15.0, 0, true);
        layout_.drawRule(0.0, width_, y + 0.02, 1.0);
        y += 0.12;
    }

    // Boxes side by side; widths are shares of the page width.
    void row(const std::vector<Box>& boxes, const std::vector<double>& shares) {
        const double line = layout_.lineHeight(kItemPoints) * 1.05;
        int lines = 0;
        for (const Box& b : boxes) lines = std::max(lines, b.lines());
        const double height = 0.22 + lines * line + 0.08;
        double x = 0.0;
        const double usable = width_ - kBoxGap * double(boxes.size() - 1);
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const double w = usable * shares[i];
            drawBox(boxes[i], x, y, w, height, line);
            x += w + kBoxGap;
        }
        y += height + kSectionGap + 0.06;
    }

private:
    void drawBox(const Box& b, double x, double top, double w, double h, double line) {
        double cy = layout_.openBox(QRectF(x, top, w, h), b.title);
        const double colWidth = w / b.columns;
        const double labelX = 0.1;
        // Values start after the box's longest label.
        double longest = 0.0;
        for (const Item& item : b.items) longest = std::max(longest, layout_.textWidth(item.label, kItemPoints));
        for (const Item& item : b.lead) longest = std::max(longest, layout_.textWidth(item.label, kItemPoints, true));
        const double valueX = std::min(labelX + longest + 0.15, colWidth * 0.6);
        for (const Item& item : b.lead) {
            layout_.printText(x + labelX, cy, item.label, kItemPoints, 0, true);
            layout_.printText(x + valueX, cy, item.value, kItemPoints);
            cy += line;
        }
        const int valueColumns = std::max<int>(1, b.heads.size());
        const double step = (colWidth - valueX) / valueColumns;
        if (!b.heads.isEmpty()) {
            for (int k = 0; k < b.heads.size(); ++k)
                layout_.printText(x + valueX + k * step, cy, b.heads[k], kItemPoints, 0, true);
            cy += line;
        }
        const int rows = (int(b.items.size()) + b.columns - 1) / b.columns;
        for (int i = 0; i < int(b.items.size()); ++i) {
            const int col = i / rows;
            const int r = i % rows;
            const double ix = x + col * colWidth;
            const double iy = cy + r * line;
            const Item& item = b.items[i];
            layout_.printText(ix + labelX, iy, item.label, kItemPoints);
            layout_.printText(ix + valueX, iy, item.value, kItemPoints);
            for (int k = 0; k < item.more.size(); ++k)
                layout_.printText(ix + valueX + (k + 1) * step, iy, item.more[k], kItemPoints);
        }
    }

    PageLayout& layout_;
    double width_;
};

// Labels, values and units come from the settings table, as the report prints them.
QString label(const std::string& key) { return QString::fromStdString(settingReportLabel(key)); }
QString value(const RadioSettings& s, const std::string& key) {
    return QString::fromStdString(settingReportText(s, key));
}
Item item(const RadioSettings& s, const std::string& key) { return {label(key), value(s, key)}; }
std::vector<Item> items(const RadioSettings& s, std::initializer_list<std::string> keys) {
    std::vector<Item> out;
    for (const std::string& key : keys) out.push_back(item(s, key));
    return out;
}
QString hertz(const QString& v) { return v.isEmpty() ? v : v + QStringLiteral("  Hz"); }

Box keyBox(const RadioSettings& s) {
    Box b;
    b.title = QStringLiteral("KEY");
    b.heads = {QStringLiteral("Short Key"), QStringLiteral("Long Key")};
    for (int k = 1; k <= 3; ++k) {
        const std::string key = "option.programmableKey" + std::to_string(k);
        b.items.push_back({label(key + "Short"), value(s, key + "Short"), {value(s, key + "Long")}});
    }
    return b;
}

void drawOptionSection(OptionPageWriter& w, const RadioSettings& s) {
    w.title(QStringLiteral("Option"));
    Box ptt{QStringLiteral("PTT Timer"),
            items(s, {"option.pttTimer", "option.txTimer", "option.txInhibit", "option.txInhibitAlert"})};
    Box lock{QStringLiteral("PTT Lock"), items(s, {"option.openLock", "option.busyChLockOut", "option.markIdle"})};
    w.row({keyBox(s), ptt, lock}, {0.42, 0.29, 0.29});

    Box scan{QStringLiteral("Scan Setting"),
             items(s, {"option.scanTx", "option.scanWaitTime", "option.scanSpeedTime", "option.priorityLbTime"})};
    Box radio{QStringLiteral("Radio Parameter"),
              items(s, {"option.txDelay", "option.hook", "option.hookScan", "option.beep", "option.powerUpAlert",
                        "option.powerUp", "option.autoMute", "option.autoMuteTimer"}),
              2};
    w.row({scan, radio}, {0.36, 0.64});
}

void drawToneSection(OptionPageWriter& w, const RadioSettings& s) {
    const ToneSequenceSettings& t = s.toneSequence;
    w.title(QStringLiteral("Tone Sequence"));
    Box tones{QStringLiteral("Toneset"), {}, 2};
    for (int i = 0; i < kToneCount; ++i) {
        const QString hz = text(shownToneText(t, i));
        tones.items.push_back(
            {label("tone.toneFrequency[" + std::string(1, tonelists::toneDigit(i)) + "]"), hertz(hz)});
    }
    // The set's name heads the box; tones 0..7 fill the left column, 8..E the right one.
    tones.lead.push_back(item(s, "tone.toneset"));
    Box seq{QStringLiteral("Sequence"), {}};
    seq.lead.push_back(item(s, "tone.toneLength"));
    seq.heads = {QStringLiteral("Sequence"), QStringLiteral("Lead In Time"), QStringLiteral("1st Tone Time"),
                 QStringLiteral("Lead Out Time")};
    for (int n = 1; n <= tonelists::kSequenceCount; ++n) {
        const std::string key = "tone.sequence[" + std::to_string(n) + "].";
        seq.items.push_back(
            {label(key + "sequence"),
             value(s, key + "sequence"),
             {value(s, key + "leadInTime"), value(s, key + "firstToneTime"), value(s, key + "leadOutTime")}});
    }
    w.row({tones, seq}, {0.34, 0.66});
}

void drawEncodeSection(OptionPageWriter& w, const RadioSettings& s) {
    w.title(QStringLiteral("Encode"));
    Box emg{QStringLiteral("Emergency"),
            items(s, {"encode.emgType", "encode.emgSequence", "encode.emgCheckOpen", "encode.emgCheckBusy",
                      "encode.emgEncodeAlert", "encode.emgRepeats", "encode.emgCycleRepeatTime", "encode.emgTxTimer"})};
    Box ani{QStringLiteral("ANI"),
            items(s, {"encode.aniType", "encode.aniSequence", "encode.aniAt", "encode.multiAniDelay"})};
    auto call = [&](int n) {
        const std::string key = "encode.call" + std::to_string(n);
        return Box{QStringLiteral("Call%1").arg(n),
                   items(s, {key + "Sequence", key + "CheckOpen", key + "CheckBusy", key + "EncodeAlert"})};
    };
    Box ack{QStringLiteral("Acknowledge"),
            items(s, {"encode.acknowledge1", "encode.acknowledge2", "encode.acknowledge3"})};
    w.row({emg, ani, call(2)}, {0.34, 0.33, 0.33});
    w.row({ack, call(1), call(3)}, {0.34, 0.33, 0.33});
}

}  // namespace

void drawOptionPage1(PageLayout& layout, const RadioSettings& s) {
    OptionPageWriter w(layout);
    const HeaderSettings& h = s.header;
    const std::pair<QString, QString> heading[] = {
        {QStringLiteral("Model  :"), view(modelName(h.model))},
        {QStringLiteral("Radio Band  :"), view(bandName(h.model, h.radioBand))},
        {QStringLiteral("LCD Display Logo  :"), text(h.lcdDisplayLogo)}};
    for (const auto& [label, value] : heading) {
        layout.printText(0.0, w.y, label, 10.0, 0, true);
        w.y = layout.printText(1.7, w.y, value, 10.0);
    }
    w.y += 0.05;
    layout.drawRule(0.0, layout.pageWidth(), w.y, 1.0);
    w.y += 0.12;
    drawOptionSection(w, s);
    drawToneSection(w, s);
    drawEncodeSection(w, s);
    layout.selectFont(QStringLiteral("Tahoma"));
}

void drawOptionPage2(PageLayout& layout, const RadioSettings& s) {
    OptionPageWriter w(layout);
    w.title(QStringLiteral("Decode"));
    const auto& names = sl::decodeEntryNames();
    auto entryBox = [&](int i) {
        const std::string key = "decode.entry[" + std::to_string(i + 1) + "].";
        return Box{QString::fromStdString(names[i]),
                   items(s, {key + "address", key + "action", key + "ack", key + "text"})};
    };
    // Entries: 0 Call 1, 1 Call 2, 2 Call 3, 3..6 Control 1..4, 7 Group Call.
    Box setup{QStringLiteral("Decoder Setup"),
              items(s, {"decode.decoderToneLength", "decode.covertRxTime", "decode.covertTxTime"})};
    w.row({entryBox(0), entryBox(3), entryBox(6)}, {0.34, 0.33, 0.33});
    w.row({entryBox(1), entryBox(4), entryBox(7)}, {0.34, 0.33, 0.33});
    w.row({entryBox(2), entryBox(5), setup}, {0.34, 0.33, 0.33});

    Box status{QStringLiteral("Status Text"), {}, 2};
    for (int i = 1; i <= 10; ++i) status.items.push_back(item(s, "dtmf.statusText[" + std::to_string(i) + "]"));
    w.row({status}, {1.0});

    w.title(QStringLiteral("DTMF"));
    Box option{QStringLiteral("DTMF Option"),
               items(s, {"dtmf.dtmfLeadInTime", "dtmf.dtmfLeadOutTime", "dtmf.dtmfMarkTime", "dtmf.dtmfSpaceTime"})};
    Box address{QStringLiteral("DTMF Address"), {}, 2};
    for (int i = 1; i <= 9; ++i) address.items.push_back(item(s, "dtmf.dtmfCodes[" + std::to_string(i) + "]"));
    w.row({option, address}, {0.36, 0.64});
    std::vector<Box> decoding;
    for (int i = 1; i <= 4; ++i) {
        const std::string n = std::to_string(i);
        decoding.push_back(Box{QStringLiteral("DTMF Decoding Address %1").arg(i),
                               items(s, {"dtmf.dtmfDecodeAddress[" + n + "]", "dtmf.dtmfDecodeAction[" + n + "]"})});
    }
    w.row({decoding[0], decoding[1]}, {0.5, 0.5});
    w.row({decoding[2], decoding[3]}, {0.5, 0.5});

    w.title(QStringLiteral("Modem"));
    Box modem{QStringLiteral("Modem Text"), {}};
    for (int i = 1; i <= 9; ++i) modem.items.push_back(item(s, "modem.modemText[" + std::to_string(i) + "]"));
    w.row({modem}, {1.0});
    layout.selectFont(QStringLiteral("Tahoma"));
}

}  // namespace ks340
