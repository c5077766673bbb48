#include "report/engine/report_design_loader.h"

#include <QFontInfo>
#include <fstream>

#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "report/engine/report_error.h"
#include "report/engine/text_measurer.h"

namespace dorvan::report {
namespace {

TEST(ReportDesignLoader, ReadsTheCompiledInDesign) {
    test::EnsureApplication();
    Report report = ReportDesignLoader::LoadResourceOrFile(":/engine_test/two_page_report.json",
                                                           test::TempPath("missing.json"));
    EXPECT_EQ(report.title, "Próba jelentés - két oldal");
    EXPECT_EQ(report.master, "Lines");
    ASSERT_EQ(report.bands.size(), 9u);
    const Band& blocks = report.BandByName("blocks");  // names without regard to case
    EXPECT_EQ(blocks.type, BandType::Child);
    EXPECT_EQ(blocks.parent, "Title");
    EXPECT_DOUBLE_EQ(blocks.height, 26.5);
    EXPECT_TRUE(blocks.frame.top && blocks.frame.left && blocks.frame.right &&
                !blocks.frame.bottom);
    const Control& title = report.ControlByName("TitleText");
    EXPECT_EQ(title.alignment, Alignment::Center);
    EXPECT_EQ(title.font.family, "Arial");
    EXPECT_DOUBLE_EQ(title.font.size, 16);
    EXPECT_TRUE(title.font.bold);
    EXPECT_FALSE(title.font.italic);
    const Control& issuer = report.ControlByName("Issuer");
    EXPECT_TRUE(issuer.grows);
    EXPECT_EQ(issuer.dataSet, "Head");
    EXPECT_DOUBLE_EQ(issuer.font.size, 10);  // the base font
    EXPECT_EQ(report.BandByName("Summary").keepWith, "Clause");
    EXPECT_EQ(report.BandByName("Captions").colour, QColor(0xe6, 0xe6, 0xe6));
    ASSERT_EQ(report.pageItems.size(), 3u);
    EXPECT_EQ(report.pageItems[2].shape, ShapeKind::HorizontalLine);
    EXPECT_THROW(report.BandByName("NoSuchBand"), ReportError);
}

TEST(ReportDesignLoader, AFileOverridesTheCompiledInDesignAndPixelsConvert) {
    test::EnsureApplication();
    const std::string path = test::TempPath("override.json");
    {
        std::ofstream out(path);
        out << R"({"title": "from file", "units": "px", "bands": [
                 {"name": "B", "type": "detail", "height": 96,
                  "controls": [{"name": "L", "kind": "label", "left": 4, "width": 151, "height": 13}]}]})";
    }
    Report report =
        ReportDesignLoader::LoadResourceOrFile(":/engine_test/two_page_report.json", path);
    EXPECT_EQ(report.title, "from file");
    EXPECT_DOUBLE_EQ(report.BandByName("B").height, 25.4);
    Control& label = report.ControlByName("L");
    EXPECT_NEAR(label.left, 4 * 25.4 / 96, 1e-9);
    EXPECT_NEAR(label.WidthPx(), 151, 1e-9);
    label.SetLeftPx(label.LeftPx() + label.WidthPx() + 4);
    EXPECT_NEAR(label.left, 159 * 25.4 / 96, 1e-9);
}

TEST(ReportDesignLoader, RejectsBrokenDesigns) {
    test::EnsureApplication();
    const char* broken[] = {
        "not json",
        R"({"bands": [{"name": "B", "type": "sideways"}]})",
        R"({"bands": [{"name": "C", "type": "child", "parent": "missing"}]})",
        R"({"bands": [{"name": "B", "type": "detail", "controls": [{"name": "x", "kind": "gizmo"}]}]})",
        R"({"bands": [{"name": "B", "type": "detail", "frame": "diagonal"}]})",
        R"({"bands": [{"name": "B", "type": "detail", "controls": [{"name": "x", "kind": "label", "align": "up"}]}]})",
    };
    for (const char* design : broken) {
        SCOPED_TRACE(design);
        EXPECT_THROW(ReportDesignLoader::Load(design), ReportError);
    }
    EXPECT_THROW(ReportDesignLoader::LoadFile("/nonexistent/design.json"), ReportError);
}

TEST(Fonts, ArialResolvesToLiberationSans) {
    test::EnsureApplication();
    EXPECT_EQ(QFontInfo(ToQFont(FontSpec{})).family(), QStringLiteral("Liberation Sans"));
    FontSpec bold;
    bold.bold = true;
    TextMeasurer measurer;
    // Real metrics: bold text is wider, and a 10 pt line is about 4 mm high.
    EXPECT_GT(measurer.Width(bold, "Végösszesen"), measurer.Width(FontSpec{}, "Végösszesen"));
    EXPECT_NEAR(measurer.LineHeight(FontSpec{}), 3.94, 0.1);
}

}  // namespace
}  // namespace dorvan::report
