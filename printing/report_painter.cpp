#include "printing/report_painter.h"

#include "printing/table_report.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>

namespace printing {

namespace {

QFont reportFont(double points, bool bold = false) {
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial")});
    font.setPointSizeF(points);
    font.setBold(bold);
    // No ligatures: a "fi" drawn as one glyph would read back from the PDF as another
    // character, and searching the file for a name would miss it.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The geometry of one report on one device, measured once; the pages are then painted from it.
class Layout {
public:
    Layout(const TableReport& report, QPagedPaintDevice& device)
        : m_report(report), m_device(device) {
        m_mm = device.logicalDpiY() / 25.4;
        m_width = device.width();
        m_height = device.height();
        m_pad = 1.2 * m_mm;
        m_w = columnWidths();
        double x = 0;
        for (double w : m_w) {
            m_x << x;
            x += w;
        }
        m_headerHeight = rowHeight(titles(), m_tableBold, true);
        for (const ReportRow& row : report.rows)
            m_rowHeights << rowHeight(row.cells, row.bold ? m_tableBold : m_table, false);
        m_firstTop = measureFirstTop();
        m_laterTop = lineHeight(m_company) + lineHeight(m_detail) + 3 * m_mm;
        m_bottom = m_height - lineHeight(m_footer) - 3 * m_mm;
        paginate();
    }

    int pageCount() const { return int(m_pages.size()); }

    void paintPage(QPainter& p, int page) const {
        const Page& pg = m_pages[page];
        double y = page == 0 ? paintFirstTop(p) : paintLaterTop(p);
        if (pg.header) {
            paintRow(p, y, titles(), m_headerHeight, m_tableBold, true);
            y += m_headerHeight;
        }
        for (int r = pg.firstRow; r < pg.endRow; ++r) {
            const ReportRow& row = m_report.rows[r];
            paintRow(p, y, row.cells, m_rowHeights[r], row.bold ? m_tableBold : m_table, false);
            y += m_rowHeights[r];
        }
        if (pg.closing)
            paintClosing(p, y);
        p.setFont(m_footer);
        p.setPen(Qt::black);
        p.drawText(QRectF(0, m_height - lineHeight(m_footer), m_width, lineHeight(m_footer)),
                   Qt::AlignHCenter | Qt::AlignBottom,
                   QStringLiteral("Pagina %1 din %2").arg(page + 1).arg(pageCount()));
    }

private:
    struct Page {
        int firstRow = 0;
        int endRow = 0;
        bool header = true;
        bool closing = false;
    };

    QStringList titles() const {
        QStringList t;
        for (const ReportColumn& c : m_report.columns)
            t << c.title;
        return t;
    }

    // The narrowest a column may be: its widest word (in the title or a cell), or its widest
    // number, so that nothing is cut; a word is never broken across lines.
    double minimumWidth(int c) const {
        const bool number = m_report.columns[c].number;
        const QFontMetricsF plain(m_table, &m_device);
        const QFontMetricsF bold(m_tableBold, &m_device);
        auto widest = [&](const QString& text, const QFontMetricsF& fm, bool whole) {
            if (whole)
                return fm.horizontalAdvance(text);
            static const QRegularExpression blanks(QStringLiteral("\\s+"));
            double w = 0;
            for (const QString& word : text.split(blanks))
                w = std::max(w, fm.horizontalAdvance(word));
            return w;
        };
        double w = widest(m_report.columns[c].title, bold, false);
        for (const ReportRow& row : m_report.rows)
            w = std::max(w, widest(row.cells.value(c), row.bold ? bold : plain, number));
        if (c == m_report.columns.size() - 1 && !m_report.totalCaption.isEmpty())
            w = std::max(w, bold.horizontalAdvance(m_report.totalValue));
        return w + 2 * m_pad + 1;
    }

    // The columns share the width by their weights; a column narrower than its minimum gets
    // its minimum and the others share what is left, by their weights.
    QList<double> columnWidths() const {
        const int n = int(m_report.columns.size());
        QList<double> minimum, width(n, 0);
        double sumMinimum = 0;
        for (int c = 0; c < n; ++c) {
            minimum << minimumWidth(c);
            sumMinimum += minimum.last();
        }
        if (sumMinimum >= m_width) {
            // More than the page holds: every column in proportion to what it needs.
            for (int c = 0; c < n; ++c)
                width[c] = m_width * minimum[c] / sumMinimum;
            return width;
        }
        QList<bool> fixed(n, false);
        for (bool changed = true; changed;) {
            changed = false;
            double left = m_width;
            double weights = 0;
            for (int c = 0; c < n; ++c) {
                if (fixed[c])
                    left -= minimum[c];
                else
                    weights += std::max(m_report.columns[c].weight, 0.01);
            }
            for (int c = 0; c < n; ++c) {
                if (fixed[c]) {
                    width[c] = minimum[c];
                    continue;
                }
                width[c] = left * std::max(m_report.columns[c].weight, 0.01) / weights;
                if (width[c] < minimum[c]) {
                    fixed[c] = true;
                    changed = true;
                }
            }
        }
        return width;
    }

    double lineHeight(const QFont& font) const { return QFontMetricsF(font, &m_device).height(); }

    double textHeight(const QString& text, const QFont& font, double width, bool wrap) const {
        if (!wrap)
            return lineHeight(font);
        const QRectF r = QFontMetricsF(font, &m_device)
                             .boundingRect(QRectF(0, 0, std::max(width, 1.0), 1e6),
                                           Qt::TextWordWrap | Qt::AlignLeft, text);
        return std::max(r.height(), lineHeight(font));
    }

    double rowHeight(const QStringList& cells, const QFont& font, bool header) const {
        double h = lineHeight(font);
        for (int c = 0; c < m_w.size(); ++c) {
            const bool wrap = header || !m_report.columns[c].number;
            h = std::max(h, textHeight(cells.value(c), font, m_w[c] - 2 * m_pad, wrap));
        }
        return h + 2 * m_pad;
    }

    double closingHeight() const {
        double h = 0;
        if (!m_report.totalCaption.isEmpty())
            h += lineHeight(m_tableBold) + 2 * m_pad;
        if (!m_report.signatures.isEmpty())
            h += 8 * m_mm + signatureHeight();
        return h;
    }

    double signatureHeight() const { return lineHeight(m_detail) + 20 * m_mm; }

    double measureFirstTop() const {
        double h = lineHeight(m_company) + 4 * m_mm + lineHeight(m_title) + 3 * m_mm;
        for (const QString& d : m_report.details)
            h += textHeight(d, m_detail, m_width, true);
        return h + 4 * m_mm;
    }

    void paginate() {
        Page page;
        double y = m_firstTop + m_headerHeight;
        for (int r = 0; r < m_rowHeights.size(); ++r) {
            if (y + m_rowHeights[r] > m_bottom && page.endRow > page.firstRow) {
                m_pages << page;
                page = Page{r, r, true, false};
                y = m_laterTop + m_headerHeight;
            }
            y += m_rowHeights[r];
            page.endRow = r + 1;
        }
        const double closing = closingHeight();
        if (closing > 0 && y + closing > m_bottom && page.endRow > page.firstRow) {
            // The total stays with the table: the closing page repeats its header.
            m_pages << page;
            page = Page{page.endRow, page.endRow, !m_report.totalCaption.isEmpty(), false};
        }
        page.closing = true;
        m_pages << page;
    }

    double paintFirstTop(QPainter& p) const {
        double y = 0;
        p.setPen(Qt::black);
        p.setFont(m_company);
        p.drawText(QRectF(0, y, m_width, lineHeight(m_company)), Qt::AlignLeft | Qt::AlignTop,
                   m_report.companyName);
        y += lineHeight(m_company) + 4 * m_mm;
        p.setFont(m_title);
        p.drawText(QRectF(0, y, m_width, lineHeight(m_title)), Qt::AlignHCenter | Qt::AlignTop,
                   m_report.title);
        y += lineHeight(m_title) + 3 * m_mm;
        p.setFont(m_detail);
        for (const QString& d : m_report.details) {
            const double h = textHeight(d, m_detail, m_width, true);
            p.drawText(QRectF(0, y, m_width, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                       d);
            y += h;
        }
        return y + 4 * m_mm;
    }

    double paintLaterTop(QPainter& p) const {
        p.setPen(Qt::black);
        p.setFont(m_company);
        p.drawText(QRectF(0, 0, m_width, lineHeight(m_company)), Qt::AlignLeft | Qt::AlignTop,
                   m_report.companyName);
        const double y = lineHeight(m_company);
        p.setFont(m_detail);
        p.drawText(QRectF(0, y, m_width, lineHeight(m_detail)), Qt::AlignLeft | Qt::AlignTop,
                   m_report.continuation);
        return m_laterTop;
    }

    void paintRow(QPainter& p, double y, const QStringList& cells, double h, const QFont& font,
                  bool header) const {
        p.setFont(font);
        for (int c = 0; c < m_w.size(); ++c) {
            const QRectF cell(m_x[c], y, m_w[c], h);
            if (header)
                p.fillRect(cell, QColor(225, 225, 225));
            p.setPen(QPen(Qt::black, 0.2 * m_mm));
            p.drawRect(cell);
            const QRectF text = cell.adjusted(m_pad, m_pad, -m_pad, -m_pad);
            int flags = Qt::AlignVCenter;
            if (header)
                flags |= Qt::AlignHCenter | Qt::TextWordWrap;
            else if (m_report.columns[c].number)
                flags |= Qt::AlignRight;
            else
                flags |= Qt::AlignLeft | Qt::TextWordWrap;
            p.drawText(text, flags, cells.value(c));
        }
    }

    void paintClosing(QPainter& p, double y) const {
        if (!m_report.totalCaption.isEmpty() && !m_w.isEmpty()) {
            const double h = lineHeight(m_tableBold) + 2 * m_pad;
            const int last = int(m_w.size()) - 1;
            const QRectF caption(0, y, m_x[last], h);
            const QRectF value(m_x[last], y, m_w[last], h);
            p.setPen(QPen(Qt::black, 0.2 * m_mm));
            p.drawRect(caption);
            p.drawRect(value);
            p.setFont(m_tableBold);
            p.drawText(caption.adjusted(m_pad, m_pad, -m_pad, -m_pad),
                       Qt::AlignRight | Qt::AlignVCenter, m_report.totalCaption);
            p.drawText(value.adjusted(m_pad, m_pad, -m_pad, -m_pad),
                       Qt::AlignRight | Qt::AlignVCenter, m_report.totalValue);
            y += h;
        }
        if (m_report.signatures.isEmpty())
            return;
        y += 8 * m_mm;
        const int n = int(m_report.signatures.size());
        const double gap = 6 * m_mm;
        const double w = (m_width - gap * (n - 1)) / n;
        for (int i = 0; i < n; ++i) {
            const QRectF box(i * (w + gap), y, w, signatureHeight());
            p.setPen(QPen(Qt::black, 0.2 * m_mm));
            p.drawRect(box);
            p.setFont(m_detail);
            p.drawText(box.adjusted(m_pad, m_pad, -m_pad, -m_pad),
                       Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_report.signatures[i]);
        }
    }

    const TableReport& m_report;
    QPagedPaintDevice& m_device;
    QFont m_company = reportFont(10, true);
    QFont m_title = reportFont(14, true);
    QFont m_detail = reportFont(9.5);
    QFont m_table = reportFont(8.5);
    QFont m_tableBold = reportFont(8.5, true);
    QFont m_footer = reportFont(8);
    double m_mm = 1;
    double m_width = 0;
    double m_height = 0;
    double m_pad = 0;
    QList<double> m_x;
    QList<double> m_w;
    double m_headerHeight = 0;
    QList<double> m_rowHeights;
    double m_firstTop = 0;
    double m_laterTop = 0;
    double m_bottom = 0;
    QList<Page> m_pages;
};

} // namespace

int paintReport(const TableReport& report, QPagedPaintDevice& device,
                const PageProgress& progress) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const Layout layout(report, device);
    const int pages = layout.pageCount();
    for (int page = 0; page < pages; ++page) {
        if (progress && !progress(page + 1, pages))
            break;
        if (page > 0)
            device.newPage();
        layout.paintPage(painter, page);
    }
    painter.end();
    return pages;
}

} // namespace printing
