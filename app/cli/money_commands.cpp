// dorvan-cli subcommands of the money area: exchange rates, conversions, partner prices.

#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/cli/cli_support.h"
#include "datamodule/dm.h"
#include "datamodule/silent_abort.h"

namespace dorvan::cli {

namespace {

int RunRate(CliContext& c, const CliArgs& a) {
    const std::string& currency = a.At(0);
    const db::TDateTime date = ParseIsoDate(a.At(1), "DATE");
    const double rate = c.dm.GetArfolyam(currency, true, date);
    // No rate on or before the day: the operation ends silently, as a conversion would.
    if (rate == -1)
        throw SilentAbort();
    c.out << FormatNumber(rate) << '\n';
    return kSuccess;
}

int RunConvert(CliContext& c, const CliArgs& a) {
    const double amount = ParseNumber(a.At(0), "AMOUNT");
    const db::TDateTime date = ParseIsoDate(a.At(3), "DATE");
    c.out << FormatNumber(c.dm.lib_convertCurrency(a.At(1), a.At(2), amount, date)) << '\n';
    return kSuccess;
}

int RunPrice(CliContext& c, const CliArgs& a) {
    const int item = ParseInt(a.At(0), "ITEM");
    const int partner = ParseInt(a.At(1), "PARTNER");
    const db::TDateTime date =
        a.Has("--date") ? ParseIsoDate(a.Value("--date"), "--date") : c.dm.GetDate();
    const int payment = a.Has("--payment") ? ParseInt(a.Value("--payment"), "--payment") : 0;
    const int project = a.Has("--project") ? ParseInt(a.Value("--project"), "--project") : 0;
    TEgysegar price;
    c.dm.GetPartnerEgysegar(item, partner, payment, project, true, date, a.Value("--currency"),
                            price);
    c.out << FormatNumber(price.egysegar) << '\t' << FormatNumber(price.egysegar_brutto) << '\t'
          << price.afa_kulcs << '\t' << price.deviza_nev << '\n';
    return kSuccess;
}

}  // namespace

std::vector<CliCommand> MoneyCliCommands() {
    std::vector<CliCommand> commands;

    CliCommand rate;
    rate.name = "rate";
    rate.synopsis = "CURRENCY DATE";
    rate.help =
        "The forint value of one unit of CURRENCY on DATE (the latest rate on or before it),\n"
        "rounded to hundredths. Exit 3 without output when the currency has no rate by then.";
    rate.minPositional = rate.maxPositional = 2;
    rate.run = RunRate;
    commands.push_back(std::move(rate));

    CliCommand convert;
    convert.name = "convert";
    convert.synopsis = "AMOUNT FROM TO DATE";
    convert.help =
        "AMOUNT of currency FROM in currency TO through the forint rates of DATE, not rounded.\n"
        "Exit 3 without output when a rate is missing.";
    convert.minPositional = convert.maxPositional = 4;
    convert.run = RunConvert;
    commands.push_back(std::move(convert));

    CliCommand price;
    price.name = "price";
    price.synopsis = "ITEM PARTNER [--date DATE] [--currency CODE] [--payment KEY] [--project KEY]";
    price.help =
        "The unit price PARTNER pays for ITEM: net<TAB>gross<TAB>vat-key<TAB>currency.\n"
        "DATE defaults to the server's date; CODE chooses the default price list; KEY 0 or\n"
        "absent means none.";
    price.minPositional = price.maxPositional = 2;
    price.valueOptions = {"--date", "--currency", "--payment", "--project"};
    price.run = RunPrice;
    commands.push_back(std::move(price));

    return commands;
}

}  // namespace dorvan::cli
