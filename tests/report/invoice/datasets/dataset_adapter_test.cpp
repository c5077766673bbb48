// The invoice datasets seen through the engine's data-source interface.

#include <gtest/gtest.h>

#include <QDate>
#include <QGuiApplication>
#include <QString>
#include <QTime>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "invoice_data_fixture.h"
#include "report/engine/report.h"
#include "report/engine/report_error.h"
#include "report/engine/report_layout.h"
#include "report/invoice/dataset_adapter.h"

namespace dorvan::test {
namespace {

TEST_F(InvoiceDataTest, AdapterValuesKeepTheirKinds) {
    props.fej_kod = 4317;
    data->ReopenAll();
    DataSetAdapter fej(Fej());

    struct Case {
        const char* column;
        QMetaType::Type type;
        QVariant value;
    };
    const Case cases[] = {
        {"kod", QMetaType::LongLong, QVariant(qlonglong{4317})},
        {"KOD", QMetaType::LongLong, QVariant(qlonglong{4317})},
        {"torolve", QMetaType::LongLong, QVariant(qlonglong{0})},
        {"deviza_arfolyam", QMetaType::Double, QVariant(1.0)},
        {"kelte", QMetaType::QDate, QVariant(QDate(2026, 12, 3))},
        {"Ido", QMetaType::QTime, QVariant(QTime(9, 41, 0))},
        {"nev", QMetaType::QString, QVariant(QString::fromUtf8("Kovács és Társa Bt."))},
        {"_prev_bizonylat", QMetaType::QString, QVariant(QString("????????"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        ASSERT_TRUE(fej.HasColumn(c.column));
        const QVariant v = fej.Value(c.column);
        EXPECT_EQ(v.typeId(), c.type);
        EXPECT_EQ(v, c.value);
    }
    // Calculated text with a carriage return and Hungarian letters arrives whole.
    EXPECT_EQ(fej.Value("zaradek").toString().toStdString(), FejText("zaradek"));
    // SQL NULL.
    EXPECT_TRUE(fej.Value("torolve_datum").isNull());
    EXPECT_TRUE(fej.Value("forras_bizonylat_leiras").isNull());

    EXPECT_FALSE(fej.HasColumn("nincs_ilyen"));
    EXPECT_THROW(fej.Value("nincs_ilyen"), report::ReportError);
}

TEST_F(InvoiceDataTest, AdapterWalksTheLinesWithTheirCalculatedColumns) {
    props.fej_kod = 4317;
    data->ReopenAll();
    DataSetAdapter lines(Tetel());
    std::vector<qlonglong> keys;
    double afa = 0;
    for (lines.First(); !lines.Eof(); lines.Next()) {
        keys.push_back(lines.Value("kod").toLongLong());
        afa += lines.Value("AFA_arbevetel").toDouble();
        EXPECT_FALSE(lines.Value("Masodik_sor").toString().isEmpty());
        EXPECT_EQ(lines.Value("afa_szazalek").typeId(), QMetaType::Double);
    }
    EXPECT_EQ(keys.size(), 10u);
    EXPECT_EQ(keys.front(), 431701);
    // Past the last row every column reads as null.
    EXPECT_TRUE(lines.Value("kod").isNull());
    EXPECT_TRUE(lines.Value("Masodik_sor").isNull());
    EXPECT_NEAR(afa, Fej().FieldByName("afa_arbevetel_vegosszeg").AsFloat(), 0.01);

    // A second walk starts again from the first line.
    lines.First();
    EXPECT_EQ(lines.Value("kod").toLongLong(), 431701);
}

TEST_F(InvoiceDataTest, AdapterOverClosedAndEmptyDataSets) {
    DataSetAdapter closed(Tetel());
    closed.First();
    EXPECT_TRUE(closed.Eof());

    props.fej_kod = 999999;
    data->ReopenAll();
    DataSetAdapter fej(Fej());
    DataSetAdapter lines(Tetel());
    fej.First();
    lines.First();
    EXPECT_TRUE(fej.Eof());
    EXPECT_TRUE(lines.Eof());
    EXPECT_TRUE(fej.Value("nev").isNull());
    EXPECT_TRUE(fej.Value("zaradek").isNull());
    EXPECT_THROW(fej.Value("nincs_ilyen"), report::ReportError);
}

TEST_F(InvoiceDataTest, EngineRunsOverTheAdaptedLines) {
    int argc = 1;
    char name[] = "invoice_data_test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    props.fej_kod = 4317;
    data->ReopenAll();
    DataSetAdapter fej(Fej());
    DataSetAdapter lines(Tetel());

    report::Report r;
    r.master = "Raktar_mozgasZReadOnlyQuery";
    r.SetDataSource("Raktar_mozgasZReadOnlyQuery", &lines);
    r.SetDataSource("Raktar_mozgas_fejZReadOnlyQuery", &fej);
    report::Band detail;
    detail.name = "Detail";
    detail.type = report::BandType::Detail;
    detail.height = 5;
    report::Control kod;
    kod.name = "QRDBText_kod";
    kod.kind = report::ControlKind::DataText;
    kod.field = "kod";
    kod.mask = "00000000";
    kod.width = 30;
    kod.height = 4;
    detail.controls.push_back(kod);
    report::Control deviza = kod;
    deviza.name = "QRDBText_deviza";
    deviza.dataSet = "Raktar_mozgas_fejZReadOnlyQuery";
    deviza.field = "deviza_nev";
    deviza.mask.clear();
    deviza.left = 40;
    detail.controls.push_back(deviza);
    // Without a mask of its own a data text takes the field's display format.
    report::Control partner = deviza;
    partner.name = "QRDBText_partner_kod";
    partner.field = "partner_kod";
    partner.left = 80;
    detail.controls.push_back(partner);
    r.bands.push_back(detail);

    const report::PageDocument doc = report::ReportLayout(r).Run();
    std::vector<std::string> kods;
    std::vector<std::string> devizak;
    std::vector<std::string> partnerek;
    for (const auto& page : doc.pages)
        for (const auto& item : page.items)
            if (const auto* run = std::get_if<report::TextRun>(&item)) {
                if (run->controlName == "QRDBText_kod")
                    kods.push_back(run->text);
                else if (run->controlName == "QRDBText_deviza")
                    devizak.push_back(run->text);
                else if (run->controlName == "QRDBText_partner_kod")
                    partnerek.push_back(run->text);
            }
    ASSERT_EQ(kods.size(), 10u);
    EXPECT_EQ(kods.front(), "00431701");
    EXPECT_EQ(kods.back(), "00431704");
    EXPECT_EQ(devizak, std::vector<std::string>(10, "HUF"));
    EXPECT_EQ(partnerek, std::vector<std::string>(10, "00000002"));
    EXPECT_EQ(fej.DisplayFormat("PARTNER_KOD"), "00000000");
    EXPECT_EQ(lines.DisplayFormat("kedvezmeny_szazalek"), "##0.## %");
    EXPECT_EQ(lines.DisplayFormat("nev"), "");
    EXPECT_EQ(lines.DisplayFormat("nincs_ilyen"), "");
}

}  // namespace
}  // namespace dorvan::test
