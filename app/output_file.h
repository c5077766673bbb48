#pragma once
// The one way every output of the program leaves it (plain text, PDF, the invoice data file,
// the copy to the printer port). Where the target leads decides how it is written:
//
// - a regular file, or nothing yet: the output is written to a temporary file beside the
//   target, checked, flushed to disk and renamed into place only when complete, so it appears
//   whole or not at all and a failure leaves the earlier file untouched. A symbolic link in
//   the target's place is replaced by the new file; the file it pointed to is left alone.
// - a character device or a pipe (also through a link, such as /dev/stdout into a pipe): it is
//   never replaced. The finished output (made in the run's temporary folder first) is written
//   into it, opened without waiting; a pipe nobody reads, or a device or pipe that takes no
//   data for kStreamStall, fails instead of hanging.
// - below /dev and /proc nothing is ever created, replaced or renamed: an existing name there
//   is written into (what /dev/stdout names, even a regular file), a missing one is refused.
// - a folder, a block device or a socket: refused.
//
// Before anything of a run is written, CheckOutputs examines every target and refuses two
// outputs that name the same file.

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace dorvan {
class RunTempFolder;
}

namespace dorvan::app {

// An output that cannot be written; what() is one line naming the file and the reason.
class OutputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// How long a device or pipe may take no data before the output gives up.
inline constexpr std::chrono::seconds kStreamStall{10};

enum class OutputKind {
    File,    // replaced whole through a temporary file beside it
    Stream,  // an existing device, pipe or system name written into
};

// Where `target` leads and so how it would be written, without writing anything. Throws
// OutputError for a folder, a block device, a socket, a missing name below /dev or /proc, or
// a file whose folder does not exist.
OutputKind ExamineOutput(const std::string& target);

// Examines every one of `targets` (ExamineOutput) and refuses two of them naming the same
// file. `alsoDistinct` are only compared with the others (the print test's port, whose
// failure is silent). Throws OutputError.
void CheckOutputs(const std::vector<std::string>& targets,
                  const std::vector<std::string>& alsoDistinct = {});

// Writes `target` through `produce`, which writes the complete output at the path it is given.
// `complete`, when given, confirms that the produced file is whole. A device or pipe target
// is produced in `scratch` first. `finished`, when given, is called with a file that holds
// the finished bytes (the target itself, or the scratch copy of a device or pipe target),
// for copying them on. Throws OutputError.
void WriteOutputFile(const std::string& target, const RunTempFolder& scratch,
                     const std::function<void(const std::string&)>& produce,
                     const std::function<bool(const std::string&)>& complete = {},
                     const std::function<void(const std::string&)>& finished = {});

// Writes `bytes` to `target` by the same rules. Throws OutputError.
void WriteOutputBytes(const std::string& target, const RunTempFolder& scratch,
                      const std::string& bytes);

// Copies the finished file `source` to `target` byte for byte by the same rules (a device or
// pipe is written into straight from `source`). Throws OutputError.
void CopyToOutput(const std::string& source, const std::string& target);

// Whether the file at `path` ends like a finished PDF ("%%EOF" in its last bytes).
bool PdfComplete(const std::string& path);

// Throws OutputError when two of `paths` name the same file: the same device and inode when
// both exist, else the same canonical path.
void RefuseSameFiles(const std::vector<std::string>& paths);

}  // namespace dorvan::app
