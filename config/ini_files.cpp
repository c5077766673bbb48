#include "config/ini_files.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "config/config_error.h"
#include "config/folders.h"
#include "config/ini_file.h"
#include "config/lang_text.h"
#include "config/lib_strings.h"
#include "config/main_table.h"
#include "config/printers.h"
#include "config/ui_port.h"

namespace dorvan {

namespace {

bool FolderExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

void ShowLoadError(const std::string& path) {
    Ui().ShowMessage(LoadErrorCaption(), path + " fájl betöltése megszakadt!", MessageIcon::None);
}

void SelectConfiguredPrinter() {
    CurrentPrinterName() = MainTable().Printer;
    Printers::Instance().Select(CurrentPrinterName());
}

void ReadMainFile(const std::string& path) {
    if (!FileExists(path)) {
        return;
    }
    const IniDocument ini = IniFile(path).Snapshot();
    auto& mt = MainTable();
    mt.TestedVersion = ini.ReadString("Sales", "TestedVersion", "");
    mt.Host = ini.ReadString("DataBase", "Host", "localhost");
    mt.Database = ini.ReadString("DataBase", "Database", "Dorvan_Data");
    mt.Protocol = ini.ReadString("DataBase", "Protocol", "postgresql-7.3");
    mt.User = ini.ReadString("DataBase", "User", "DorUser");
    mt.Password = ini.ReadString("DataBase", "Password", "qzt731");
    mt.Port = ini.ReadString("DataBase", "Port", "0");
}

void ReadMachineFile(const std::string& path, const std::string& exeFolder) {
    if (!FileExists(path)) {
        return;
    }
    const IniDocument ini = IniFile(path).Snapshot();
    auto& mt = MainTable();
    mt.Printer = ini.ReadString("Sales", "Printer", "");
    mt.PrinterNyugta = ini.ReadString("Sales", "PrinterNyugta", "");
    mt.PrinterSzamla = ini.ReadString("Sales", "PrinterSzamla", "");
    mt.PrinterBoritek = ini.ReadString("Sales", "PrinterBoritek", "");
    mt.BoritekHelye = ini.ReadInteger("Sales", "BoritekHelye", 1);
    mt.BizPrint = ini.ReadInteger("Sales", "BizPrint", 1);
    mt.BoritekTalca = ini.ReadInteger("Sales", "BoritekTalca", 1);
    mt.Nyomtatvany_sorkiemeles = ini.ReadInteger("Sales", "Nyomtatvany_sorkiemeles", kWhite);
    mt.Bizonylat_sorkiemeles = ini.ReadInteger("Sales", "Bizonylat_sorkiemeles", kWhite);
    if (mt.Nyomtatvany_sorkiemeles == 0) {
        mt.Nyomtatvany_sorkiemeles = kWhite;
    }
    if (mt.Bizonylat_sorkiemeles == 0) {
        mt.Bizonylat_sorkiemeles = kLightGrey;
    }
    const std::string defaultSave = GetOwnFilesFolder() + "save";
    mt.SaveDir = ini.ReadString("Save_" + exeFolder, "SaveDir", defaultSave);
    // Each key is converted as it is read: a bad one leaves the later ones untouched.
    mt.HelpPosLeft = StrToInt(ini.ReadString("HelpWin", "HelpPosLeft", "0"));
    mt.HelpPosTop = StrToInt(ini.ReadString("HelpWin", "HelpPosTop", "0"));
    mt.HelpWidth = StrToInt(ini.ReadString("HelpWin", "HelpWidth", "0"));
    mt.HelpHeight = StrToInt(ini.ReadString("HelpWin", "HelpHeight", "0"));
    mt.HelpMainWidth = StrToInt(ini.ReadString("HelpWin", "HelpMainWidth", "0"));
    mt.HelpMainHeight = StrToInt(ini.ReadString("HelpWin", "HelpMainHeight", "0"));
    if (!FolderExists(mt.SaveDir)) {
        mt.SaveDir = defaultSave;
        if (!FolderExists(defaultSave)) {
            std::error_code ec;
            // Errors are ignored. An installed program's own folder (the per-machine folder)
            // may not be there yet on the first start.
            if (GetFileLayout() == FileLayout::Installed) {
                std::filesystem::create_directories(defaultSave, ec);
            } else {
                std::filesystem::create_directory(defaultSave, ec);
            }
        }
    }
}

}  // namespace

std::string& ExecutableFolder() {
    static std::string folder;
    return folder;
}

std::string LoadErrorCaption() {
    return ConfigLangText("All", "betoltesi_hiba", "Betöltés hiba");
}

int ReadIniFiles() {
    int result = 1;
    CheckPrinters();
    ExecutableFolder() = GetExeFolder();
    const std::string exeFolder = ExecutableFolder();

    const std::string mainPath = GetConfigFolder() + kMainIniName;
    try {
        ReadMainFile(mainPath);
    } catch (const std::exception&) {
        ShowLoadError(mainPath);
        result = 0;
    }

    std::string machinePath = GetMachineFolder(exeFolder) + kMachineIniName;
    try {
        if (!FileExists(machinePath)) {
            machinePath = GetWindowsFolder() + kMachineIniName;
        }
        ReadMachineFile(machinePath, exeFolder);
    } catch (const std::exception&) {
        ShowLoadError(machinePath);
        result = 0;
    }

    SelectConfiguredPrinter();
    return result;
}

int WriteIniFiles() {
    const std::string exeFolder = ExecutableFolder().empty() ? GetExeFolder() : ExecutableFolder();
    const std::string localAppData = GetSpecialFolder(kCsidlLocalAppData);
    const std::string machineFolder = GetMachineFolder(exeFolder);
    for (const std::string& folder :
         {localAppData + "/Norvello", localAppData + "/Norvello/Dorvan2007", machineFolder}) {
        std::error_code ec;
        if (!FolderExists(folder) && !std::filesystem::create_directory(folder, ec) &&
            !FolderExists(folder)) {
            throw IniWriteError("Cannot create the settings folder " + folder + ": " +
                                (ec ? ec.message() : std::string("not a folder")));
        }
    }
    const auto& mt = MainTable();

    // Each file is written once, whole: a program starting meanwhile reads either the old
    // or the new settings, never a part of them.
    IniFile mainIni(machineFolder + kMainIniName);
    mainIni.SetOwnerOnly(true);  // holds the database password
    mainIni.Update([&](IniDocument& ini) {
        ini.EraseSection("Sales");
        ini.WriteString("Sales", "TestedVersion", mt.TestedVersion);
        ini.WriteString("DataBase", "Host", mt.Host);
        ini.WriteString("DataBase", "Database", mt.Database);
        ini.WriteString("DataBase", "Protocol", mt.Protocol);
        ini.WriteString("DataBase", "User", mt.User);
        ini.WriteString("DataBase", "Password", mt.Password);
        ini.WriteString("DataBase", "Port", mt.Port);
    });

    IniFile machineIni(machineFolder + kMachineIniName);
    machineIni.Update([&](IniDocument& ini) {
        ini.WriteString("Sales", "Printer", mt.Printer);
        ini.WriteString("Sales", "PrinterNyugta", mt.PrinterNyugta);
        ini.WriteString("Sales", "PrinterSzamla", mt.PrinterSzamla);
        ini.WriteString("Sales", "PrinterBoritek", mt.PrinterBoritek);
        ini.WriteInteger("Sales", "BoritekHelye", mt.BoritekHelye);
        ini.WriteInteger("Sales", "BizPrint", mt.BizPrint);
        ini.WriteInteger("Sales", "BoritekTalca", mt.BoritekTalca);
        ini.WriteInteger("Sales", "Nyomtatvany_sorkiemeles", mt.Nyomtatvany_sorkiemeles);
        ini.WriteInteger("Sales", "Bizonylat_sorkiemeles", mt.Bizonylat_sorkiemeles);
        ini.EraseSection("HelpWin");
        ini.WriteString("HelpWin", "HelpPosLeft", std::to_string(mt.HelpPosLeft));
        ini.WriteString("HelpWin", "HelpPosTop", std::to_string(mt.HelpPosTop));
        ini.WriteString("HelpWin", "HelpWidth", std::to_string(mt.HelpWidth));
        ini.WriteString("HelpWin", "HelpHeight", std::to_string(mt.HelpHeight));
        ini.WriteString("HelpWin", "HelpMainWidth", std::to_string(mt.HelpMainWidth));
        ini.EraseSection("Save");
        ini.WriteString("Save_" + exeFolder, "SaveDir", mt.SaveDir);
    });

    SelectConfiguredPrinter();
    return 1;
}

}  // namespace dorvan
