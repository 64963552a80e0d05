// The ledger report: page breaks, measured positions, values, cancelling,
// page files, printing a range and the preview run from the print page.
#include "application.h"
#include "dm.h"
#include "errors.h"
#include "ledgersource.h"
#include "main.h"
#include "querydataset.h"
#include "report.h"
#include "reportpainter.h"
#include "reportpreview.h"
#include "testsupport.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace zarn;
using Type = ReportBand::Type;

namespace {

// N rows whose fields print as "<field>-<row>".
class FakeRows final : public ReportDataSource
{
public:
    explicit FakeRows(int rows) : m_rows(rows) {}
    bool first() override
    {
        m_at = 0;
        return m_rows > 0;
    }
    void next() override { ++m_at; }
    bool eof() const override { return m_at >= m_rows; }
    int recordCount() const override { return m_rows; }
    QString text(const QString &field) const override { return field + u'-' + QString::number(m_at + 1); }

private:
    int m_rows;
    int m_at = 0;
};

QString bandLetter(Type type)
{
    switch (type) {
    case Type::Title:
        return QStringLiteral("T");
    case Type::ColumnHeader:
        return QStringLiteral("H");
    case Type::Detail:
        return QStringLiteral("D");
    case Type::Summary:
        return QStringLiteral("S");
    }
    return {};
}

// Each page as its bands' letters and tops: "T100 H362 D428 S494".
QStringList describe(const ReportPages &pages)
{
    QStringList result;
    for (int page = 1; page <= pages.pageCount(); ++page) {
        QStringList bands;
        for (const PlacedBand &b : pages.bandsOn(page))
            bands << bandLetter(pages.layout().bands[b.band].type) + QString::number(b.top);
        result << bands.join(u' ');
    }
    return result;
}

// The summary's values: date, page number, record count.
QStringList summaryValues(const ReportPages &pages)
{
    for (const PlacedBand &b : pages.bandsOn(pages.pageCount()))
        if (pages.layout().bands[b.band].type == Type::Summary)
            return {pages.value(b, 0), pages.value(b, 1), pages.value(b, 2)};
    return {};
}

QString details(int count, int first, int step = 66)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << QStringLiteral("D%1").arg(first + i * step);
    return parts.join(u' ');
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void templateHasEveryElement();
    void pageBreaks_data();
    void pageBreaks();
    void paintedPositions();
    void longTextRunsAcrossItsNeighboursCentred();
    void ledgerValues();
    void pendingRowIsPostedFirst();
    void refusedPostEndsTheRun();
    void cancelBeforeARow();
    void pageFileRoundTrip();
    void badPageFiles_data();
    void badPageFiles();
    void printRange();
    void previewSavesAndLoadsPageFiles();
    void previewFromThePrintPage();

private:
    std::shared_ptr<const ReportTemplate> m_template;
};

void TestReport::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    m_template = Tqr1::storedTemplate();
}

void TestReport::templateHasEveryElement()
{
    size_t elements = 0;
    for (const ReportBand &band : m_template->bands)
        elements += band.elements.size();
    QCOMPARE(elements, size_t(61));
    QCOMPARE(m_template->bands.size(), size_t(4));
    QCOMPARE(m_template->band(Type::Title)->placedHeight(), 262);
    QCOMPARE(m_template->band(Type::Detail)->placedHeight(), 66);
    QCOMPARE(m_template->band(Type::Summary)->placedHeight(), 106);
    // Measures are whole multiples of 1/96 inch, kept at full precision:
    // the detail band is 25/96 inch high.
    QVERIFY(qAbs(m_template->band(Type::Detail)->height - 25 * 254 / 96.0) < 1e-6);
}

