// Any file handed to the channel CSV import must import or be refused with
// reasons, never fault; a refused import leaves the configuration alone, and
// what imports exports in both layouts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/ChannelCsv.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ks340;
    if (size == 0) return 0;
    // The first byte picks the options, the rest is the file.
    const std::uint8_t choice = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    static const RadioSettings fresh = newRadioSettings();
    static const std::string freshText = formatSettingFile(fresh);
    static RadioSettings settings;
    settings = fresh;
    CsvImportOptions options;
    options.cutLongLabels = (choice & 1) != 0;
    if (choice & 2) options.format = (choice & 4) ? ChannelCsvFormat::Common : ChannelCsvFormat::Native;

    const CsvImportResult r = importChannelCsv(text, settings, options);
    if (!r.ok) {
        if (r.errors.empty()) std::abort();                          // a refusal says why
        if (formatSettingFile(settings) != freshText) std::abort();  // and changes nothing
        return 0;
    }
    // What imported exports in both layouts.
    for (const ChannelCsvFormat f : {ChannelCsvFormat::Native, ChannelCsvFormat::Common})
        if (exportChannelCsv(settings, f).empty()) std::abort();
    return 0;
}
