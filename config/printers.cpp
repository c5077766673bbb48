#include "config/printers.h"

#include <cups/cups.h>

#include <memory>

#include "config/config_error.h"
#include "config/ini_file.h"
#include "config/ui_port.h"

namespace dorvan {

namespace {

Printers::Provider& ProviderSlot() {
    static Printers::Provider provider;
    return provider;
}

std::unique_ptr<Printers>& InstanceSlot() {
    static std::unique_ptr<Printers> instance;
    return instance;
}

}  // namespace

PrinterList SystemPrinters() {
    PrinterList list;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i) {
        std::string name = dests[i].name ? dests[i].name : "";
        if (dests[i].instance) {
            name += "/";
            name += dests[i].instance;
        }
        if (name.empty()) {
            continue;
        }
        if (dests[i].is_default && list.defaultName.empty()) {
            list.defaultName = name;
        }
        list.names.push_back(name);
    }
    cupsFreeDests(count, dests);
    list.names.emplace_back(kPdfPrinterName);
    if (list.defaultName.empty()) {
        list.defaultName = kPdfPrinterName;
    }
    return list;
}

Printers& Printers::Instance() {
    auto& instance = InstanceSlot();
    if (!instance) {
        const auto& provider = ProviderSlot();
        instance = std::make_unique<Printers>(provider ? provider() : SystemPrinters());
    }
    return *instance;
}

void Printers::SetProvider(Provider provider) {
    ProviderSlot() = std::move(provider);
    InstanceSlot().reset();
}

void Printers::Select(const std::string& name) {
    for (const auto& installed : list_.names) {
        if (!name.empty() && IniNamesEqual(installed, name)) {
            selected_ = installed;
            return;
        }
    }
    if (list_.defaultName.empty()) {
        throw PrinterError("There is no default printer currently selected");
    }
    selected_ = list_.defaultName;
}

bool CheckPrinters() {
    if (Printers::Instance().Names().empty()) {
        Ui().ShowMessage("Printer elérés hiba...",
                         "Nincs alapnyomtató definiálva vagy a program nem éri el a nyomtatót!"
                         "\r\r"
                         "FONTOS! Ha COMODO Antivirus rendszert használ, akkor annak egyik "
                         "szolgáltatása\r"
                         "a SANDBOX akadályozhatja a program frissítés utáni első indítását!",
                         MessageIcon::None);
        return false;
    }
    return true;
}

std::string& CurrentPrinterName() {
    static std::string name;
    return name;
}

}  // namespace dorvan
