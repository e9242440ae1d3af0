#include "model/SignallingLists.h"

namespace ks340::signalling {

namespace {

ItemList numberSteps(int first, int last, int step) {
    ItemList items;
    for (int v = first; v <= last; v += step) items.push_back(std::to_string(v));
    return items;
}

}  // namespace

std::string itemText(const ItemList& items, int position) {
    if (position < 0 || position >= static_cast<int>(items.size())) return {};
    return items[static_cast<std::size_t>(position)];
}

const ItemList& disableEnableItems() {
    static const ItemList items{"Disable", "Enable"};
    return items;
}

const ItemList& signallingTypeItems() {
    static const ItemList items{"Selcall", "DTMF"};
    return items;
}

const ItemList& repeatsItems() {
    static const ItemList items = [] {
        ItemList l{"None"};
        for (int i = 1; i <= 12; ++i) l.push_back(std::to_string(i));
        l.push_back("Permanently");
        return l;
    }();
    return items;
}

const ItemList& aniAtItems(int aniType) {
    static const ItemList selcall{"Off", "Start"};
    static const ItemList dtmf{"Off", "Start", "End"};
    return aniType == kSignallingTypeDtmf ? dtmf : selcall;
}

const char* emergencyFieldLabel(int emgType) { return emgType == kSignallingTypeDtmf ? "EMG Tone" : "EMG Seq."; }

const char* aniFieldLabel(int aniType) { return aniType == kSignallingTypeDtmf ? "ANI Tone" : "ANI Seq."; }

const ItemList& decodeActionItems() {
    static const ItemList items{"None", "Open", "Close", "Stun", "Revive", "Covert On", "Covert Off"};
    return items;
}

const ItemList& decodeAckItems() {
    static const ItemList items{"None", "ACK 1", "ACK 2", "ACK 3"};
    return items;
}

const ItemList& decodeEntryNames() {
    static const ItemList items{"Call 1",    "Call 2",    "Call 3",    "Control 1",
                                "Control 2", "Control 3", "Control 4", "Group Call"};
    return items;
}

const ItemList& decodeAddressLabels() {
    static const ItemList items{"Call 1 Address", "Call 2 Address", "Call 3 Address", "Ctrl 1 Address",
                                "Ctrl 2 Address", "Ctrl 3 Address", "Ctrl 4 Address", "Group Address"};
    return items;
}

const ItemList& dtmfActionItems() {
    static const ItemList items{"None", "Stun", "Revive", "Covert On", "Covert Off"};
    return items;
}

int dtmfTimeWhileTyping(int typed, int limit) {
    int value = typed > limit ? limit : typed;
    if (value % 10 >= 5) value += 10 - value % 10;
    return value;
}

int dtmfTimeOnFocusLoss(int typed, int minimum, int limit) {
    int value = typed < minimum ? minimum : (typed > limit ? limit : typed);
    const int rest = value % 10;
    return rest >= 5 ? value + (10 - rest) : value - rest;
}

const ItemList& modemBaudRateItems() {
    static const ItemList items{"1200", "2400"};
    return items;
}

const ItemList& txDelayTimeItems() {
    static const ItemList items = numberSteps(150, 400, 50);
    return items;
}

const ItemList& txOnDelayItems() {
    static const ItemList items = numberSteps(0, 252, 4);
    return items;
}

const ItemList& txOffDelayItems() {
    static const ItemList items = numberSteps(0, 20, 4);
    return items;
}

const ItemList& rxOnDelayItems() {
    static const ItemList items = numberSteps(0, 120, 4);
    return items;
}

}  // namespace ks340::signalling
