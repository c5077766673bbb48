#pragma once
// The printer object: the list of installed printers with a selected printer. The list comes
// from the CUPS destinations plus the built-in PDF output, which is always present; tests (and
// the report engine's own tests) can inject another list.

#include <functional>
#include <string>
#include <vector>

namespace dorvan {

// Name of the always-present PDF output in the printer list.
inline constexpr const char* kPdfPrinterName = "PDF";

struct PrinterList {
    std::vector<std::string> names;
    std::string defaultName;  // empty when there is no default printer
};

// CUPS destinations (default marked) and the PDF output; without a CUPS default the PDF
// output is the default.
PrinterList SystemPrinters();

class Printers {
  public:
    using Provider = std::function<PrinterList()>;

    // The program's printer object, created on first need with the installed provider.
    static Printers& Instance();
    // Replaces the source of the list (nullptr: the system's printers) and drops the object,
    // so the next Instance() reads the list afresh.
    static void SetProvider(Provider provider);

    const std::vector<std::string>& Names() const { return list_.names; }
    // Selects `name` (case-insensitive); a name not in the list (also an empty one) selects the
    // default printer. Throws PrinterError "There is no default printer currently selected"
    // when there is none.
    void Select(const std::string& name);
    // The selected printer (empty before the first selection).
    const std::string& SelectedName() const { return selected_; }

    explicit Printers(PrinterList list) : list_(std::move(list)) {}

  private:
    PrinterList list_;
    std::string selected_;
};

// True when at least one printer is installed; otherwise shows the printer warning.
bool CheckPrinters();

// The name last asked for (the configured `Printer`), found or not.
std::string& CurrentPrinterName();

}  // namespace dorvan
