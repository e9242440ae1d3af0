#include <gtest/gtest.h>

#include "model/Defaults.h"
#include "model/SettingFile.h"

using namespace ks340;

namespace {

// The file's text with line n (1-based) replaced.
std::string withLine(const std::string& text, int n, const std::string& line) {
    std::size_t begin = 0;
    for (int i = 1; i < n; ++i) begin = text.find("\r\n", begin) + 2;
    return text.substr(0, begin) + line + text.substr(text.find("\r\n", begin));
}

}  // namespace

TEST(SettingFileWarnings, GarbledNumberFieldsAreNamedByLineAndKey) {
    std::string text = formatSettingFile(newRadioSettings());
    // Line 5 is channel 2: its txPower field (the fourth) garbled.
    text = withLine(text, 5, "Two,1,1,?,0,0,0,0,0,0,0,0,0,0,0,446.00625,NULL,0,0,0,0,0,0");
    // A quiet "NULL" and a blank-led number are no faults.
    text = withLine(text, 1, "0,NULL, 0,Vandrell");

    RadioSettings back = newRadioSettings();
    const FileResult r = readSettingText(text, back, "g.ks3");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.warnings.size(), 1u) << r.warning;
    EXPECT_EQ(r.warnings[0].line, 5);
    EXPECT_EQ(r.warnings[0].key, "channel[2].txPower");
    EXPECT_NE(r.warning.find("g.ks3: line 5"), std::string::npos) << r.warning;
    EXPECT_EQ(back.channelTable.groups[0].channels[2].txPower, 0);
    EXPECT_EQ(back.channelTable.groups[0].channels[2].rxFrequency, "446.00625");
}

TEST(SettingFileWarnings, EarlyEndAndGarbledFieldsFormOneList) {
    std::string text = formatSettingFile(newRadioSettings());
    text.resize(text.find("\r\n") + 2);  // the header line only... and a garbled speaker
    text[0] = 'z';
    text += "0,0,0,0,208,208,0,0,0,0,0,0,1,0,0,0,0\r\n";
    RadioSettings back = newRadioSettings();
    const FileResult r = readSettingText(text, back, "cut.ks3");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.warnings.size(), 2u) << r.warning;
    EXPECT_EQ(r.warnings[0].key, "header.speaker");
    EXPECT_EQ(r.warnings[1].line, 3);
    EXPECT_TRUE(r.warnings[1].key.empty());
    EXPECT_NE(r.warning.find("ends early"), std::string::npos);
    EXPECT_EQ(r.line, 1);
}
