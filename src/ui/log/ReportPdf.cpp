#include "ui/log/ReportPdf.h"

#include "app/InstallationReport.h"
#include "ui/AppTitle.h"
#include "ui/widgets/Utf8.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

namespace qozel {
namespace {

constexpr int kResolutionDpi = 300;
constexpr qreal kMarginMm = 15;
constexpr qreal kFontPoints = 8;
constexpr qreal kNoLigatureSpacing = 0.1;

QString Escaped(const std::string& text)
{
    return FromUtf8(text).toHtmlEscaped();
}

void AppendTable(QString& html, const ReportSection& section)
{
    if (section.headers.empty())
        return;
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>");
    for (const std::string& header : section.headers)
        html += QStringLiteral("<th align=\"left\" bgcolor=\"#e0e0e0\">") + Escaped(header) + QStringLiteral("</th>");
    html += QStringLiteral("</tr></thead>");
    for (const auto& row : section.rows) {
        html += QStringLiteral("<tr>");
        for (const std::string& cell : row)
            html += QStringLiteral("<td>") + Escaped(cell) + QStringLiteral("</td>");
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
}

} // namespace

QString ReportHtml(const InstallationReport& report)
{
    QString html = QStringLiteral("<html><body><h1>") + Escaped(report.title) + QStringLiteral("</h1>");
    for (const ReportSection& section : report.sections) {
        html += QStringLiteral("<h2>") + Escaped(section.title) + QStringLiteral("</h2>");
        for (const std::string& line : section.lines)
            html += QStringLiteral("<p>") + Escaped(line) + QStringLiteral("</p>");
        AppendTable(html, section);
    }
    return html + QStringLiteral("</body></html>");
}

QByteArray ReportPdf(const InstallationReport& report)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolutionDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
        writer.setTitle(FromUtf8(report.title));
        writer.setCreator(QString::fromUtf8(kAppTitle));
        QTextDocument document;
        QFont font = document.defaultFont();
        font.setPointSizeF(kFontPoints);
        // A letter spacing too small to see turns ligatures off, so that "fi"
        // stays two letters for a reader searching the PDF.
        font.setLetterSpacing(QFont::AbsoluteSpacing, kNoLigatureSpacing);
        document.setDefaultFont(font);
        document.setHtml(ReportHtml(report));
        // Without a page size of its own the document is paginated to the
        // writer's pages, each numbered at its foot.
        document.print(&writer);
    }
    return pdf;
}

} // namespace qozel
