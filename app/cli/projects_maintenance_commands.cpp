// dorvan-cli subcommands of projects, unit prices and maintenance: a project's turnover, a new
// last purchase price, the re-alignment of the key sequences, and price formulas.

#include <map>
#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/cli/cli_support.h"
#include "datamodule/dm.h"

namespace dorvan::cli {

namespace {

void PrintAmount(std::ostream& out, const std::string& name, const TEgysegar& amount) {
    out << name << ".egysegar\t" << FormatNumber(amount.egysegar) << '\n';
    out << name << ".egysegar_brutto\t" << FormatNumber(amount.egysegar_brutto) << '\n';
}

int ProjectTurnover(CliContext& c, const CliArgs& args) {
    const int key = ParseInt(args.At(0), "KEY");
    std::string mode = args.Value("--mode", "projekt");
    if (mode == "all")
        mode.clear();
    if (mode != "projekt" && mode != "partner" && !mode.empty())
        throw UsageError("--mode must be projekt, partner or all");
    TProjektForgalomInfo info;
    c.dm.GetProjektForgalomInfo(key, mode, info);
    std::ostream& out = c.out;
    out << "kod\t" << info.kod << '\n';
    PrintAmount(out, "bevetel", info.bevetel);
    PrintAmount(out, "szamlazott", info.szamlazott);
    PrintAmount(out, "szallito_nyitott", info.szallito_nyitott);
    PrintAmount(out, "projekt_szallito_nyitott", info.projekt_szallito_nyitott);
    PrintAmount(out, "szamla", info.szamla);
    PrintAmount(out, "szamla_befizetes", info.szamla_befizetes);
    PrintAmount(out, "koltseg", info.koltseg);
    PrintAmount(out, "nyilv_osszesen", info.nyilv_osszesen);
    PrintAmount(out, "szallito_nyilv", info.szallito_nyilv);
    PrintAmount(out, "projekt_szallito_nyilv", info.projekt_szallito_nyilv);
    PrintAmount(out, "szamla_nyilv", info.szamla_nyilv);
    out << "konyveles_4\t" << FormatNumber(info.konyveles_4) << '\n';
    out << "konyveles_5\t" << FormatNumber(info.konyveles_5) << '\n';
    PrintAmount(out, "szallitoi_szamla", info.szallitoi_szamla);
    PrintAmount(out, "szallitoi_szamla_kifizetes", info.szallitoi_szamla_kifizetes);
    return kSuccess;
}

int SetPurchasePrice(CliContext& c, const CliArgs& args) {
    const int item = ParseInt(args.At(0), "ITEM");
    const double price = ParseNumber(args.At(1), "PRICE");
    const db::TDateTime date =
        args.Has("--date") ? ParseIsoDate(args.Value("--date"), "--date") : c.dm.GetDate();
    if (c.dm.SetTetelUtolsoBeszerzesiAr(item, price, date) != 1)
        throw Refused("Nincs ilyen tétel: " + std::to_string(item));
    auto rows = c.dm.GetSQLResultTable(
        "select egysegar_kod, egysegar, egysegar_brutto, afa_kulcs from tetel_egysegar"
        " where tetel_kod = :tetel_kod order by egysegar_kod",
        {{"tetel_kod", item}});
    for (rows->First(); !rows->Eof(); rows->Next()) {
        c.out << rows->FieldByName("egysegar_kod").AsInteger() << '\t'
              << FormatNumber(rows->FieldByName("egysegar").AsFloat()) << '\t'
              << FormatNumber(rows->FieldByName("egysegar_brutto").AsFloat()) << '\t'
              << rows->FieldByName("afa_kulcs").AsInteger() << '\n';
    }
    return kSuccess;
}

int RealignSequences(CliContext& c, const CliArgs&) {
    for (const TSequenceMove& move : c.dm.SetValSequences())
        c.out << move.sequence << '\t' << move.value << '\n';
    return kSuccess;
}

int Formula(CliContext& c, const CliArgs& args) {
    std::map<std::string, double> variables;
    for (std::size_t i = 1; i < args.Positional().size(); ++i) {
        const std::string& pair = args.At(i);
        const std::size_t eq = pair.find('=');
        if (eq == std::string::npos || eq == 0)
            throw UsageError("a variable is NAME=VALUE: " + pair);
        variables[pair.substr(0, eq)] = ParseNumber(pair.substr(eq + 1), pair.substr(0, eq));
    }
    const double value = EvaluateFormula(args.At(0), [&](const std::string& name) {
        const auto it = variables.find(name);
        if (it == variables.end())
            throw FormulaError("Ismeretlen változó a képletben: [" + name + "]");
        return it->second;
    });
    c.out << FormatNumber(value) << '\n';
    return kSuccess;
}

}  // namespace

std::vector<CliCommand> ProjectsMaintenanceCliCommands() {
    std::vector<CliCommand> commands;
    {
        CliCommand c;
        c.name = "project-turnover";
        c.synopsis = "KEY [--mode projekt|partner|all]";
        c.help =
            "The turnover figures of a project (mode projekt, the default), of a partner's "
            "projects (KEY is the partner) or of all projects, one field per line: "
            "name<TAB>value; amounts in forints, net (.egysegar) and gross (.egysegar_brutto).";
        c.minPositional = 1;
        c.maxPositional = 1;
        c.valueOptions = {"--mode"};
        c.run = ProjectTurnover;
        commands.push_back(std::move(c));
    }
    {
        CliCommand c;
        c.name = "set-purchase-price";
        c.synopsis = "ITEM PRICE [--date YYYY-MM-DD]";
        c.help =
            "Stores the item's last purchase price (in forints; dated today unless --date) and "
            "recomputes its automatic price lists, all or nothing; prints the item's price rows "
            "afterwards: list<TAB>net<TAB>gross<TAB>VAT key. A list whose currency has no rate "
            "leaves everything unchanged (exit 3, silent); an unknown item is refused.";
        c.minPositional = 2;
        c.maxPositional = 2;
        c.valueOptions = {"--date"};
        c.run = SetPurchasePrice;
        commands.push_back(std::move(c));
    }
    {
        CliCommand c;
        c.name = "realign-sequences";
        c.synopsis = "";
        c.help =
            "Sets every key sequence to the highest key stored in its table, in one transaction; "
            "prints each sequence set: sequence<TAB>value.";
        c.run = RealignSequences;
        commands.push_back(std::move(c));
    }
    {
        CliCommand c;
        c.name = "formula";
        c.synopsis = "TEXT [NAME=VALUE ...]";
        c.help =
            "Evaluates a price formula: numbers (decimal point or comma), variables [NAME] "
            "given as NAME=VALUE, + - * / with the usual precedence, parentheses, unary minus. "
            "Prints the value; a malformed formula, a division by zero or an unknown variable "
            "fails with the reason.";
        c.minPositional = 1;
        c.maxPositional = 1000;
        c.run = Formula;
        c.needsStartup = false;
        commands.push_back(std::move(c));
    }
    return commands;
}

}  // namespace dorvan::cli
