#include "engine_test_support.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <fstream>
#include <memory>
#include <sstream>

#include "report/engine/report_design_loader.h"

namespace dorvan::report::test {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "engine_test";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app;
    if (QCoreApplication::instance() == nullptr)
        app = std::make_unique<QApplication>(argc, argv);
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

std::string TempPath(const std::string& name) {
    const QString dir = QDir::temp().filePath(
        QStringLiteral("dorvan_engine_test_%1").arg(QCoreApplication::applicationPid()));
    QDir().mkpath(dir);
    return QDir(dir).filePath(QString::fromStdString(name)).toStdString();
}

}  // namespace dorvan::report::test
