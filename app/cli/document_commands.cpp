// dorvan-cli subcommands of the documents area: document numbers, reversal of a document,
// cash-desk postings and their reversal, invoicing of a delivery-note line.

#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/cli/cli_support.h"
#include "datamodule/dm.h"

namespace dorvan::cli {

namespace {

// The most numbers one `number` command hands out.
constexpr int kMaxNumberCount = 10000;

int RunNumber(CliContext& c, const CliArgs& a) {
    const int kind = ParseInt(a.At(0), "KIND");
    const int count = a.Has("--count") ? ParseInt(a.Value("--count"), "--count") : 1;
    if (count < 1 || count > kMaxNumberCount)
        throw UsageError("--count must be from 1 to " + std::to_string(kMaxNumberCount));
    const db::TDateTime date =
        a.Has("--date") ? ParseIsoDate(a.Value("--date"), "--date") : c.dm.GetDate();
    for (int i = 0; i < count; ++i) {
        const std::string number =
            c.dm.AddNewBizszam(kind, !a.Has("--serial-first"), date, !a.Has("--no-fill"));
        if (number.empty())
            throw std::runtime_error("the number register gave no serial");
        c.out << number << '\n';
    }
    return kSuccess;
}

int RunReverse(CliContext& c, const CliArgs& a) {
    const int kod = ParseInt(a.At(0), "KEY");
    // The reversal tells the user itself (on stderr) why it did nothing, where it says so.
    const int result =
        c.dm.BizonylatSztorno(kod, false, !a.Has("--no-transaction"), a.Has("--keep-time"));
    if (result == 0)
        return kRefused;
    c.out << result << '\n';
    return kSuccess;
}

int RunCashPost(CliContext& c, const CliArgs& a) {
    const int partner = ParseInt(a.At(0), "PARTNER");
    const db::TDateTime date = ParseIsoDate(a.At(1), "DATE");
    const int from = ParseInt(a.At(2), "FROM");
    const int to = ParseInt(a.At(3), "TO");
    const double amount = ParseNumber(a.At(4), "AMOUNT");
    const int direction = ParseInt(a.At(5), "DIRECTION");
    c.out << c.dm.AddNew_PenzeszkozValt(partner, "", date, from, to, amount, a.Value("--note"), "",
                                        0, 0, direction, a.Value("--number"))
          << '\n';
    return kSuccess;
}

int RunCashReverse(CliContext& c, const CliArgs& a) {
    const int direction = ParseInt(a.At(1), "DIRECTION");
    const db::TDateTime date = ParseIsoDate(a.At(2), "DATE");
    const std::string number = c.dm.PenzeszkozSztorno(a.At(0), direction, date);
    if (number.empty())
        throw Refused("nothing to reverse: no live cash-desk document " + a.At(0) +
                      " in direction " + a.At(1));
    c.out << number << '\n';
    return kSuccess;
}

int RunInvoiceDelivery(CliContext& c, const CliArgs& a) {
    const int line = ParseInt(a.At(0), "LINE");
    const double quantity = ParseNumber(a.At(1), "QUANTITY");
    if (!c.dm.SzallitoSzamlazas(line, a.Has("--outside"), quantity))
        throw Refused("Szállítólevélen feltüntetett készlet túllépése!");
    return kSuccess;
}

}  // namespace

std::vector<CliCommand> DocumentCliCommands() {
    std::vector<CliCommand> commands;

    CliCommand number;
    number.name = "number";
    number.synopsis = "KIND [--date YYYY-MM-DD] [--serial-first] [--no-fill] [--count N]";
    number.help =
        "Hands out the next document number(s) of document kind KIND in the year of the date\n"
        "(default: the server's date), one per line: letters + year + \"/\" + serial, the\n"
        "serial filled to 7 digits; --serial-first puts the serial before the year, --no-fill\n"
        "leaves it unfilled. Each number is registered once. --count hands out N numbers,\n"
        "at most 10000.";
    number.minPositional = number.maxPositional = 1;
    number.flags = {"--serial-first", "--no-fill"};
    number.valueOptions = {"--date", "--count"};
    number.run = RunNumber;
    commands.push_back(std::move(number));

    CliCommand reverse;
    reverse.name = "reverse";
    reverse.synopsis = "KEY [--keep-time] [--no-transaction]";
    reverse.help =
        "Reverses the document with header KEY and prints the key of the reversing header.\n"
        "--keep-time dates it one second after the reversed document; --no-transaction writes\n"
        "row by row instead of all or nothing. Exit 3 when nothing was done (the reason, if\n"
        "any, on stderr; nothing for a fully invoiced delivery note).";
    reverse.minPositional = reverse.maxPositional = 1;
    reverse.flags = {"--keep-time", "--no-transaction"};
    reverse.run = RunReverse;
    commands.push_back(std::move(reverse));

    CliCommand cashPost;
    cashPost.name = "cash-post";
    cashPost.synopsis = "PARTNER DATE FROM TO AMOUNT DIRECTION [--number TEXT] [--note TEXT]";
    cashPost.help =
        "Records a money move of AMOUNT from money account FROM to TO for PARTNER and prints\n"
        "its cash-desk number: TEXT when given, else the next number of DIRECTION (an empty\n"
        "line for direction 0).";
    cashPost.minPositional = cashPost.maxPositional = 6;
    cashPost.valueOptions = {"--number", "--note"};
    cashPost.run = RunCashPost;
    commands.push_back(std::move(cashPost));

    CliCommand cashReverse;
    cashReverse.name = "cash-reverse";
    cashReverse.synopsis = "NUMBER DIRECTION DATE";
    cashReverse.help =
        "Reverses the cash-desk document NUMBER of DIRECTION on DATE and prints the new\n"
        "cash-desk number. Exit 3 when there is nothing to reverse.";
    cashReverse.minPositional = cashReverse.maxPositional = 3;
    cashReverse.run = RunCashReverse;
    commands.push_back(std::move(cashReverse));

    CliCommand invoice;
    invoice.name = "invoice-delivery";
    invoice.synopsis = "LINE QUANTITY [--outside]";
    invoice.help =
        "Adds QUANTITY (signed) to the invoiced count of delivery-note line LINE (--outside:\n"
        "also to its part invoiced outside the system). Exit 3 when the count would pass the\n"
        "line's quantity.";
    invoice.minPositional = invoice.maxPositional = 2;
    invoice.flags = {"--outside"};
    invoice.run = RunInvoiceDelivery;
    commands.push_back(std::move(invoice));

    return commands;
}

}  // namespace dorvan::cli
