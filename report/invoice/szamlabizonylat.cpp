#include "report/invoice/szamlabizonylat.h"

#include <QPrinter>
#include <QPrinterInfo>

#include "config/folders.h"
#include "config/main_table.h"
#include "config/temp_folder.h"
#include "datamodule/dm.h"
#include "report/engine/report_design_loader.h"
#include "report/engine/report_error.h"
#include "report/engine/report_layout.h"
#include "report/engine/report_output.h"
#include "report/engine/tqr_ascii_export_filter.h"
#include "report/invoice/band_rules.h"
#include "report/invoice/dataset_adapter.h"
#include "report/invoice/header_preparation.h"
#include "report/invoice/invoice_datasets.h"

// The design is compiled into the library; a static library needs its resources named.
static void InitInvoiceResources() {
    Q_INIT_RESOURCE(szamlabizonylat);
}

namespace dorvan {

InvoiceData::~InvoiceData() = default;

namespace {

constexpr const char* kHeader = "Raktar_mozgas_fejZReadOnlyQuery";
constexpr const char* kLines = "Raktar_mozgasZReadOnlyQuery";
constexpr const char* kSign = "ElojelZReadOnlyQuery";
constexpr const char* kDesignResource = ":/invoice/szamlabizonylat_design.json";
constexpr const char* kDesignFile = "designs/szamlabizonylat_design.json";

// The datasets of the data module's connection, reading the report's selection.
class DmInvoiceData : public InvoiceData {
  public:
    DmInvoiceData(TDM& dm, const InvoiceSelection& selection)
        : datasets_(dm, selection),
          header_(datasets_.Raktar_mozgas_fejZReadOnlyQuery),
          lines_(datasets_.Raktar_mozgasZReadOnlyQuery),
          sign_(datasets_.ElojelZReadOnlyQuery) {}

    bool Reopen() override { return datasets_.ReopenAll(); }
    bool GyujtoszamlaGroupEnabled() const override { return datasets_.GyujtoszamlaGroupEnabled(); }
    report::DataSource& Header() override { return header_; }
    report::DataSource& Lines() override { return lines_; }
    report::DataSource& Sign() override { return sign_; }

  private:
    TInvoiceDatasets datasets_;
    DataSetAdapter header_;
    DataSetAdapter lines_;
    DataSetAdapter sign_;
};

}  // namespace

TQuickRep_szamlabizonylat::TQuickRep_szamlabizonylat(TDM& dm)
    : dm_(dm), ownData_(std::make_unique<DmInvoiceData>(dm, selection)), data_(ownData_.get()) {
    Init();
}

TQuickRep_szamlabizonylat::TQuickRep_szamlabizonylat(TDM& dm, InvoiceData& data)
    : dm_(dm), data_(&data) {
    Init();
}

TQuickRep_szamlabizonylat::~TQuickRep_szamlabizonylat() = default;

void TQuickRep_szamlabizonylat::Init() {
    InitInvoiceResources();
    // The design file of the data folder when there is one (an installed program's
    // <prefix>/share/dorvan/designs/), else the copy compiled in.
    report_ = report::ReportDesignLoader::LoadResourceOrFile(kDesignResource,
                                                             GetDataFolder() + kDesignFile);
    BindDataSources();
    report_.onBeforePrint = [this](report::Report& r) { QuickRepBeforePrint(r); };
    invoice::InstallBandRules(*this);
}

void TQuickRep_szamlabizonylat::QuickRepBeforePrint(report::Report&) {
    invoice::QuickRepBeforePrint(*this);
    BindDataSources();
}

void TQuickRep_szamlabizonylat::BindDataSources() {
    report_.SetDataSource(kHeader, &data_->Header());
    report_.SetDataSource(kLines, &data_->Lines());
    report_.SetDataSource(kSign, &data_->Sign());
}

RunTempFolder& TQuickRep_szamlabizonylat::TempFolder() {
    if (!tempFolder_)
        tempFolder_ = std::make_unique<RunTempFolder>();
    return *tempFolder_;
}

report::PageDocument TQuickRep_szamlabizonylat::Layout() {
    return report::ReportLayout(report_).Run();
}

void TQuickRep_szamlabizonylat::ExportToFilter(report::ExportFilter& filter) {
    report::ExportReport(report_, filter);
}

void TQuickRep_szamlabizonylat::ExportText(const std::string& path) {
    report::TQRAsciiExportFilter filter(path);
    ExportToFilter(filter);
}

void TQuickRep_szamlabizonylat::ExportPdf(const std::string& path) {
    report::ExportReportPdf(report_, path);
}

void TQuickRep_szamlabizonylat::Preview(QWidget* parent) {
    report::PageDocument document = Layout();
    // A file printed from the preview is named after the document: its number, or its key
    // while it has none (a copy being edited prints "????????").
    const std::string number = selection.prev == 0
                                   ? data_->Header().Value("Bizonylatszam").toString().toStdString()
                                   : std::string();
    document.fileName = !number.empty()          ? number
                        : selection.fej_kod != 0 ? "bizonylat_" + std::to_string(selection.fej_kod)
                                                 : std::string();
    report::ExecPreview(std::move(document), parent);
}

void TQuickRep_szamlabizonylat::Print(const std::string& printerName) {
    const std::string name = printerName.empty() ? MainTable().PrinterSzamla : printerName;
    QPrinter printer(QPrinter::HighResolution);
    if (!name.empty()) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(name));
        if (info.isNull())
            throw report::ReportError("printer not found: " + name);
        printer.setPrinterName(info.printerName());
    }
    printer.setCopyCount(1);
    printer.setDocName(QString::fromStdString(report_.title));
    report::PrintReport(report_, printer);
}

int TQuickRep_szamlabizonylat::CopyCount() {
    data_->Reopen();
    TFizmodInfo fizmod;
    dm_.GetFizmodInfo(invoice::IntOf(data_->Header().Value("fizetesmod_kod")), "0", fizmod);
    return invoice::SetupMainInt(dm_, fizmod.halasztott_fizetesu == 1
                                          ? "szamla_peldanyszam_halasztott"
                                          : "szamla_peldanyszam");
}

void TQuickRep_szamlabizonylat::ResetDocument() {
    selection.fej_kod = 0;
    selection.bizonylatszam.clear();
    selection.peldanyszam = 0;
    selection.peldany = 0;
}

int TQuickRep_szamlabizonylat::Print_all() {
    const int count = CopyCount();
    ResetDocument();
    return count;
}

int TQuickRep_szamlabizonylat::PrintCopies(const std::string& printerName) {
    return RunCopies([this, &printerName] { Print(printerName); });
}

int TQuickRep_szamlabizonylat::RunCopies(const std::function<void()>& printCopy) {
    struct Reset {
        TQuickRep_szamlabizonylat& rep;
        ~Reset() { rep.ResetDocument(); }
    } reset{*this};
    const int count = CopyCount();
    for (int copy = 1; copy <= count; ++copy) {
        selection.peldanyszam = count;
        selection.peldany = copy;
        printCopy();
    }
    return count;
}

}  // namespace dorvan
