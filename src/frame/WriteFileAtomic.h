#pragma once
// Writing a whole file so that a crash or a full disk never leaves it half
// written: the bytes go to a temporary file beside it, which is flushed to
// disk and then renamed over the target. The temporary file has no name
// while it is written; a writer killed in the instant between naming it
// ("<target>.tmp<pid>") and the rename leaves it behind, and the next write
// or start removes it once its process is gone.
#include <cstddef>
#include <string>

enum WriteFileResult {
    kWriteOk = 0,
    kWriteCannotCreate = 1,  // the temporary file could not be created
    kWriteFailed = 2,        // writing or flushing failed (disk full...)
    kWriteCannotRename = 3,  // the temporary file could not replace the target
};
const char* ToString(WriteFileResult result);

// Writes data[0, size) to the host path; kWriteOk or the failing step (the
// target is then unchanged and no temporary file is left). On failure *why,
// when given, gets the step and the system's reason ("cannot create the
// temporary file: Permission denied").
// Removes "<hostPath>.tmp<pid>" files whose process no longer runs.
void RemoveStaleTemporaries(const std::string& hostPath);
// Removes every "<name>.tmp<pid>" file in the folder whose process no longer runs.
void RemoveStaleTemporariesIn(const std::string& folder);

WriteFileResult WriteFileAtomic(const std::string& hostPath, const void* data, size_t size,
                                std::string* why = nullptr);
