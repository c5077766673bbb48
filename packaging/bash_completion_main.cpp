// Writes the bash completion of the three programs into a folder, one file per program named
// after it: dorvan-cli's from its table of subcommands and their options, dorvan-print's and
// dorvan-console's from the options their --help lists. Run at build time for the package.
//
//   dorvan-bash-completion FOLDER

#include <cctype>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/console_start.h"
#include "app/print_options.h"

namespace {

struct Options {
    std::vector<std::string> flags;       // no value
    std::vector<std::string> values;      // a value that is not a file
    std::vector<std::string> fileValues;  // a file or device name
};

std::string Join(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words)
        text += (text.empty() ? "" : " ") + w;
    return text;
}

// The options of a --help text: its lines that start with blanks and a "-". An option
// followed by a blank and an upper-case word takes a value ("--pdf FILE"), a file when that
// word is FILE or DEVICE; "--print[=NAME]" is offered as a switch.
Options OptionsOfHelp(const std::string& help) {
    Options options;
    std::set<std::string> seen;
    std::istringstream lines(help);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos || start == 0 || line[start] != '-')
            continue;
        // The option column ends at the first run of two blanks.
        const std::size_t end = line.find("  ", start);
        const std::string column = line.substr(start, end == std::string::npos ? end : end - start);
        std::size_t at = 0;
        while ((at = column.find("--", at)) != std::string::npos) {
            std::size_t stop = at + 2;
            while (stop < column.size() &&
                   (std::isalnum(static_cast<unsigned char>(column[stop])) || column[stop] == '-'))
                ++stop;
            const std::string name = column.substr(at, stop - at);
            at = stop;
            if (name.size() <= 2 || !seen.insert(name).second)
                continue;
            std::string value;
            if (stop + 1 < column.size() && column[stop] == ' ' &&
                std::isupper(static_cast<unsigned char>(column[stop + 1]))) {
                std::size_t valueEnd = stop + 1;
                while (valueEnd < column.size() && column[valueEnd] != ' ')
                    ++valueEnd;
                value = column.substr(stop + 1, valueEnd - stop - 1);
            }
            if (value.empty())
                options.flags.push_back(name);
            else if (value == "FILE" || value == "DEVICE")
                options.fileValues.push_back(name);
            else
                options.values.push_back(name);
        }
    }
    return options;
}

// A program with options only: the words after a value option are left to the user (or to
// file-name completion), the rest offers the options.
std::string OptionsOnlyScript(const std::string& program, const Options& o) {
    std::string function = "_" + program;
    for (char& c : function)
        if (c == '-')
            c = '_';
    std::ostringstream s;
    s << "# bash completion of " << program << ", made from the options of its --help\n"
      << function << "() {\n"
      << "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
      << "    [[ $prev == = ]] && prev=${COMP_WORDS[COMP_CWORD-2]}\n"
      << "    case $prev in\n";
    if (!o.fileValues.empty()) {
        std::string names;
        for (const std::string& n : o.fileValues)
            names += (names.empty() ? "" : "|") + n;
        s << "        " << names << ")\n"
          << "            COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n";
    }
    if (!o.values.empty()) {
        std::string names;
        for (const std::string& n : o.values)
            names += (names.empty() ? "" : "|") + n;
        s << "        " << names << ")\n"
          << "            COMPREPLY=(); return ;;\n";
    }
    std::vector<std::string> all = o.flags;
    all.insert(all.end(), o.values.begin(), o.values.end());
    all.insert(all.end(), o.fileValues.begin(), o.fileValues.end());
    s << "    esac\n"
      << "    COMPREPLY=($(compgen -W \"" << Join(all) << "\" -- \"$cur\"))\n"
      << "}\n"
      << "complete -F " << function << " " << program << "\n";
    return s.str();
}

std::string CliScript(const std::vector<dorvan::cli::CliCommand>& commands) {
    std::vector<std::string> names;
    for (const auto& c : commands)
        names.push_back(c.name);
    std::ostringstream s;
    s << "# bash completion of dorvan-cli, made from its table of subcommands\n"
      << "_dorvan_cli() {\n"
      << "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
      << "    [[ $prev == = ]] && prev=${COMP_WORDS[COMP_CWORD-2]}\n"
      << "    local i sub=\n"
      << "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
      << "        case ${COMP_WORDS[i]} in\n"
      << "            -*) ;;\n"
      << "            *) sub=${COMP_WORDS[i]}; break ;;\n"
      << "        esac\n"
      << "    done\n"
      << "    if [[ -z $sub ]]; then\n"
      << "        COMPREPLY=($(compgen -W \"--verbose --help --version " << Join(names)
      << "\" -- \"$cur\"))\n"
      << "        return\n"
      << "    fi\n"
      << "    local flags= values=\n"
      << "    case $sub in\n";
    for (const auto& c : commands) {
        std::vector<std::string> flags = c.flags;
        flags.push_back("--help");
        s << "        " << c.name << ") flags=\"" << Join(flags) << "\" values=\""
          << Join(c.valueOptions) << "\" ;;\n";
    }
    s << "        *) return ;;\n"
      << "    esac\n"
      << "    # The value of an option is the user's to type.\n"
      << "    [[ -n $values && \" $values \" == *\" $prev \"* ]] && return\n"
      << "    [[ $cur == -* ]] && COMPREPLY=($(compgen -W \"$flags $values\" -- \"$cur\"))\n"
      << "}\n"
      << "complete -F _dorvan_cli dorvan-cli\n";
    return s.str();
}

bool Write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "dorvan-bash-completion: cannot write " << path << '\n';
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: dorvan-bash-completion FOLDER\n";
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const bool ok =
        Write(folder + "dorvan-cli", CliScript(dorvan::cli::AllCliCommands())) &&
        Write(folder + "dorvan-print",
              OptionsOnlyScript("dorvan-print", OptionsOfHelp(dorvan::app::PrintUsage()))) &&
        Write(folder + "dorvan-console",
              OptionsOnlyScript("dorvan-console", OptionsOfHelp(dorvan::app::ConsoleUsage())));
    return ok ? 0 : 1;
}
