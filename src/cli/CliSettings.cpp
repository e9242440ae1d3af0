// ks340ctl verbs that name settings by key: keys, get, set, export-json,
// import-json. Keys, values and rules come from the settings registry.
#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cmath>
#include <cstdio>
#include <set>
#include <string>

#include "cli/CliCommon.h"
#include "cli/CliOutput.h"
#include "cli/Verbs.h"
#include "fileio/InputFile.h"
#include "image/ConfigurationFile.h"
#include "model/Defaults.h"
#include "model/OptionLists.h"
#include "model/SettingFile.h"
#include "model/SettingsRegistry.h"
#include "model/Signalling.h"
#include "model/SquelchText.h"
#include "model/Windows1252.h"

namespace ks340::cli {

namespace {

int failure(const std::string& message) {
    std::fprintf(stderr, "ks340ctl: %s\n", message.c_str());
    return kExitFailure;
}

// ---- Texts in JSON: every byte keeps its own character ----
// Windows-1252 bytes become their characters; the five bytes Windows-1252
// leaves undefined become the control characters of the same number, so
// every text goes out and comes back unchanged.

QString bytesToJsonText(const std::string& bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        char32_t cp = cp1252ToUnicode(b);
        if (cp == 0) cp = b;
        out += QString::fromUcs4(&cp, 1);
    }
    return out;
}

bool jsonTextToBytes(const QString& text, std::string& bytes) {
    bytes.clear();
    for (const char32_t cp : text.toUcs4()) {
        const int b = unicodeToCp1252(cp);
        if (b >= 0 && !(b == 0 && cp != 0)) {
            bytes.push_back(static_cast<char>(b));
        } else if (cp >= 0x80 && cp <= 0x9F && cp1252ToUnicode(static_cast<unsigned char>(cp)) == 0) {
            bytes.push_back(static_cast<char>(cp));
        } else {
            return false;
        }
    }
    return true;
}

std::string jsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2).toStdString();  // without [ ]
}

// The JSON value of one setting: list settings by their item text and the
// scan speed as shown, whenever that names the stored value exactly; other
// numbers as numbers; texts as texts.
std::string jsonValue(const RadioSettings& s, const SettingRef& ref) {
    if (const std::string* t = textField(s, ref)) return jsonString(bytesToJsonText(*t));
    const int value = *integerField(s, ref);
    const SettingInfo& info = *ref.info;
    if (info.type == SettingType::Choice) {
        for (const ChoiceItem& item : info.choices(s))
            if (item.value == value) return jsonString(QString::fromStdString(item.text));
    } else if (info.type == SettingType::Seconds) {
        const std::string shown = optionlists::scanSpeedTimeText(value);
        if (optionlists::scanSpeedTimeValue(shown) == value) return jsonString(QString::fromStdString(shown));
    } else if (info.type == SettingType::Squelch) {
        // The tone as the grid shows it; its DCS inversion has its own key.
        const std::string shown = settingValue(s, settingKey(ref)).value_or(std::string());
        const std::optional<SquelchSetting> back = parseSquelchText(shown);
        if (back && back->code == value) return jsonString(QString::fromStdString(shown));
    }
    return std::to_string(value);
}

std::string formatJson(const RadioSettings& s) {
    std::string out = "{\n";
    const std::vector<std::string> keys = settingKeys(s);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const SettingRef ref = *findSetting(keys[i]);
        out += "  " + jsonString(QString::fromStdString(keys[i])) + ": " + jsonValue(s, ref);
        out += i + 1 < keys.size() ? ",\n" : "\n";
    }
    out += "}\n";
    return out;
}

// Stores one JSON value as it is (no page rules: the file describes the
// whole configuration).
bool assignJson(RadioSettings& s, const SettingRef& ref, const QJsonValue& v, std::string& error) {
    const std::string key = settingKey(ref);
    if (std::string* t = textField(s, ref)) {
        if (!v.isString() || !jsonTextToBytes(v.toString(), *t)) {
            error = key + ": expected a text of Windows-1252 characters";
            return false;
        }
        return true;
    }
    int* target = integerField(s, ref);
    const SettingInfo& info = *ref.info;
    if (v.isDouble()) {
        const double d = v.toDouble();
        if (d != std::floor(d) || d < -2147483648.0 || d > 2147483647.0) {
            error = key + ": expected a whole number";
            return false;
        }
        *target = static_cast<int>(d);
        return true;
    }
    if (v.isString()) {
        const std::string text = v.toString().toStdString();
        if (info.type == SettingType::Choice) {
            for (const ChoiceItem& item : info.choices(s)) {
                if (item.text == text) {
                    *target = item.value;
                    return true;
                }
            }
        } else if (info.type == SettingType::Seconds) {
            const int value = optionlists::scanSpeedTimeValue(text);
            if (value >= 0 && optionlists::scanSpeedTimeText(value) == text) {
                *target = value;
                return true;
            }
        } else if (info.type == SettingType::Squelch) {
            if (const std::optional<SquelchSetting> q = parseSquelchText(text)) {
                *target = q->code;  // the inversion comes from its own key
                return true;
            }
        }
        error = key + ": '" + text + "' is not allowed; allowed: " + allowedValues(ref, s) + " or a number";
        return false;
    }
    error = key + ": expected " + allowedValues(ref, s);
    return false;
}

