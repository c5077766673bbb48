#include "app/print_options.h"

#include <charconv>

#include "app/program_info.h"

namespace dorvan::app {

namespace {

// Splits "--name=value" into name and value.
struct Argument {
    std::string name;
    std::optional<std::string> value;
};

Argument Split(const std::string& arg) {
    const auto eq = arg.find('=');
    if (arg.rfind("--", 0) != 0 || eq == std::string::npos) {
        return {arg, std::nullopt};
    }
    return {arg.substr(0, eq), arg.substr(eq + 1)};
}

int ParseKey(const std::string& text) {
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (text.empty() || error != std::errc() || end != last) {
        throw PrintUsageError("--key: not a whole number: \"" + text + "\"");
    }
    return value;
}

}  // namespace

PrintOptions ParsePrintOptions(const std::vector<std::string>& args,
                               const std::string& environmentUser) {
    PrintOptions options;
    options.user = environmentUser;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const Argument arg = Split(args[i]);
        // The value of an option that needs one: after "=" or the next argument.
        const auto value = [&]() -> std::string {
            if (arg.value) {
                return *arg.value;
            }
            if (i + 1 >= args.size()) {
                throw PrintUsageError(arg.name + ": missing value");
            }
            return args[++i];
        };
        const auto noValue = [&] {
            if (arg.value) {
                throw PrintUsageError(arg.name + ": takes no value");
            }
        };
        if (arg.name == "--help" || arg.name == "-h") {
            noValue();
            options.help = true;
        } else if (arg.name == "--version") {
            noValue();
            options.version = true;
        } else if (arg.name == "--key") {
            options.key = ParseKey(value());
        } else if (arg.name == "--number") {
            options.number = value();
            if (options.number->empty()) {
                throw PrintUsageError("--number: empty document number");
            }
        } else if (arg.name == "--lang") {
            options.lang = value();
        } else if (arg.name == "--prev") {
            noValue();
            options.prev = true;
        } else if (arg.name == "--text") {
            options.text = value();
        } else if (arg.name == "--pdf") {
            options.pdf = value();
        } else if (arg.name == "--print") {
            options.print = true;
            options.printer = arg.value.value_or("");
        } else if (arg.name == "--copies") {
            noValue();
            options.copies = true;
        } else if (arg.name == "--port") {
            options.port = value();
        } else if (arg.name == "--nav-xml") {
            options.navXml = value();
        } else if (arg.name == "--nav-xml-warnings") {
            noValue();
            options.navWarnings = true;
        } else if (arg.name == "--nav-operation") {
            noValue();
            options.navOperation = true;
        } else if (arg.name == "--user") {
            options.user = value();
            if (options.user.empty()) {
                throw PrintUsageError("--user: empty user id");
            }
        } else if (arg.name == "--verbose") {
            noValue();
            options.verbose = true;
        } else {
            throw PrintUsageError("unknown option: " + args[i]);
        }
        if ((arg.name == "--text" && options.text->empty()) ||
            (arg.name == "--pdf" && options.pdf->empty()) ||
            (arg.name == "--port" && options.port->empty()) ||
            (arg.name == "--nav-xml" && options.navXml->empty())) {
            throw PrintUsageError(arg.name + ": empty file name");
        }
    }
    if (options.key && options.number) {
        throw PrintUsageError("--key and --number exclude each other");
    }
    return options;
}

std::string PrintUsage() {
    return std::string(
               "Usage: dorvan-print [--key N | --number DOCNO] [OPTION]...\n"
               "\n"
               "Prints a stored invoice after the same start-up as the console (configuration\n"
               "files, database connection). A failure ends with its reason on one line on "
               "stderr.\n"
               "\n"
               "  --key N          document key (default 4317)\n"
               "  --number DOCNO   document number instead of the key\n"
               "  --lang CODE      second document language, e.g. 00000409\n"
               "  --prev           the snapshot of a document being edited\n"
               "  --text FILE      plain text for dot-matrix printers (Windows-1250, CR LF)\n"
               "  --pdf FILE       PDF\n"
               "  --print[=NAME]   print on the named printer (default: the invoice printer)\n"
               "  --copies         the copy run: every copy of the settings, the first one\n"
               "                   labelled as original\n"
               "  --port DEVICE    copy the plain text to DEVICE (default port: $DORVAN_LPT1,\n"
               "                   else /dev/lp0); a named DEVICE that cannot take the whole\n"
               "                   file is a failure, the default port fails silently\n"
               "  --nav-xml FILE   the invoice data for the tax authority (Online Szamla 3.0\n"
               "                   InvoiceData XML), checked as the authority checks it: no file\n"
               "                   when the document cannot be expressed or would be rejected\n"
               "                   (the one line names the authority's code and the line); the\n"
               "                   invoice appears as ELECTRONIC when the run makes only a PDF of\n"
               "                   it, else as PAPER\n"
               "  --nav-xml-warnings  the authority's warnings on that data, one per line on\n"
               "                   stdout (also without --nav-xml)\n"
               "  --nav-operation  how that data is sent, one line on stdout: CREATE, or STORNO,\n"
               "                   the modification index and the original invoice's number\n"
               "                   separated by tabs\n"
               "  --user USERID    sign this user in after the start-up (default: $DORVAN_USER),\n"
               "                   so that the user's language and rights apply; an unknown\n"
               "                   user is a usage error\n"
               "  --verbose        also the dialog texts of the start-up on stderr\n"
               "  --help           this text\n"
               "  --version        the program's version\n"
               "\n"
               "Without --text, --pdf, --print, --copies and the --nav options: the print test\n"
               "of the console, the plain text into \"racun.txt\" in the current folder and its\n"
               "copy to the port.\n"
               "With --text, the file is copied to a port only when --port is given. Files appear\n"
               "whole or not at all, and no two outputs may name the same file.\n"
               "\n"
               "Exit status 0 on success, 1 on failure (one line on stderr), 2 for a command line\n"
               "that cannot be understood.\n"
               "\n") +
           FilesHelp();
}

}  // namespace dorvan::app
