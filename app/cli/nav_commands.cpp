// dorvan-cli subcommands of reporting to the tax authority: sending invoices, the state of a
// submission, the technical annulment of a report. Each submission is recorded in the
// register (nav_bekuldes) before its request leaves.

#include <QRegularExpression>
#include <QString>
#include <algorithm>
#include <chrono>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/cli/cli_support.h"
#include "app/one_line.h"
#include "config/main_table.h"
#include "datamodule/dm.h"
#include "nav/nav_client.h"
#include "nav/nav_credentials.h"
#include "nav/nav_reporter.h"

namespace dorvan::cli {

namespace {

using nav::TNavOutcome;
using nav::TNavStatusLine;

// The client of the credentials file and the configured address.
nav::TNavClient MakeClient() {
    return nav::TNavClient(nav::ReadNavCredentials(nav::NavCredentialsPath()), nav::NavApiUrl());
}

int DocumentKey(const std::string& text) {
    const int key = ParseInt(text, "KEY");
    if (key <= 0)
        throw UsageError("KEY must be a document key above 0: " + text);
    return key;
}

// 1 when any failed, else 3 when any was refused, else 0.
int Worst(int current, TNavOutcome outcome) {
    if (outcome == TNavOutcome::Failed || current == kFailure)
        return kFailure;
    if (outcome == TNavOutcome::Refused)
        return kRefused;
    return current;
}

int RunSend(CliContext& c, const CliArgs& a) {
    std::vector<int> keys;
    for (const std::string& arg : a.Positional())
        keys.push_back(DocumentKey(arg));
    nav::TNavSendOptions options;
    options.appearance = a.Value("--appearance", "PAPER");
    if (options.appearance != "PAPER" && options.appearance != "ELECTRONIC")
        throw UsageError("--appearance is PAPER or ELECTRONIC");
    if (a.Has("--batch")) {
        const int size = ParseInt(a.Value("--batch"), "--batch");
        if (size < 1 || size > static_cast<int>(nav::kMaxItemsPerRequest))
            throw UsageError("--batch takes 1 to 100 invoices in one request");
        options.batchSize = static_cast<std::size_t>(size);
    }
    options.workstation = MainTable().LocalHostName;
    nav::TNavClient client = MakeClient();
    nav::TNavReporter reporter(c.dm, c.dm.ZConnection, client);
    int status = kSuccess;
    for (const nav::TNavSendResult& r : reporter.Send(keys, options)) {
        if (r.outcome == TNavOutcome::Sent)
            c.out << r.key << '\t' << r.transactionId << '\t' << r.index << '\n';
        else
            c.err << r.key << ": " << app::OneLine(r.message) << '\n';
        status = Worst(status, r.outcome);
    }
    return status;
}

void PrintLine(CliContext& c, const TNavStatusLine& line) {
    const std::string key = line.key > 0 ? std::to_string(line.key) : std::string();
    const std::string prefix =
        key + '\t' + line.transactionId + '\t' + std::to_string(line.index) + '\t';
    c.out << prefix << line.state << (line.approval.empty() ? "" : "\t" + line.approval) << '\n';
    for (const nav::TNavMessage& m : line.messages)
        c.out << prefix << nav::MessageLine(m) << '\n';
}

// The one line of an item that did not get through.
std::string FailureLine(const TNavStatusLine& line) {
    std::string text =
        (line.key > 0 ? std::to_string(line.key) : line.transactionId) + ": " + line.state;
    for (const nav::TNavMessage& m : line.messages) {
        if (m.kind == "ERROR" || m.kind == "CRITICAL")
            return text + ": " + m.kind + " " + m.code + ": " + m.message;
    }
    if (!line.note.empty())
        text += ": " + line.note;
    return text;
}

int RunStatus(CliContext& c, const CliArgs& a) {
    const std::string& target = a.At(0);
    const bool byKey =
        std::all_of(target.begin(), target.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
    int key = 0;
    if (byKey) {
        key = DocumentKey(target);
    } else if (!QRegularExpression(QRegularExpression::anchoredPattern("[+a-zA-Z0-9_]{1,30}"))
                    .match(QString::fromStdString(target))
                    .hasMatch()) {
        throw UsageError("not a document key nor a transaction id: " + target);
    }
    const bool wait = a.Has("--wait");
    const int seconds = wait ? ParseInt(a.Value("--wait"), "--wait") : 0;
    if (seconds < 0)
        throw UsageError("--wait takes the seconds to wait, 0 or more");

    nav::TNavClient client = MakeClient();
    nav::TNavReporter reporter(c.dm, c.dm.ZConnection, client);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    auto pause = std::chrono::milliseconds(250);
    std::vector<TNavStatusLine> lines;
    for (;;) {
        lines = byKey ? reporter.Status(key) : reporter.TransactionStatus(target);
        if (lines.empty()) {
            c.err << target
                  << (byKey ? ": a bizonylatnak nincs beküldése a nyilvántartásban"
                            : ": az adóhatóság nem ismeri ezt a tranzakciót")
                  << '\n';
            return kFailure;
        }
        const bool finished = std::all_of(lines.begin(), lines.end(),
                                          [](const TNavStatusLine& l) { return l.Final(); });
        const auto now = std::chrono::steady_clock::now();
        if (!wait || finished || now >= deadline)
            break;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds(5000));
    }
    for (const TNavStatusLine& line : lines)
        PrintLine(c, line);
    for (const TNavStatusLine& line : lines) {
        if (line.state == "ABORTED" || line.state == "FAILED" || line.state == "LOST") {
            c.err << app::OneLine(FailureLine(line)) << '\n';
            return kFailure;
        }
    }
    if (wait) {
        for (const TNavStatusLine& line : lines) {
            if (!line.Final()) {
                c.err << target << ": " << seconds << " másodperc után is " << line.state << '\n';
                return kFailure;
            }
        }
    }
    return kSuccess;
}

int RunAnnul(CliContext& c, const CliArgs& a) {
    const int key = DocumentKey(a.At(0));
    const std::string& code = a.At(1);
    if (!nav::IsAnnulmentCode(code))
        throw UsageError(
            "CODE is ERRATIC_DATA, ERRATIC_INVOICE_NUMBER, "
            "ERRATIC_INVOICE_ISSUE_DATE or ERRATIC_ELECTRONIC_HASH_VALUE");
    const QString reason = QString::fromStdString(a.At(2));
    if (reason.trimmed().isEmpty() || reason.size() > 1024)
        throw UsageError("REASON must be 1 to 1024 characters, not only blanks");
    nav::TNavSendOptions options;
    options.workstation = MainTable().LocalHostName;
    nav::TNavClient client = MakeClient();
    nav::TNavReporter reporter(c.dm, c.dm.ZConnection, client);
    const nav::TNavSendResult r = reporter.Annul(key, code, a.At(2), options);
    if (r.outcome == TNavOutcome::Sent) {
        c.out << r.key << '\t' << r.transactionId << '\t' << r.index << '\n';
        return kSuccess;
    }
    c.err << r.key << ": " << app::OneLine(r.message) << '\n';
    return r.outcome == TNavOutcome::Refused ? kRefused : kFailure;
}

}  // namespace

std::vector<CliCommand> NavCliCommands() {
    std::vector<CliCommand> commands;

    CliCommand send;
    send.name = "nav-send";
    send.synopsis = "KEY... [--appearance PAPER|ELECTRONIC] [--batch N]";
    send.help =
        "Reports the invoices with header KEY to the tax authority (Online Számla 3.0): checks\n"
        "each invoice's data, sends it as CREATE, or as MODIFY/STORNO with its modification\n"
        "index for a reversing document (--batch: at most N in one request, default and most\n"
        "100; each request with a token of its own), and prints one line per\n"
        "invoice: KEY<TAB>TRANSACTION-ID<TAB>INDEX. Every submission is recorded in the register\n"
        "nav_bekuldes before it leaves. Refused (exit 3, one line each): an invoice already\n"
        "DONE or in flight, a reversal whose original is not DONE yet, data the authority would\n"
        "reject. Failed (exit 1, one line each): the authority's ERROR code and message, a\n"
        "time-out, a lost answer not yet settled. --appearance: how the invoice was issued\n"
        "(default PAPER). Credentials: $DORVAN_NAV_CREDENTIALS, else nav.ini in the per-machine\n"
        "folder; the interface: $DORVAN_NAV_API_URL, else the authority's test environment.";
    send.minPositional = 1;
    send.maxPositional = std::numeric_limits<std::size_t>::max();
    send.valueOptions = {"--appearance", "--batch"};
    send.run = RunSend;
    commands.push_back(std::move(send));

    CliCommand status;
    status.name = "nav-status";
    status.synopsis = "KEY|TRANSACTION-ID [--wait SECONDS]";
    status.help =
        "Asks the tax authority for the state of the latest submission of document KEY (digits),\n"
        "or of every item of a transaction, and prints per item\n"
        "KEY<TAB>TRANSACTION-ID<TAB>INDEX<TAB>STATE (RECEIVED, PROCESSING, SAVED, DONE, ABORTED;\n"
        "the register's SENDING, FAILED, LOST, ANNULLED), then the authority's messages, one\n"
        "per line: KEY<TAB>TRANSACTION-ID<TAB>INDEX<TAB>ERROR|WARN|INFO<TAB>CODE<TAB>MESSAGE\n"
        "<TAB>TAG<TAB>VALUE<TAB>LINE. A submission whose answer was lost is looked up in the\n"
        "authority's list first. --wait: asks again until DONE or ABORTED, at most SECONDS.\n"
        "Exit 1 with one line for ABORTED, FAILED, LOST, or still open after --wait.";
    status.minPositional = status.maxPositional = 1;
    status.valueOptions = {"--wait"};
    status.run = RunStatus;
    commands.push_back(std::move(status));

    CliCommand annul;
    annul.name = "nav-annul";
    annul.synopsis = "KEY CODE REASON";
    annul.help =
        "Asks for the technical annulment of the DONE report of document KEY (CODE:\n"
        "ERRATIC_DATA, ERRATIC_INVOICE_NUMBER, ERRATIC_INVOICE_ISSUE_DATE,\n"
        "ERRATIC_ELECTRONIC_HASH_VALUE; REASON up to 1024 characters) and prints\n"
        "KEY<TAB>TRANSACTION-ID<TAB>INDEX. The annulment takes effect once approved on the\n"
        "authority's web interface; nav-status KEY then shows the report ANNULLED, and it can be\n"
        "sent again. Exit 3 when the document has no DONE report or an annulment is open.";
    annul.minPositional = annul.maxPositional = 3;
    annul.run = RunAnnul;
    commands.push_back(std::move(annul));

    return commands;
}

}  // namespace dorvan::cli
