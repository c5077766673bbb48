#include <algorithm>

#include "app/cli/cli_command.h"

namespace dorvan::cli {

// Each area's table of subcommands (app/cli/<area>_commands.cpp).
std::vector<CliCommand> MoneyCliCommands();
std::vector<CliCommand> ProjectsMaintenanceCliCommands();
std::vector<CliCommand> StockSystemCommands();
std::vector<CliCommand> DocumentCliCommands();
std::vector<CliCommand> NavCliCommands();

std::vector<CliCommand> AllCliCommands() {
    std::vector<CliCommand> all;
    const auto add = [&all](std::vector<CliCommand> group) {
        for (auto& c : group)
            all.push_back(std::move(c));
    };
    add(MoneyCliCommands());
    add(ProjectsMaintenanceCliCommands());
    add(StockSystemCommands());
    add(DocumentCliCommands());
    add(NavCliCommands());
    return all;
}

bool CliArgs::Has(const std::string& option) const {
    return std::any_of(options_.begin(), options_.end(),
                       [&](const auto& o) { return o.first == option; });
}

std::string CliArgs::Value(const std::string& option, const std::string& fallback) const {
    for (auto it = options_.rbegin(); it != options_.rend(); ++it) {
        if (it->first == option)
            return it->second;
    }
    return fallback;
}

CliArgs ParseCliArgs(const CliCommand& command, const std::vector<std::string>& args) {
    const auto contains = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    CliArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // "--" ends the options; a lone "-" or a negative number is a positional argument.
        if (optionsEnded || arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            if (arg == "--") {
                optionsEnded = true;
                continue;
            }
            parsed.positional_.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        if (contains(command.flags, name)) {
            if (hasValue)
                throw UsageError(name + " takes no value");
            parsed.options_.emplace_back(name, std::string());
        } else if (contains(command.valueOptions, name)) {
            if (!hasValue) {
                if (i + 1 >= args.size())
                    throw UsageError(name + " needs a value");
                value = args[++i];
            }
            // One rule for every option: an empty value is no value (never "the default").
            if (value.empty())
                throw UsageError(name + " needs a value");
            parsed.options_.emplace_back(name, value);
        } else {
            throw UsageError("unknown option " + name);
        }
    }
    const std::size_t n = parsed.positional_.size();
    if (n < command.minPositional)
        throw UsageError("missing arguments");
    if (n > command.maxPositional)
        throw UsageError("too many arguments");
    return parsed;
}

}  // namespace dorvan::cli
