// dorvan-cli subcommands of the stock figures, the client presence and the update scripts.

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/cli/cli_support.h"
#include "config/main_table.h"
#include "config/ui_port.h"
#include "datamodule/dm.h"

namespace dorvan::cli {

namespace {

// Ends the start-up right after its update step.
struct UpdateStepDone {};

int Stock(CliContext& c, const CliArgs& a) {
    const int item = ParseInt(a.At(0), "ITEM");
    const int warehouse = ParseInt(a.At(1), "WAREHOUSE");
    const std::string date = a.Value("--date");
    const double quantity = date.empty()
                                ? c.dm.GetKeszlet(item, warehouse)
                                : c.dm.Get_Keszlet(item, warehouse, ParseIsoDate(date, "--date"));
    c.out << FormatNumber(quantity) << '\n';
    return kSuccess;
}

int StockPiece(CliContext& c, const CliArgs& a) {
    const int item = ParseInt(a.At(1), "ITEM");
    const int warehouse = ParseInt(a.At(2), "WAREHOUSE");
    TEgyediKeszlet piece;
    c.dm.GetTetelEgyediKeszlet(a.At(0), item, warehouse, piece);
    if (piece.mennyiseg == -1 || piece.mennyiseg == -2) {
        c.out << FormatNumber(piece.mennyiseg) << '\n';
        return kSuccess;
    }
    c.out << FormatNumber(piece.mennyiseg) << '\t' << FormatNumber(piece.foglalt) << '\t'
          << FormatNumber(piece.szabad) << '\n';
    return kSuccess;
}

int AverageCost(CliContext& c, const CliArgs& a) {
    const int item = ParseInt(a.At(0), "ITEM");
    const int warehouse = ParseInt(a.At(1), "WAREHOUSE");
    c.out << FormatNumber(c.dm.GetUtolsoAtlagar(item, warehouse)) << '\n';
    return kSuccess;
}

int Sign(CliContext& c, const CliArgs& a) {
    if (a.Has("--user")) {
        MainTable().UserID = a.Value("--user");
    }
    std::string message;
    c.dm.SendIPSign(a.Has("--start"), message);
    if (!message.empty()) {
        c.out << message << '\n';
    }
    return kSuccess;
}

int Clients(CliContext& c, const CliArgs& a) {
    for (const std::string& name : c.dm.GetAktivKliens(!a.Has("--all"))) {
        c.out << name << '\n';
    }
    return kSuccess;
}

int Message(CliContext& c, const CliArgs& a) {
    const std::size_t n = a.Positional().size();
    if (a.Has("--all")) {
        if (n != 1)
            throw UsageError("--all takes only the TEXT");
        c.dm.RingingAllUser(a.At(0));
        return kSuccess;
    }
    if (n != 4)
        throw UsageError("give --all or IP HOST LOCAL-IP, then the TEXT");
    c.dm.RingingUser(a.At(0), a.At(1), a.At(2), a.At(3));
    return kSuccess;
}

int RunUpdateScripts(CliContext& c, const CliArgs& a) {
    const auto step = c.dm.OnQueryingUpdateScript;
    const std::string retry = a.Value("--retry");
    bool stepRan = false;
    bool notFailed = false;
    c.dm.OnQueryingUpdateScript = [&] {
        stepRan = true;
        // --retry: the script's failure is forgotten first, so this very step applies it.
        if (!retry.empty() && !c.dm.updateScripts_.RetryScript(retry)) {
            notFailed = true;
            throw UpdateStepDone{};
        }
        if (step) {
            step();
        }
        throw UpdateStepDone{};
    };
    try {
        c.dm.DataModuleCreate();
    } catch (const UpdateStepDone&) {
    }
    c.dm.OnQueryingUpdateScript = step;
    if (!stepRan) {
        throw std::runtime_error("Az indítás nem jutott el a frissítő szkriptekig.");
    }
    if (notFailed) {
        throw Refused("A frissítő szkript nincs sikertelenként naplózva: " + retry);
    }

    std::vector<std::string> failed;
    for (const TScriptOutcome& o : c.dm.updateScripts_.Outcomes()) {
        c.out << ScriptOutcomeWord(o.kind) << '\t' << o.script;
        if (!o.note.empty()) {
            c.out << '\t' << o.note;
        }
        c.out << '\n';
        if (o.kind == TScriptOutcomeKind::Failed) {
            failed.push_back(o.script);
        }
    }
    if (!c.dm.UpdateScriptRefusal().empty()) {
        throw Refused(c.dm.UpdateScriptRefusal());
    }
    if (!failed.empty()) {
        // A failed script is not tried again by itself: say how, once it is mended.
        std::string names;
        for (const std::string& name : failed) {
            names += (names.empty() ? "" : ", ") + name;
        }
        c.err << failed.size() << " frissítő szkript hibával leállt: " << names
              << "; javítás után újra lefut: dorvan-cli update-scripts --retry " << failed.front()
              << '\n';
        return kFailure;
    }
    return kSuccess;
}

CliCommand Make(std::string name, std::string synopsis, std::string help, std::size_t minPositional,
                std::size_t maxPositional) {
    CliCommand command;
    command.name = std::move(name);
    command.synopsis = std::move(synopsis);
    command.help = std::move(help);
    command.minPositional = minPositional;
    command.maxPositional = maxPositional;
    return command;
}

}  // namespace

std::vector<CliCommand> StockSystemCommands() {
    std::vector<CliCommand> commands;

    CliCommand stock =
        Make("stock", "ITEM WAREHOUSE [--date YYYY-MM-DD]",
             "Free quantity of the item in the warehouse now, or with --date the quantity "
             "on that day (documents dated on or before it).",
             2, 2);
    stock.valueOptions = {"--date"};
    stock.run = Stock;
    commands.push_back(std::move(stock));

    CliCommand piece =
        Make("stock-piece", "IDENTIFIER ITEM WAREHOUSE",
             "Quantity, reserved and free quantity of one identified piece (TAB between "
             "them); -2 when the identifier does not exist, -1 when it has no single stock "
             "row for the item and warehouse.",
             3, 3);
    piece.run = StockPiece;
    commands.push_back(std::move(piece));

    CliCommand cost =
        Make("average-cost", "ITEM WAREHOUSE",
             "Average cost of the item in the warehouse after its latest movement there; 0 "
             "when it never moved there.",
             2, 2);
    cost.run = AverageCost;
    commands.push_back(std::move(cost));

    CliCommand sign =
        Make("sign", "[--start] [--user USERID]",
             "Sends this computer's presence signal (--start: also as its program start; "
             "--user: as that user) and prints the message that was waiting for it, if any.",
             0, 0);
    sign.flags = {"--start"};
    sign.valueOptions = {"--user"};
    sign.run = Sign;
    commands.push_back(std::move(sign));

    CliCommand clients =
        Make("clients", "[--all]",
             "The users of the active computers (signalled in the last 15 seconds), one "
             "per line; without --all this computer is left out.",
             0, 0);
    clients.flags = {"--all"};
    clients.run = Clients;
    commands.push_back(std::move(clients));

    CliCommand message =
        Make("message", "(--all | IP HOST LOCAL-IP) TEXT",
             "Leaves TEXT for one computer, or with --all for every other active one; "
             "it is picked up with the addressee's next presence signal.",
             1, 4);
    message.flags = {"--all"};
    message.run = Message;
    commands.push_back(std::move(message));

    CliCommand scripts =
        Make("update-scripts", "[--retry SCRIPT]",
             "The start-up up to and including the update scripts, then one line per "
             "script: applied, failed, already-applied, failed-before, skipped or postponed, "
             "with the reason (TAB between fields). --retry SCRIPT first forgets that the "
             "script failed (its log row of status 0), so that it is applied again.",
             0, 0);
    scripts.valueOptions = {"--retry"};
    scripts.run = RunUpdateScripts;
    scripts.needsStartup = false;
    commands.push_back(std::move(scripts));

    return commands;
}

}  // namespace dorvan::cli
