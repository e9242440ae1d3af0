#include "model/ToneCode.h"
#include "model/Windows1252.h"
#include "print/ReportPages.h"

#include <algorithm>
#include <cstdio>

namespace ks340 {

std::vector<PrintRow> buildPrintRows(const ChannelTable& table) {
    std::vector<PrintRow> rows;
    auto add = [&](int group, int channel, const ChannelEntry& e) {
        if (e.rxFrequency.empty()) return;
        PrintRow r;
        r[0] = std::to_string(group);
        r[1] = std::to_string(channel);
        r[2] = e.label;
        r[3] = e.rxFrequency;
        r[4] = toneCodeText(e.rxSquelch, e.rxInverseDcs);
        r[5] = e.txFrequency;
        r[6] = toneCodeText(e.txSquelch, e.txInverseDcs);
        r[7] = e.scanChannel ? "ON" : "";
        r[8] = e.bandwidth ? "S" : "N";
        r[9] = e.txPower ? "High" : "Low";
        r[10] = e.priorityChannel ? "ON" : "";
        r[11] = e.powerOnChannel ? "ON" : "";
        rows.push_back(std::move(r));
    };
    if (table.scanMode != 0) {
        for (int g = 1; g < kGroupSlots; ++g) {
            const ChannelGroup& group = table.groups[g];
            const int cap = std::clamp(group.capability, 0, kChannelCapacity);
            for (int c = 1; c <= cap; ++c) add(g, c, group.channels[c]);
        }
    } else {
        const ChannelGroup& group = table.groups[0];
        for (int c = 1; c <= kChannelCapacity; ++c) add(0, c, group.channels[c]);
    }
    if (rows.size() > std::size_t(kChannelCapacity)) rows.resize(kChannelCapacity);
    return rows;
}

QString channelModeText(const ChannelTable& table) {
    return table.scanMode != 0 ? QStringLiteral("Group Scan Mode") : QStringLiteral("All Channel Scan Mode");
}

int channelPageCount(int n) { return n <= 0 ? 1 : (n + kRowsPerChannelPage - 1) / kRowsPerChannelPage; }

int rowsOnLastChannelPage(int n) {
    if (n <= 0) return 0;
    const int rest = n % kRowsPerChannelPage;
    return rest == 0 ? kRowsPerChannelPage : rest;
}

int reportPageCount(int mode, int n) {
    switch (mode) {
        case kPrintChannels:
            return channelPageCount(n);
        case kPrintOptions:
            return 2;
        default:
            return channelPageCount(n) + 2;
    }
}

PageChoice choosePage(int mode, int p, int n) {
    if (mode == kPrintChannels) return {ReportPage::Channel, p};
    if (mode == kPrintOptions) return {p <= 1 ? ReportPage::Option1 : ReportPage::Option2, 0};
    const int a = channelPageCount(n);
    if (p <= a) return {ReportPage::Channel, p};
    return {p == a + 1 ? ReportPage::Option1 : ReportPage::Option2, 0};
}

void drawChannelPage(PageLayout& layout, const ChannelTable& table, const std::vector<PrintRow>& rows, int page) {
    double y = layout.printText(0.0, 0.0, channelModeText(table), 24.0);
    y += 0.3;
    layout.drawRule(0.0, layout.pageWidth(), y, 1.0);
    y += 0.3;

    const bool grouped = table.scanMode != 0;
    std::vector<TableColumn> columns;
    int firstText = 1;
    if (grouped) {
        firstText = 0;
        columns = {{0.3, "GRP", 2},        {0.3, "CH", 2},      {0.6, "Label", 0},       {0.6, "Rx Freq", 0},
                   {0.7, "Rx Squelch", 0}, {0.6, "TX Freq", 0}, {0.7, "Tx Squelch", 0},  {0.7, "Scan CH", 0},
                   {0.8, "Bandwidth", 0},  {0.5, "Power", 0},   {0.7, "Priority CH", 0}, {0.5, "PowON CH", 0}};
    } else {
        columns = {{0.3, "CH", 2},      {0.8, "Label", 0},       {0.7, "Rx Freq", 0}, {0.8, "Rx Squelch", 0},
                   {0.7, "TX Freq", 0}, {0.8, "Tx Squelch", 0},  {0.7, "Scan CH", 0}, {0.8, "Bandwidth", 0},
                   {0.6, "Power", 0},   {0.8, "Priority CH", 0}, {0.5, "PowON CH", 0}};
    }

    const int n = int(rows.size());
    const int first = (page - 1) * kRowsPerChannelPage;
    const int last = std::min(n, first + kRowsPerChannelPage);
    std::vector<QStringList> cells;
    for (int i = first; i < last; ++i) {
        QStringList row;
        for (int t = firstText; t < 12; ++t) row << QString::fromStdString(cp1252ToUtf8(rows[i][t]));
        cells.push_back(row);
    }
    // A column is at least as wide as its title ("PowON CH"), and the table
    // moves left from its usual 0.5 in as far as it must to end inside the
    // printable area (A4 is narrower than Letter).
    double total = 0.0;
    for (TableColumn& column : columns) {
        column.width = std::max(column.width, layout.textWidth(column.title, 8.0, true) + 0.06);
        total += column.width;
    }
    const double x = std::clamp(layout.pageWidth() - total, 0.0, 0.5);
    layout.printTable(x, y, columns, cells, 8.0);
    layout.selectFont(QStringLiteral("Tahoma"));
}

}  // namespace ks340
