// Page drawing functions shared by the report files.
#pragma once

#include <vector>

#include "print/PageLayout.h"
#include "print/Reports.h"

namespace ks340 {

void drawChannelPage(PageLayout& layout, const ChannelTable& table, const std::vector<PrintRow>& rows, int page);
void drawOptionPage1(PageLayout& layout, const RadioSettings& settings);
void drawOptionPage2(PageLayout& layout, const RadioSettings& settings);

}  // namespace ks340
