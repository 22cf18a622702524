#pragma once

#include <QByteArray>
#include <QString>

namespace qozel {

struct InstallationReport;

// The report laid out as HTML for QTextDocument: each section a heading,
// its lines and its table; every text escaped.
QString ReportHtml(const InstallationReport& report);
// The report as an A4 PDF with numbered pages.
QByteArray ReportPdf(const InstallationReport& report);

} // namespace qozel
