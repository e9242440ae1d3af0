// The settings registry's two calls the unit list needs.
#pragma once

#if __has_include("model/SettingsRegistry.h")
#include "model/SettingsRegistry.h"
#else
// INTERIM, until the settings registry is part of the model library: the
// few keys the unit list is tried with. Remove together with
// RegistryBridge.cpp once model/SettingsRegistry.h exists.
#include <optional>
#include <string>
#include <string_view>

#include "model/RadioSettings.h"

namespace ks340 {
bool applySetting(RadioSettings& settings, std::string_view key, std::string_view value, std::string* error);
std::optional<std::string> settingValue(const RadioSettings& settings, std::string_view key);
}  // namespace ks340
#endif
