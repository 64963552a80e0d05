// The reference for the report benchmark: a naive QPdfWriter loop that
// prints the ledger of the zarn.mdb in the working directory on pages like
// the report's (27 rows of 14 texts with their column lines), measuring
// nothing but QPainter::drawText and drawLine.
//   zarn-bench-naive-pdf FILE.pdf  ->  pages=<n> seconds=<s>
#include "application.h"
#include "dm.h"
#include "field.h"
#include "querydataset.h"

#include <QElapsedTimer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    zarn::Application app(argc, argv);
    if (argc != 2)
        return 2;
    zarn::Tdm2 dm(nullptr);
    zarn::QueryDataset *view = dm.ADOQuery1;
    const char *names[] = {"日期", "凭证号", "卡号", "产品名称", "数量1", "收入", "合计",
                           "数量2", "收汇", "汇率", "销售金额", "结存数量", "结存金额", "毛利"};
    std::vector<zarn::Field *> fields;
    for (const char *name : names)
        fields.push_back(view->fieldByName(QString::fromUtf8(name)));
    const double columns[] = {0, 16.93, 35.45, 55.03, 81.49, 98.16, 115.36, 137.85, 155.05, 171.45, 188.12, 211.67, 229.13, 251.62, 273.84};

    QElapsedTimer timer;
    timer.start();
    QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
    writer.setResolution(600);
    QPainter painter(&writer);
    const double dotsPerMm = 600 / 25.4;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(9);
    painter.setFont(font);
    int pages = 1;
    int row = 0;
    for (view->first(); !view->eof(); view->next()) {
        if (row == 27) {
            writer.newPage();
            ++pages;
            row = 0;
        }
        const double y = (16.6 + row * 6.6) * dotsPerMm;
        for (size_t c = 0; c < fields.size(); ++c)
            painter.drawText(QPointF((18 + columns[c] + 1) * dotsPerMm, y + 4.5 * dotsPerMm), fields[c]->displayText());
        for (double x : columns)
            painter.drawLine(QPointF((18 + x) * dotsPerMm, y), QPointF((18 + x) * dotsPerMm, y + 6.6 * dotsPerMm));
        painter.drawLine(QPointF(18 * dotsPerMm, y + 6.6 * dotsPerMm), QPointF(292 * dotsPerMm, y + 6.6 * dotsPerMm));
        ++row;
    }
    painter.end();
    std::printf("pages=%d seconds=%.3f\n", pages, timer.nsecsElapsed() / 1e9);
    return 0;
}
