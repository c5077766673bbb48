#pragma once
// What the three programs answer to --version, and the part of their --help that tells where
// they look for their files. Both are answered before anything starts (no configuration read,
// no database, no display). The man pages are made from this --help text.

#include <string>

#include "config/version.h"

namespace dorvan::app {

// "dorvan-print 1.10.5.0": the program's name and the compiled four-number version.
inline std::string VersionText(const std::string& program) {
    const std::string version = GetFileVersion();
    return program + " " + (version.empty() ? std::string("(no version)") : version) + "\n";
}

// The "Files:" and "Environment:" paragraphs of --help.
inline std::string FilesHelp() {
    return "Files:\n"
           "  Dorvan.ini             the database connection ([DataBase] Host, Port,\n"
           "                         Database, User, Password): beside the executable; a\n"
           "                         program installed in PREFIX/bin/ with\n"
           "                         PREFIX/share/dorvan/ reads /etc/dorvan/Dorvan.ini\n"
           "  Dorvan_machine_sp.ini  printers and colours: the per-machine folder, else\n"
           "                         /etc/dorvan/\n"
           "  proxy.cfg              web proxy: where Dorvan.ini is read\n"
           "  database_scripts/      update scripts applied at start: beside the executable\n"
           "                         (an applied one is removed at the next start), or\n"
           "                         PREFIX/share/dorvan/database_scripts/ when installed\n"
           "                         (kept there; the database's script log remembers it)\n"
           "  designs/, images/      report designs and brand pictures: beside the\n"
           "                         executable, or PREFIX/share/dorvan/ when installed\n"
           "                         (the designs compiled in serve when there are none)\n"
           "  per-machine folder     $XDG_DATA_HOME/Norvello/Dorvan2007/FOLDED/ (FOLDED: the\n"
           "                         executable folder with every \"/\" as \"_\"): the\n"
           "                         settings in use and Dorvan_machine_sp.ini are written\n"
           "                         there; an installed program also keeps its error log\n"
           "                         and save folder there\n"
           "\n"
           "Environment:\n"
           "  DORVAN_EXE_DIR         stands for the executable's folder: every file above\n"
           "                         is looked for beside it, installed or not\n"
           "  DORVAN_SYSCONFDIR      the system configuration folder instead of /etc/dorvan/\n"
           "  XDG_DATA_HOME          base of the per-machine folder (default ~/.local/share)\n";
}

}  // namespace dorvan::app