bool parseJsonConfiguration(const QByteArray& data, const std::string& name, RadioSettings& s, std::string& error) {
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &parseError);
    if (doc.isNull() || !doc.isObject()) {
        error = name + ": not a JSON object" +
                (parseError.error != QJsonParseError::NoError
                     ? ": " + parseError.errorString().toStdString() + " at byte " + std::to_string(parseError.offset)
                     : std::string());
        return false;
    }
    const QJsonObject object = doc.object();
    std::set<QString> used;
    // In file order, so that the list a value is looked up in (the band list
    // of the model, the channels of a group) is already in place.
    const auto take = [&](const SettingRef& ref) {
        const QString key = QString::fromStdString(settingKey(ref));
        const auto it = object.find(key);
        if (it == object.end()) return true;
        used.insert(key);
        if (assignJson(s, ref, it.value(), error)) return true;
        error = name + ": " + error;
        return false;
    };
    const auto takeLine = [&](SettingLine line, int group, int channel) {
        for (const SettingInfo* f : settingLineFields(line))
            if (!take({f, group, channel})) return false;
        return true;
    };
    if (!takeLine(SettingLine::Header, 0, 0) || !takeLine(SettingLine::ChannelTable, 0, 0)) return false;
    for (int g = 0; g < kGroupSlots; ++g) {
        if (!takeLine(SettingLine::Group, g, 0)) return false;
        int& capability = s.channelTable.groups[static_cast<std::size_t>(g)].capability;
        if (capability < 0 || capability > kChannelCapacity) {
            error = name + ": group[" + std::to_string(g) + "].capability " + std::to_string(capability) +
                    " is outside 0..208";
            return false;
        }
        for (int c = 1; c <= capability; ++c)
            if (!takeLine(SettingLine::Channel, g, c)) return false;
    }
    for (SettingLine line : {SettingLine::Option, SettingLine::ToneSequence, SettingLine::SelcallEncode,
                             SettingLine::SelcallDecode, SettingLine::Dtmf, SettingLine::Modem})
        if (!takeLine(line, 0, 0)) return false;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (used.count(it.key())) continue;
        const std::string key = it.key().toStdString();
        std::string why;
        error = name + ": " + (findSetting(key, &why) ? key + ": the channel is beyond its group's capability" : why);
        return false;
    }
    return true;
}

// KEY=VALUE
bool splitAssignment(const std::string& text, std::string& key, std::string& value) {
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    key = text.substr(0, eq);
    value = text.substr(eq + 1);
    return true;
}

}  // namespace

int runKeys(const Args& args) {
    static const char* usage = "ks340ctl keys [FILE.ks3]";
    const FileArgs a = parseFileArgs(args, false);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Lists every setting key with its name and the values it allows, for\n"
            "FILE.ks3 when given (some lists depend on other settings), otherwise for a\n"
            "new configuration. Keys marked \"kept by the program\" are read by get and\n"
            "export-json but not changed by set.\n"
            "channel[N] is channel N (1..208) of the all-channel list, group[G].channel[N]\n"
            "channel N of group G (1..13); group[0] is the all-channel list itself.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("keys", a.error, usage);
    if (a.positional.size() > 1) return usageError("keys", "give at most one file", usage);
    RadioSettings s = newRadioSettings();
    std::string error;
    if (!a.positional.empty() && !loadConfiguration(a.positional[0], s, error)) return failure(error);
    for (const SettingInfo& info : settingTable()) {
        SettingRef ref{&info, 0, 1};
        std::string key = info.key;
        if (info.scope == SettingScope::Group) {
            key = "group[G]." + info.key;
            ref.group = 1;
        } else if (info.scope == SettingScope::Channel) {
            key = "channel[N]." + info.key;
        }
        std::string name = info.name;
        if (info.scope == SettingScope::Group) name = "Group G " + name;
        if (info.scope == SettingScope::Channel) name = "Channel N " + name;
        std::printf("%s\t%s\t%s\n", key.c_str(), name.c_str(),
                    info.settable ? allowedValues(ref, s).c_str() : "kept by the program");
    }
    return kExitOk;
}

int runGet(const Args& args) {
    static const char* usage = "ks340ctl get FILE.ks3 KEY...";
    const FileArgs a = parseFileArgs(args, false);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Prints the value of each KEY in FILE.ks3 (or a memory image), one per line,\n"
            "in the pages' own words ('ks340ctl keys' lists the keys).\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("get", a.error, usage);
    if (a.positional.size() < 2) return usageError("get", "give a file and at least one key", usage);
    RadioSettings s;
    std::string error;
    if (!loadAnyConfiguration(a.positional[0], s, error)) return failure(error);
    std::string out;
    for (std::size_t i = 1; i < a.positional.size(); ++i) {
        std::string why;
        if (!findSetting(a.positional[i], &why)) return failure(why);
        out += *settingValue(s, a.positional[i]) + "\n";
    }
    std::fputs(out.c_str(), stdout);
    return kExitOk;
}

