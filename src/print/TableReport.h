// A plain table report (a title, a few lines of facts, then a table that
// runs over as many pages as it needs), drawn with the page-layout engine.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "print/PageLayout.h"

namespace ks340 {

struct TableReport {
    QString title;
    QStringList facts;  // one line each, below the title
    std::vector<TableColumn> columns;
    std::vector<QStringList> rows;
};

// Rows that fit one page below the title (first page) or on a later page.
int tableReportRowsPerPage(bool firstPage);
int tableReportPageCount(const TableReport& report);

// Writes the report as a landscape PDF. On failure false with a message.
bool writeTableReportPdf(const QString& path, const TableReport& report, QString* error);

}  // namespace ks340