void TestReport::pageBreaks_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QString>("pageNumber");
    QTest::newRow("no rows") << 0 << QStringList{QStringLiteral("T100 D362 S428")} << "1";
    QTest::newRow("one row") << 1 << QStringList{QStringLiteral("T100 H362 D428 S494")} << "1";
    QTest::newRow("22 rows") << 22 << QStringList{QStringLiteral("T100 H362 ") + details(22, 428) + QStringLiteral(" S1880")}
                             << "1";
    QTest::newRow("23 rows") << 23
                             << QStringList{QStringLiteral("T100 H362 ") + details(23, 428), QStringLiteral("H100 S166")}
                             << "2";
    QTest::newRow("49 rows") << 49
                             << QStringList{QStringLiteral("T100 H362 ") + details(23, 428),
                                            QStringLiteral("H100 ") + details(26, 166) + QStringLiteral(" S1882")}
                             << "2";
    QTest::newRow("50 rows") << 50
                             << QStringList{QStringLiteral("T100 H362 ") + details(23, 428),
                                            QStringLiteral("H100 ") + details(27, 166), QStringLiteral("H100 S166")}
                             << "3";
}

void TestReport::pageBreaks()
{
    QFETCH(int, rows);
    QFETCH(QStringList, pages);
    QFETCH(QString, pageNumber);
    FakeRows source(rows);
    ReportPages result(m_template);
    QList<int> completed;
    ReportLayout layout(*m_template, source, result);
    layout.pageCompleted = [&](int page) { completed << page; };
    QVERIFY(layout.run());
    QCOMPARE(describe(result), pages);
    const QStringList summary = summaryValues(result);
    QCOMPARE(summary.value(0), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    QCOMPARE(summary.value(1), pageNumber);
    QCOMPARE(summary.value(2), QString::number(rows));
    QCOMPARE(completed.size(), pages.size()); // every page handed over once, in order
}

void TestReport::paintedPositions()
{
    // At 254 dots per inch one dot is a tenth of a millimetre.
    FakeRows source(30);
    ReportPages pages(m_template);
    ReportLayout layout(*m_template, source, pages);
    QVERIFY(layout.run());
    ReportPainter painter(*m_template);
    auto render = [&](int page) {
        QImage image(2970, 2100, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        ReportPainter::setUpPainter(p, 254);
        painter.paint(p, pages, page);
        return image;
    };
    auto dark = [](const QImage &image, int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    const QImage first = render(1);
    // The column header's top line hangs down from 36.2 mm; left frame at 18 mm.
    QVERIFY(dark(first, 1500, 363));
    QVERIFY(!dark(first, 1500, 358));
    QVERIFY(dark(first, 181, 400));
    QVERIFY(!dark(first, 177, 400));
    // The first row's bottom line rises from 42.8 + 6.61 mm; the 23rd row's from 188.0 + 6.61 mm.
    QVERIFY(dark(first, 1500, 492));
    QVERIFY(dark(first, 1500, 1944));
    QVERIFY(!dark(first, 1500, 1952));
    // A column separator at 18 + 16.93 mm, drawn through the header and rows.
    QVERIFY(dark(first, 180 + 169, 450));
    // The title's group captions are on page 1 only.
    const QImage second = render(2);
    QVERIFY(dark(second, 1500, 101));  // column header at the top of page 2
    QVERIFY(dark(second, 1500, 164));  // its bottom line, right above the first row
    QVERIFY(!dark(second, 1500, 98));
    int inkInTitleRow = 0;
    for (int x = 1200; x < 1300; ++x)
        for (int y = 110; y < 150; ++y)
            inkInTitleRow += dark(second, x, y) ? 1 : 0;
    QVERIFY(inkInTitleRow > 0); // page 2's first row, where page 1 has the title
}

void TestReport::longTextRunsAcrossItsNeighboursCentred()
{
    ReportPainter painter(*m_template);
    const ReportBand &detail = *m_template->band(Type::Detail);
    const auto product = std::find_if(detail.elements.begin(), detail.elements.end(),
                                      [](const ReportElement &e) { return e.field == u"产品名称"; });
    QVERIFY(product != detail.elements.end());
    QVERIFY(product->centred);
    const QString name = QStringLiteral("不锈钢冷轧卷 304/2B 1.0*1219*C 宝钢出厂 特级");
    const double width = painter.textWidth(*product, name); // hundredths of a millimetre
    const double centre = (product->left + product->width / 2) * 10;
    QCOMPARE(qRound(centre / 10), 681); // 68.13 mm
    QVERIFY(centre - width / 2 < 5503); // beyond the column's left line at 55.03 mm
    QVERIFY(centre + width / 2 > 8149); // and its right one at 81.49 mm
}

void TestReport::ledgerValues()
{
    test::LedgerFixture fixture;
    fixture.addRow(QStringLiteral("合同号, 日期, 产品名称, 数量1, 收入"),
                   {QStringLiteral("KS-1"), QStringLiteral("2024-03-05 14:30:00"), QStringLiteral("铝锭"), 10, 2.5});
    fixture.addRow(QStringLiteral("合同号, 日期"), {QStringLiteral("KS-2"), QStringLiteral("2024-03-06 00:00:00")});
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    dm.ADOQuery1->last(); // the report starts from the first row whatever is current
    LedgerReportSource source(dm.ADOQuery1);
    ReportPages pages(m_template);
    ReportLayout layout(*m_template, source, pages);
    QVERIFY(layout.run());
    const auto bands = pages.bandsOn(1);
    QCOMPARE(pages.value(bands[0], 0), QStringLiteral("KS-1")); // the title: first row's contract
    const PlacedBand &row1 = bands[2];
    QCOMPARE(pages.value(row1, 0), QStringLiteral("2024/3/5 14:30:00")); // date with its time
    QCOMPARE(pages.value(row1, 3), QStringLiteral("铝锭"));
    QCOMPARE(pages.value(row1, 6), QStringLiteral("¥25.00"));
    QCOMPARE(pages.value(bands[3], 0), QStringLiteral("2024/3/6"));
    QCOMPARE(pages.value(bands[3], 3), QString()); // Null prints nothing
    QVERIFY(dm.ADOQuery1->eof());                  // the run leaves the last row current
    QCOMPARE(dm.ADOQuery1->currentPosition(), 1);
}

void TestReport::pendingRowIsPostedFirst()
{
    test::LedgerFixture fixture;
    fixture.addRow(QStringLiteral("合同号"), {QStringLiteral("KS-1")});
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    dm.ADOQuery1->edit();
    dm.ADOQuery1->fieldByName(QStringLiteral("产品名称"))->setText(QStringLiteral("电解铜"));
    LedgerReportSource source(dm.ADOQuery1);
    ReportPages pages(m_template);
    ReportLayout layout(*m_template, source, pages);
    QVERIFY(layout.run());
    QCOMPARE(pages.value(pages.bandsOn(1)[2], 3), QStringLiteral("电解铜"));
    QCOMPARE(fixture.query(QStringLiteral("select \"产品名称\" from xmb")), QStringList{QStringLiteral("电解铜")});
}

void TestReport::refusedPostEndsTheRun()
{
    test::LedgerFixture fixture;
    fixture.refuseNegativeStockIn();
    fixture.addRow(QStringLiteral("合同号, 数量1"), {QStringLiteral("KS-1"), 1});
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    dm.ADOQuery1->edit();
    dm.ADOQuery1->fieldByName(QStringLiteral("数量1"))->setText(QStringLiteral("-3"));
    LedgerReportSource source(dm.ADOQuery1);
    ReportPages pages(m_template);
    ReportLayout layout(*m_template, source, pages);
    QVERIFY_THROWS_EXCEPTION(ProviderError, layout.run());
    QCOMPARE(pages.pageCount(), 0);
    QCOMPARE(dm.ADOQuery1->state(), QueryDataset::State::Edit); // still pending with the user's value
    QCOMPARE(dm.ADOQuery1->fieldByName(QStringLiteral("数量1"))->displayText(), QStringLiteral("-3"));
}

void TestReport::cancelBeforeARow()
{
    FakeRows source(40);
    ReportPages pages(m_template);
    ReportLayout layout(*m_template, source, pages);
    int rows = 0;
    layout.progress = [&](int) { ++rows; };
    layout.cancelled = [&] { return rows == 25; };
    QVERIFY(!layout.run());
    QCOMPARE(rows, 25);
    QCOMPARE(describe(pages).value(1), QStringLiteral("H100 ") + details(2, 166)); // no summary
}

void TestReport::pageFileRoundTrip()
{
    FakeRows source(60);
    ReportPages pages(m_template);
    ReportLayout layout(*m_template, source, pages);
    QVERIFY(layout.run());
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    pages.save(file);
    file.close();
    file.open(QIODevice::ReadOnly);
    const ReportPages loaded = ReportPages::load(file);
    QCOMPARE(describe(loaded), describe(pages));
    QCOMPARE(summaryValues(loaded), summaryValues(pages));
    QCOMPARE(loaded.value(loaded.bandsOn(2)[5], 3), QStringLiteral("产品名称-28"));
    QCOMPARE(loaded.layout().source, m_template->source);
}

void TestReport::badPageFiles_data()
{
    FakeRows source(30);
    ReportPages pages(m_template);
    ReportLayout layout(*m_template, source, pages);
    layout.run();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    pages.save(buffer);
    const QByteArray good = buffer.data();

    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray() << "不是报表文件";
    QTest::newRow("foreign") << QByteArray("\x89PNG\r\n\x1a\nrest of a picture", 25) << "不是报表文件";
    QTest::newRow("truncated") << good.left(good.size() / 2) << "报表文件已损坏";
    QTest::newRow("only the header") << good.left(12) << "报表文件不完整";
    QByteArray flipped = good;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x20);
    QTest::newRow("one byte changed") << flipped << "报表文件已损坏";
    QByteArray future = good;
    future[8] = 9;
    QTest::newRow("newer version") << future << "报表文件版本 9 不受支持";
}

void TestReport::badPageFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QBuffer file(&content);
    file.open(QIODevice::ReadOnly);
    try {
        ReportPages::load(file);
        QFAIL("a bad page file was loaded");
    } catch (const Error &e) {
        QCOMPARE(e.message(), message);
    }
}

void TestReport::printRange()
{
    QTemporaryDir dir;
    auto source = std::make_unique<FakeRows>(80); // four pages
    QuickReport report(m_template, std::move(source), nullptr);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("range.pdf")));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    report.print(printer, true);
    QFile pdf(printer.outputFileName());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray content = pdf.readAll();
    // Page objects in the file: "/Type /Page" not followed by "s".
    int count = 0;
    for (qsizetype at = content.indexOf("/Type /Page"); at >= 0; at = content.indexOf("/Type /Page", at + 1))
        if (content.mid(at + 11, 1) != "s")
            ++count;
    QCOMPARE(count, 2);
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);
}

