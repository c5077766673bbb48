#include "app/console_commands.h"

#include <stdexcept>

#include "app/data_module_start.h"
#include "app/form1.h"
#include "app/output_file.h"
#include "report/engine/tqr_ascii_export_filter.h"
#include "report/invoice/szamlabizonylat.h"

namespace dorvan::app {

namespace {

ConsoleReport* g_report = nullptr;

}  // namespace

void PrintTest(TQuickRep_szamlabizonylat& report, const std::string& port) {
    report.selection.fej_kod = kConsoleDocumentKey;
    WriteOutputFile(kPrintTestFile, report.TempFolder(), [&report](const std::string& path) {
        report::TQRAsciiExportFilter filter(path);
        report.ExportToFilter(filter);
    });  // the filter is released (its file closed) before the file takes its name
    // The result of the copy is not examined: no port, a busy or a missing device is silent.
    CopyFileToPort(kPrintTestFile, port);
}

void PreviewTest(TQuickRep_szamlabizonylat& report, QWidget* parent) {
    report.selection.fej_kod = kConsoleDocumentKey;
    report.Preview(parent);
}

ConsoleReport::ConsoleReport() {
    g_report = this;
}

ConsoleReport::~ConsoleReport() {
    if (g_report == this) {
        g_report = nullptr;
    }
}

TQuickRep_szamlabizonylat& ConsoleReport::Report() {
    TDM* dm = StartedDataModule();
    if (dm == nullptr) {
        throw std::runtime_error("Az adatmodul nem jött létre, a számla nem készíthető el.");
    }
    if (!report_ || builtOn_ != dm) {
        report_.reset();
        report_ = std::make_unique<TQuickRep_szamlabizonylat>(*dm);
        builtOn_ = dm;
    }
    return *report_;
}

ConsoleReport* QuickRep_szamlabizonylat() {
    return g_report;
}

namespace {

ConsoleReport& TheReport() {
    if (g_report == nullptr) {
        throw std::runtime_error("A számla riport nem jött létre.");
    }
    return *g_report;
}

}  // namespace

void Button1Click() {
    PrintTest(TheReport().Report(), Lpt1DevicePath());
}

void Button2Click() {
    PreviewTest(TheReport().Report(), Form1());
}

void ConsoleReport::Release() {
    report_.reset();
    builtOn_ = nullptr;
}

namespace {

// The data module as the entry holds it: the report built on it goes first, so that the
// report's datasets never outlive the module's connections.
struct DataModuleHolder {
    ~DataModuleHolder() {
        if (g_report != nullptr) {
            g_report->Release();
        }
    }
    AppObject dataModule;
};

}  // namespace

void InstallConsoleCommands(ApplicationHooks& hooks) {
    hooks.createReport = [] { return AppObject(std::make_shared<ConsoleReport>()); };
    if (hooks.createDataModule) {
        hooks.createDataModule = [create = hooks.createDataModule] {
            auto holder = std::make_shared<DataModuleHolder>();
            holder->dataModule = create();
            return AppObject(holder);
        };
    }
    hooks.printCommand = [] { Button1Click(); };
    hooks.previewCommand = [] { Button2Click(); };
}

}  // namespace dorvan::app
