#pragma once
// Output files that appear whole or not at all: the producer writes a temporary file beside
// the target, which is checked, flushed to disk and renamed into place only when complete. A
// failure leaves no partial file and the earlier file untouched. A target that is a device or
// a pipe (it cannot be replaced) gets the finished bytes copied in with every write checked.

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

// Writes `target` through `produce`, which writes the complete file at the path it is given.
// `complete`, when given, confirms that the produced file is whole. A device or pipe target
// is produced in `scratch` first. Throws OutputError.
void WriteOutputFile(const std::string& target, const RunTempFolder& scratch,
                     const std::function<void(const std::string&)>& produce,
                     const std::function<bool(const std::string&)>& complete = {});

// Whether the file at `path` ends like a finished PDF ("%%EOF" in its last bytes).
bool PdfComplete(const std::string& path);

// Throws OutputError when two of `paths` name the same file: the same device and inode when
// both exist, else the same canonical path.
void RefuseSameFiles(const std::vector<std::string>& paths);

}  // namespace dorvan::app
