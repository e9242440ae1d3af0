#include "fleet/RegistryBridge.h"

#if !__has_include("model/SettingsRegistry.h")
// INTERIM: see RegistryBridge.h.
namespace ks340 {

bool applySetting(RadioSettings& settings, std::string_view key, std::string_view value, std::string* error) {
    auto fail = [error](std::string message) {
        if (error) *error = std::move(message);
        return false;
    };
    if (key == "header.lcdDisplayLogo") {
        if (value.size() > 9) return fail("at most 9 characters");
        settings.header.lcdDisplayLogo = std::string(value);
        return true;
    }
    if (key == "encode.aniSequence") {
        if (value.size() > 8) return fail("at most 8 digits");
        for (char c : value)
            if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'E')))
                return fail("'" + std::string(value) + "' holds characters other than 0-9 and A-E");
        settings.selcallEncode.aniSequence = std::string(value);
        return true;
    }
    if (key == "header.radioBand") {
        if (value != "UHF2" && value != "VHF2") return fail("allowed: UHF2, VHF2");
        settings.header.radioBand = value == "VHF2" ? 1 : 0;
        return true;
    }
    return fail("unknown key '" + std::string(key) + "'");
}

std::optional<std::string> settingValue(const RadioSettings& settings, std::string_view key) {
    if (key == "header.lcdDisplayLogo") return settings.header.lcdDisplayLogo;
    if (key == "encode.aniSequence") return settings.selcallEncode.aniSequence;
    if (key == "header.radioBand") return std::string(settings.header.radioBand ? "VHF2" : "UHF2");
    return std::nullopt;
}

}  // namespace ks340
#endif
