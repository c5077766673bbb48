#include "engine_test_support.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QStandardPaths>
#include <fstream>
#include <memory>
#include <sstream>

#include "report/engine/report_design_loader.h"

namespace dorvan::report::test {

void EnsureApplication() {
    // The application is created by the test program's main.
    ASSERT_NE(QCoreApplication::instance(), nullptr);
}

Report ReportFromJson(const std::string& json) {
    EnsureApplication();
    return ReportDesignLoader::Load(QByteArray::fromStdString(json));
}

std::vector<std::string> TextsOf(const PageDocument& doc, const std::string& controlName) {
    std::vector<std::string> out;
    for (const Page& page : doc.pages)
        for (const PageItem& item : page.items)
            if (const auto* run = std::get_if<TextRun>(&item);
                run && run->controlName == controlName)
                out.push_back(run->text);
    return out;
}

std::vector<const TextRun*> RunsOf(const Page& page) {
    std::vector<const TextRun*> out;
    for (const PageItem& item : page.items)
        if (const auto* run = std::get_if<TextRun>(&item))
            out.push_back(run);
    return out;
}

const TextRun* FindRun(const Page& page, const std::string& controlName) {
    for (const TextRun* run : RunsOf(page))
        if (run->controlName == controlName)
            return run;
    return nullptr;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> SplitCrLf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto end = bytes.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(pos));
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

namespace {
QString& TempDirectory() {
    static QString dir;
    return dir;
}
}  // namespace

void SetTempDirectory(const QString& dir) {
    TempDirectory() = dir;
}

std::string TempPath(const std::string& name) {
    const QString dir = TempDirectory().isEmpty() ? QDir::tempPath() : TempDirectory();
    return QDir(dir).filePath(QString::fromStdString(name)).toStdString();
}

std::unique_ptr<SampleReport> MakeSampleReport(int rows) {
    EnsureApplication();
    auto sample = std::make_unique<SampleReport>();
    sample->report = ReportDesignLoader::LoadFile(":/engine_test/two_page_report.json");
    sample->head.AddRow({QStringLiteral("Példa Kereskedelmi Kft.\r1117 Budapest\rFő utca 12.\r"
                                        "Adószám: 12345678-2-43"),
                         QStringLiteral("Vevő Őrség Bt.\r9400 Sopron\rŰrhajós utca 5."), 4317});
    for (int i = 1; i <= rows; ++i) {
        const bool reduced = i > rows / 2;
        const double net = 1000.0 * i + 0.25;
        const int rate = reduced ? 5 : 27;
        const QString name = i % 7 == 0 ? QStringLiteral(
                                              "Tétel %1 hosszú megnevezéssel, amely a keskeny "
                                              "oszlopban két sorba tördelődik")
                                              .arg(i)
                                        : QStringLiteral("Tétel %1").arg(i);
        sample->lines.AddRow({rate, QStringLiteral("%1 %-os ÁFA").arg(rate), name, net, rate,
                              net * (1 + rate / 100.0)});
    }
    sample->report.SetDataSource("Head", &sample->head);
    sample->report.SetDataSource("Lines", &sample->lines);
    QImage logo(120, 30, QImage::Format_RGB32);
    logo.fill(QColor(0x20, 0x60, 0xc0));
    sample->report.ControlByName("Logo").picture = logo;
    Report& report = sample->report;
    report.SetBeforePrint("Detail", [&report](Band& band, bool&) {
        band.colour = report.detailNumber % 2 == 0 ? QColor(0xdd, 0xee, 0xff) : QColor(Qt::white);
    });
    return sample;
}

}  // namespace dorvan::report::test
