#pragma once
// The program's temporary folder for one run: <tmp>/<program name>.XXXXXX, made by mkdtemp
// (owner-only, a fresh name no other run or user can foresee), removed with its contents when
// the object goes, and also when the program is ended by SIGTERM, SIGINT or SIGHUP once
// RemoveTempFoldersOnSignals() has been called. Files are written inside by their fixed names
// without following links.

#include <stdexcept>
#include <string>

namespace dorvan {

// A temporary folder or file that cannot be made or written; what() names it and the reason.
class TempFolderError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class RunTempFolder {
  public:
    // Creates the folder under $TMPDIR (else /tmp); throws TempFolderError.
    RunTempFolder();
    ~RunTempFolder();
    RunTempFolder(const RunTempFolder&) = delete;
    RunTempFolder& operator=(const RunTempFolder&) = delete;

    // The folder with a trailing "/".
    const std::string& Path() const { return path_; }

    // Writes `bytes` into the file `name` of the folder and returns its path. An earlier file
    // of that name is replaced; a link in its place is removed, never followed. Every write and
    // the close are checked; throws TempFolderError.
    std::string WriteFile(const std::string& name, const std::string& bytes) const;

  private:
    std::string path_;
};

// Call first thing in main, before any thread starts: SIGTERM, SIGINT and SIGHUP are taken
// by a thread of their own, which removes every live RunTempFolder and then ends the program
// by the same signal (so its parent sees how it ended). SIGPIPE is ignored: a write into a
// pipe whose reader went away fails with an error instead of killing the program.
void RemoveTempFoldersOnSignals();

}  // namespace dorvan