int runSet(const Args& args) {
    static const char* usage = "ks340ctl set IN.ks3 KEY=VALUE... -o OUT.ks3 [--force]";
    const FileArgs a = parseFileArgs(args, true);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Reads IN.ks3, sets each KEY to VALUE in the pages' own words, in the order\n"
            "given, and saves the result to OUT.ks3 as the program's Save does. A change\n"
            "has the consequences it has on its page: a new model or band clears the\n"
            "channels and returns the pages to their defaults, a built-in tone set brings\n"
            "its tones, \"PTT Timer\" sets its timers, and a setting its page disables\n"
            "(\"Hook Scan\" while \"Hook\" is \"Disable\") is refused.\n"
            "An unknown key or a value that is not allowed is an error naming the key and\n"
            "the allowed values (exit status 1); nothing is written then.\n"
            "Example: ks340ctl set my.ks3 option.beep=Disable \"header.lcdDisplayLogo=FLEET 7\" -o out.ks3\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("set", a.error, usage);
    if (a.positional.size() < 2) return usageError("set", "give a file and at least one KEY=VALUE", usage);
    if (!a.hasOutput || a.output.empty()) return usageError("set", "the output file is missing", usage);
    if (const int st = checkOutput("set", a.output, OutputFormat::SettingFile, a.force)) return st;
    std::vector<std::pair<std::string, std::string>> changes;
    for (std::size_t i = 1; i < a.positional.size(); ++i) {
        std::string key;
        std::string value;
        if (!splitAssignment(a.positional[i], key, value))
            return usageError("set", "'" + a.positional[i] + "' is not KEY=VALUE", usage);
        changes.emplace_back(key, value);
    }
    RadioSettings s;
    std::string error;
    if (!loadConfiguration(a.positional[0], s, error)) return failure(error);
    for (const auto& [key, value] : changes)
        if (!applySetting(s, key, value, &error)) return failure(error);
    prepareForSave(s);
    return writeSettingsOutput(a.output, s, a.force) ? kExitOk : kExitFailure;
}

int runExportJson(const Args& args) {
    static const char* usage = "ks340ctl export-json IN.ks3 -o OUT.json [--force]";
    const FileArgs a = parseFileArgs(args, true);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Writes the whole configuration of IN.ks3 (or a memory image) as a JSON object,\n"
            "one setting per line by key, in the setting file's order. List settings\n"
            "show their item text, texts their characters. import-json turns it back\n"
            "into the same setting file, byte for byte.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("export-json", a.error, usage);
    if (a.positional.size() != 1) return usageError("export-json", "give exactly one input file", usage);
    if (!a.hasOutput || a.output.empty()) return usageError("export-json", "the output file is missing", usage);
    if (const int st = checkOutput("export-json", a.output, OutputFormat::Json, a.force)) return st;
    RadioSettings s = newRadioSettings();
    std::string error;
    if (configurationKindOf(a.positional[0]) == ConfigurationKind::MemoryImage) {
        if (!loadAnyConfiguration(a.positional[0], s, error)) return failure(error);
    } else {
        // The file as it stands, so that import-json gives back the same bytes.
        const FileResult r = readSettingFile(a.positional[0], s);
        if (!r.ok) return failure(r.error);
        for (const FileWarning& w : r.warnings) std::fprintf(stderr, "ks340ctl: warning: %s\n", w.text.c_str());
    }
    return writeOutput(a.output, formatJson(s), a.force) ? kExitOk : kExitFailure;
}

int runImportJson(const Args& args) {
    static const char* usage = "ks340ctl import-json IN.json -o OUT.ks3 [--force]";
    const FileArgs a = parseFileArgs(args, true);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Reads a configuration written by export-json and saves it as OUT.ks3. The\n"
            "values are stored as they are; settings the file leaves out keep the values\n"
            "of a new configuration. An unknown key or a value that is not allowed is an\n"
            "error naming the key (exit status 1); nothing is written then.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("import-json", a.error, usage);
    if (a.positional.size() != 1) return usageError("import-json", "give exactly one input file", usage);
    if (!a.hasOutput || a.output.empty()) return usageError("import-json", "the output file is missing", usage);
    if (const int st = checkOutput("import-json", a.output, OutputFormat::SettingFile, a.force)) return st;
    constexpr std::size_t kMaxJsonSize = 64 * 1024 * 1024;
    const fileio::InputFile in = fileio::readInputFile(a.positional[0], kMaxJsonSize);
    if (in.tooLarge) return failure(a.positional[0] + ": the file is too large for a configuration");
    if (!in.ok) return failure(in.error);
    RadioSettings s = newRadioSettings();
    std::string error;
    if (!parseJsonConfiguration(QByteArray(in.bytes.data(), qsizetype(in.bytes.size())), a.positional[0], s, error))
        return failure(error);
    return writeSettingsOutput(a.output, s, a.force) ? kExitOk : kExitFailure;
}

}  // namespace ks340::cli