void TestReport::previewSavesAndLoadsPageFiles()
{
    QTemporaryDir dir;
    QuickReport report(m_template, std::make_unique<FakeRows>(60), nullptr);
    auto pages = std::make_shared<ReportPages>(m_template);
    ReportPreview preview(&report, pages);
    preview.show();
    preview.runLayout();
    QCOMPARE(preview.pageCount(), 3);
    QCOMPARE(preview.statusText(), QStringLiteral("Page 1 of 3"));
    QTest::keyClick(&preview, Qt::Key_End);
    QCOMPARE(preview.currentPage(), 3);
    QTest::keyClick(&preview, Qt::Key_PageUp);
    QCOMPARE(preview.currentPage(), 2);
    QTest::keyClick(&preview, Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(preview.currentPage(), 1);
    preview.goToPage(QStringLiteral("9"));
    QCOMPARE(preview.currentPage(), 1);
    preview.goToPage(QStringLiteral("3"));
    QCOMPARE(preview.currentPage(), 3);

    const QString saved = dir.filePath(QStringLiteral("ledger.QRP"));
    preview.saveFile(saved);
    // A missing or foreign file is reported and the pages shown stay.
    try {
        preview.loadFile(dir.filePath(QStringLiteral("missing.QRP")));
        QFAIL("a missing file was loaded");
    } catch (const Error &e) {
        QVERIFY2(e.message().contains(QStringLiteral("不存在")), qPrintable(e.message()));
    }
    QFile foreign(dir.filePath(QStringLiteral("foreign.QRP")));
    QVERIFY(foreign.open(QIODevice::WriteOnly));
    foreign.write("%PDF-1.4 not a page file");
    foreign.close();
    QVERIFY_THROWS_EXCEPTION(Error, preview.loadFile(foreign.fileName()));
    QCOMPARE(preview.pageCount(), 3);
    QCOMPARE(preview.currentPage(), 3);
    QVERIFY(!preview.isLoaded());

    // A loaded file replaces the pages, page 1 first; printer setup is gone.
    auto other = std::make_shared<ReportPages>(m_template);
    QuickReport second(m_template, std::make_unique<FakeRows>(5), nullptr);
    ReportPreview fresh(&second, other);
    fresh.runLayout();
    QCOMPARE(fresh.pageCount(), 1);
    fresh.loadFile(saved);
    QVERIFY(fresh.isLoaded());
    QCOMPARE(fresh.pageCount(), 3);
    QCOMPARE(fresh.currentPage(), 1);
    QCOMPARE(describe(fresh.pages()), describe(preview.pages()));
    QVERIFY(!fresh.findChild<QAction *>(QStringLiteral("printerSetup"))->isEnabled());
}

void TestReport::previewFromThePrintPage()
{
    test::LedgerFixture fixture;
    for (int i = 0; i < 30; ++i)
        fixture.addRow(QStringLiteral("合同号"), {QStringLiteral("KS-%1").arg(i % 3)});
    test::MessageBoxCatcher boxes;
    Tdm2 dm(nullptr);
    dm2 = &dm;
    {
        TForm1 form(nullptr);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.search(QStringLiteral("合同号"), QStringLiteral("KS-1"));
        QString status, caption;
        int pages = -1, current = -1;
        QSize size;
        QTimer::singleShot(200, [&] {
            auto *preview = form.findChild<Tqr1 *>() ? form.findChild<Tqr1 *>()->previewWindow() : nullptr;
            QVERIFY(preview);
            caption = preview->windowTitle();
            // It belongs to the main window, which runs modally in the
            // application and would block a window of its own.
            QCOMPARE(preview->parentWidget(), &form);
            QVERIFY(preview->isWindow());
            size = preview->size();
            pages = preview->pageCount();
            current = preview->currentPage();
            status = preview->statusText();
            const ReportPages &shown = preview->pages();
            QCOMPARE(shown.value(shown.bandsOn(1)[0], 0), QStringLiteral("KS-1"));
            QCOMPARE(summaryValues(shown).value(2), QStringLiteral("10"));
            QTest::keyClick(preview, Qt::Key_Escape);
        });
        form.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentIndex(2);
        QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("BitBtn21")), Qt::LeftButton);
        QCOMPARE(caption, QStringLiteral("Print Preview"));
        QCOMPARE(size, QSize(500, 500));
        QCOMPARE(pages, 1);
        QCOMPARE(current, 1);
        QCOMPARE(status, QStringLiteral("Page 1 of 1"));
        QVERIFY(dm.ADOQuery1->eof()); // the run left the last row current
        QCOMPARE(boxes.texts, QStringList());
        // The focus coming back from the preview brings the entry page to the front.
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTRY_COMPARE(form.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->currentIndex(), 0);
    }
    dm2 = nullptr;
}

int main(int argc, char **argv)
{
    Application app(argc, argv);
    TestReport test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_report.moc"
