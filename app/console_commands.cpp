#include "app/console_commands.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "app/data_module_start.h"
#include "app/form1.h"
#include "report/engine/tqr_ascii_export_filter.h"
#include "report/invoice/szamlabizonylat.h"

namespace dorvan::app {

namespace {

ConsoleReport* g_report = nullptr;

// Closes a file descriptor when the scope ends.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    // Closes now; false when the close reported an error (a late write failure).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool IsDevicePath(const std::string& path) {
    return path.rfind("/dev/", 0) == 0;
}

}  // namespace

std::string Lpt1DevicePath() {
    const char* configured = std::getenv(kLpt1DeviceVariable);
    if (configured != nullptr && *configured != '\0') {
        return configured;
    }
    return kDefaultLpt1Device;
}

bool CopyFileToPort(const std::string& source, const std::string& target) {
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) {
        return false;
    }
    int flags = O_WRONLY | O_TRUNC | O_CLOEXEC;
    if (!IsDevicePath(target)) {
        flags |= O_CREAT;
    }
    FileDescriptor out(::open(target.c_str(), flags, 0666));
    if (out.Get() < 0) {
        return false;
    }
    std::array<char, 64 * 1024> buffer{};
    for (;;) {
        const ssize_t got = ::read(in.Get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (got == 0) {
            break;
        }
        if (!WriteAll(out.Get(), buffer.data(), static_cast<std::size_t>(got))) {
            return false;
        }
    }
    return out.Close();
}

void PrintTest(TQuickRep_szamlabizonylat& report, const std::string& port) {
    report.fej_kod = kConsoleDocumentKey;
    {
        report::TQRAsciiExportFilter filter(kPrintTestFile);
        report.ExportToFilter(filter);
    }  // the filter is released (its file closed) before the copy
    // The result of the copy is not examined: no port, a busy or a missing device is silent.
    CopyFileToPort(kPrintTestFile, port);
}

void PreviewTest(TQuickRep_szamlabizonylat& report, QWidget* parent) {
    report.fej_kod = kConsoleDocumentKey;
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
