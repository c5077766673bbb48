#pragma once
// The command line of dorvan-print:
//   dorvan-print [--key N | --number DOCNO] [--lang CODE] [--prev] [--text FILE]
//                [--pdf FILE] [--print[=PRINTER]] [--copies] [--port DEVICE] [--nav-xml FILE]
//                [--nav-xml-warnings] [--nav-operation] [--user USERID] [--verbose]
// Options with a value take it as the next argument or after "=".

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace dorvan::app {

struct PrintOptions {
    bool help = false;
    bool version = false;
    // The document: by key or by number (at most one of them; neither: the print test's key).
    std::optional<int> key;
    std::optional<std::string> number;
    std::string lang;
    bool prev = false;
    // Ways out; none of text, pdf, print and copies: the print test ("racun.txt" and the
    // copy to the port).
    std::optional<std::string> text;
    std::optional<std::string> pdf;
    bool print = false;
    std::string printer;  // --print=PRINTER; empty: the invoice printer of the settings
    bool copies = false;
    std::optional<std::string> port;
    std::optional<std::string> navXml;  // the invoice data for the tax authority
    bool navWarnings = false;           // print the authority's warnings on that data
    bool navOperation = false;          // print how that data is sent (CREATE, STORNO, ...)
    // The dialog texts of the start-up and the services on stderr (else only a failure's
    // final reason).
    bool verbose = false;
    // The user to sign in after the start-up (--user, else $DORVAN_USER); empty: nobody.
    std::string user;

    // The invoice data for the tax authority is made.
    bool NavOutput() const { return navXml || navWarnings || navOperation; }
    // The print test's way out: no output option given.
    bool PrintTestOutput() const { return !text && !pdf && !print && !copies && !NavOutput(); }
};

// A command line that cannot be understood; what() is one line.
class PrintUsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name; `environmentUser` ($DORVAN_USER) is the user
// when --user is not given.
PrintOptions ParsePrintOptions(const std::vector<std::string>& args,
                               const std::string& environmentUser = {});

// The text of --help.
std::string PrintUsage();

}  // namespace dorvan::app
