#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "model/ChannelStep.h"

using namespace ks340;

namespace {

std::string snapped(const char* text, double low = 148, double high = 174) {
    const SnapResult r = snapToChannelStep(text, low, high);
    EXPECT_EQ(r.outcome, SnapOutcome::Snapped) << text;
    return r.text;
}

SnapOutcome outcome(const char* text, double low, double high) { return snapToChannelStep(text, low, high).outcome; }

}  // namespace

TEST(ChannelStep, ValuesOnAStepStayAndAreWrittenWithFiveDecimals) {
    EXPECT_EQ(snapped("150.00625"), "150.00625");  // 6.25 kHz
    EXPECT_EQ(snapped("150.005"), "150.00500");    // 5 kHz
    EXPECT_EQ(snapped("150.0025"), "150.00250");   // 2.5 kHz only
    EXPECT_EQ(snapped("150.0075"), "150.00750");   // 2.5 kHz, not 5 or 6.25
    EXPECT_EQ(snapped("150.01875"), "150.01875");  // odd multiple of 6.25 kHz stays
    EXPECT_EQ(snapped("447.5", 440, 480), "447.50000");
    EXPECT_EQ(snapped("150"), "150.00000");
}

TEST(ChannelStep, OffRasterValuesGoToTwelveAndAHalfKilohertz) {
    // 6.25 kHz point below is even -> that point.
    EXPECT_EQ(snapped("150.0037"), "150.00000");
    // 6.25 kHz point below is odd -> next point above.
    EXPECT_EQ(snapped("150.007"), "150.01250");
    EXPECT_EQ(snapped("150.0124"), "150.01250");
    EXPECT_EQ(snapped("150.0126"), "150.01250");
    EXPECT_EQ(snapped("150.000001"), "150.00000");
    EXPECT_EQ(snapped("173.999999"), "174.00000");
    // More than six decimals: the value is not a whole number of hertz.
    EXPECT_EQ(snapped("150.0062500001"), "150.01250");
}

TEST(ChannelStep, EverySixDecimalStepValueSurvivesBinaryRounding) {
    // Every 2.5 kHz point of both bands must come back unchanged.
    for (long long hz = 148'000'000; hz <= 174'000'000; hz += 2500) {
        const std::string typed = formatMhz(static_cast<double>(hz) / 1e6);
        const SnapResult r = snapToChannelStep(typed, 148, 174);
        ASSERT_EQ(r.outcome, SnapOutcome::Snapped) << typed;
        ASSERT_EQ(r.text, typed);
    }
    for (long long hz = 440'000'000; hz <= 480'000'000; hz += 6250) {
        const std::string typed = formatMhz(static_cast<double>(hz) / 1e6);
        ASSERT_EQ(snapToChannelStep(typed, 440, 480).text, typed);
    }
}

TEST(ChannelStep, BandLimitsAreInclusive) {
    EXPECT_EQ(outcome("148", 148, 174), SnapOutcome::Snapped);
    EXPECT_EQ(outcome("174", 148, 174), SnapOutcome::Snapped);
    EXPECT_EQ(outcome("147.99999", 148, 174), SnapOutcome::OutOfRange);
    EXPECT_EQ(outcome("174.00001", 148, 174), SnapOutcome::OutOfRange);
    EXPECT_EQ(outcome("440", 440, 470), SnapOutcome::Snapped);
    EXPECT_EQ(outcome("470", 440, 470), SnapOutcome::Snapped);
    EXPECT_EQ(outcome("475", 440, 470), SnapOutcome::OutOfRange);
    EXPECT_EQ(outcome("475", 440, 480), SnapOutcome::Snapped);
    EXPECT_EQ(outcome("480", 440, 480), SnapOutcome::Snapped);
}

TEST(ChannelStep, EmptyAndNonNumericText) {
    const SnapResult empty = snapToChannelStep("", 148, 174);
    EXPECT_EQ(empty.outcome, SnapOutcome::Empty);
    EXPECT_TRUE(empty.text.empty());
    // No leading number reads as 0 and is therefore outside every band.
    EXPECT_EQ(outcome("abc", 148, 174), SnapOutcome::OutOfRange);
    EXPECT_EQ(outcome(" ", 148, 174), SnapOutcome::OutOfRange);
    EXPECT_EQ(outcome("nan", 148, 174), SnapOutcome::OutOfRange);
    EXPECT_EQ(outcome("inf", 148, 174), SnapOutcome::OutOfRange);
    EXPECT_EQ(outcome("1e999", 148, 174), SnapOutcome::OutOfRange);
    EXPECT_EQ(outcome("-150", 148, 174), SnapOutcome::OutOfRange);
}

TEST(ChannelStep, LeadingNumberStopsAtTheFirstForeignCharacter) {
    EXPECT_DOUBLE_EQ(leadingNumber("150.5MHz"), 150.5);
    EXPECT_DOUBLE_EQ(leadingNumber("  +151.25"), 151.25);
    EXPECT_DOUBLE_EQ(leadingNumber("-3"), -3.0);
    EXPECT_DOUBLE_EQ(leadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingNumber("1.5e2x"), 150.0);
    EXPECT_DOUBLE_EQ(leadingNumber("150e"), 150.0);   // dangling exponent ignored
    EXPECT_DOUBLE_EQ(leadingNumber("150,5"), 150.0);  // comma is not a decimal point
    EXPECT_DOUBLE_EQ(leadingNumber("."), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber("x150"), 0.0);
    EXPECT_EQ(snapped("150.5MHz"), "150.50000");
}

TEST(ChannelStep, IgnoresTheProcessLocale) {
    // A desktop session with a comma locale must still read and write '.'.
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    // Where no such locale is installed this runs in the C locale.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ(snapped("150.007"), "150.01250");
    EXPECT_EQ(formatMhz(446.00625), "446.00625");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ChannelStep, WarningNamesTheBand) {
    EXPECT_EQ(bandWarningText(1), "Warning! : Frequency allows VHF2 Band(148~174MHz) Range");
    // The same UHF2 text for both models, although one accepts up to 480 MHz.
    EXPECT_EQ(bandWarningText(0), "Warning! : Frequency allows UHF2 Band(440~470MHz) Range");
}
