// The two pages of the option report: every setting of the option and
// signalling pages in framed boxes, with the texts the pages show.
#include <QString>
#include <QStringList>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "model/OptionLists.h"
#include "model/Signalling.h"
#include "model/SignallingLists.h"
#include "model/Tables.h"
#include "model/ToneLists.h"
#include "model/Windows1252.h"
#include "print/ReportPages.h"

namespace ks340 {

namespace {

namespace ol = optionlists;
namespace sl = signalling;

constexpr double kItemPoints = 8.0;
constexpr double kBoxGap = 0.12;
constexpr double kSectionGap = 0.1;

QString text(std::string_view bytes) { return QString::fromStdString(cp1252ToUtf8(bytes)); }
QString view(std::string_view ascii) { return QString::fromUtf8(ascii.data(), int(ascii.size())); }
QString number(int n) { return QString::number(n); }

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

QString listText(const ol::ItemList& items, int position) {
    return QString::fromStdString(ol::itemText(items, position));
}
QString sigText(const sl::ItemList& items, int position) {
    return QString::fromStdString(sl::itemText(items, position));
}
QString seconds(const QString& v) { return v.isEmpty() ? v : v + QStringLiteral("  S"); }
QString hertz(const QString& v) { return v.isEmpty() ? v : v + QStringLiteral("  Hz"); }
QString millis(int v, const char* unit) { return number(v) + QString::fromLatin1(unit); }

Box keyBox(const OptionSettings& o) {
    Box b;
    b.title = QStringLiteral("KEY");
    b.heads = {QStringLiteral("Short Key"), QStringLiteral("Long Key")};
    const int shorts[3] = {o.programmableKey1Short, o.programmableKey2Short, o.programmableKey3Short};
    const int longs[3] = {o.programmableKey1Long, o.programmableKey2Long, o.programmableKey3Long};
    for (int k = 0; k < 3; ++k) {
        b.items.push_back({QStringLiteral("Programmable Key%1").arg(k + 1),
                           view(ol::keyFunctionText(shorts[k])),
                           {view(ol::keyFunctionText(longs[k]))}});
    }
    return b;
}

void drawOptionSection(OptionPageWriter& w, const RadioSettings& s) {
    const OptionSettings& o = s.option;
    w.title(QStringLiteral("Option"));
    Box ptt{QStringLiteral("PTT Timer"),
            {{QStringLiteral("PTT Timer"), listText(ol::disableEnableItems(), o.pttTimer)},
             {QStringLiteral("TX Timer"), seconds(QString::fromStdString(ol::txTimerText(o.txTimer)))},
             {QStringLiteral("TX Inhibit"), seconds(QString::fromStdString(ol::txInhibitText(o.txInhibit)))},
             {QStringLiteral("TX Inhibit Alert"), listText(ol::disableEnableItems(), o.txInhibitAlert)}}};
    Box lock{QStringLiteral("PTT Lock"),
             {{QStringLiteral("Open Lock"), listText(ol::openLockItems(), o.openLock)},
              {QStringLiteral("Busy CH. Lock Out"), listText(ol::disableEnableItems(), o.busyChLockOut)},
              {QStringLiteral("Mark Idle"), listText(ol::disableEnableItems(), o.markIdle)}}};
    w.row({keyBox(o), ptt, lock}, {0.42, 0.29, 0.29});

    Box scan{
        QStringLiteral("Scan Setting"),
        {{QStringLiteral("Scan Tx"), view(ol::scanTxText(o.scanTx))},
         {QStringLiteral("Scan Wait Time"), seconds(listText(ol::scanWaitTimeItems(), o.scanWaitTime))},
         {QStringLiteral("Scan Speed Time"), seconds(QString::fromStdString(ol::scanSpeedTimeText(o.scanSpeedTime)))},
         {QStringLiteral("Priority LB Time"), seconds(listText(ol::priorityLbTimeItems(), o.priorityLbTime))}}};
    Box radio{QStringLiteral("Radio Parameter"),
              {{QStringLiteral("Tx Delay"), listText(ol::disableEnableItems(), o.txDelay)},
               {QStringLiteral("Hook"), listText(ol::disableEnableItems(), o.hook)},
               {QStringLiteral("Hook Scan"), listText(ol::offOnItems(), o.hookScan)},
               {QStringLiteral("Beep"), listText(ol::disableEnableItems(), o.beep)},
               {QStringLiteral("Power Up Alert"), listText(ol::disableEnableItems(), o.powerUpAlert)},
               {QStringLiteral("Power Up"), listText(ol::closeOpenItems(), o.powerUp)},
               {QStringLiteral("Auto Mute"), listText(ol::disableEnableItems(), o.autoMute)},
               {QStringLiteral("Auto Mute Timer"), seconds(number(o.autoMuteTimer))}},
              2};
    w.row({scan, radio}, {0.36, 0.64});
}

void drawToneSection(OptionPageWriter& w, const RadioSettings& s) {
    const ToneSequenceSettings& t = s.toneSequence;
    w.title(QStringLiteral("Tone Sequence"));
    Box tones{QStringLiteral("Toneset"), {}, 2};
    const bool user = t.toneset == kUserToneSet;
    for (int i = 0; i < kToneCount; ++i) {
        // The page shows the set's own tones for a built-in set and the typed texts for "User".
        const QString hz = user                        ? text(t.userTone[i])
                           : isValidToneSet(t.toneset) ? number(ToneSetTable[t.toneset].tones[i])
                                                       : number(t.toneFrequency[i]);
        tones.items.push_back({QString::fromStdString(tonelists::toneLabel(i)), hertz(hz)});
    }
    // The set's name heads the box; tones 0..7 fill the left column, 8..E the right one.
    tones.lead.push_back({QStringLiteral("Toneset"), view(tonelists::toneSetName(t.toneset))});
    Box seq{QStringLiteral("Sequence"), {}};
    seq.lead.push_back({QStringLiteral("Tone Length"), millis(t.toneLength, "  ms")});
    seq.heads = {QStringLiteral("Sequence"), QStringLiteral("Lead In Time"), QStringLiteral("1st Tone Time"),
                 QStringLiteral("Lead Out Time")};
    for (int n = 1; n <= tonelists::kSequenceCount; ++n) {
        const ToneSequence& q = t.sequences[n];
        seq.items.push_back(
            {QString::fromStdString(tonelists::sequenceLabel(n)),
             text(q.sequence),
             {millis(q.leadInTime, "  ms"), millis(q.firstToneTime, "  ms"), millis(q.leadOutTime, "  ms")}});
    }
    w.row({tones, seq}, {0.34, 0.66});
}

void drawEncodeSection(OptionPageWriter& w, const RadioSettings& s) {
    const SelcallEncodeSettings& e = s.selcallEncode;
    const auto& de = sl::disableEnableItems();
    w.title(QStringLiteral("Encode"));
    Box emg{QStringLiteral("Emergency"),
            {{QStringLiteral("EMG Type"), sigText(sl::signallingTypeItems(), e.emgType)},
             {QStringLiteral("EMG Sequence"), text(e.emgSequence)},
             {QStringLiteral("Check Open"), sigText(de, e.emgCheckOpen)},
             {QStringLiteral("Check Busy"), sigText(de, e.emgCheckBusy)},
             {QStringLiteral("Encode Alert"), sigText(de, e.emgEncodeAlert)},
             {QStringLiteral("Repeats"), sigText(sl::repeatsItems(), e.emgRepeats)},
             {QStringLiteral("Cycle Repeat Time"), seconds(number(e.emgCycleRepeatTime))},
             {QStringLiteral("Tx Timer"), seconds(number(e.emgTxTimer))}}};
    Box ani{QStringLiteral("ANI"),
            {{QStringLiteral("ANI Type"), sigText(sl::signallingTypeItems(), e.aniType)},
             {QStringLiteral("ANI Sequence"), text(e.aniSequence)},
             {QStringLiteral("ANI at"), sigText(sl::aniAtItems(e.aniType), e.aniAt)},
             {QStringLiteral("Multi ANI Delay"), seconds(number(e.multiAniDelay))}}};
    auto call = [&](int n, const std::string& seqText, int open, int busy, int alert) {
        return Box{QStringLiteral("Call%1").arg(n),
                   {{QStringLiteral("Call%1 Sequence").arg(n), text(seqText)},
                    {QStringLiteral("Check Open"), sigText(de, open)},
                    {QStringLiteral("Check Busy"), sigText(de, busy)},
                    {QStringLiteral("Encode Alert"), sigText(de, alert)}}};
    };
    Box ack{QStringLiteral("Acknowledge"),
            {{QStringLiteral("Acknowledge 1"), text(e.acknowledge1)},
             {QStringLiteral("Acknowledge 2"), text(e.acknowledge2)},
             {QStringLiteral("Acknowledge 3"), text(e.acknowledge3)}}};
    w.row({emg, ani, call(2, e.call2Sequence, e.call2CheckOpen, e.call2CheckBusy, e.call2EncodeAlert)},
          {0.34, 0.33, 0.33});
    w.row({ack, call(1, e.call1Sequence, e.call1CheckOpen, e.call1CheckBusy, e.call1EncodeAlert),
           call(3, e.call3Sequence, e.call3CheckOpen, e.call3CheckBusy, e.call3EncodeAlert)},
          {0.34, 0.33, 0.33});
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
    const SelcallDecodeSettings& d = s.selcallDecode;
    w.title(QStringLiteral("Decode"));
    const auto& names = sl::decodeEntryNames();
    const auto& addressLabels = sl::decodeAddressLabels();
    auto entryBox = [&](int i) {
        const DecodeEntry& e = d.decodeEntries[i];
        return Box{QString::fromStdString(names[i]),
                   {{QString::fromStdString(addressLabels[i]), text(e.address)},
                    {QStringLiteral("Action"), sigText(sl::decodeActionItems(), e.action)},
                    {QStringLiteral("Ack"), sigText(sl::decodeAckItems(), e.ack)},
                    {QStringLiteral("Text"), text(e.text)}}};
    };
    // Entries: 0 Call 1, 1 Call 2, 2 Call 3, 3..6 Control 1..4, 7 Group Call.
    Box setup{QStringLiteral("Decoder Setup"),
              {{QStringLiteral("Decoder Tone Length"), millis(d.decoderToneLength, "  mS")},
               {QStringLiteral("Covert Rx Time"), seconds(number(d.covertRxTime))},
               {QStringLiteral("Covert Tx Time"), seconds(number(d.covertTxTime))}}};
    w.row({entryBox(0), entryBox(3), entryBox(6)}, {0.34, 0.33, 0.33});
    w.row({entryBox(1), entryBox(4), entryBox(7)}, {0.34, 0.33, 0.33});
    w.row({entryBox(2), entryBox(5), setup}, {0.34, 0.33, 0.33});

    const DtmfSettings& t = s.dtmf;
    Box status{QStringLiteral("Status Text"), {}, 2};
    for (int i = 0; i < 10; ++i)
        status.items.push_back(
            {QStringLiteral("Status %1").arg(i + 1, 2, 10, QLatin1Char('0')), text(t.statusText[i])});
    w.row({status}, {1.0});

    w.title(QStringLiteral("DTMF"));
    Box option{QStringLiteral("DTMF Option"),
               {{QStringLiteral("DTMF Lead In Time"), millis(t.dtmfLeadInTime, "  mS")},
                {QStringLiteral("DTMF Lead Out Time"), millis(t.dtmfLeadOutTime, "  mS")},
                {QStringLiteral("DTMF Mark Time"), millis(t.dtmfMarkTime, "  mS")},
                {QStringLiteral("DTMF Space Time"), millis(t.dtmfSpaceTime, "  mS")}}};
    Box address{QStringLiteral("DTMF Address"), {}, 2};
    for (int i = 0; i < 9; ++i) address.items.push_back({QStringLiteral("DTMF %1").arg(i + 1), text(t.dtmfCodes[i])});
    w.row({option, address}, {0.36, 0.64});
    std::vector<Box> decoding;
    for (int i = 0; i < 4; ++i)
        decoding.push_back(Box{QStringLiteral("DTMF Decoding Address %1").arg(i + 1),
                               {{QStringLiteral("Address"), text(t.dtmfDecodeAddress[i])},
                                {QStringLiteral("Action"), sigText(sl::dtmfActionItems(), t.dtmfDecodeAction[i])}}});
    w.row({decoding[0], decoding[1]}, {0.5, 0.5});
    w.row({decoding[2], decoding[3]}, {0.5, 0.5});

    w.title(QStringLiteral("Modem"));
    Box modem{QStringLiteral("Modem Text"), {}};
    for (int i = 0; i < 9; ++i)
        modem.items.push_back({QStringLiteral("Modem Text %1").arg(i + 1), text(s.modem.modemText[i])});
    w.row({modem}, {1.0});
    layout.selectFont(QStringLiteral("Tahoma"));
}

}  // namespace ks340
