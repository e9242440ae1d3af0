#include "model/Tables.h"

namespace ks340 {

std::string_view modelName(int model) {
    return isValidModel(model) ? ModelTable[static_cast<std::size_t>(model)] : std::string_view{};
}

std::string_view shortModelName(int model) {
    return isValidModel(model) ? ShortModelTable[static_cast<std::size_t>(model)] : std::string_view{};
}

std::string_view speakerName(int speaker) {
    return isValidSpeaker(speaker) ? SpeakerTable[static_cast<std::size_t>(speaker)] : std::string_view{};
}

const BandRow& bandRow(int model, int radioBand) {
    const std::size_t m = isValidModel(model) ? static_cast<std::size_t>(model) : 0;
    const std::size_t b = isValidBand(radioBand) ? static_cast<std::size_t>(radioBand) : 0;
    return BandTable[m][b];
}

std::string_view bandName(int model, int radioBand) {
    if (!isValidModel(model) || !isValidBand(radioBand)) return {};
    return bandRow(model, radioBand).name;
}

BandLimits bandLimits(int model, int radioBand) {
    const BandRow& row = bandRow(model, radioBand);
    return {row.lowerMhz, row.upperMhz};
}

}  // namespace ks340
